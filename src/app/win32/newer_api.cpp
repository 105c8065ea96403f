// The table of newer Windows functions and their fallbacks.
#include "app/win32/newer_api.h"

#include "app/win32/window_layout.h"

namespace aerolinker {
namespace {

struct NewerApi {
    UINT(WINAPI* GetDpiForWindow)(HWND) = nullptr;
    UINT(WINAPI* GetDpiForSystem)() = nullptr;
    BOOL(WINAPI* AdjustWindowRectExForDpi)(LPRECT, DWORD, BOOL, DWORD, UINT) = nullptr;
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

}  // namespace aerolinker
