// The platform services persistence needs: the folders the program's files live in (the
// user's settings folder, the Windows folder where older copies kept the settings, the user's
// documents) and the file copy that makes the backups. Win32 and portable implementations live
// in win32/ and portable/.
#pragma once

#include <initializer_list>
#include <string>

namespace aerolinker {

class Folder {
public:
    virtual ~Folder() = default;
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

// "\Aerolinker.ini" and "\Aerolinker.inibak" in the folder of the settings.
std::string ConfigFilePath(const Folder& folder);
std::string ConfigBackupPath(const Folder& folder);

// The settings live in the user's own folder: a standard user cannot write to the Windows
// folder. On the first start that finds no settings file there, the file an older copy left is
// taken over whole, every section and key as it stands: from the first of `olderPlaces` that
// has one (the copy Windows' file virtualisation made, then the Windows folder itself). The
// old file is left alone. Creates the settings folder first, whether or not there is anything
// to take over: the first save of the settings needs it. Returns the file taken over,
// or the empty text when there was nothing to take over or the settings file exists.
std::string TakeOverOlderSettings(const Folder& settings,
                                  std::initializer_list<const Folder*> olderPlaces);

// Creates a folder and the folders above it that are missing; true when it exists afterwards.
bool CreateFolders(const std::string& path);

}  // namespace aerolinker
