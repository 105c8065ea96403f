// Typed little-endian access to the substitute simulator's offset space.
#include "sim/offset_space.h"

#include <cassert>
#include <cstring>

#include "common/little_endian.h"

namespace aerolinker {

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

template <typename T>
T OffsetSpace::Load(std::uint32_t offset) const {
    assert(Contains(offset, sizeof(T)));
    return le::Load<T>(bytes_.data() + offset);
}

template <typename T>
void OffsetSpace::Store(std::uint32_t offset, T value) {
    assert(Contains(offset, sizeof(T)));
    le::Store(bytes_.data() + offset, value);
}

std::uint8_t OffsetSpace::U8(std::uint32_t offset) const {
    return Load<std::uint8_t>(offset);
}
std::uint16_t OffsetSpace::U16(std::uint32_t offset) const {
    return Load<std::uint16_t>(offset);
}
std::int16_t OffsetSpace::S16(std::uint32_t offset) const {
    return Load<std::int16_t>(offset);
}
std::uint32_t OffsetSpace::U32(std::uint32_t offset) const {
    return Load<std::uint32_t>(offset);
}
std::int32_t OffsetSpace::S32(std::uint32_t offset) const {
    return Load<std::int32_t>(offset);
}
double OffsetSpace::F64(std::uint32_t offset) const {
    return Load<double>(offset);
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
    Store(offset, value);
}
void OffsetSpace::SetU16(std::uint32_t offset, std::uint16_t value) {
    Store(offset, value);
}
void OffsetSpace::SetS16(std::uint32_t offset, std::int16_t value) {
    Store(offset, value);
}
void OffsetSpace::SetU32(std::uint32_t offset, std::uint32_t value) {
    Store(offset, value);
}
void OffsetSpace::SetS32(std::uint32_t offset, std::int32_t value) {
    Store(offset, value);
}
void OffsetSpace::SetF64(std::uint32_t offset, double value) {
    Store(offset, value);
}

std::int64_t OffsetSpace::S64(std::uint32_t offset) const {
    return Load<std::int64_t>(offset);
}

void OffsetSpace::SetS64(std::uint32_t offset, std::int64_t value) {
    Store(offset, value);
}

void OffsetSpace::SetText(std::uint32_t offset, std::uint32_t fieldSize, const std::string& text) {
    assert(Contains(offset, fieldSize) && text.size() <= fieldSize);
    std::memset(bytes_.data() + offset, 0, fieldSize);
    std::memcpy(bytes_.data() + offset, text.data(), text.size());
}

}  // namespace aerolinker
