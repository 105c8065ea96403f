// The code page of texts that are not UTF-8 on Windows: the system's ANSI code page.
#include <windows.h>

#include "common/text_encoding.h"

namespace aerolinker {

void AppendSystemTextAsUtf8(std::string& out, const std::string& bytes) {
    const int size = static_cast<int>(bytes.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (wideLength <= 0) {
        return;
    }
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), wideLength);
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return;
    }
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), length, nullptr, nullptr);
    out += utf8;
}

}  // namespace aerolinker
