// The substitute simulator's offset space: the 64 KiB of numbered values FSUIPC publishes,
// read and written with little-endian typed access whatever the host's byte order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace aerolinker {

class OffsetSpace {
public:
    static constexpr std::uint32_t kSize = 0x10000;

    OffsetSpace();

    void Clear();

    // Whether [offset, offset + size) lies inside the space. Sizes come from other processes,
    // so the sum is formed without overflow.
    static bool Contains(std::uint64_t offset, std::uint64_t size) {
        return offset <= kSize && size <= kSize - offset;
    }

    // Raw bytes. The range must lie inside the space (callers check with Contains).
    void Read(std::uint32_t offset, std::uint8_t* out, std::uint32_t size) const;
    void Write(std::uint32_t offset, const std::uint8_t* data, std::uint32_t size);

    std::uint8_t U8(std::uint32_t offset) const;
    std::uint16_t U16(std::uint32_t offset) const;
    std::int16_t S16(std::uint32_t offset) const;
    std::uint32_t U32(std::uint32_t offset) const;
    std::int32_t S32(std::uint32_t offset) const;
    double F64(std::uint32_t offset) const;
    std::int64_t S64(std::uint32_t offset) const;
    // The characters of a fixed field up to its first zero byte (all of them when it has none).
    std::string Text(std::uint32_t offset, std::uint32_t fieldSize) const;

    void SetU8(std::uint32_t offset, std::uint8_t value);
    void SetU16(std::uint32_t offset, std::uint16_t value);
    void SetS16(std::uint32_t offset, std::int16_t value);
    void SetU32(std::uint32_t offset, std::uint32_t value);
    void SetS32(std::uint32_t offset, std::int32_t value);
    void SetF64(std::uint32_t offset, double value);
    void SetS64(std::uint32_t offset, std::int64_t value);
    // Fills the field with the text and zeros after it; the text must fit the field.
    void SetText(std::uint32_t offset, std::uint32_t fieldSize, const std::string& text);

private:
    template <typename T>
    T Load(std::uint32_t offset) const;
    template <typename T>
    void Store(std::uint32_t offset, T value);

    std::vector<std::uint8_t> bytes_;
};

}  // namespace aerolinker
