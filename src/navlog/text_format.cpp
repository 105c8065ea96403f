// The hours-and-minutes text and the word-wrap of the route; the number texts the log also
// uses live in regional/number_text.cpp.
#include "navlog/text_format.h"

#include <string>

#include "regional/time_of_day_parts.h"

namespace aerolinker {
namespace {

bool IsBreakChar(char c) {
    return c == ' ' || c == '-' || c == '\t';
}

bool IsQuote(char c) {
    return c == '\'' || c == '"';
}

bool IsCrLfAt(const std::string& text, size_t i) {
    return i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n';
}

// After a wrap, the text following the scan position decides whether a line break goes in:
// none when only break characters and line breaks are left, or when the text already breaks
// the line there.
bool NeedsLineBreakAfter(const std::string& text, size_t pos) {
    bool lastWasCrLf = false;
    while (pos < text.size()) {
        if (IsBreakChar(text[pos])) {
            lastWasCrLf = false;
            ++pos;
        } else if (IsCrLfAt(text, pos)) {
            lastWasCrLf = true;
            pos += 2;
        } else {
            break;
        }
    }
    return pos < text.size() && !lastWasCrLf;
}

}  // namespace

std::string HoursMinutesText(double t, const RegionalSettings& regional) {
    const TimeOfDayParts parts = SplitTimeOfDay(t);
    std::string text = std::to_string(parts.hour);
    text += regional.timeSeparator;
    text += static_cast<char>('0' + parts.minute / 10);
    text += static_cast<char>('0' + parts.minute % 10);
    return text;
}

// The route is wrapped with a column counter that restarts at 1 on each output line. After
// a wrap the scan goes back to just behind the break point, so the characters already
// scanned past it are counted again on the new line; nothing is dropped. A quoted part is
// never broken. Each character is scanned at most twice: the break point is always the
// last break character seen, so the rescanned part holds none.
std::string WrapAtColumn(const std::string& text, int limit) {
    constexpr size_t kNone = std::string::npos;
    const size_t length = text.size();
    std::string result;
    result.reserve(length + length / 16 + 2);

    size_t lineStart = 0;
    size_t pos = 0;
    long long column = 1;
    size_t breakPoint = kNone;
    char openQuote = 0;

    while (pos < length) {
        const char c = text[pos];
        bool existingBreak = false;
        if (openQuote != 0) {
            if (c == openQuote) {
                openQuote = 0;
            }
        } else if (IsCrLfAt(text, pos)) {
            ++pos;  // the pair counts as one character and ends the line after its LF
            existingBreak = true;
        } else if (IsBreakChar(c)) {
            breakPoint = pos;
        } else if (IsQuote(c)) {
            openQuote = c;
        }
        ++pos;
        ++column;

        if (openQuote != 0) {
            continue;
        }
        if (existingBreak) {
            result.append(text, lineStart, pos - lineStart);
            lineStart = pos;
            column = 1;
            breakPoint = kNone;
        } else if (column > limit && breakPoint != kNone && breakPoint > lineStart) {
            result.append(text, lineStart, breakPoint + 1 - lineStart);
            if (NeedsLineBreakAfter(text, pos)) {
                result += "\r\n";
            }
            lineStart = breakPoint + 1;
            pos = lineStart;
            column = 1;
            breakPoint = kNone;
        }
    }
    result.append(text, lineStart, kNone);
    return result;
}

}  // namespace aerolinker
