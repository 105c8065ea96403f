// Times and dates in the user's long time and short date formats. The long time pattern is
// read once into its parts, and both the writer and the reader walk those parts, so that a
// time written under a pattern reads back under the same pattern.
#include "regional/time_date_text.h"

#include <optional>
#include <vector>

#include "common/app_error.h"
#include "regional/regional_number_text.h"
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

// One part of a long time pattern: a field with the length of its run of letters, the time
// separator (":" in the pattern) repeated `run` times, or literal text.
enum class TimePart { kHour12, kHour24, kMinute, kSecond, kDesignator, kTimeSeparator, kLiteral };

struct TimePatternPart {
    TimePart part;
    size_t run = 1;
    std::string literal;
};

std::vector<TimePatternPart> ReadTimePattern(const RegionalSettings& regional) {
    const std::string& pattern =
        regional.longTimeFormat.empty() ? std::string("HH:mm:ss") : regional.longTimeFormat;
    std::vector<TimePatternPart> parts;
    for (size_t i = 0; i < pattern.size();) {
        const char c = pattern[i];
        if (c == '\'' || c == '"') {
            TimePatternPart quoted{TimePart::kLiteral, 1, std::string()};
            i = AppendQuotedLiteral(pattern, i, quoted.literal);
            parts.push_back(quoted);
            continue;
        }
        const size_t run = RunLength(pattern, i);
        switch (c) {
            case 'h':
                parts.push_back({TimePart::kHour12, run, std::string()});
                break;
            case 'H':
                parts.push_back({TimePart::kHour24, run, std::string()});
                break;
            case 'm':
                parts.push_back({TimePart::kMinute, run, std::string()});
                break;
            case 's':
                parts.push_back({TimePart::kSecond, run, std::string()});
                break;
            case 't':
                parts.push_back({TimePart::kDesignator, run, std::string()});
                break;
            case ':':
                parts.push_back({TimePart::kTimeSeparator, run, std::string()});
                break;
            default:
                parts.push_back({TimePart::kLiteral, run, std::string(run, c)});
                break;
        }
        i += run;
    }
    return parts;
}

struct Designator {
    std::string text;
    int baseHour;  // 0 for AM, 12 for PM
};

// The designators a time text may carry: the user's own, the English "AM" and "PM", and the
// first letters alone (the "t" pattern writes only those) when they tell the two apart.
std::vector<Designator> KnownDesignators(const RegionalSettings& regional) {
    std::vector<Designator> known = {
        {regional.amDesignator, 0}, {regional.pmDesignator, 12}, {"AM", 0}, {"PM", 12}};
    const std::string& am = regional.amDesignator;
    const std::string& pm = regional.pmDesignator;
    if (!am.empty() && !pm.empty() && AsciiUpper(am[0]) != AsciiUpper(pm[0])) {
        known.push_back({am.substr(0, 1), 0});
        known.push_back({pm.substr(0, 1), 12});
    }
    return known;
}

