// The text area bound to the Navigation log.
#include "app/win32/log_view.h"

#include "app/win32/window_text.h"

namespace aerolinker {

LogView::LogView(HWND edit, LogDocument& document) : edit_(edit), document_(document) {
    // The default limit (about 30,000 characters) would cut a long flight's log short.
    SendMessageA(edit_, EM_SETLIMITTEXT, 0, 0);
    document_.SetChangeListener([this] { ShowDocument(); });
    ShowDocument();
}

LogView::~LogView() { document_.SetChangeListener(nullptr); }

void LogView::ShowDocument() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    // Every line ends in CR LF, so the caret can rest on a fresh line below the last one,
    // and the text reads back into exactly these lines.
    const std::string text = document_.Text();
    SendMessageA(edit_, WM_SETREDRAW, FALSE, 0);
    SetWindowTextA(edit_, text.c_str());
    // Keep the newest lines in sight as the flight goes on.
    const LPARAM end = static_cast<LPARAM>(GetWindowTextLengthA(edit_));
    SendMessageA(edit_, EM_SETSEL, static_cast<WPARAM>(end), end);
    SendMessageA(edit_, EM_SCROLLCARET, 0, 0);
    SendMessageA(edit_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(edit_, nullptr, TRUE);
    syncing_ = false;
}

void LogView::OnEditChanged() {
    if (syncing_) {
        return;
    }
    syncing_ = true;
    document_.Load(WindowText(edit_));
    syncing_ = false;
}

}  // namespace aerolinker
