// Reading and editing INI text line by line, without ever copying or reordering the lines the
// edit does not concern.
#include "persistence/ini_text.h"

namespace aerolinker {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Notepad may put a UTF-8 byte order mark before the first line; it is not part of the line.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view Trim(std::string_view s) {
    size_t first = 0;
    while (first < s.size() && IsBlank(s[first])) {
        ++first;
    }
    size_t last = s.size();
    while (last > first && IsBlank(s[last - 1])) {
        --last;
    }
    return s.substr(first, last - first);
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

struct Line {
    size_t begin = 0;  // first byte of the line's content (after a byte order mark)
    size_t end = 0;    // one past its last byte, before CR LF or LF
    size_t next = 0;   // first byte of the following line
};

// Splits at LF; a CR before the LF belongs to the line end, so LF and CR LF files read alike.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {
        if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
            position_ = kByteOrderMark.size();
        }
    }

    bool Next(Line& line) {
        if (position_ >= text_.size()) {
            return false;
        }
        line.begin = position_;
        size_t feed = text_.find('\n', position_);
        if (feed == std::string_view::npos) {
            line.end = text_.size();
            line.next = text_.size();
        } else {
            line.end = (feed > position_ && text_[feed - 1] == '\r') ? feed - 1 : feed;
            line.next = feed + 1;
        }
        position_ = line.next;
        return true;
    }

private:
    std::string_view text_;
    size_t position_ = 0;
};

struct ParsedLine {
    enum Kind { kOther, kSection, kKey } kind = kOther;
    std::string_view name;   // section or key name
    std::string_view value;  // key lines: the raw value, trimmed
};

ParsedLine ParseLine(std::string_view content) {
    ParsedLine parsed;
    std::string_view text = Trim(content);
    if (text.empty() || text[0] == ';') {
        return parsed;
    }
    if (text[0] == '[') {
        // Without its closing bracket the line is no header, as the platform's service has it.
        size_t close = text.find(']');
        if (close != std::string_view::npos) {
            parsed.kind = ParsedLine::kSection;
            parsed.name = Trim(text.substr(1, close - 1));
        }
        return parsed;
    }
    size_t equals = text.find('=');
    if (equals == std::string_view::npos) {
        return parsed;
    }
    parsed.kind = ParsedLine::kKey;
    parsed.name = Trim(text.substr(0, equals));
    parsed.value = Trim(text.substr(equals + 1));
    return parsed;
}

struct Location {
    bool sectionFound = false;
    bool keyFound = false;
    Line keyLine;
    std::string_view keyName;  // the key's spelling in the file
    std::string_view value;
    // Where a new key of the section goes: after its last non-blank line, so that blank lines
    // separating it from the next section stay below it.
    size_t insertAt = 0;
    bool insertAfterUnendedLine = false;  // that line is the last of the text and has no LF
};

Location Locate(std::string_view text, std::string_view section, std::string_view key) {
    Location where;
    bool inSection = false;
    LineReader lines(text);
    Line line;
    while (lines.Next(line)) {
        std::string_view content = text.substr(line.begin, line.end - line.begin);
        ParsedLine parsed = ParseLine(content);
        if (parsed.kind == ParsedLine::kSection) {
            if (inSection) {
                break;  // the first section of the name has ended; duplicates do not count
            }
            if (SameName(parsed.name, section)) {
                inSection = true;
                where.sectionFound = true;
            }
        } else if (!inSection) {
            continue;
        } else if (parsed.kind == ParsedLine::kKey && SameName(parsed.name, key)) {
            where.keyFound = true;
            where.keyLine = line;
            where.keyName = parsed.name;
            where.value = parsed.value;
            return where;
        }
        if (inSection && !Trim(content).empty()) {
            where.insertAt = line.next;
            where.insertAfterUnendedLine = line.end == line.next;
        }
    }
    return where;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

std::string KeyLine(std::string_view key, std::string_view value) {
    std::string line;
    line.reserve(key.size() + value.size() + 1 + kLineEnd.size());
    line.append(key);
    line.push_back('=');
    for (char c : value) {
        line.push_back((c == '\r' || c == '\n') ? ' ' : c);
    }
    line.append(kLineEnd);
    return line;
}

bool EndsWithBlankLine(std::string_view text) {
    if (!text.empty() && text.back() == '\n') {
        text.remove_suffix(1);
    }
    size_t feed = text.rfind('\n');
    std::string_view last = feed == std::string_view::npos ? text : text.substr(feed + 1);
    return Trim(last).empty();
}

}  // namespace

std::optional<std::string_view> FindIniValue(std::string_view text, std::string_view section,
                                             std::string_view key) {
    Location where = Locate(text, section, key);
    if (!where.keyFound) {
        return std::nullopt;
    }
    return Unquote(where.value);
}

std::string SetIniValue(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
    Location where = Locate(text, section, key);
    std::string result;
    if (where.keyFound) {
        result.reserve(text.size() + value.size() + kLineEnd.size());
        result.append(text.substr(0, where.keyLine.begin));
        result.append(KeyLine(where.keyName, value));
        result.append(text.substr(where.keyLine.next));
    } else if (where.sectionFound) {
        result.reserve(text.size() + key.size() + value.size() + 2 * kLineEnd.size());
        result.append(text.substr(0, where.insertAt));
        if (where.insertAfterUnendedLine) {
            result.append(kLineEnd);
        }
        result.append(KeyLine(key, value));
        result.append(text.substr(where.insertAt));
    } else {
        result.reserve(text.size() + section.size() + key.size() + value.size() + 8);
        result.append(text);
        if (!result.empty() && result.back() != '\n') {
            result.append(kLineEnd);
        }
        // A blank line keeps the new section apart from the one before it.
        if (!Trim(text).empty() && !EndsWithBlankLine(text)) {
            result.append(kLineEnd);
        }
        result.push_back('[');
        result.append(section);
        result.push_back(']');
        result.append(kLineEnd);
        result.append(KeyLine(key, value));
    }
    return result;
}

}  // namespace aerolinker