// Which designator, if any, stands at pos, the longest that fits: its base hour, or -1.
int ReadDesignator(const std::string& text, size_t& pos, const RegionalSettings& regional) {
    const std::vector<Designator> known = KnownDesignators(regional);
    const Designator* best = nullptr;
    for (const Designator& candidate : known) {
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

// The fields a time text gave, -1 for those it did not.
struct TimeFields {
    int hour12 = -1;
    int hour24 = -1;
    int minute = -1;
    int second = -1;
    int baseHour = -1;
};

// The hours of the 12-hour clock count 12, 1, ..., 11 from midnight and again from noon.
std::optional<double> TimeOfDayOf(const TimeFields& f) {
    int hour = 0;
    if (f.hour24 >= 0) {
        hour = f.hour24;
    } else if (f.hour12 >= 0 && f.baseHour >= 0) {
        if (f.hour12 == 0 || f.hour12 > 12) {
            return std::nullopt;
        }
        hour = f.hour12 % 12 + f.baseHour;
    } else if (f.hour12 >= 0) {
        hour = f.hour12;
    }
    const int minute = f.minute < 0 ? 0 : f.minute;
    const int second = f.second < 0 ? 0 : f.second;
    if (hour >= units::kHoursPerDay || minute >= units::kMinutesPerHour ||
        second >= units::kSecondsPerMinute) {
        return std::nullopt;
    }
    return TimeOfDay(hour, minute, second, 0);
}

// Matches the text from pos against the pattern from part `index` on, trying each way a
// field can be read until the rest matches too: a one-letter field has one or two digits
// ("Hmm" wrote 1:20 as "120"), a designator may be one of several that start alike.
// A blank of the pattern matches any number of blanks, none included, since the
// configuration file does not keep the blanks at the ends of a value.
class TimePatternMatcher {
public:
    TimePatternMatcher(const std::string& text, const RegionalSettings& regional)
        : text_(text), regional_(regional), parts_(ReadTimePattern(regional)) {}

    std::optional<double> Match() {
        TimeFields fields;
        MatchFrom(0, 0, fields);
        return time_;
    }

private:
    // A way of reading that leaves a field out of range is no match: another may fit.
    bool MatchFrom(size_t index, size_t pos, TimeFields& fields) {
        if (index == parts_.size()) {
            time_ = pos == text_.size() ? TimeOfDayOf(fields) : std::nullopt;
            return time_.has_value();
        }
        const TimePatternPart& part = parts_[index];
        switch (part.part) {
            case TimePart::kHour12:
                return MatchNumber(index, pos, fields, fields.hour12);
            case TimePart::kHour24:
                return MatchNumber(index, pos, fields, fields.hour24);
            case TimePart::kMinute:
                return MatchNumber(index, pos, fields, fields.minute);
            case TimePart::kSecond:
                return MatchNumber(index, pos, fields, fields.second);
            case TimePart::kDesignator:
                return MatchDesignator(index, pos, fields);
            case TimePart::kTimeSeparator:
                for (size_t i = 0; i < part.run; ++i, ++pos) {
                    if (pos == text_.size() ||
                        (text_[pos] != regional_.timeSeparator && text_[pos] != ':')) {
                        return false;
                    }
                }
                return MatchFrom(index + 1, pos, fields);
            case TimePart::kLiteral:
                return MatchLiteral(part.literal, pos) && MatchFrom(index + 1, pos, fields);
        }
        return false;
    }

    // The long form of a field always has two digits; the short form one or two.
    bool MatchNumber(size_t index, size_t pos, TimeFields& fields, int& field) {
        for (size_t digits = 2; digits >= (parts_[index].run == 1 ? 1u : 2u); --digits) {
            if (text_.size() - pos < digits || !IsDigit(text_[pos]) ||
                (digits == 2 && !IsDigit(text_[pos + 1]))) {
                continue;
            }
            const int saved = field;
            field =
                digits == 2 ? (text_[pos] - '0') * 10 + (text_[pos + 1] - '0') : text_[pos] - '0';
            if (MatchFrom(index + 1, pos + digits, fields)) {
                return true;
            }
            field = saved;
        }
        return false;
    }

    bool MatchDesignator(size_t index, size_t pos, TimeFields& fields) {
        for (const Designator& candidate : KnownDesignators(regional_)) {
            if (!StartsWithNoCase(text_, pos, candidate.text)) {
                continue;
            }
            const int saved = fields.baseHour;
            fields.baseHour = candidate.baseHour;
            if (MatchFrom(index + 1, pos + candidate.text.size(), fields)) {
                return true;
            }
            fields.baseHour = saved;
        }
        return false;
    }

    bool MatchLiteral(const std::string& literal, size_t& pos) const {
        for (char c : literal) {
            if (c == ' ') {
                SkipBlanks(text_, pos);
            } else if (pos < text_.size() && text_[pos] == c) {
                ++pos;
            } else {
                return false;
            }
        }
        return true;
    }

    const std::string& text_;
    const RegionalSettings& regional_;
    const std::vector<TimePatternPart> parts_;
    std::optional<double> time_;
};

// What the program has always read, whatever the pattern: hours, minutes and optional
// seconds joined by the time separator (or ':'), with an AM/PM designator before or after
// them. Files written under another pattern or by hand come this way.
double ParseUsualTimeSpelling(const std::string& s, const std::string& original,
                              const RegionalSettings& regional) {
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
    if (pos != s.size() || hour < 0 || minute < 0 || minute >= units::kMinutesPerHour ||
        second < 0 || second >= units::kSecondsPerMinute) {
        throw InvalidTimeError(original);
    }
    int hour24 = hour;
    if (baseHour >= 0) {
        if (hour == 0 || hour > 12) {
            throw InvalidTimeError(original);
        }
        hour24 = hour % 12 + baseHour;
    } else if (hour >= units::kHoursPerDay) {
        throw InvalidTimeError(original);
    }
    return TimeOfDay(hour24, minute, second, 0);
}

}  // namespace

std::string LongTimeText(double timeOfDay, const RegionalSettings& regional) {
    const TimeOfDayParts parts = SplitTimeOfDay(timeOfDay);
    const int hour12 = parts.hour % 12 == 0 ? 12 : parts.hour % 12;
    const std::string& designator = parts.hour < 12 ? regional.amDesignator : regional.pmDesignator;
    std::string out;
    for (const TimePatternPart& part : ReadTimePattern(regional)) {
        switch (part.part) {
            case TimePart::kHour12:
                out += FieldText(hour12, part.run, regional);
                break;
            case TimePart::kHour24:
                out += FieldText(parts.hour, part.run, regional);
                break;
            case TimePart::kMinute:
                out += FieldText(parts.minute, part.run, regional);
                break;
            case TimePart::kSecond:
                out += FieldText(parts.second, part.run, regional);
                break;
            case TimePart::kDesignator:
                out += part.run == 1 ? designator.substr(0, 1) : designator;
                break;
            case TimePart::kTimeSeparator:
                out.append(part.run, regional.timeSeparator);
                break;
            case TimePart::kLiteral:
                out += part.literal;
                break;
        }
    }
    return out;
}

// The user's pattern is tried first: it is what the program itself wrote, literal text and
// all. A text it does not fit is read the way the program always has.
double ParseLongTimeText(const std::string& text, const RegionalSettings& regional) {
    const std::string s = TrimBlanks(text);
    if (const std::optional<double> t = TimePatternMatcher(s, regional).Match()) {
        return *t;
    }
    return ParseUsualTimeSpelling(s, text, regional);
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
