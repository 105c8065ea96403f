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

std::string SystemTextFromUtf16(const std::string& utf16le) {
    std::string text;
    text.reserve(utf16le.size() / 2);
    for (std::size_t i = 0; i + 1 < utf16le.size(); i += 2) {
        const auto code =
            static_cast<std::uint16_t>(static_cast<unsigned char>(utf16le[i]) |
                                       static_cast<unsigned char>(utf16le[i + 1]) << 8);
        char byte = '?';
        if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
            byte = static_cast<char>(code);
        } else {
            for (std::size_t high = 0; high < 32; ++high) {
                if (kWindows1252High[high] == code && code != 0xFFFD) {
                    byte = static_cast<char>(0x80 + high);
                }
            }
        }
        text += byte;
    }
    return text;
}

std::string Utf16FromSystemText(const std::string& text) {
    std::string utf16le;
    utf16le.reserve(text.size() * 2);
    for (char byte : text) {
        const auto c = static_cast<unsigned char>(byte);
        std::uint16_t code = c >= 0x80 && c < 0xA0 ? kWindows1252High[c - 0x80] : c;
        code = code == 0xFFFD ? std::uint16_t{'?'} : code;
        utf16le += static_cast<char>(code & 0xFF);
        utf16le += static_cast<char>(code >> 8);
    }
    return utf16le;
}

void AppendSystemTextAsUtf8(std::string& out, const std::string& bytes) {
    for (char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        AppendUtf8(out, c >= 0x80 && c < 0xA0 ? std::uint32_t{kWindows1252High[c - 0x80]}
                                              : std::uint32_t{c});
    }
}

}  // namespace aerolinker
