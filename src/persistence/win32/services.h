// The Windows folder and the shell's file copy, as the Windows program uses them.
#pragma once

#include <string>

#include "persistence/system_services.h"

namespace aerolinker {

// GetWindowsDirectoryA.
class Win32WindowsFolder : public WindowsFolder {
public:
    std::string Path() const override;
};

// SHFileOperationA FO_COPY with files only, no confirmation and undo allowed: the shell may
// show its own progress or error window, as it does for a copy in Explorer.
class ShellFileCopier : public FileCopier {
public:
    bool Copy(const std::string& from, const std::string& to) override;
};

}  // namespace aerolinker
