// Saves of the Navigation log: written whole, in the system code page, no byte-order mark.
#include "navlog/log_file.h"

#include <algorithm>
#include <string_view>

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

namespace {

// The title block's lines that name a flight; the table below never starts with them.
constexpr std::string_view kNamingLines[] = {"Aircraft Ident", "Pilot ", "Date ", "DEPART ",
                                             "Take off "};
constexpr int kTitleBlockLines = 16;

std::string FlightIdentity(const LogDocument& log) {
    std::string identity;
    const int lines = std::min(log.LineCount(), kTitleBlockLines);
    for (int i = 0; i < lines; ++i) {
        const std::string& line = log.Line(i);
        for (const std::string_view start : kNamingLines) {
            if (line.compare(0, start.size(), start) == 0) {
                identity += line;
                identity += '\n';
            }
        }
    }
    return identity;
}

}  // namespace

bool NamesAnotherFlight(const std::string& fileText, const LogDocument& document) {
    LogDocument onDisk;
    onDisk.Load(fileText);
    const std::string identity = FlightIdentity(onDisk);
    return !identity.empty() && identity != FlightIdentity(document);
}

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
