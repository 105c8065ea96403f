// The link's platform calls on Windows, one Win32 call each.
#include "link/win32/platform.h"

#include <windows.h>

namespace aerolinker {

namespace {

HWND ToWindow(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
HANDLE ToHandle(MappingHandle mapping) {
    return reinterpret_cast<HANDLE>(mapping);
}

}  // namespace

WindowHandle Win32LinkPlatform::FindTopLevelWindow(const char* className) {
    return reinterpret_cast<WindowHandle>(FindWindowExA(nullptr, nullptr, className, nullptr));
}

std::uint32_t Win32LinkPlatform::RegisterMessage(const char* name) {
    return RegisterWindowMessageA(name);
}

std::uint32_t Win32LinkPlatform::CurrentProcessId() {
    return GetCurrentProcessId();
}

std::uint16_t Win32LinkPlatform::AddGlobalAtom(const char* text) {
    return GlobalAddAtomA(text);
}

void Win32LinkPlatform::DeleteGlobalAtom(std::uint16_t atom) {
    GlobalDeleteAtom(atom);
}

LinkPlatform::NewMapping Win32LinkPlatform::CreateNamedMapping(const char* name,
                                                               std::uint32_t size) {
    NewMapping created;
    HANDLE mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size, name);
    // Read at once: the next call may change the last error.
    created.alreadyExisted = mapping != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
    created.handle = reinterpret_cast<MappingHandle>(mapping);
    return created;
}

std::uint8_t* Win32LinkPlatform::MapView(MappingHandle mapping) {
    return static_cast<std::uint8_t*>(MapViewOfFile(ToHandle(mapping), FILE_MAP_WRITE, 0, 0, 0));
}

void Win32LinkPlatform::UnmapView(std::uint8_t* view) {
    UnmapViewOfFile(view);
}

void Win32LinkPlatform::CloseMapping(MappingHandle mapping) {
    CloseHandle(ToHandle(mapping));
}

LinkPlatform::SendOutcome Win32LinkPlatform::SendWithTimeout(WindowHandle window,
                                                             std::uint32_t message,
                                                             std::uintptr_t wParam,
                                                             std::intptr_t lParam,
                                                             std::uint32_t timeoutMs) {
    SendOutcome outcome;
    DWORD_PTR answer = 0;
    // Cleared first so that an error left by an earlier call is not taken for this send's.
    SetLastError(0);
    const LRESULT sent = SendMessageTimeoutA(ToWindow(window), message, wParam, lParam, SMTO_BLOCK,
                                             timeoutMs, &answer);
    if (sent != 0) {
        outcome.sent = true;
        outcome.answer = answer;
        return outcome;
    }
    // Older Windows left the last error at 0 when the server merely took too long; newer
    // versions report ERROR_TIMEOUT. Both are the same time-out to the link.
    const DWORD error = GetLastError();
    outcome.lastError = error == ERROR_TIMEOUT ? 0 : error;
    return outcome;
}

void Win32LinkPlatform::Sleep(std::uint32_t milliseconds) {
    ::Sleep(milliseconds);
}

}  // namespace aerolinker
