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

// Where the pilot is in the text area: the selection, the first line in view, whether the
// view shows the last line, and whether the caret rests on the fresh line after the log.
struct ViewPlace {
    DWORD selectionStart = 0;
    DWORD selectionEnd = 0;
    int firstVisibleLine = 0;
    int lineCount = 0;
    int firstVisibleCharacter = 0;
    bool viewAtEnd = true;
    bool caretAtFreshLine = true;
    bool startAtLineStart = true;
    bool endAtLineStart = true;
};

bool AtLineStart(const std::string& shown, DWORD position) {
    return position == 0 || (position <= shown.size() && shown[position - 1] == '\n');
}

ViewPlace PlaceOf(HWND edit, const std::string& shown) {
    ViewPlace place;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&place.selectionStart),
                 reinterpret_cast<LPARAM>(&place.selectionEnd));
    place.firstVisibleLine = static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    place.lineCount = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    place.firstVisibleCharacter = static_cast<int>(
        SendMessageA(edit, EM_LINEINDEX, static_cast<WPARAM>(place.firstVisibleLine), 0));
    // Without a scroll bar to ask, the view is taken to be at the end, as before there was one.
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_POS | SIF_PAGE | SIF_RANGE;
    if (GetScrollInfo(edit, SB_VERT, &scroll)) {
        place.viewAtEnd = scroll.nPos + static_cast<int>(scroll.nPage) > scroll.nMax;
    }
    place.startAtLineStart = AtLineStart(shown, place.selectionStart);
    place.endAtLineStart = AtLineStart(shown, place.selectionEnd);
    place.caretAtFreshLine = place.selectionStart == place.selectionEnd &&
                             place.selectionEnd == shown.size() &&
                             (shown.empty() || shown.back() == '\n');
    return place;
}

// A character position before the change as it stands after it: text after the change moves
// with it, and so does a line start where whole lines go in (the pilot's place is the line
// that was there); a position inside the replaced text stays inside the replacement.
DWORD Moved(DWORD position, bool atLineStart, const Change& change) {
    const bool linesInsertedHere = position == change.begin && atLineStart &&
                                   change.beforeEnd == change.begin &&
                                   change.afterEnd > change.begin;
    if (position < change.begin || (position == change.begin && !linesInsertedHere)) {
        return position;
    }
    if (position >= change.beforeEnd) {
        return static_cast<DWORD>(position - change.beforeEnd + change.afterEnd);
    }
    return static_cast<DWORD>(std::min<size_t>(position, change.afterEnd));
}

// After the tracker's change: the pilot idle on the fresh line at the end of a log in view
// goes on following the end. Otherwise the caret stays with the text it was in and the view
// with the lines it showed (moved down by lines the change put above them), unless the view
// showed the end, which it keeps showing.
void RestorePlace(HWND edit, const ViewPlace& before, const Change& change) {
    const LPARAM end = static_cast<LPARAM>(GetWindowTextLengthA(edit));
    if (before.viewAtEnd && before.caretAtFreshLine) {
        SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
        SendMessageA(edit, EM_SCROLLCARET, 0, 0);
        return;
    }
    SendMessageA(edit, EM_SETSEL, Moved(before.selectionStart, before.startAtLineStart, change),
                 static_cast<LPARAM>(Moved(before.selectionEnd, before.endAtLineStart, change)));
    const int lineCount = static_cast<int>(SendMessageA(edit, EM_GETLINECOUNT, 0, 0));
    int wanted = before.firstVisibleLine;
    if (before.viewAtEnd) {
        wanted = lineCount;  // scrolling stops with the last line at the bottom
    } else if (change.begin < static_cast<size_t>(before.firstVisibleCharacter)) {
        wanted += lineCount - before.lineCount;
    }
    const int first = static_cast<int>(SendMessageA(edit, EM_GETFIRSTVISIBLELINE, 0, 0));
    SendMessageA(edit, EM_LINESCROLL, 0, wanted - first);
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
    const ViewPlace before = PlaceOf(edit_, shown_);
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
        RestorePlace(edit_, before, change);
    } else {
        SetWindowTextA(edit_, text.c_str());
        // Positions are not bytes here: the caret and the view keep their numbers.
        RestorePlace(edit_, before, Change{0, 0, 0});
    }
    shown_ = text;
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
