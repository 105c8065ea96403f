// Appending transcript lines with the Win32 file calls.
#include "sim/win32/transcript_file.h"

#include <windows.h>

#include "common/app_error.h"

namespace aerolinker {

TranscriptFile::~TranscriptFile() {
    if (handle_ != nullptr) {
        CloseHandle(handle_);
    }
}

bool TranscriptFile::Open(const std::string& path, std::string& error) {
    // Others may read (and tests delete) the file while the simulator runs.
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = "cannot open the transcript \"" + path +
                "\": " + SystemErrorText(static_cast<int>(GetLastError()));
        return false;
    }
    handle_ = file;
    return true;
}

void TranscriptFile::Append(const std::string& line) {
    if (handle_ == nullptr) {
        return;
    }
    // WriteFile keeps nothing back in the process: a reader sees the line as soon as the
    // call returns.
    const std::string bytes = line + "\r\n";
    DWORD written = 0;
    WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

}  // namespace aerolinker
