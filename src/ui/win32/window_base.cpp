// The one window procedure of the object windows, and the message loop.
#include "ui/win32/window_base.h"

#include "ui/win32/dpi.h"

namespace aerolinker {

WindowBase::~WindowBase() {
    // A window the derived class left behind must not reach a destroyed object.
    if (hwnd_) {
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    }
}

bool WindowBase::RegisterWindowClass(HINSTANCE module, const char* className, HICON icon,
                                     HICON smallIcon) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WindowBase::Procedure;
    windowClass.hInstance = module;
    windowClass.hIcon = icon;
    windowClass.hIconSm = smallIcon;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool WindowBase::CreateFor(DWORD exStyle, const char* className, const char* caption, DWORD style,
                           const RECT& place, HWND owner, HINSTANCE module) {
    CreateWindowExA(exStyle, className, caption, style, place.left, place.top,
                    place.right - place.left, place.bottom - place.top, owner, nullptr, module,
                    this);
    return hwnd_ != nullptr;
}

LRESULT CALLBACK WindowBase::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self =
            static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    // Nothing before WM_NCCREATE (WM_GETMINMAXINFO comes first) has an object yet.
    auto* self = reinterpret_cast<WindowBase*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    const LRESULT result = self->Dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
    }
    return result;
}

LRESULT WindowBase::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate() ? 0 : -1;
        case WM_SIZE:
            OnSize();
            return 0;
        case WM_DPICHANGED:
            MoveToSuggestedRect(hwnd_, *reinterpret_cast<const RECT*>(lParam));
            OnDpiChanged(HIWORD(wParam));
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return OnMessage(message, wParam, lParam);
    }
}

int RunMessageLoop(const std::function<bool(MSG&)>& takeFirst) {
    MSG message;
    BOOL got;
    while ((got = GetMessageA(&message, nullptr, 0, 0)) > 0) {
        if (takeFirst && takeFirst(message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace aerolinker
