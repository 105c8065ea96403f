// A file that grows by a record at every tick, written through a view of it in memory. A write
// call for every record cost more than the recorder's whole row (a 12-hour flight is 8,640 of
// them); a record put into the view is in the system's cache at once, and it stays there when
// the program is killed or crashes: the system writes it out as it writes any file. As with a
// write call, a power cut can lose what the system had not written yet.
//
// The file is made longer ahead of the records, a chunk at a time (its disk space reserved, so
// a full disk is an error of the append, not a fault of the write into the view), and cut to
// the records' end when it is closed. A program stopped with the file open leaves zero bytes
// after the last record: the next opening cuts them off before it appends, and readers of the
// file skip them as a line that is not a record. posix/ and win32/ implement this file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace aerolinker {

class GrowingFile {
public:
    explicit GrowingFile(std::string path) : path_(std::move(path)) {}
    ~GrowingFile() { Close(); }
    GrowingFile(const GrowingFile&) = delete;
    GrowingFile& operator=(const GrowingFile&) = delete;

    // Appends `bytes`, creating the file if missing. The first append of an opening puts
    // `header` first when the file is empty, and a line break when its last line was cut short
    // (the computer stopped in the middle of a record), so the new record does not run into it.
    // A failure closes the file (cut to its records) and the next append opens it again.
    // Returns 0 or the platform's error code.
    int Append(const std::string& header, std::string_view bytes);
    // Cuts the file to its records and closes it; before the file is replaced or read whole.
    void Close();
    const std::string& Path() const { return path_; }

    // The file grows by this much at a time: a multiple of every system's page and of
    // Windows' allocation granularity, about 2,700 rows of a trace (nearly four hours).
    static constexpr std::uint64_t kChunkBytes = 256 * 1024;
    // Without room for a whole chunk, the file grows by multiples of this (every system's page).
    static constexpr std::uint64_t kLeastBytes = 4096;

private:
    // Opens the file, cuts the zero bytes a stopped program left, and finds what goes before
    // the first record (the header, or the line break of a line cut short).
    int Open(const std::string& header, std::string& before);
    // Maps the chunks from the one holding end_ up to `needed` bytes of the file.
    int MapUpTo(std::uint64_t needed);
    int Put(std::string_view bytes);

    // What each platform does; 0 or the platform's error code. Opens the file (creating it) and
    // gives its size.
    int OpenFile(std::uint64_t& size);
    // Reads `size` bytes at `offset`.
    int ReadAt(char* data, std::size_t size, std::uint64_t offset);
    // Makes the file `size` bytes long.
    int CutAt(std::uint64_t size);
    // Reserves the file's bytes from `start` on, `size` of them, and maps them as the view.
    int MapChunks(std::uint64_t start, std::uint64_t size);
    void Unmap();
    void CloseFile();

    std::string path_;
    // The open file and its mapping: descriptors, or Windows handles; kNotOpen when closed.
    static constexpr std::intptr_t kNotOpen = -1;
    std::intptr_t file_ = kNotOpen;
    std::intptr_t mapping_ = kNotOpen;  // Windows' file mapping object; unused elsewhere
    char* view_ = nullptr;
    std::uint64_t viewStart_ = 0;  // the file offset the view starts at
    std::uint64_t viewSize_ = 0;
    std::uint64_t end_ = 0;  // the end of the records
};

// The length of `text` without the zero bytes at its end: where a stopped program's records end.
std::size_t LengthWithoutTrailingZeros(std::string_view text);

}  // namespace aerolinker
