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

// The separators a clock text may have between its fields.
struct ClockSeparators {
    char time;
    bool operator()(char c) const { return c == '.' || c == ':' || c == time; }
};

// The fields of a clock text, -1 for a field that is missing or not one or two digits.
struct ClockFields {
    int hour = -1;
    int minute = -1;
    int second = 0;
    int millisecond = 0;
};

// Digits alone are read as "HHMM" or "HHMMSS"; one separator at the end is dropped.
std::string NormalizeClockText(const std::string& trimmed, ClockSeparators isSeparator) {
    std::string s = trimmed;
    if (s.size() == 4 && AllDigits(s)) {
        s = s.substr(0, 2) + ':' + s.substr(2, 2);
    } else if (s.size() == 6 && AllDigits(s)) {
        s = s.substr(0, 2) + ':' + s.substr(2, 2) + ':' + s.substr(4, 2);
    }
    if (isSeparator(s.back())) {
        s.pop_back();
    }
    return s;
}

// Only an hour field of exactly "24" means midnight; "245:00" is no time at all.
int ReadClockHour(const std::string& s, size_t& pos, ClockSeparators isSeparator) {
    if (s.size() >= 2 && s.compare(0, 2, "24") == 0 && (s.size() == 2 || isSeparator(s[2]))) {
        pos = 2;
        return 0;
    }
    return ReadSmallNumber(s, pos);
}

// The digits after the seconds' separator. The time of day keeps whole milliseconds;
// further digits are cut, which also keeps 23:59:59.9999 below the next midnight. Returns
// -1 when there are no digits.
int ReadMilliseconds(const std::string& s, size_t& pos) {
    const size_t firstDigit = pos;
    int millisecond = 0;
    while (pos < s.size() && IsDigit(s[pos])) {
        if (pos - firstDigit < 3) {
            millisecond = millisecond * 10 + (s[pos] - '0');
        }
        ++pos;
    }
    if (pos == firstDigit) {
        return -1;
    }
    for (size_t digits = pos - firstDigit; digits < 3; ++digits) {
        millisecond *= 10;
    }
    return millisecond;
}

// Reads hour, minute, second and fraction in turn, each after its separator. Returns false
// when the text has no digits where a fraction of the seconds must follow.
bool ReadClockFields(const std::string& s, size_t& pos, const RegionalSettings& regional,
                     ClockFields& f) {
    const ClockSeparators isSeparator{regional.timeSeparator};
    f.hour = ReadClockHour(s, pos, isSeparator);
    if (pos < s.size() && isSeparator(s[pos])) {
        ++pos;
        f.minute = ReadSmallNumber(s, pos);
    }
    if (f.minute < 0 || pos == s.size() || !isSeparator(s[pos])) {
        return true;
    }
    ++pos;
    f.second = ReadSmallNumber(s, pos);
    if (f.second >= 0 && pos < s.size() &&
        (isSeparator(s[pos]) || s[pos] == regional.decimalSeparator)) {
        ++pos;
        f.millisecond = ReadMilliseconds(s, pos);
        return f.millisecond >= 0;
    }
    return true;
}

bool InClockRange(const ClockFields& f) {
    return f.hour >= 0 && f.hour < units::kHoursPerDay && f.minute >= 0 &&
           f.minute < units::kMinutesPerHour && f.second >= 0 &&
           f.second < units::kSecondsPerMinute;
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
    const std::string trimmed = TrimBlanks(text);
    if (trimmed.empty()) {
        return 0.0;
    }
    const std::string s = NormalizeClockText(trimmed, ClockSeparators{regional.timeSeparator});
    size_t pos = 0;
    ClockFields fields;
    if (!ReadClockFields(s, pos, regional, fields) || pos != s.size() || !InClockRange(fields)) {
        throw InvalidTimeError(text);
    }
    return TimeOfDay(fields.hour, fields.minute, fields.second, fields.millisecond);
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
        degrees = degrees % units::kDegreesPerTurn + units::kDegreesPerTurn;
        if (degrees == units::kDegreesPerTurn) {
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
    const double hours = std::floor(seconds / units::kSecondsPerHour);
    const double minutes =
        std::fmin(std::floor((seconds - units::kSecondsPerHour * hours) / units::kSecondsPerMinute),
                  units::kMinutesPerHour - 1.0);
    return PatternNumberText("00", hours, regional) + regional.timeSeparator +
           PatternNumberText("00", minutes, regional);
}

}  // namespace aerolinker
