// CRC-32 eight bytes at a time ("slicing by 8"): a situation save checks the whole log, every
// second waypoint, and one table lookup per byte made it a tenth of a long flight's work.
#include "common/crc32.h"

#include <array>
#include <cstddef>

namespace aerolinker {
namespace {

constexpr std::uint32_t kPolynomial = 0xEDB88320u;
constexpr std::size_t kSlices = 8;

using Table = std::array<std::uint32_t, 256>;

// Table k gives the CRC of a byte followed by k zero bytes.
constexpr std::array<Table, kSlices> MakeTables() {
    std::array<Table, kSlices> tables{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) != 0 ? kPolynomial ^ (c >> 1) : c >> 1;
        }
        tables[0][n] = c;
    }
    for (std::size_t k = 1; k < kSlices; ++k) {
        for (std::uint32_t n = 0; n < 256; ++n) {
            const std::uint32_t previous = tables[k - 1][n];
            tables[k][n] = (previous >> 8) ^ tables[0][previous & 0xFFu];
        }
    }
    return tables;
}

constexpr std::array<Table, kSlices> kTables = MakeTables();

// Four bytes as the little-endian number the algorithm reads them as, on any machine.
std::uint32_t Word(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t left = bytes.size();
    for (; left >= kSlices; left -= kSlices, p += kSlices) {
        const std::uint32_t one = crc ^ Word(p);
        const std::uint32_t two = Word(p + 4);
        crc = kTables[7][one & 0xFFu] ^ kTables[6][(one >> 8) & 0xFFu] ^
              kTables[5][(one >> 16) & 0xFFu] ^ kTables[4][one >> 24] ^ kTables[3][two & 0xFFu] ^
              kTables[2][(two >> 8) & 0xFFu] ^ kTables[1][(two >> 16) & 0xFFu] ^
              kTables[0][two >> 24];
    }
    for (; left > 0; --left, ++p) {
        crc = kTables[0][(crc ^ *p) & 0xFFu] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

}  // namespace aerolinker
