// Sizes designed at 96 DPI and shown at the window's DPI, and the fonts that go with them.
#pragma once

#include <windows.h>

namespace aerolinker {

constexpr int kDesignDpi = 96;

// A pixel size designed at 96 DPI, at `dpi`; halves round away from zero, as MulDiv does.
int ScaleForDpi(int designPixels, int dpi);
inline int ScaleForDpi(int designPixels, UINT dpi) {
    return ScaleForDpi(designPixels, static_cast<int>(dpi));
}

// A font `points` high at the given DPI, by face name; the caller owns it.
HFONT CreatePointFont(const char* face, int points, UINT dpi, BYTE pitchAndFamily);

// A font a window owns: deleted when replaced or when the owner goes. A replacement is given
// to the controls before the old font is deleted, never after.
class OwnedFont {
public:
    OwnedFont() = default;
    ~OwnedFont() { Reset(nullptr); }
    OwnedFont(const OwnedFont&) = delete;
    OwnedFont& operator=(const OwnedFont&) = delete;

    HFONT get() const { return font_; }
    void Reset(HFONT font);

private:
    HFONT font_ = nullptr;
};

// WM_DPICHANGED: moves the window to the place Windows suggests for the new DPI.
void MoveToSuggestedRect(HWND window, const RECT& suggested);

}  // namespace aerolinker
