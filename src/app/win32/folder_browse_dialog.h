// The folder-browse dialog the pilot form's two browse buttons share: the shell's own, rooted
// at My Computer.
#pragma once

#include <windows.h>

#include <string>

namespace aerolinker {

class FolderBrowseDialog {
public:
    explicit FolderBrowseDialog(std::string title) : title_(std::move(title)) {}

    // Shows the dialog with `folder` selected when it exists. When the pilot confirms a
    // folder, its full path as the system gives it replaces `folder` and the result is true;
    // a cancel leaves `folder` as it was.
    bool Execute(HWND owner, std::string& folder) const;

    const std::string& title() const { return title_; }

private:
    std::string title_;
};

}  // namespace aerolinker
