// Decoding of one DIB pixel into a colour, behind GetBitmapKeyColor.
#pragma once

#include <windows.h>

namespace vorn {

// The colour of the first pixel of a scan line, read by the format that the
// header describes. For 8 bits per pixel or fewer, `colourTable` holds the
// RGBQUAD entries; with BI_BITFIELDS it holds the three masks instead.
// Formats it cannot decode give black.
COLORREF DecodeFirstPixel(const BITMAPINFOHEADER& header, const BYTE* colourTable,
                          size_t colourTableBytes, const BYTE* line) noexcept;

} // namespace vorn
