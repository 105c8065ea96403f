// Whole-file reads and atomic replacement on Windows (MoveFileExA over the old file).
#include <windows.h>

#include "common/durable_steps.h"
#include "common/file_io.h"

namespace aerolinker {

std::string NativePath(const std::string& path) {
    return path;
}

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const std::string temporary = path + ".tmp" + std::to_string(GetCurrentProcessId());
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return static_cast<int>(GetLastError());
    }
    DWORD error = 0;
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0 && error == 0) {
        DWORD chunk = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, data, chunk, &written, nullptr)) {
            error = GetLastError();
        }
        data += written;
        left -= written;
    }
    if (error == 0 && !FlushFileBuffers(file)) {
        error = GetLastError();
    }
    CloseHandle(file);
    if (error == 0) {
        NoteDurableStep(path);
    }
    if (error == 0 && !MoveFileExA(temporary.c_str(), path.c_str(),
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
    }
    if (error != 0) {
        DeleteFileA(temporary.c_str());
    }
    return static_cast<int>(error);
}

int ReadFileContents(const std::string& path, std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return static_cast<int>(GetLastError());
    }
    bytes.clear();
    char buffer[65536];
    DWORD got = 0;
    DWORD error = 0;
    while (true) {
        if (!ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
            error = GetLastError();
            break;
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, got);
    }
    CloseHandle(file);
    return static_cast<int>(error);
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace aerolinker
