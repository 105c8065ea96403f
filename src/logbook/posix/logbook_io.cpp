// Appending and folder making on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "common/file_io.h"
#include "logbook/logbook_io.h"

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

int AppendToFile(const std::string& path, const std::string& header, const std::string& bytes) {
    // O_APPEND puts every write at the end whatever else has the file open.
    int fd = open(NativePath(path).c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno;
    }
    struct stat info {};
    int error = fstat(fd, &info) != 0 ? errno : 0;
    std::string chunk;
    if (error == 0 && info.st_size == 0) {
        chunk = header;
    } else if (error == 0) {
        char last = '\n';
        if (pread(fd, &last, 1, info.st_size - 1) != 1) {
            error = errno;
        } else if (last != '\n') {
            chunk = "\r\n";
        }
    }
    chunk += bytes;
    if (error == 0) {
        error = WriteAll(fd, chunk);
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    return error;
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
