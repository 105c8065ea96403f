// Win32 implementations of the Windows folder and the backup copy.
#include "persistence/win32/services.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

namespace aerolinker {
namespace {

// The shell takes lists of names: each ends in a NUL, the list in a second one.
std::string NameList(const std::string& path) {
    std::string list = path;
    list.push_back('\0');
    list.push_back('\0');
    return list;
}

// A shell folder (CSIDL_...) as the shell names it, or the empty text.
std::string ShellFolder(int csidl) {
    char buffer[MAX_PATH + 1] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) {
        return std::string();
    }
    return buffer;
}

}  // namespace

std::string Win32SettingsFolder::Path() const {
    const std::string appData = ShellFolder(CSIDL_APPDATA);
    return appData.empty() ? Win32WindowsFolder().Path() : appData + "\\Aerolinker";
}

std::string Win32VirtualStoreFolder::Path() const {
    const std::string local = ShellFolder(CSIDL_LOCAL_APPDATA);
    const std::string windows = Win32WindowsFolder().Path();
    // "C:\Windows" is kept there as "\Windows", without its drive.
    if (local.empty() || windows.size() < 3 || windows[1] != ':') {
        return std::string();
    }
    return local + "\\VirtualStore" + windows.substr(2);
}

std::string DefaultLogFolder() {
    const std::string documents = ShellFolder(CSIDL_PERSONAL);
    return documents.empty() ? std::string("C:\\") : documents + "\\Aerolinker";
}

std::string Win32WindowsFolder::Path() const {
    char buffer[MAX_PATH + 1] = {};
    UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    if (length == 0 || length >= sizeof buffer) {
        return std::string();
    }
    return std::string(buffer, length);
}

bool ShellFileCopier::Copy(const std::string& from, const std::string& to) {
    std::string source = NameList(from);
    std::string target = NameList(to);
    SHFILEOPSTRUCTA operation = {};
    operation.hwnd = nullptr;
    operation.wFunc = FO_COPY;
    operation.pFrom = source.c_str();
    operation.pTo = target.c_str();
    operation.fFlags = FOF_FILESONLY | FOF_NOCONFIRMATION | FOF_ALLOWUNDO;
    int result = SHFileOperationA(&operation);
    return result == 0 && !operation.fAnyOperationsAborted;
}

}  // namespace aerolinker
