// Control text helpers.
#include "app/win32/window_text.h"

#include <algorithm>
#include <vector>

namespace aerolinker {

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    if (length <= 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextA(window, buffer.data(), length + 1);
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

void SetTextKeepingCase(HWND edit, const std::string& text) {
    const LONG_PTR style = GetWindowLongPtrA(edit, GWL_STYLE);
    const bool upperCase = (style & ES_UPPERCASE) != 0;
    if (upperCase) {
        SetWindowLongPtrA(edit, GWL_STYLE, style & ~static_cast<LONG_PTR>(ES_UPPERCASE));
    }
    SetWindowTextA(edit, text.c_str());
    if (upperCase) {
        SetWindowLongPtrA(edit, GWL_STYLE, style);
    }
}

std::wstring WideText(const std::string& text, UINT codePage) {
    const int length =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

}  // namespace aerolinker
