// `Memo1`: the text area that shows the Navigation log and hands the pilot's typing back to
// it. The document's lines are the log; the edit control only displays them, so wrapping a
// long line on screen never changes which line the tracker writes at.
#pragma once

#include <windows.h>

#include <string>

#include "navlog/log_document.h"

namespace aerolinker {

class LogView {
public:
    // Takes over the document's change listener and shows the document at once.
    LogView(HWND edit, LogDocument& document);
    ~LogView();
    LogView(const LogView&) = delete;
    LogView& operator=(const LogView&) = delete;

    // The control's EN_CHANGE: the pilot has typed, pasted or cut; the document takes the
    // control's text line by line.
    void OnEditChanged();

    HWND edit() const { return edit_; }

private:
    void ShowDocument();

    HWND edit_;
    LogDocument& document_;
    // The control's text as last put in or read back.
    std::string shown_;
    // Set while one side is being brought in line with the other, so neither echoes back.
    bool syncing_ = false;
};

}  // namespace aerolinker
