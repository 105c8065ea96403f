// The API key on Windows: encrypted with the pilot's account's data-protection key (DPAPI) and
// the encrypted blob kept in a file. Only the same account on the same computer can decrypt it;
// copied elsewhere, or read by another user, the file is noise.
#include <windows.h>
#include <dpapi.h>

#include <string>
#include <utility>

#include "airline/keys/key_store.h"
#include "common/app_error.h"
#include "common/file_io.h"

namespace aerolinker {
namespace {

// Mixed into the encryption, so that another program of the same account that decrypts
// whatever DPAPI blobs it finds does not get the key without knowing this too.
constexpr char kEntropy[] = "Aerolinker airline API key";
// Stored readable inside the blob: what a pilot inspecting the file with a DPAPI tool sees.
constexpr wchar_t kDescription[] = L"Aerolinker airline API key";

// The LocalAlloc'ed output of the DPAPI calls, wiped and freed however the function ends.
class LocalBlob {
public:
    LocalBlob() = default;
    ~LocalBlob() {
        if (blob.pbData != nullptr) {
            SecureZeroMemory(blob.pbData, blob.cbData);
            LocalFree(blob.pbData);
        }
    }
    LocalBlob(const LocalBlob&) = delete;
    LocalBlob& operator=(const LocalBlob&) = delete;

    DATA_BLOB blob = {};
};

DATA_BLOB BlobOf(const std::string& bytes) {
    DATA_BLOB blob;
    blob.cbData = static_cast<DWORD>(bytes.size());
    blob.pbData = reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data()));
    return blob;
}

DATA_BLOB EntropyBlob() {
    static const std::string entropy = kEntropy;
    return BlobOf(entropy);
}

class ProtectedKeyFile : public ApiKeyStore {
public:
    explicit ProtectedKeyFile(std::string path) : path_(std::move(path)) {}

    bool Load(std::string& key, std::string& error) override {
        key.clear();
        std::string blob;
        const int readError = ReadFileContents(path_, blob);
        if (readError == ERROR_FILE_NOT_FOUND || readError == ERROR_PATH_NOT_FOUND) {
            return true;
        }
        if (readError != 0) {
            error = CannotOpenFileError(path_, readError).what();
            return false;
        }
        DATA_BLOB in = BlobOf(blob);
        DATA_BLOB entropy = EntropyBlob();
        LocalBlob out;
        if (!CryptUnprotectData(&in, nullptr, &entropy, nullptr, nullptr, CRYPTPROTECT_UI_FORBIDDEN,
                                &out.blob)) {
            const int reason = static_cast<int>(GetLastError());
            // Saved by another Windows account, on another computer, or damaged: the same to
            // the pilot, who types the key again.
            error = "The airline API key in \"" + path_ +
                    "\" cannot be read by this Windows account (it was saved by another "
                    "account or computer, or the file is damaged). Type the key again in the "
                    "pilot form. " +
                    SystemErrorText(reason);
            return false;
        }
        key.assign(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
        return true;
    }

    bool Save(const std::string& key, std::string& error) override {
        if (key.empty()) {
            const DWORD reason = DeleteFileA(path_.c_str()) ? 0 : GetLastError();
            if (reason != 0 && reason != ERROR_FILE_NOT_FOUND && reason != ERROR_PATH_NOT_FOUND) {
                error = "Cannot delete file \"" + path_ + "\". " +
                        SystemErrorText(static_cast<int>(reason));
                return false;
            }
            return true;
        }
        DATA_BLOB in = BlobOf(key);
        DATA_BLOB entropy = EntropyBlob();
        LocalBlob out;
        if (!CryptProtectData(&in, kDescription, &entropy, nullptr, nullptr,
                              CRYPTPROTECT_UI_FORBIDDEN, &out.blob)) {
            const int reason = static_cast<int>(GetLastError());
            error = "The airline API key cannot be protected for this Windows account. " +
                    SystemErrorText(reason);
            return false;
        }
        const std::string blob(reinterpret_cast<const char*>(out.blob.pbData), out.blob.cbData);
        const int writeError = ReplaceFileContents(path_, blob);
        if (writeError != 0) {
            error = CannotCreateFileError(path_, writeError).what();
            return false;
        }
        return true;
    }

private:
    std::string path_;
};

}  // namespace

std::unique_ptr<ApiKeyStore> MakeApiKeyStore(const std::string& path) {
    return std::make_unique<ProtectedKeyFile>(path);
}

}  // namespace aerolinker
