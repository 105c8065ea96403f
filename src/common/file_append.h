// The file operations beyond common/file_io.h that the recorder and the logbook need:
// appending to a file that grows tick by tick, and making a folder. posix/ and win32/
// implement this file.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace aerolinker {

// Appends `bytes` to the file, creating it if missing, and hands them to the system before
// returning. When the file is new or empty, `header` goes first. When its last line was cut
// short (the computer stopped in the middle of a write), a CR LF closes that line first so
// the new record does not run into it. The file is never rewritten. Returns 0 or the
// platform's error code, for SystemErrorText.
int AppendToFile(const std::string& path, const std::string& header, const std::string& bytes);

// A file that grows by an append at every tick, kept open between appends: opening, checking
// and closing it every five seconds would cost more than the row. The first append opens it as
// AppendToFile does (the header when it is empty, a line cut short closed); a failed write
// closes it, and the next append opens it again. Close it before the file is replaced.
class AppendingFile {
public:
    explicit AppendingFile(std::string path) : path_(std::move(path)) {}
    ~AppendingFile() { Close(); }
    AppendingFile(const AppendingFile&) = delete;
    AppendingFile& operator=(const AppendingFile&) = delete;

    // Returns 0 or the platform's error code.
    int Append(const std::string& header, const std::string& bytes);
    void Close();
    const std::string& Path() const { return path_; }

private:
    std::string path_;
    // The open file: a descriptor, or a Windows handle; kNotOpen when closed.
    static constexpr std::intptr_t kNotOpen = -1;
    std::intptr_t file_ = kNotOpen;
};

// Makes the folder (its parent must exist); a folder already there is success. Returns 0 or
// the platform's error code.
int CreateFolder(const std::string& path);

}  // namespace aerolinker
