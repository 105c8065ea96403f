// Appending and folder making on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/file_io.h"
#include "common/file_append.h"

namespace aerolinker {

namespace {

int WriteAll(int fd, const std::string& bytes) {
    const char* data = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return 0;
}

}  // namespace

namespace {

// Opens the file for appending and finds what must come before the first record: the header
// of an empty file, or the line break that closes a line cut short.
int OpenForAppend(const std::string& path, const std::string& header, int& fd,
                  std::string& before) {
    // O_APPEND puts every write at the end whatever else has the file open.
    fd = open(NativePath(path).c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        return errno;
    }
    if (info.st_size == 0) {
        before = header;
        return 0;
    }
    char last = '\n';
    if (pread(fd, &last, 1, info.st_size - 1) != 1) {
        return errno;
    }
    if (last != '\n') {
        before = "\r\n";
    }
    return 0;
}

}  // namespace

int AppendingFile::Append(const std::string& header, const std::string& bytes) {
    std::string chunk;
    if (file_ == kNotOpen) {
        int fd = -1;
        const int error = OpenForAppend(path_, header, fd, chunk);
        if (fd >= 0) {
            file_ = fd;
        }
        if (error != 0) {
            Close();
            return error;
        }
    }
    chunk += bytes;
    const int error = WriteAll(static_cast<int>(file_), chunk);
    if (error != 0) {
        Close();
    }
    return error;
}

void AppendingFile::Close() {
    if (file_ != kNotOpen) {
        close(static_cast<int>(file_));
        file_ = kNotOpen;
    }
}

int CreateFolder(const std::string& path) {
    const std::string native = NativePath(path);
    if (mkdir(native.c_str(), 0755) == 0) {
        return 0;
    }
    int error = errno;
    struct stat info {};
    if (error == EEXIST && stat(native.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        return 0;
    }
    return error;
}

}  // namespace aerolinker
