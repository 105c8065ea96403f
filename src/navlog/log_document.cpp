// The Navigation log's line operations.
#include "navlog/log_document.h"

namespace aerolinker {

std::vector<LogLine> LogDocument::SplitLines(const std::string& text) {
    std::vector<LogLine> lines;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
                ++i;
            }
        } else {
            current.push_back(c);
        }
    }
    lines.push_back(current);
    return lines;
}

void LogDocument::Append(const std::string& text) {
    for (LogLine& line : SplitLines(text)) {
        lines_.push_back(std::move(line));
    }
    Changed();
}

void LogDocument::InsertAt(int position, const std::string& text) {
    if (position < 0 || position > LineCount()) {
        return;
    }
    std::vector<LogLine> inserted = SplitLines(text);
    lines_.insert(lines_.begin() + position, inserted.begin(), inserted.end());
    Changed();
}

void LogDocument::Delete(int index) {
    if (index < 0 || index >= LineCount()) {
        return;
    }
    lines_.erase(lines_.begin() + index);
    Changed();
}

void LogDocument::Clear() {
    lines_.clear();
    Changed();
}

void LogDocument::Load(const std::string& text) {
    lines_.clear();
    if (!text.empty()) {
        lines_ = SplitLines(text);
        // A break that ends the text closes the last line rather than opening a new one.
        const char last = text.back();
        if (last == '\r' || last == '\n') {
            lines_.pop_back();
        }
    }
    Changed();
}

std::string LogDocument::Text() const {
    size_t size = 0;
    for (const LogLine& line : lines_) {
        size += line.size() + 2;
    }
    std::string text;
    text.reserve(size);
    for (const LogLine& line : lines_) {
        text += line;
        text += kCrLf;
    }
    return text;
}

void LogDocument::Changed() {
    ++revision_;
    if (listener_) {
        listener_();
    }
}

}  // namespace aerolinker
