// Typed little-endian access to the substitute simulator's offset space.
#include "sim/offset_space.h"

#include <cassert>
#include <cstring>

namespace aerolinker {

std::vector<std::uint8_t> LittleEndianBytes(std::uint64_t value, std::uint32_t width) {
    std::vector<std::uint8_t> bytes(width);
    for (std::uint32_t i = 0; i < width; ++i) {
        bytes[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return bytes;
}

std::vector<std::uint8_t> DoubleBytes(double value) {
    std::uint64_t bits = 0;
    static_assert(sizeof bits == sizeof value, "IEEE double expected");
    std::memcpy(&bits, &value, sizeof bits);
    return LittleEndianBytes(bits, 8);
}

std::uint64_t LittleEndianValue(const std::uint8_t* bytes, std::uint32_t width) {
    std::uint64_t value = 0;
    for (std::uint32_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    }
    return value;
}

OffsetSpace::OffsetSpace() : bytes_(kSize, 0) {}

void OffsetSpace::Clear() {
    std::memset(bytes_.data(), 0, bytes_.size());
}

void OffsetSpace::Read(std::uint32_t offset, std::uint8_t* out, std::uint32_t size) const {
    assert(Contains(offset, size));
    if (size != 0) {
        std::memcpy(out, bytes_.data() + offset, size);
    }
}

void OffsetSpace::Write(std::uint32_t offset, const std::uint8_t* data, std::uint32_t size) {
    assert(Contains(offset, size));
    if (size != 0) {
        std::memcpy(bytes_.data() + offset, data, size);
    }
}

std::uint64_t OffsetSpace::LoadLittleEndian(std::uint32_t offset, std::uint32_t width) const {
    assert(Contains(offset, width));
    return LittleEndianValue(bytes_.data() + offset, width);
}

void OffsetSpace::StoreLittleEndian(std::uint32_t offset, std::uint32_t width,
                                    std::uint64_t value) {
    assert(Contains(offset, width));
    for (std::uint32_t i = 0; i < width; ++i) {
        bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::uint8_t OffsetSpace::U8(std::uint32_t offset) const {
    return static_cast<std::uint8_t>(LoadLittleEndian(offset, 1));
}
std::uint16_t OffsetSpace::U16(std::uint32_t offset) const {
    return static_cast<std::uint16_t>(LoadLittleEndian(offset, 2));
}
std::int16_t OffsetSpace::S16(std::uint32_t offset) const {
    return static_cast<std::int16_t>(U16(offset));
}
std::uint32_t OffsetSpace::U32(std::uint32_t offset) const {
    return static_cast<std::uint32_t>(LoadLittleEndian(offset, 4));
}
std::int32_t OffsetSpace::S32(std::uint32_t offset) const {
    return static_cast<std::int32_t>(U32(offset));
}
double OffsetSpace::F64(std::uint32_t offset) const {
    const std::uint64_t bits = LoadLittleEndian(offset, 8);
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string OffsetSpace::Text(std::uint32_t offset, std::uint32_t fieldSize) const {
    assert(Contains(offset, fieldSize));
    const char* start = reinterpret_cast<const char*>(bytes_.data() + offset);
    const void* zero = std::memchr(start, 0, fieldSize);
    const std::size_t length =
        zero ? static_cast<std::size_t>(static_cast<const char*>(zero) - start) : fieldSize;
    return std::string(start, length);
}

void OffsetSpace::SetU8(std::uint32_t offset, std::uint8_t value) {
    StoreLittleEndian(offset, 1, value);
}
void OffsetSpace::SetU16(std::uint32_t offset, std::uint16_t value) {
    StoreLittleEndian(offset, 2, value);
}
void OffsetSpace::SetS16(std::uint32_t offset, std::int16_t value) {
    SetU16(offset, static_cast<std::uint16_t>(value));
}
void OffsetSpace::SetU32(std::uint32_t offset, std::uint32_t value) {
    StoreLittleEndian(offset, 4, value);
}
void OffsetSpace::SetS32(std::uint32_t offset, std::int32_t value) {
    SetU32(offset, static_cast<std::uint32_t>(value));
}
void OffsetSpace::SetF64(std::uint32_t offset, double value) {
    const std::vector<std::uint8_t> bytes = DoubleBytes(value);
    Write(offset, bytes.data(), 8);
}

void OffsetSpace::SetText(std::uint32_t offset, std::uint32_t fieldSize, const std::string& text) {
    assert(Contains(offset, fieldSize) && text.size() <= fieldSize);
    std::memset(bytes_.data() + offset, 0, fieldSize);
    std::memcpy(bytes_.data() + offset, text.data(), text.size());
}

}  // namespace aerolinker
