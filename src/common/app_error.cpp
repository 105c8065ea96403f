// Message texts of the program's own errors.
#include "common/app_error.h"

namespace aerolinker {

AppError InvalidTimeError(const std::string& text) {
    return AppError("'" + text + "' is not a valid time");
}

AppError CannotCreateFileError(const std::string& path, int systemError) {
    return AppError("Cannot create file \"" + path + "\". " + SystemErrorText(systemError));
}

AppError CannotOpenFileError(const std::string& path, int systemError) {
    return AppError("Cannot open file \"" + path + "\". " + SystemErrorText(systemError));
}

AppError UnableToWriteError(const std::string& path) {
    return AppError("Unable to write to " + path);
}

}  // namespace aerolinker
