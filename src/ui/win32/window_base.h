// The base of every window of ours: the object is stored with its window once, when Windows
// first announces it (WM_NCCREATE), and the one window procedure hands every later message to
// the object's OnMessage. The object outlives its window; the derived class destroys the
// window in its own destructor, while its handlers still exist.
#pragma once

#include <windows.h>

#include <functional>

namespace aerolinker {

class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND hwnd() const { return hwnd_; }

protected:
    WindowBase() = default;
    virtual ~WindowBase();

    // Registers a window class served by the object windows. A class registered already (the
    // tests make several windows of one class) is no error.
    static bool RegisterWindowClass(HINSTANCE module, const char* className, HICON icon = nullptr,
                                    HICON smallIcon = nullptr);
    // Creates the window of this object; hwnd() is set from the first message on, so the
    // WM_CREATE handler can use it. False when Windows made no window.
    bool CreateFor(DWORD exStyle, const char* className, const char* caption, DWORD style,
                   const RECT& place, HWND owner, HINSTANCE module);

    // The messages every window of ours answers. OnCreate makes the controls; false refuses
    // the window. OnDpiChanged comes when the window has moved to a screen of another DPI and
    // already stands where Windows suggests: the derived class scales its fonts and controls.
    virtual bool OnCreate() { return true; }
    virtual void OnSize() {}
    virtual void OnDpiChanged(UINT /*dpi*/) {}
    virtual void OnDestroy() {}
    // Any other message; what the handler leaves alone goes on to DefaultMessage.
    // WM_NCDESTROY reaches it too, before hwnd() is cleared.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
        return DefaultMessage(message, wParam, lParam);
    }
    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) const {
        return DefWindowProcA(hwnd_, message, wParam, lParam);
    }

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};

// Takes messages from the thread's queue until WM_QUIT; its exit code (1 when the queue
// failed). Each message goes to `takeFirst` when given: a key it takes (a shortcut, Tab between
// controls) is neither translated into characters nor dispatched.
int RunMessageLoop(const std::function<bool(MSG&)>& takeFirst = nullptr);

}  // namespace aerolinker
