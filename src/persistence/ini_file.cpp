// The configuration file on disk: whole-file reads, one-line edits, atomic replacement.
#include "persistence/ini_file.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "common/app_error.h"
#include "common/file_io.h"
#include "common/text_encoding.h"
#include "persistence/ini_text.h"

namespace aerolinker {
namespace {

namespace fs = std::filesystem;

bool PathExists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::path(NativePath(path)), error);
}

// Replacing the file by a rename would pass over its read-only flag on POSIX systems; the
// pilot who set it expects the refusal Windows gives.
bool IsReadOnlyFile(const std::string& path) {
    std::error_code error;
    fs::file_status status = fs::status(fs::path(NativePath(path)), error);
    if (error || !fs::is_regular_file(status)) {
        return false;
    }
    return (status.permissions() & fs::perms::owner_write) == fs::perms::none;
}

// A file saved as "Unicode" (Notepad offers it) is read as the system's text, as Windows' INI
// service reads it, and written back the way it was saved.
constexpr char kUtf16ByteOrderMark[] = "\xFF\xFE";

bool FromUnicodeFile(std::string& text) {
    if (text.compare(0, 2, kUtf16ByteOrderMark) != 0) {
        return false;
    }
    text = SystemTextFromUtf16(text.substr(2));
    return true;
}

}  // namespace

IniFile::IniFile(std::string path, const RegionalSettings& regional)
    : ConfigStore(regional), path_(std::move(path)) {}

std::string IniFile::ReadText(const std::string& section, const std::string& key,
                              const std::string& defaultText) {
    std::string text;
    std::string result = defaultText;
    if (ReadFileContents(path_, text) == 0) {
        FromUnicodeFile(text);
        if (std::optional<std::string_view> value = FindIniValue(text, section, key)) {
            result.assign(*value);
        }
    }
    size_t nul = result.find('\0');
    if (nul != std::string::npos) {
        result.resize(nul);
    }
    if (result.size() > kMaxIniTextLength) {
        result.resize(kMaxIniTextLength);
    }
    return result;
}

void IniFile::WriteText(const std::string& section, const std::string& key,
                        const std::string& value) {
    Update(section, {{key, value}});
}

void IniFile::WriteTexts(const std::string& section, const Entries& entries) {
    Update(section, entries);
}

void IniFile::Update(const std::string& section, const Entries& entries) {
    std::string text;
    if (ReadFileContents(path_, text) != 0) {
        if (PathExists(path_)) {
            throw UnableToWriteError(path_);
        }
        text.clear();
    }
    if (IsReadOnlyFile(path_)) {
        throw UnableToWriteError(path_);
    }
    const bool unicode = FromUnicodeFile(text);
    std::string updated = text;
    for (const auto& [key, value] : entries) {
        updated = SetIniValue(updated, section, key, value);
    }
    // A file that already holds exactly these bytes is left alone: rewriting it would change
    // nothing but cost a flush and a rename (a situation save repeats most of its keys).
    if (updated == text && PathExists(path_)) {
        return;
    }
    if (ReplaceFileContents(
            path_, unicode ? kUtf16ByteOrderMark + Utf16FromSystemText(updated) : updated) != 0) {
        throw UnableToWriteError(path_);
    }
}

}  // namespace aerolinker
