// Clock, heading and duration texts of the tracker's rows, and the time and date texts of the
// configuration file in the user's long time and short date formats.
#include "navlog/clock_text.h"

#include <cmath>
#include <vector>

#include "common/app_error.h"
#include "navlog/text_format.h"
#include "navlog/time_of_day_parts.h"

namespace aerolinker {
namespace {

constexpr double kDegreesPerRadian = 57.2957795130823229;
constexpr double kMillisecondsPerDay = 86400000.0;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string TrimBlanks(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first])) {
        ++first;
    }
    while (last > first && IsBlank(text[last - 1])) {
        --last;
    }
    return text.substr(first, last - first);
}

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

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool StartsWithNoCase(const std::string& text, size_t pos, const std::string& prefix) {
    if (prefix.empty() || text.size() - pos < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiUpper(text[pos + i]) != AsciiUpper(prefix[i])) {
            return false;
        }
    }
    return true;
}

// Reads 1 or 2 digits at pos; -1 when there are none or more than two.
int ReadSmallNumber(const std::string& text, size_t& pos) {
    size_t end = pos;
    while (end < text.size() && IsDigit(text[end])) {
        ++end;
    }
    const size_t count = end - pos;
    if (count == 0 || count > 2) {
        return -1;
    }
    int value = 0;
    for (; pos < end; ++pos) {
        value = value * 10 + (text[pos] - '0');
    }
    return value;
}

double TimeOfDay(int hour, int minute, int second, int millisecond) {
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMillisecondsPerDay;
}

// Windows locale patterns: a run of one letter is one field ("hh" is the two-digit
// 12-hour clock); text in single or double quotes is written as it stands, and a doubled
// single quote is a quote character. Returns the index after the quoted part.
size_t AppendQuotedLiteral(const std::string& pattern, size_t pos, std::string& out) {
    const char quote = pattern[pos];
    if (quote == '\'' && pos + 1 < pattern.size() && pattern[pos + 1] == '\'') {
        out += '\'';
        return pos + 2;
    }
    ++pos;
    while (pos < pattern.size()) {
        if (pattern[pos] == quote) {
            if (quote == '\'' && pos + 1 < pattern.size() && pattern[pos + 1] == '\'') {
                out += '\'';
                pos += 2;
                continue;
            }
            return pos + 1;
        }
        out += pattern[pos++];
    }
    return pos;
}

size_t RunLength(const std::string& pattern, size_t pos) {
    size_t end = pos;
    while (end < pattern.size() && pattern[end] == pattern[pos]) {
        ++end;
    }
    return end - pos;
}

// One field of a pattern: the short form without a leading zero, the long form with two
// digits at least.
std::string FieldText(int value, size_t run, const RegionalSettings& regional) {
    return run == 1 ? std::to_string(value) : TwoDigits(value, regional);
}

// Which designator, if any, stands at pos: 0 for AM, 12 for PM, -1 for none. Besides the
// user's own designators the English "AM" and "PM" are accepted, and the first letters
// alone (the "t" pattern writes only those) when they tell the two apart.
int ReadDesignator(const std::string& text, size_t& pos, const RegionalSettings& regional) {
    struct Candidate {
        std::string text;
        int baseHour;
    };
    std::vector<Candidate> candidates = {
        {regional.amDesignator, 0}, {regional.pmDesignator, 12}, {"AM", 0}, {"PM", 12}};
    const std::string& am = regional.amDesignator;
    const std::string& pm = regional.pmDesignator;
    if (!am.empty() && !pm.empty() && AsciiUpper(am[0]) != AsciiUpper(pm[0])) {
        candidates.push_back({am.substr(0, 1), 0});
        candidates.push_back({pm.substr(0, 1), 12});
    }
    const Candidate* best = nullptr;
    for (const Candidate& candidate : candidates) {
        if (StartsWithNoCase(text, pos, candidate.text) &&
            (best == nullptr || candidate.text.size() > best->text.size())) {
            best = &candidate;
        }
    }
    if (best == nullptr) {
        return -1;
    }
    pos += best->text.size();
    return best->baseHour;
}

