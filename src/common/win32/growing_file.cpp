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

DWORD ReadAt(HANDLE file, char* data, std::size_t size, std::uint64_t offset) {
    while (size > 0) {
        OVERLAPPED at{};
        at.Offset = Low(offset);
        at.OffsetHigh = High(offset);
        const DWORD piece = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD got = 0;
        if (!ReadFile(file, data, piece, &got, &at)) {
            return GetLastError();
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

bool CutAt(HANDLE file, std::uint64_t end) {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(end);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && SetEndOfFile(file);
}

}  // namespace

int GrowingFile::Open(const std::string& header, std::string& before) {
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return static_cast<int>(GetLastError());
    }
    file_ = reinterpret_cast<std::intptr_t>(file);
    LARGE_INTEGER fileSize{};
    if (!GetFileSizeEx(file, &fileSize)) {
        return static_cast<int>(GetLastError());
    }
    const auto size = static_cast<std::uint64_t>(fileSize.QuadPart);
    std::uint64_t end = 0;
    char last = '\n';
    if (int error = FindRecordsEnd(
            size,
            [file](char* data, std::size_t count, std::uint64_t offset) {
                return static_cast<int>(ReadAt(file, data, count, offset));
            },
            end, last);
        error != 0) {
        return error;
    }
    if (end < size && !CutAt(file, end)) {
        return static_cast<int>(GetLastError());
    }
    end_ = end;
    before = end == 0 ? header : last != '\n' ? "\r\n" : "";
    return 0;
}

int GrowingFile::MapUpTo(std::uint64_t needed) {
    Unmap();
    const std::uint64_t start = end_ - end_ % kChunkBytes;
    const std::uint64_t size = (needed - start + kChunkBytes - 1) / kChunkBytes * kChunkBytes;
    const std::uint64_t fileSize = start + size;
    HANDLE mapping = CreateFileMappingA(reinterpret_cast<HANDLE>(file_), nullptr, PAGE_READWRITE,
                                        High(fileSize), Low(fileSize), nullptr);
    if (mapping == nullptr) {
        return static_cast<int>(GetLastError());
    }
    mapping_ = reinterpret_cast<std::intptr_t>(mapping);
    void* view =
        MapViewOfFile(mapping, FILE_MAP_WRITE, High(start), Low(start), static_cast<SIZE_T>(size));
    if (view == nullptr) {
        return static_cast<int>(GetLastError());
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
        CloseHandle(reinterpret_cast<HANDLE>(mapping_));
        mapping_ = kNotOpen;
    }
    viewStart_ = 0;
    viewSize_ = 0;
}

void GrowingFile::Close() {
    Unmap();
    if (file_ != kNotOpen) {
        HANDLE file = reinterpret_cast<HANDLE>(file_);
        // The rest of the last chunk goes; should this fail, the next opening cuts it.
        CutAt(file, end_);
        CloseHandle(file);
        file_ = kNotOpen;
    }
    end_ = 0;
}

}  // namespace aerolinker
