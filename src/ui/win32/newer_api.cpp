// The table of newer Windows functions and their fallbacks.
#include "ui/win32/newer_api.h"

#include "ui/win32/dpi.h"

namespace aerolinker {
namespace {

struct NewerApi {
    UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
    UINT(WINAPI* GetDpiForSystem)() = nullptr;
    BOOL(WINAPI* AdjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
    BOOL(WINAPI* AnimateWindow)(HWND, DWORD, DWORD) = nullptr;
};

template <typename Function>
void Load(HMODULE module, const char* name, Function& target) {
    // Through void(*)(): the one function type GCC lets every other one be cast from.
    target = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

const NewerApi& Api() {
    static const NewerApi api = [] {
        NewerApi loaded;
        if (HMODULE user32 = GetModuleHandleA("user32.dll")) {
            Load(user32, "GetDpiForWindow", loaded.GetDpiForWindow);
            Load(user32, "GetDpiForSystem", loaded.GetDpiForSystem);
            Load(user32, "AdjustWindowRectExForDpi", loaded.AdjustWindowRectExForDpi);
            Load(user32, "AnimateWindow", loaded.AnimateWindow);
        }
        return loaded;
    }();
    return api;
}

UINT ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : kDesignDpi;
    if (screen) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? static_cast<UINT>(dpi) : kDesignDpi;
}

}  // namespace

UINT WindowDpi(HWND window) {
    if (Api().GetDpiForWindow && window) {
        const UINT dpi = Api().GetDpiForWindow(window);
        if (dpi > 0) {
            return dpi;
        }
    }
    return ScreenDpi();
}

UINT SystemDpi() {
    if (Api().GetDpiForSystem) {
        const UINT dpi = Api().GetDpiForSystem();
        if (dpi > 0) {
            return dpi;
        }
    }
    return ScreenDpi();
}

void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi) {
    if (Api().AdjustWindowRectExForDpi &&
        Api().AdjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dpi)) {
        return;
    }
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
}

void DissolveWindow(HWND window, bool show, DWORD milliseconds) {
    const DWORD flags = AW_BLEND | (show ? AW_ACTIVATE : AW_HIDE);
    // AnimateWindow refuses a window already in the state asked for, and some systems refuse
    // the effect itself (remote sessions, no composition): the plain show or hide then does.
    if (Api().AnimateWindow && Api().AnimateWindow(window, milliseconds, flags)) {
        if (IsWindowVisible(window) == (show ? TRUE : FALSE)) {
            return;
        }
    }
    ShowWindow(window, show ? SW_SHOW : SW_HIDE);
}

}  // namespace aerolinker