void SkipBlanks(const std::string& text, size_t& pos) {
    while (pos < text.size() && text[pos] == ' ') {
        ++pos;
    }
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
    int degrees = RoundHalfEven(radians * kDegreesPerRadian);
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
    const double hours = std::floor(seconds / 3600.0);
    const double minutes = std::fmin(std::floor((seconds - 3600.0 * hours) / 60.0), 59.0);
    return PatternNumberText("00", hours, regional) + regional.timeSeparator +
           PatternNumberText("00", minutes, regional);
}

std::string LongTimeText(double timeOfDay, const RegionalSettings& regional) {
    const TimeOfDayParts parts = SplitTimeOfDay(timeOfDay);
    const std::string& pattern =
        regional.longTimeFormat.empty() ? std::string("HH:mm:ss") : regional.longTimeFormat;
    const int hour12 = parts.hour % 12 == 0 ? 12 : parts.hour % 12;
    const std::string& designator = parts.hour < 12 ? regional.amDesignator : regional.pmDesignator;
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            i = AppendQuotedLiteral(pattern, i, out);
            continue;
        }
        const size_t run = RunLength(pattern, i);
        switch (c) {
            case 'h':
                out += FieldText(hour12, run, regional);
                break;
            case 'H':
                out += FieldText(parts.hour, run, regional);
                break;
            case 'm':
                out += FieldText(parts.minute, run, regional);
                break;
            case 's':
                out += FieldText(parts.second, run, regional);
                break;
            case 't':
                out += run == 1 ? designator.substr(0, 1) : designator;
                break;
            case ':':
                out.append(run, regional.timeSeparator);
                break;
            default:
                out.append(run, c);
                break;
        }
        i += run;
    }
    return out;
}

// Reads what LongTimeText writes under any of the usual patterns: hours, minutes and
// optional seconds joined by the time separator (or ':'), with an AM/PM designator before
// or after them.
double ParseLongTimeText(const std::string& text, const RegionalSettings& regional) {
    const std::string s = TrimBlanks(text);
    auto isSeparator = [&](char c) { return c == ':' || c == regional.timeSeparator; };
    size_t pos = 0;
    int baseHour = ReadDesignator(s, pos, regional);
    SkipBlanks(s, pos);
    const int hour = ReadSmallNumber(s, pos);
    int minute = -1;
    if (pos < s.size() && isSeparator(s[pos])) {
        ++pos;
        minute = ReadSmallNumber(s, pos);
    }
    int second = 0;
    if (minute >= 0 && pos < s.size() && isSeparator(s[pos])) {
        ++pos;
        second = ReadSmallNumber(s, pos);
    }
    if (baseHour < 0) {
        SkipBlanks(s, pos);
        baseHour = ReadDesignator(s, pos, regional);
    }
    if (pos != s.size() || hour < 0 || minute < 0 || minute >= 60 || second < 0 || second >= 60) {
        throw InvalidTimeError(text);
    }
    int hour24 = hour;
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12) {
            throw InvalidTimeError(text);
        }
        hour24 = hour % 12 + baseHour;
    } else if (hour >= 24) {
        throw InvalidTimeError(text);
    }
    return TimeOfDay(hour24, minute, second, 0);
}

std::string ShortDateText(int year, int month, int day, const RegionalSettings& regional) {
    const std::string& pattern =
        regional.shortDateFormat.empty() ? std::string("dd/MM/yyyy") : regional.shortDateFormat;
    const int shortYear = (year % 100 + 100) % 100;
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            i = AppendQuotedLiteral(pattern, i, out);
            continue;
        }
        const size_t run = RunLength(pattern, i);
        switch (c) {
            // The settings carry no day or month names, so "ddd" and "MMM" fall back to
            // the two-digit numbers.
            case 'd':
                out += FieldText(day, run, regional);
                break;
            case 'M':
                out += FieldText(month, run, regional);
                break;
            case 'y':
                if (run <= 2) {
                    out += FieldText(shortYear, run, regional);
                } else {
                    out += PatternNumberText("0000", year, regional);
                }
                break;
            case '/':
                out.append(run, regional.dateSeparator);
                break;
            default:
                out.append(run, c);
                break;
        }
        i += run;
    }
    return out;
}

}  // namespace aerolinker
