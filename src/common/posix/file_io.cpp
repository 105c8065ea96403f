// Whole-file reads and atomic replacement on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "common/durable_steps.h"
#include "common/file_io.h"

namespace aerolinker {

std::string NativePath(const std::string& path) {
    std::string native = path;
    for (char& c : native) {
        if (c == '\\') {
            c = '/';
        }
    }
    return native;
}

int ReplaceFileContents(const std::string& path, std::string_view bytes) {
    const std::string target = NativePath(path);
    // One program, one thread: the process id and a counter make the temporary's name unique,
    // and O_EXCL refuses a stale file of the same name rather than writing through it.
    static unsigned counter = 0;
    const std::string temporary =
        target + ".tmp" + std::to_string(getpid()) + "." + std::to_string(++counter);
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return errno;
    }
    const char* data = bytes.data();
    size_t left = bytes.size();
    int error = 0;
    while (left > 0) {
        ssize_t written = write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = errno;
            break;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    if (error == 0 && fdatasync(fd) != 0) {
        error = errno;
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0) {
        NoteDurableStep(path);
    }
    if (error == 0 && std::rename(temporary.c_str(), target.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporary.c_str());
    }
    return error;
}

int ReadFileContents(const std::string& path, std::string& bytes) {
    std::FILE* file = std::fopen(NativePath(path).c_str(), "rb");
    if (file == nullptr) {
        return errno;
    }
    bytes.clear();
    char buffer[65536];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, got);
    }
    int error = std::ferror(file) ? EIO : 0;
    std::fclose(file);
    return error;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return stat(NativePath(path).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace aerolinker
