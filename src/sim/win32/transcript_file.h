// The transcript file fsim.exe appends every entry to, readable by others while it runs.
#pragma once

#include <string>

namespace aerolinker {

class TranscriptFile {
public:
    TranscriptFile() = default;
    ~TranscriptFile();
    TranscriptFile(const TranscriptFile&) = delete;
    TranscriptFile& operator=(const TranscriptFile&) = delete;

    // Opens the file for appending (creating it); false with the system's reason.
    bool Open(const std::string& path, std::string& error);
    // Adds the line and CR LF. Without a file it does nothing.
    void Append(const std::string& line);

private:
    void* handle_ = nullptr;
};

}  // namespace aerolinker
