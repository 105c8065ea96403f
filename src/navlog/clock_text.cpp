// Clock, heading and duration texts of the tracker's rows.
#include "navlog/clock_text.h"

#include <cmath>

#include "common/app_error.h"
#include "common/units.h"
#include "navlog/text_format.h"
#include "regional/text_scan.h"
#include "regional/time_of_day_parts.h"

namespace aerolinker {
namespace {

constexpr double kSecondsPerHour = 3600.0;
constexpr double kSecondsPerMinute = 60.0;

bool AllDigits(const std::string& text) {
    for (char c : text) {
        if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

std::string TwoDigits(int value, const RegionalSettings& regional) {
    return PatternNumberText("00", value, regional);
}

}  // namespace

std::string SimClockText(int hour, int minute, const RegionalSettings& regional) {
    return TwoDigits(hour, regional) + regional.timeSeparator + TwoDigits(minute, regional);
}

// Clock texts come from the simulator, from the pilot and from older files, so a few
// spellings are read: "0930", "093015", "9.30", "9:30:15", "9:30:15:250" (the third
// separator marks the fraction of the seconds), "9:30:" and "24:05" (midnight written
// as 24). Anything else is refused with the conversion error; a wrong time must never
// pass silently into the log.
double ParseClockText(const std::string& text, const RegionalSettings& regional) {
    std::string s = TrimBlanks(text);
    if (s.empty()) {
        return 0.0;
    }
    if (s.size() == 4 && AllDigits(s)) {
        s = s.substr(0, 2) + ':' + s.substr(2, 2);
    } else if (s.size() == 6 && AllDigits(s)) {
        s = s.substr(0, 2) + ':' + s.substr(2, 2) + ':' + s.substr(4, 2);
    }
    auto isSeparator = [&](char c) { return c == '.' || c == ':' || c == regional.timeSeparator; };
    if (isSeparator(s.back())) {
        s.pop_back();
    }

    size_t pos = 0;
    int hour = -1;
    // Only an hour field of exactly "24" means midnight; "245:00" is no time at all.
    if (s.size() >= 2 && s.compare(0, 2, "24") == 0 && (s.size() == 2 || isSeparator(s[2]))) {
        hour = 0;
        pos = 2;
    } else {
        hour = ReadSmallNumber(s, pos);
    }
    int minute = -1;
    if (pos < s.size() && isSeparator(s[pos])) {
        ++pos;
        minute = ReadSmallNumber(s, pos);
    }
    int second = 0;
    int millisecond = 0;
    if (minute >= 0 && pos < s.size() && isSeparator(s[pos])) {
        ++pos;
        second = ReadSmallNumber(s, pos);
        if (second >= 0 && pos < s.size() &&
            (isSeparator(s[pos]) || s[pos] == regional.decimalSeparator)) {
            ++pos;
            // The time of day keeps whole milliseconds; further digits are cut, which
            // also keeps 23:59:59.9999 below the next midnight.
            const size_t firstDigit = pos;
            while (pos < s.size() && IsDigit(s[pos])) {
                if (pos - firstDigit < 3) {
                    millisecond = millisecond * 10 + (s[pos] - '0');
                }
                ++pos;
            }
            if (pos == firstDigit) {
                throw InvalidTimeError(text);
            }
            for (size_t digits = pos - firstDigit; digits < 3; ++digits) {
                millisecond *= 10;
            }
        }
    }
    if (pos != s.size() || hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 ||
        second >= 60) {
        throw InvalidTimeError(text);
    }
    return TimeOfDay(hour, minute, second, millisecond);
}

std::string ClockText(double timeOfDay, const RegionalSettings& regional) {
    const TimeOfDayParts parts = SplitTimeOfDay(timeOfDay);
    return TwoDigits(parts.hour, regional) + regional.timeSeparator +
           TwoDigits(parts.minute, regional);
}

// A heading below zero is the same heading a turn short of 360: -5 degrees is written 355.
std::string HeadingText(double radians) {
    int degrees = RoundHalfEven(radians * units::kDegreesPerRadian);
    if (degrees < 0) {
        degrees = degrees % 360 + 360;
        if (degrees == 360) {
            degrees = 0;
        }
    }
    return PadLeft('0', std::to_string(degrees), 3);
}

// A duration that is negative or no number at all (an ETE divided by a zero ground speed)
// has no hours and minutes to show and is written as zero.
std::string DurationText(double seconds, const RegionalSettings& regional) {
    if (!std::isfinite(seconds) || seconds < 0) {
        seconds = 0;
    }
    const double hours = std::floor(seconds / kSecondsPerHour);
    const double minutes =
        std::fmin(std::floor((seconds - kSecondsPerHour * hours) / kSecondsPerMinute), 59.0);
    return PatternNumberText("00", hours, regional) + regional.timeSeparator +
           PatternNumberText("00", minutes, regional);
}

}  // namespace aerolinker
