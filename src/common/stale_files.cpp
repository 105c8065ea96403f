// Removal of the temporaries of interrupted atomic replacements.
#include "common/stale_files.h"

#include <filesystem>
#include <system_error>

#include "common/file_io.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

// "<name>.tmp" followed by digits and dots only: the temporaries' names on every platform.
bool IsTemporaryOf(const std::string& candidate, const std::string& name) {
    const std::string prefix = name + ".tmp";
    if (candidate.size() <= prefix.size() || candidate.compare(0, prefix.size(), prefix) != 0) {
        return false;
    }
    for (std::size_t i = prefix.size(); i < candidate.size(); ++i) {
        if (!(candidate[i] >= '0' && candidate[i] <= '9') && candidate[i] != '.') {
            return false;
        }
    }
    return true;
}

// "<any name>.tmp" followed by digits and dots only.
bool IsTemporary(const std::string& candidate) {
    const std::size_t mark = candidate.rfind(".tmp");
    return mark != std::string::npos && mark > 0 &&
           IsTemporaryOf(candidate, candidate.substr(0, mark));
}

}  // namespace

int RemoveStaleTemporariesIn(const std::string& folder) {
    std::error_code error;
    fs::directory_iterator entries(fs::path(NativePath(folder)), error);
    int removed = 0;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::path& candidate = entries->path();
        std::error_code ignored;
        if (IsTemporary(candidate.filename().string()) && fs::is_regular_file(candidate, ignored) &&
            fs::remove(candidate, ignored)) {
            ++removed;
        }
    }
    return removed;
}

int RemoveStaleTemporaries(const std::string& path) {
    const fs::path file(NativePath(path));
    const std::string name = file.filename().string();
    std::error_code error;
    fs::directory_iterator entries(file.parent_path(), error);
    int removed = 0;
    for (; !error && entries != fs::directory_iterator(); entries.increment(error)) {
        const fs::path& candidate = entries->path();
        std::error_code ignored;
        if (IsTemporaryOf(candidate.filename().string(), name) &&
            fs::is_regular_file(candidate, ignored) && fs::remove(candidate, ignored)) {
            ++removed;
        }
    }
    return removed;
}

}  // namespace aerolinker
