// Windows functions newer than the oldest Windows the programs support, loaded once through
// one typed table, each with a fallback that also covers what Wine lacks. Callers use the
// wrappers and never test for the functions themselves.
#pragma once

#include <windows.h>

namespace aerolinker {

// The DPI a window is shown at (GetDpiForWindow; before Windows 10, the screen's).
UINT WindowDpi(HWND window);
// The DPI of the primary screen, for sizes needed before a window exists.
UINT SystemDpi();
// AdjustWindowRectExForDpi, or AdjustWindowRectEx when it is missing.
void AdjustWindowRectForDpi(RECT& rect, DWORD style, DWORD exStyle, UINT dpi);
// Shows (and activates) or hides a top-level window through a dissolve of `milliseconds`
// (AnimateWindow with AW_BLEND); where the effect is missing the window simply appears or
// goes. Returns when the window is shown or hidden.
void DissolveWindow(HWND window, bool show, DWORD milliseconds);

}  // namespace aerolinker
