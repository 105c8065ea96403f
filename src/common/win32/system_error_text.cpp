// Reason texts for Win32 error codes, as Windows words them (FormatMessage).
#include <windows.h>

#include "common/app_error.h"

namespace aerolinker {

std::string SystemErrorText(int systemError) {
    char buffer[512] = {};
    DWORD length =
        FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(systemError), 0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, length);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    if (text.empty()) {
        text = "System error " + std::to_string(systemError);
    }
    return text;
}

}  // namespace aerolinker
