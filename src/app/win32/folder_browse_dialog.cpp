// SHBrowseForFolderA with a starting selection.
#include "app/win32/folder_browse_dialog.h"

#include <objbase.h>
#include <shlobj.h>

namespace aerolinker {
namespace {

struct BrowseStart {
    const std::string* title;
    const std::string* folder;
};

int CALLBACK OnBrowseEvent(HWND dialog, UINT event, LPARAM, LPARAM data) {
    if (event == BFFM_INITIALIZED) {
        const auto* start = reinterpret_cast<const BrowseStart*>(data);
        SetWindowTextA(dialog, start->title->c_str());
        if (!start->folder->empty()) {
            SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE,
                         reinterpret_cast<LPARAM>(start->folder->c_str()));
        }
    }
    return 0;
}

}  // namespace

bool FolderBrowseDialog::Execute(HWND owner, std::string& folder) const {
    PIDLIST_ABSOLUTE myComputer = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DRIVES, &myComputer))) {
        myComputer = nullptr;  // the whole namespace, then
    }
    char displayName[MAX_PATH] = {};
    BrowseStart start{&title_, &folder};
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = myComputer;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title_.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = &OnBrowseEvent;
    browse.lParam = reinterpret_cast<LPARAM>(&start);

    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
    bool confirmed = false;
    if (chosen) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(chosen, path)) {
            folder = path;
            confirmed = true;
        }
        CoTaskMemFree(chosen);
    }
    if (myComputer) {
        CoTaskMemFree(myComputer);
    }
    return confirmed;
}

}  // namespace aerolinker
