// Windows functions newer than the oldest Windows the program supports, loaded once through
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

}  // namespace aerolinker
