// The growing file on POSIX systems: a shared mapping of the file, its chunks reserved with
// posix_fallocate.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/file_io.h"
#include "common/growing_file.h"

namespace aerolinker {

namespace {

// Reads `size` bytes at `offset`; 0 or errno.
int ReadAt(int fd, char* data, std::size_t size, off_t offset) {
    while (size > 0) {
        const ssize_t got = pread(fd, data, size, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : EIO;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
        offset += got;
    }
    return 0;
}

}  // namespace

int GrowingFile::Open(const std::string& header, std::string& before) {
    const int fd = open(NativePath(path_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno;
    }
    file_ = fd;
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return errno;
    }
    const auto size = static_cast<std::uint64_t>(info.st_size);
    std::uint64_t end = 0;
    char last = '\n';
    if (int error = FindRecordsEnd(
            size,
            [fd](char* data, std::size_t count, std::uint64_t offset) {
                return ReadAt(fd, data, count, static_cast<off_t>(offset));
            },
            end, last);
        error != 0) {
        return error;
    }
    if (end < size && ftruncate(fd, static_cast<off_t>(end)) != 0) {
        return errno;
    }
    end_ = end;
    before = end == 0 ? header : last != '\n' ? "\r\n" : "";
    return 0;
}

int GrowingFile::MapUpTo(std::uint64_t needed) {
    Unmap();
    const std::uint64_t start = end_ - end_ % kChunkBytes;
    const std::uint64_t size = (needed - start + kChunkBytes - 1) / kChunkBytes * kChunkBytes;
    const int fd = static_cast<int>(file_);
    // Reserved, so that a full disk is this error and never a fault of a write into the view.
    if (int error = posix_fallocate(fd, static_cast<off_t>(start), static_cast<off_t>(size));
        error != 0) {
        return error;
    }
    void* view = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ | PROT_WRITE, MAP_SHARED,
                      fd, static_cast<off_t>(start));
    if (view == MAP_FAILED) {
        return errno;
    }
    view_ = static_cast<char*>(view);
    viewStart_ = start;
    viewSize_ = size;
    return 0;
}

void GrowingFile::Unmap() {
    if (view_ != nullptr) {
        munmap(view_, static_cast<std::size_t>(viewSize_));
        view_ = nullptr;
    }
    viewStart_ = 0;
    viewSize_ = 0;
}

void GrowingFile::Close() {
    Unmap();
    if (file_ != kNotOpen) {
        const int fd = static_cast<int>(file_);
        // The rest of the last chunk goes; should this fail, the next opening cuts it.
        const int cut = ftruncate(fd, static_cast<off_t>(end_));
        static_cast<void>(cut);
        close(fd);
        file_ = kNotOpen;
    }
    end_ = 0;
}

}  // namespace aerolinker
