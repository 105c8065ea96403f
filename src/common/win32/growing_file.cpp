// The growing file on Windows: a view of a file mapping as large as the chunks reserved.
// Extending the mapping extends the file and takes its disk space.
#include <windows.h>

#include <string>

#include "common/growing_file.h"

namespace aerolinker {

namespace {

DWORD High(std::uint64_t value) {
    return static_cast<DWORD>(value >> 32);
}
DWORD Low(std::uint64_t value) {
    return static_cast<DWORD>(value & 0xFFFFFFFFu);
}

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

int LastError() {
    return static_cast<int>(GetLastError());
}

}  // namespace

int GrowingFile::OpenFile(std::uint64_t& size) {
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    file_ = reinterpret_cast<std::intptr_t>(file);
    LARGE_INTEGER fileSize{};
    if (!GetFileSizeEx(file, &fileSize)) {
        return LastError();
    }
    size = static_cast<std::uint64_t>(fileSize.QuadPart);
    return 0;
}

int GrowingFile::ReadAt(char* data, std::size_t size, std::uint64_t offset) {
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = Low(offset);
        at.OffsetHigh = High(offset);
        const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(HandleOf(file_), data, piece, &got, &at)) {
            return LastError();
        }
        if (got == 0) {
            return ERROR_HANDLE_EOF;
        }
        data += got;
        size -= got;
        offset += got;
    }
    return 0;
}

int GrowingFile::CutAt(std::uint64_t size) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(HandleOf(file_), at, nullptr, FILE_BEGIN) &&
                   SetEndOfFile(HandleOf(file_))
               ? 0
               : LastError();
}

int GrowingFile::MapChunks(std::uint64_t start, std::uint64_t size) {
    const std::uint64_t fileSize = start + size;
    HANDLE mapping = CreateFileMappingA(HandleOf(file_), nullptr, PAGE_READWRITE, High(fileSize),
                                        Low(fileSize), nullptr);
    if (mapping == nullptr) {
        return LastError();
    }
    mapping_ = reinterpret_cast<std::intptr_t>(mapping);
    void* view =
        MapViewOfFile(mapping, FILE_MAP_WRITE, High(start), Low(start), static_cast<SIZE_T>(size));
    if (view == nullptr) {
        return LastError();
    }
    view_ = static_cast<char*>(view);
    viewStart_ = start;
    viewSize_ = size;
    return 0;
}

void GrowingFile::Unmap() {
    if (view_ != nullptr) {
        UnmapViewOfFile(view_);
        view_ = nullptr;
    }
    if (mapping_ != kNotOpen) {
        CloseHandle(HandleOf(mapping_));
        mapping_ = kNotOpen;
    }
    viewStart_ = 0;
    viewSize_ = 0;
}

void GrowingFile::CloseFile() {
    CloseHandle(HandleOf(file_));
}

}  // namespace aerolinker
