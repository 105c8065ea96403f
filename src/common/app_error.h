// The error every part of the program except the simulator link raises. Its text is the exact
// message shown to the pilot; one handler boundary catches it (and any other exception).
#pragma once

#include <stdexcept>
#include <string>

namespace aerolinker {

class AppError : public std::runtime_error {
public:
    explicit AppError(const std::string& message) : std::runtime_error(message) {}
};

// "'%s' is not a valid time"
AppError InvalidTimeError(const std::string& text);

// "Cannot create file "%s". %s" and "Cannot open file "%s". %s": the reason is the system's
// text for the error number (one place maps it, see SystemErrorText).
AppError CannotCreateFileError(const std::string& path, int systemError);
AppError CannotOpenFileError(const std::string& path, int systemError);

// "Unable to write to %s"
AppError UnableToWriteError(const std::string& path);

// The system's own text for an errno value (portable build) or a Win32 error code (Windows).
std::string SystemErrorText(int systemError);

}  // namespace aerolinker
