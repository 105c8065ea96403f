// Bitmaps drawn and read pixel by pixel.
#pragma once

#include <windows.h>

#include <cstdint>

namespace aerolinker {

// A 32-bit bitmap with its first row at the top, and its pixels at `*bits` (0x00RRGGBB each,
// `width` to a row). The caller owns the bitmap.
HBITMAP CreateTopDownBitmap(HDC dc, int width, int height, std::uint32_t** bits);

}  // namespace aerolinker
