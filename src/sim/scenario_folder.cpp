// Listing a folder's scenario files.
#include "sim/scenario_folder.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "common/file_io.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

constexpr char kScenarioExtension[] = ".scn";

std::string Lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

}  // namespace

std::vector<std::string> ScenarioFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    fs::directory_iterator entries(fs::path(NativePath(folder)), error);
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        std::error_code ignored;
        if (!entries->is_regular_file(ignored)) {
            continue;
        }
        std::string name;
        try {
            name = entries->path().filename().string();
        } catch (const std::system_error&) {
            continue;  // a name the program's file calls could not open anyway
        }
        const std::size_t extension = sizeof kScenarioExtension - 1;
        if (name.size() > extension &&
            Lowered(name.substr(name.size() - extension)) == kScenarioExtension) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Lowered(a) < Lowered(b); });
    return names;
}

}  // namespace aerolinker
