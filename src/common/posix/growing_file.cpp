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

int GrowingFile::OpenFile(std::uint64_t& size) {
    const int fd = open(NativePath(path_).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno;
    }
    file_ = fd;
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return errno;
    }
    size = static_cast<std::uint64_t>(info.st_size);
    return 0;
}

int GrowingFile::ReadAt(char* data, std::size_t size, std::uint64_t offset) {
    auto at = static_cast<off_t>(offset);
    while (size > 0) {
        const ssize_t got = pread(static_cast<int>(file_), data, size, at);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got < 0 ? errno : EIO;
        }
        data += got;
        size -= static_cast<std::size_t>(got);
        at += got;
    }
    return 0;
}

int GrowingFile::CutAt(std::uint64_t size) {
    return ftruncate(static_cast<int>(file_), static_cast<off_t>(size)) == 0 ? 0 : errno;
}

int GrowingFile::MapChunks(std::uint64_t start, std::uint64_t size) {
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

void GrowingFile::CloseFile() {
    close(static_cast<int>(file_));
}

}  // namespace aerolinker
