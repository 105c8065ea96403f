// Full names of the configuration file and its backup, and the take-over of an older copy's.
#include "persistence/system_services.h"

#include <filesystem>
#include <system_error>

#include "common/file_io.h"

namespace aerolinker {
namespace {

constexpr char kConfigFileName[] = "\\Aerolinker.ini";
constexpr char kConfigBackupName[] = "\\Aerolinker.inibak";

}  // namespace

std::string ConfigFilePath(const Folder& folder) {
    return folder.Path() + kConfigFileName;
}

std::string ConfigBackupPath(const Folder& folder) {
    return folder.Path() + kConfigBackupName;
}

bool CreateFolders(const std::string& path) {
    std::error_code error;
    const std::filesystem::path folder(NativePath(path));
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

std::string TakeOverOlderSettings(const Folder& settings,
                                  std::initializer_list<const Folder*> olderPlaces) {
    // The folder is made whatever comes next: the first save of the settings needs it.
    if (!CreateFolders(settings.Path())) {
        return std::string();
    }
    const std::string target = ConfigFilePath(settings);
    if (FileExists(target)) {
        return std::string();
    }
    for (const Folder* place : olderPlaces) {
        const std::string older = ConfigFilePath(*place);
        std::string bytes;
        if (place->Path().empty() || ReadFileContents(older, bytes) != 0) {
            continue;
        }
        if (ReplaceFileContents(target, bytes) != 0) {
            return std::string();
        }
        return older;
    }
    return std::string();
}

}  // namespace aerolinker
