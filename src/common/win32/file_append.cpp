// Appending and folder making on Windows.
#include <windows.h>

#include <string>

#include "common/file_append.h"

namespace aerolinker {

namespace {

// Opens the file for appending and finds what must come before the first record: the header
// of an empty file, or the line break that closes a line cut short.
DWORD OpenForAppend(const std::string& path, const std::string& header, HANDLE& file,
                    std::string& before) {
    // FILE_APPEND_DATA without FILE_WRITE_DATA: every write lands at the end of the file.
    file = CreateFileA(path.c_str(), GENERIC_READ | FILE_APPEND_DATA,
                       FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return GetLastError();
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        return GetLastError();
    }
    if (size.QuadPart == 0) {
        before = header;
        return 0;
    }
    LARGE_INTEGER lastByte{};
    lastByte.QuadPart = size.QuadPart - 1;
    char last = '\n';
    DWORD got = 0;
    if (!SetFilePointerEx(file, lastByte, nullptr, FILE_BEGIN) ||
        !ReadFile(file, &last, 1, &got, nullptr)) {
        return GetLastError();
    }
    if (got == 1 && last != '\n') {
        before = "\r\n";
    }
    return 0;
}

DWORD WriteAll(HANDLE file, const std::string& chunk) {
    const char* data = chunk.data();
    size_t left = chunk.size();
    while (left > 0) {
        DWORD piece = left > 0x40000000 ? 0x40000000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, data, piece, &written, nullptr)) {
            return GetLastError();
        }
        data += written;
        left -= written;
    }
    return 0;
}

}  // namespace

int AppendingFile::Append(const std::string& header, const std::string& bytes) {
    std::string chunk;
    if (file_ == kNotOpen) {
        HANDLE file = INVALID_HANDLE_VALUE;
        const DWORD error = OpenForAppend(path_, header, file, chunk);
        if (file != INVALID_HANDLE_VALUE) {
            file_ = reinterpret_cast<std::intptr_t>(file);
        }
        if (error != 0) {
            Close();
            return static_cast<int>(error);
        }
    }
    chunk += bytes;
    const DWORD error = WriteAll(reinterpret_cast<HANDLE>(file_), chunk);
    if (error != 0) {
        Close();
    }
    return static_cast<int>(error);
}

void AppendingFile::Close() {
    if (file_ != kNotOpen) {
        CloseHandle(reinterpret_cast<HANDLE>(file_));
        file_ = kNotOpen;
    }
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
