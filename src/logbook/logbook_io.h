// The two file operations the logbook needs beyond common/file_io.h: appending to a file that
// grows tick by tick, and making the Logbook folder. posix/ and win32/ implement this file.
#pragma once

#include <string>

namespace aerolinker {

// Appends `bytes` to the file, creating it if missing, and hands them to the system before
// returning. When the file is new or empty, `header` goes first. When its last line was cut
// short (the computer stopped in the middle of a write), a CR LF closes that line first so
// the new record does not run into it. The file is never rewritten. Returns 0 or the
// platform's error code, for SystemErrorText.
int AppendToFile(const std::string& path, const std::string& header, const std::string& bytes);

// Makes the folder (its parent must exist); a folder already there is success. Returns 0 or
// the platform's error code.
int CreateFolder(const std::string& path);

}  // namespace aerolinker
