// The API key on the Linux console host: a text file the pilot's account alone may read, the
// key on its first line. A file others could read is refused rather than used: the key in it
// may already have leaked, and the pilot should know before it is sent anywhere.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "airline/keys/key_store.h"
#include "common/app_error.h"
#include "common/file_io.h"

namespace aerolinker {
namespace {

// Owner read and write; any bit of the group's or the others' refuses the file.
constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;
constexpr mode_t kGroupAndOthers = S_IRWXG | S_IRWXO;
// A key is a short token; a file far larger is not a key file.
constexpr std::size_t kMaxKeyFileBytes = 64 * 1024;
constexpr char kBlanks[] = " \t\r";

std::string FirstLineTrimmed(const std::string& bytes) {
    const std::string line = bytes.substr(0, bytes.find('\n'));
    const std::size_t first = line.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        return {};
    }
    return line.substr(first, line.find_last_not_of(kBlanks) - first + 1);
}

std::string ReadAll(int fd, int& error) {
    std::string bytes;
    char buffer[4096];
    while (bytes.size() <= kMaxKeyFileBytes) {
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            error = errno;
            return {};
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    error = bytes.size() > kMaxKeyFileBytes ? EFBIG : 0;
    return bytes;
}

int WriteAll(int fd, const std::string& bytes) {
    const char* data = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t written = write(fd, data, left);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written < 0) {
            return errno;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return 0;
}

class KeyFile : public ApiKeyStore {
public:
    explicit KeyFile(std::string path) : path_(NativePath(path)) {}

    bool Load(std::string& key, std::string& error) override {
        key.clear();
        // The mode is read from the file opened, not looked up by name before: the file cannot
        // be swapped between the look and the read.
        const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY);
        if (fd < 0 && errno == ENOENT) {
            return true;
        }
        if (fd < 0) {
            error = CannotOpenFileError(path_, errno).what();
            return false;
        }
        struct stat info {};
        int problem = fstat(fd, &info) != 0 ? errno : 0;
        if (problem == 0 && !S_ISREG(info.st_mode)) {
            problem = EISDIR;
        }
        if (problem == 0 && (info.st_mode & kGroupAndOthers) != 0) {
            close(fd);
            error = "The API key file " + path_ +
                    " must be readable by its owner only (chmod 600 " + path_ + ")";
            return false;
        }
        std::string bytes;
        if (problem == 0) {
            bytes = ReadAll(fd, problem);
        }
        close(fd);
        if (problem != 0) {
            error = CannotOpenFileError(path_, problem).what();
            return false;
        }
        key = FirstLineTrimmed(bytes);
        return true;
    }

    bool Save(const std::string& key, std::string& error) override {
        if (key.empty()) {
            if (unlink(path_.c_str()) != 0 && errno != ENOENT) {
                error = "Cannot delete file \"" + path_ + "\". " + SystemErrorText(errno);
                return false;
            }
            return true;
        }
        // The temporary is made owner-only from its first byte (and set so again, whatever
        // the umask), then renamed over the old file: the key is never readable by others,
        // not even for a moment, and a crash leaves the old key or the new one.
        const std::string temporary = path_ + ".tmp" + std::to_string(getpid());
        unlink(temporary.c_str());
        const int fd =
            open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, kOwnerOnly);
        if (fd < 0) {
            error = CannotCreateFileError(path_, errno).what();
            return false;
        }
        int problem = fchmod(fd, kOwnerOnly) != 0 ? errno : 0;
        if (problem == 0) {
            problem = WriteAll(fd, key + "\n");
        }
        if (problem == 0 && fsync(fd) != 0) {
            problem = errno;
        }
        if (close(fd) != 0 && problem == 0) {
            problem = errno;
        }
        if (problem == 0 && std::rename(temporary.c_str(), path_.c_str()) != 0) {
            problem = errno;
        }
        if (problem != 0) {
            unlink(temporary.c_str());
            error = CannotCreateFileError(path_, problem).what();
            return false;
        }
        return true;
    }

private:
    std::string path_;
};

}  // namespace

std::unique_ptr<ApiKeyStore> MakeApiKeyStore(const std::string& path) {
    return std::make_unique<KeyFile>(path);
}

}  // namespace aerolinker
