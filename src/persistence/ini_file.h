// One INI file as the configuration store, with the semantics of Windows' INI service: nothing
// cached (each read opens the file), each write goes through to the file at once.
#pragma once

#include <string>

#include "persistence/config_store.h"

namespace aerolinker {

class IniFile : public ConfigStore {
public:
    // `path` is the file's full name, folders joined with "\" as everywhere in the program.
    IniFile(std::string path, const RegionalSettings& regional);

    // At most 2047 characters; the text ends at a NUL byte, as the platform's text does. A file
    // that is missing or cannot be read gives the default.
    std::string ReadText(const std::string& section, const std::string& key,
                         const std::string& defaultText) override;

    // Re-reads the file, changes the one line and replaces the file atomically, so a crash or a
    // full disk never leaves a torn configuration. Creates the file on the first write. Throws
    // "Unable to write to %s" with the file's full name when the file is read-only, exists but
    // cannot be read (replacing it would lose its keys), or cannot be replaced.
    void WriteText(const std::string& section, const std::string& key,
                   const std::string& value) override;
    // The same for several keys, in one replacement of the file.
    void WriteTexts(const std::string& section, const Entries& entries) override;

    const std::string& FileName() const { return path_; }

private:
    void Update(const std::string& section, const Entries& entries);

    std::string path_;
};

// The longest text a read returns, as with the platform's 2048-byte buffer.
inline constexpr size_t kMaxIniTextLength = 2047;

}  // namespace aerolinker
