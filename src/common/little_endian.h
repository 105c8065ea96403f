// The one place for byte order: FSUIPC's offsets and request records are little-endian
// whatever the host's order, and every field the program, the substitute simulator and the
// tests put into or take out of a byte run goes through these helpers.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace aerolinker::le {

// On a little-endian host (every Windows machine) the bytes are the value's own, copied as
// one move; a batch of the tick queues and decodes some 45 of them.
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr bool kHostIsLittleEndian = true;
#else
constexpr bool kHostIsLittleEndian = false;
#endif

// Stores the low `width` bytes of `value`, least significant first (width 1 to 8).
inline void StoreBytes(std::uint8_t* at, std::uint64_t value, std::size_t width) {
    if constexpr (kHostIsLittleEndian) {
        std::memcpy(at, &value, width);
    } else {
        for (std::size_t i = 0; i < width; ++i) {
            at[i] = static_cast<std::uint8_t>(value >> (8 * i));
        }
    }
}

// Loads `width` bytes (1 to 8), least significant first.
inline std::uint64_t LoadBytes(const std::uint8_t* at, std::size_t width) {
    std::uint64_t value = 0;
    if constexpr (kHostIsLittleEndian) {
        std::memcpy(&value, at, width);
    } else {
        for (std::size_t i = 0; i < width; ++i) {
            value |= static_cast<std::uint64_t>(at[i]) << (8 * i);
        }
    }
    return value;
}

// Typed forms: an integer of any width, or an IEEE double (its bit pattern).
template <typename T>
void Store(std::uint8_t* at, T value) {
    static_assert(std::is_integral_v<T> || std::is_same_v<T, double>, "integer or double");
    if constexpr (std::is_same_v<T, double>) {
        std::uint64_t bits = 0;
        static_assert(sizeof bits == sizeof value, "IEEE double expected");
        std::memcpy(&bits, &value, sizeof bits);
        StoreBytes(at, bits, sizeof bits);
    } else {
        StoreBytes(at, static_cast<std::uint64_t>(static_cast<std::make_unsigned_t<T>>(value)),
                   sizeof(T));
    }
}

template <typename T>
T Load(const std::uint8_t* at) {
    static_assert(std::is_integral_v<T> || std::is_same_v<T, double>, "integer or double");
    if constexpr (std::is_same_v<T, double>) {
        const std::uint64_t bits = LoadBytes(at, sizeof(double));
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    } else {
        return static_cast<T>(static_cast<std::make_unsigned_t<T>>(LoadBytes(at, sizeof(T))));
    }
}

// The bytes of a value, for a write queued to the simulator.
template <typename T>
std::array<std::uint8_t, sizeof(T)> Bytes(T value) {
    std::array<std::uint8_t, sizeof(T)> bytes{};
    Store(bytes.data(), value);
    return bytes;
}

}  // namespace aerolinker::le
