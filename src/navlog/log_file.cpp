// Saves of the Navigation log: written whole, in the system code page, no byte-order mark.
#include "navlog/log_file.h"

#include "common/app_error.h"
#include "common/file_io.h"

namespace aerolinker {
namespace {

void WriteWhole(const std::string& path, const std::string& bytes) {
    if (int error = ReplaceFileContents(path, bytes); error != 0) {
        throw CannotCreateFileError(path, error);
    }
}

}  // namespace

void DirectSave(const LogDocument& document, const std::string& path) {
    WriteWhole(path, document.Text());
}

void TrackerSave(const LogDocument& document, const std::string& path) {
    WriteWhole(path, document.Text() + kCrLf);
}

std::string ReadLogFile(const std::string& path) {
    std::string bytes;
    if (int error = ReadFileContents(path, bytes); error != 0) {
        throw CannotOpenFileError(path, error);
    }
    return bytes;
}

}  // namespace aerolinker
