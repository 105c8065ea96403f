// The portable Windows folder and file copy.
#include "persistence/portable/services.h"

#include <utility>

#include "common/file_io.h"

namespace aerolinker {

GivenFolder::GivenFolder(std::string path) : path_(std::move(path)) {
    // The configuration's name is joined with "\", so a trailing separator would double it.
    while (path_.size() > 1 && (path_.back() == '\\' || path_.back() == '/')) {
        path_.pop_back();
    }
}

bool ByteFileCopier::Copy(const std::string& from, const std::string& to) {
    std::string bytes;
    if (ReadFileContents(from, bytes) != 0) {
        return false;
    }
    return ReplaceFileContents(to, bytes) == 0;
}

}  // namespace aerolinker
