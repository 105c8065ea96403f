// The two platform services persistence needs: the Windows folder, where the configuration
// file lives, and the file copy that makes the backups. Win32 and portable implementations
// live in win32/ and portable/.
#pragma once

#include <string>

namespace aerolinker {

class WindowsFolder {
public:
    virtual ~WindowsFolder() = default;
    // The folder as the platform reports it, without a trailing separator.
    virtual std::string Path() const = 0;
};

class FileCopier {
public:
    virtual ~FileCopier() = default;
    // Copies `from` onto `to`, replacing it without asking. Callers go on whatever the outcome;
    // it is returned for tests and for a future caller that cares.
    virtual bool Copy(const std::string& from, const std::string& to) = 0;
};

// "\Aerolinker.ini" and "\Aerolinker.inibak" in the Windows folder.
std::string ConfigFilePath(const WindowsFolder& folder);
std::string ConfigBackupPath(const WindowsFolder& folder);

}  // namespace aerolinker
