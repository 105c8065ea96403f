// Telling UTF-8 from the system's code page, byte run by byte run.
#include "common/text_encoding.h"

#include <cstdint>

namespace aerolinker {

size_t Utf8SequenceLength(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    size_t length = 0;
    std::uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (i + length > text.size()) {
        return 0;
    }
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (byte(i + k) & 0x3Fu);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF ||
        code == 0xFFFE || code == 0xFFFF) {
        return 0;
    }
    return length;
}

std::string Utf8FromSystemText(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::string run;  // bytes of the code page waiting for their conversion
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : Utf8SequenceLength(text, i);
        if (length == 0) {
            run += static_cast<char>(c);
            ++i;
            continue;
        }
        if (!run.empty()) {
            AppendSystemTextAsUtf8(out, run);
            run.clear();
        }
        out.append(text, i, length);
        i += length;
    }
    if (!run.empty()) {
        AppendSystemTextAsUtf8(out, run);
    }
    return out;
}

}  // namespace aerolinker
