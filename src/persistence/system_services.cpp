// Full names of the configuration file and its backup.
#include "persistence/system_services.h"

namespace aerolinker {
namespace {

constexpr char kConfigFileName[] = "\\Aerolinker.ini";
constexpr char kConfigBackupName[] = "\\Aerolinker.inibak";

}  // namespace

std::string ConfigFilePath(const WindowsFolder& folder) {
    return folder.Path() + kConfigFileName;
}

std::string ConfigBackupPath(const WindowsFolder& folder) {
    return folder.Path() + kConfigBackupName;
}

}  // namespace aerolinker
