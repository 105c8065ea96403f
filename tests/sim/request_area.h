// Request areas built by hand, record by record, the way a client lays them out, so the
// server core can be tested without a link.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/little_endian.h"

namespace aerolinker::testing {

class RequestArea {
public:
    static constexpr std::size_t kSize = 0x8000;

    RequestArea() : bytes_(kSize, 0) {}

    // Adds a read record; returns where its data will be.
    std::size_t Read(std::uint32_t offset, std::uint32_t size) {
        Put32(1);
        Put32(offset);
        Put32(size);
        Put32(0);
        const std::size_t data = cursor_;
        cursor_ += size;
        return data;
    }
    void Write(std::uint32_t offset, const std::vector<std::uint8_t>& data) {
        Put32(2);
        Put32(offset);
        Put32(static_cast<std::uint32_t>(data.size()));
        for (const std::uint8_t byte : data) {
            bytes_.at(cursor_++) = byte;
        }
    }
    void WriteU16(std::uint32_t offset, std::uint16_t value) {
        const auto bytes = le::Bytes(value);
        Write(offset, {bytes.begin(), bytes.end()});
    }
    void WriteU32(std::uint32_t offset, std::uint32_t value) {
        const auto bytes = le::Bytes(value);
        Write(offset, {bytes.begin(), bytes.end()});
    }
    void WriteText(std::uint32_t offset, std::uint32_t fieldSize, const std::string& text) {
        std::vector<std::uint8_t> field(fieldSize, 0);
        std::copy(text.begin(), text.end(), field.begin());
        Write(offset, field);
    }
    // Any 32-bit value at the cursor: a terminator, or a malformed header.
    void Put32(std::uint32_t value) {
        if (cursor_ + 4 > bytes_.size()) {
            throw std::out_of_range("a value past the end of the request area");
        }
        le::Store(bytes_.data() + cursor_, value);
        cursor_ += 4;
    }
    void Terminate() {
        Put32(0);
        cursor_ -= 4;
    }

    std::uint64_t Value(std::size_t position, std::uint32_t width) const {
        return le::LoadBytes(bytes_.data() + position, width);
    }
    std::string Text(std::size_t position, std::size_t size) const {
        std::string text(reinterpret_cast<const char*>(bytes_.data() + position), size);
        return text.substr(0, text.find('\0'));
    }

    std::uint8_t* data() { return bytes_.data(); }
    std::vector<std::uint8_t>& bytes() { return bytes_; }
    std::size_t cursor() const { return cursor_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t cursor_ = 0;
};

}  // namespace aerolinker::testing
