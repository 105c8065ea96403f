// The growing file's appends, the same on every platform over the platform's view of the file.
#include "common/growing_file.h"

#include <cstring>
#include <string>

namespace aerolinker {

std::size_t LengthWithoutTrailingZeros(std::string_view text) {
    std::size_t length = text.size();
    while (length > 0 && text[length - 1] == '\0') {
        --length;
    }
    return length;
}

int GrowingFile::Open(const std::string& header, std::string& before) {
    std::uint64_t size = 0;
    if (int error = OpenFile(size); error != 0) {
        return error;
    }
    // The records end at the last byte that is not zero; read back from the end a chunk at a
    // time.
    std::uint64_t end = size;
    char last = '\n';
    std::string tail;
    while (end > 0) {
        const std::uint64_t from = end > kChunkBytes ? end - kChunkBytes : 0;
        tail.resize(static_cast<std::size_t>(end - from));
        if (int error = ReadAt(tail.data(), tail.size(), from); error != 0) {
            return error;
        }
        const std::size_t kept = LengthWithoutTrailingZeros(tail);
        if (kept > 0) {
            end = from + kept;
            last = tail[kept - 1];
            break;
        }
        end = from;
    }
    if (end < size) {
        if (int error = CutAt(end); error != 0) {
            return error;
        }
    }
    end_ = end;
    before = end == 0 ? header : last != '\n' ? "\r\n" : "";
    return 0;
}

int GrowingFile::MapUpTo(std::uint64_t needed) {
    const auto roundUp = [](std::uint64_t bytes, std::uint64_t step) {
        return (bytes + step - 1) / step * step;
    };
    Unmap();
    const std::uint64_t start = end_ - end_ % kChunkBytes;
    const std::uint64_t chunks = roundUp(needed - start, kChunkBytes);
    const int error = MapChunks(start, chunks);
    // No room for whole chunks (a disk nearly full): the records go on in as little as they
    // need, so the file takes every record the disk still has room for.
    const std::uint64_t least = roundUp(needed - start, kLeastBytes);
    if (error == 0 || least >= chunks) {
        return error;
    }
    Unmap();
    return MapChunks(start, least);
}

void GrowingFile::Close() {
    Unmap();
    if (file_ != kNotOpen) {
        // The rest of the last chunk goes; should this fail, the next opening cuts it.
        CutAt(end_);
        CloseFile();
        file_ = kNotOpen;
    }
    end_ = 0;
}

int GrowingFile::Append(const std::string& header, std::string_view bytes) {
    if (file_ == kNotOpen) {
        std::string before;
        int error = Open(header, before);
        if (error == 0 && !before.empty()) {
            error = Put(before);
        }
        if (error != 0) {
            Close();
            return error;
        }
    }
    const int error = Put(bytes);
    if (error != 0) {
        Close();
    }
    return error;
}

int GrowingFile::Put(std::string_view bytes) {
    if (view_ == nullptr || end_ + bytes.size() > viewStart_ + viewSize_) {
        if (int error = MapUpTo(end_ + bytes.size()); error != 0) {
            return error;
        }
    }
    std::memcpy(view_ + static_cast<std::size_t>(end_ - viewStart_), bytes.data(), bytes.size());
    end_ += bytes.size();
    return 0;
}

}  // namespace aerolinker
