// Portable stand-ins for the platform services: a Windows folder the caller names, and a file
// copy done with the program's own whole-file reads and atomic writes.
#pragma once

#include <string>

#include "persistence/system_services.h"

namespace aerolinker {

class GivenFolder : public Folder {
public:
    explicit GivenFolder(std::string path);
    std::string Path() const override { return path_; }

private:
    std::string path_;
};

// Reads the whole source and replaces the target with it; a missing or unreadable source
// leaves the target as it was.
class ByteFileCopier : public FileCopier {
public:
    bool Copy(const std::string& from, const std::string& to) override;
};

}  // namespace aerolinker
