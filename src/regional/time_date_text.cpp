// Times and dates in the user's long time and short date formats.
#include "regional/time_date_text.h"

#include <vector>

#include "common/app_error.h"
#include "regional/number_text.h"
#include "regional/text_scan.h"
#include "regional/time_of_day_parts.h"

namespace aerolinker {
namespace {

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
    return run == 1 ? std::to_string(value) : PatternNumberText("00", value, regional);
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
