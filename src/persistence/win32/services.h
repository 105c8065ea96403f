// The folders of the program's files and the shell's file copy, as the Windows program uses them.
#pragma once

#include <string>

#include "persistence/system_services.h"

namespace aerolinker {

// GetWindowsDirectoryA.
class Win32WindowsFolder : public Folder {
public:
    std::string Path() const override;
};

// The user's own settings folder: %APPDATA%\Aerolinker (CSIDL_APPDATA), which a standard user
// may write to on every Windows.
class Win32SettingsFolder : public Folder {
public:
    std::string Path() const override;
};

// Where Windows' file virtualisation kept what an older 32-bit copy wrote into the Windows
// folder without the right to: %LOCALAPPDATA%\VirtualStore\Windows. Empty on a Windows
// without it.
class Win32VirtualStoreFolder : public Folder {
public:
    std::string Path() const override;
};

// The default log folder: the user's Documents folder + "\Aerolinker".
std::string DefaultLogFolder();

// SHFileOperationA FO_COPY with files only, no confirmation and undo allowed: the shell may
// show its own progress or error window, as it does for a copy in Explorer.
class ShellFileCopier : public FileCopier {
public:
    bool Copy(const std::string& from, const std::string& to) override;
};

}  // namespace aerolinker
