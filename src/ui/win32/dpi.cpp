// DPI scaling and fonts.
#include "ui/win32/dpi.h"

namespace aerolinker {

int ScaleForDpi(int designPixels, int dpi) {
    // Rounded to nearest, halves away from zero, with 64-bit room for any sane DPI.
    const long long product = static_cast<long long>(designPixels) * dpi;
    const long long half = kDesignDpi / 2;
    return static_cast<int>(product >= 0 ? (product + half) / kDesignDpi
                                         : -((-product + half) / kDesignDpi));
}

HFONT CreatePointFont(const char* face, int points, UINT dpi, BYTE pitchAndFamily) {
    constexpr int kPointsPerInch = 72;
    LOGFONTA font = {};
    font.lfHeight = -MulDiv(points, static_cast<int>(dpi), kPointsPerInch);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = pitchAndFamily;
    lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

void OwnedFont::Reset(HFONT font) {
    if (font_ && font_ != font) {
        DeleteObject(font_);
    }
    font_ = font;
}

void MoveToSuggestedRect(HWND window, const RECT& suggested) {
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace aerolinker
