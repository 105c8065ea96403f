// The code page of texts that are not UTF-8 on Windows: the system's ANSI code page, or
// Windows-1252 (the code page of the simulator's Western versions) where that code page is
// UTF-8 itself, which the bytes here are not.
#include <windows.h>

#include "common/text_encoding.h"

namespace aerolinker {

namespace {
constexpr UINT kWestern = 1252;
constexpr wchar_t kFirstControl = 0x80;
constexpr wchar_t kLastControl = 0x9F;
constexpr wchar_t kReplacement = 0xFFFD;
}  // namespace

void AppendSystemTextAsUtf8(std::string& out, const std::string& bytes) {
    const UINT codePage = GetACP() == CP_UTF8 ? kWestern : CP_ACP;
    const int size = static_cast<int>(bytes.size());
    const int wideLength = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    if (wideLength <= 0) {
        return;
    }
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, 0, bytes.data(), size, wide.data(), wideLength);
    // Codes a code page leaves unassigned come back as C1 controls, which are never text.
    for (wchar_t& c : wide) {
        if (c >= kFirstControl && c <= kLastControl) {
            c = kReplacement;
        }
    }
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return;
    }
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    out += utf8;
}

std::string SystemTextFromUtf16(const std::string& utf16le) {
    std::wstring wide(utf16le.size() / 2, L'\0');
    for (size_t i = 0; i < wide.size(); ++i) {
        wide[i] = static_cast<wchar_t>(static_cast<unsigned char>(utf16le[2 * i]) |
                                       static_cast<unsigned char>(utf16le[2 * i + 1]) << 8);
    }
    if (wide.empty()) {
        return {};
    }
    const int wideLength = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
    return text;
}

std::string Utf16FromSystemText(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    if (wideLength <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), wideLength);
    std::string utf16le;
    utf16le.reserve(wide.size() * 2);
    for (wchar_t c : wide) {
        utf16le += static_cast<char>(c & 0xFF);
        utf16le += static_cast<char>((c >> 8) & 0xFF);
    }
    return utf16le;
}

}  // namespace aerolinker
