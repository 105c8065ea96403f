// The text area bound to the Navigation log.
#include "app/win32/log_view.h"

#include <algorithm>

#include "app/win32/window_text.h"

namespace aerolinker {
namespace {

bool IsAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The part of `after` that differs from `before`: [begin, afterEnd) replaces
// [begin, beforeEnd). Its ends never fall between the CR and the LF of a line break, which
// the control keeps together.
struct Change {
    size_t begin;
    size_t beforeEnd;
    size_t afterEnd;
};

Change Difference(const std::string& before, const std::string& after) {
    const size_t shorter = std::min(before.size(), after.size());
    size_t prefix = 0;
    while (prefix < shorter && before[prefix] == after[prefix]) {
        ++prefix;
    }
    if (prefix > 0 && after[prefix - 1] == '\r') {
        --prefix;
    }
    size_t suffix = 0;
    while (suffix < shorter - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    if (suffix > 0 && after[after.size() - suffix] == '\n') {
        --suffix;
    }
    return Change{prefix, before.size() - suffix, after.size() - suffix};
}

}  // namespace

LogView::LogView(HWND edit, LogDocument& document) : edit_(edit), document_(document) {
    // The default limit (about 32,000 characters) would stop the pilot typing into the log of
    // a long flight.
    SendMessageA(edit_, EM_SETLIMITTEXT, 0, 0);
    shown_ = WindowText(edit_);
    document_.SetChangeListener([this] { ShowDocument(); });
    ShowDocument();
}

LogView::~LogView() {
    document_.SetChangeListener(nullptr);
}

void LogView::ShowDocument() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    // Every line ends in CR LF, so the caret can rest on a fresh line below the last one,
    // and the text reads back into exactly these lines.
    const std::string text = document_.Text();
    if (IsAscii(text) && IsAscii(shown_)) {
        // Only the lines that changed go into the control: rewrapping the whole log for each
        // line the tracker adds would slow down as the flight goes on. Character positions
        // are bytes only while the text is plain ASCII.
        const Change change = Difference(shown_, text);
        const std::string replacement = text.substr(change.begin, change.afterEnd - change.begin);
        SendMessageA(edit_, EM_SETSEL, change.begin, static_cast<LPARAM>(change.beforeEnd));
        SendMessageA(edit_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(replacement.c_str()));
    } else {
        SetWindowTextA(edit_, text.c_str());
    }
    shown_ = text;
    // Keep the newest lines in sight as the flight goes on.
    const LPARAM end = static_cast<LPARAM>(GetWindowTextLengthA(edit_));
    SendMessageA(edit_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(edit_, EM_SCROLLCARET, 0, 0);
    syncing_ = false;
}

void LogView::OnEditChanged() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    shown_ = WindowText(edit_);
    document_.Load(shown_);
    syncing_ = false;
}

}  // namespace aerolinker
