#include "about_box.h"
#include "key_color.h"

#include "../core/handles.h"

#include <cstring>

namespace vorn {

namespace {

constexpr size_t kHeaderBytes = sizeof(BITMAPINFOHEADER);
constexpr size_t kInitialBlockBytes = kHeaderBytes + 256 * sizeof(RGBQUAD);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

static_assert(kHeaderBytes == 40);
static_assert(kInitialBlockBytes == 1064);

// A component of `bits` bits scaled to 0..255, rounded to the nearest.
BYTE Scale(unsigned value, unsigned bits) {
    const unsigned largest = (1u << bits) - 1;
    return static_cast<BYTE>((value * 255 + largest / 2) / largest);
}

COLORREF TableEntry(const BYTE* table, size_t tableBytes, unsigned index) {
    const size_t at = static_cast<size_t>(index) * sizeof(RGBQUAD);
    if (!table || at + sizeof(RGBQUAD) > tableBytes) {
        return kBlack;
    }
    return RGB(table[at + 2], table[at + 1], table[at]);
}

COLORREF From555(unsigned pixel) {
    return RGB(Scale((pixel >> 10) & 0x1F, 5), Scale((pixel >> 5) & 0x1F, 5),
               Scale(pixel & 0x1F, 5));
}

COLORREF From565(unsigned pixel) {
    return RGB(Scale((pixel >> 11) & 0x1F, 5), Scale((pixel >> 5) & 0x3F, 6),
               Scale(pixel & 0x1F, 5));
}

// Entries of the colour table, or the three masks, behind the header.
size_t ColourTableBytes(const BITMAPINFOHEADER& header) {
    if (header.biBitCount <= 8) {
        const DWORD count = header.biClrUsed ? header.biClrUsed : (1u << header.biBitCount);
        return static_cast<size_t>(count > 256 ? 256 : count) * sizeof(RGBQUAD);
    }
    return header.biCompression == BI_BITFIELDS ? 3 * sizeof(DWORD) : 0;
}

} // namespace

COLORREF DecodeFirstPixel(const BITMAPINFOHEADER& header, const BYTE* colourTable,
                          size_t colourTableBytes, const BYTE* line) noexcept {
    switch (header.biBitCount) {
    case 1:
        return TableEntry(colourTable, colourTableBytes, line[0] >> 7);
    case 4:
        return TableEntry(colourTable, colourTableBytes, line[0] >> 4);
    case 8:
        return TableEntry(colourTable, colourTableBytes, line[0]);
    case 16: {
        const unsigned pixel = line[0] | (line[1] << 8);
        if (header.biCompression == BI_RGB) {
            return From555(pixel);
        }
        if (header.biCompression == BI_BITFIELDS) {
            DWORD firstMask = 0;
            if (colourTable && colourTableBytes >= sizeof(firstMask)) {
                std::memcpy(&firstMask, colourTable, sizeof(firstMask));
            }
            return firstMask == 0x7C00 ? From555(pixel) : From565(pixel);
        }
        return kBlack;
    }
    case 24:
    case 32:
        return RGB(line[2], line[1], line[0]);
    default:
        return kBlack;
    }
}

COLORREF GetBitmapKeyColor(HDC dc, HBITMAP bitmap, const BITMAP& description) noexcept {
    HeapBuffer block(kInitialBlockBytes);
    if (!block) {
        return kBlack;
    }
    auto* header = block.As<BITMAPINFOHEADER>();
    header->biSize = kHeaderBytes;
    header->biWidth = description.bmWidth;
    header->biHeight = description.bmHeight; // positive: rows run bottom-up
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(description.bmPlanes * description.bmBitsPixel);
    header->biCompression = BI_RGB;

    // Without a pixel buffer the system completes the header and the table.
    GetDIBits(dc, bitmap, 0, 0, nullptr, block.As<BITMAPINFO>(), DIB_RGB_COLORS);
    if (header->biSize != kHeaderBytes) {
        return kBlack;
    }

    const size_t tableBytes = ColourTableBytes(*header);
    const size_t lineBytes =
        ((static_cast<size_t>(header->biWidth) * header->biBitCount + 31) & ~size_t{31}) / 8;
    // The line goes behind room for a full table: the system may write all
    // 2^n entries even when it reports fewer in biClrUsed.
    HeapBuffer grown(kInitialBlockBytes + lineBytes);
    if (!grown) {
        return kBlack;
    }
    std::memcpy(grown.As(), block.As(), kInitialBlockBytes);
    header = grown.As<BITMAPINFOHEADER>();
    BYTE* line = grown.As() + kInitialBlockBytes;

    if (lineBytes == 0 ||
        GetDIBits(dc, bitmap, 0, 1, line, grown.As<BITMAPINFO>(), DIB_RGB_COLORS) == 0) {
        return kMagenta;
    }
    return DecodeFirstPixel(*header, grown.As() + kHeaderBytes, tableBytes, line);
}

} // namespace vorn
