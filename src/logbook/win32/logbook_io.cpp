// Appending and folder making on Windows.
#include <windows.h>

#include <string>

#include "logbook/logbook_io.h"

namespace aerolinker {

int AppendToFile(const std::string& path, const std::string& header, const std::string& bytes) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end of the file.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | FILE_APPEND_DATA, FILE_SHARE_READ,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return static_cast<int>(GetLastError());
    }
    DWORD error = 0;
    LARGE_INTEGER size{};
    std::string chunk;
    if (!GetFileSizeEx(file, &size)) {
        error = GetLastError();
    } else if (size.QuadPart == 0) {
        chunk = header;
    } else {
        LARGE_INTEGER lastByte{};
        lastByte.QuadPart = size.QuadPart - 1;
        char last = '\n';
        DWORD got = 0;
        if (!SetFilePointerEx(file, lastByte, nullptr, FILE_BEGIN) ||
            !ReadFile(file, &last, 1, &got, nullptr)) {
            error = GetLastError();
        } else if (got == 1 && last != '\n') {
            chunk = "\r\n";
        }
    }
    chunk += bytes;
    const char* data = chunk.data();
    size_t left = chunk.size();
    while (error == 0 && left > 0) {
        DWORD piece = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, data, piece, &written, nullptr)) {
            error = GetLastError();
        }
        data += written;
        left -= written;
    }
    CloseHandle(file);
    return static_cast<int>(error);
}

int CreateFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) {
        return 0;
    }
    DWORD error = GetLastError();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return 0;
    }
    return static_cast<int>(error);
}

}  // namespace aerolinker
