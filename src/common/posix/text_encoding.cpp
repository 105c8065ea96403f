// The code page of texts that are not UTF-8 on the portable host: Windows-1252.
#include <cstdint>

#include "common/text_encoding.h"

namespace aerolinker {

namespace {

// Windows-1252's characters at 0x80..0x9F; the five codes it leaves unassigned become U+FFFD.
constexpr std::uint16_t kWindows1252High[32] = {
    0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

void AppendSystemTextAsUtf8(std::string& out, const std::string& bytes) {
    for (char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        AppendUtf8(out, c >= 0x80 && c < 0xA0 ? std::uint32_t{kWindows1252High[c - 0x80]}
                                              : std::uint32_t{c});
    }
}

}  // namespace aerolinker
