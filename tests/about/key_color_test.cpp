// The key colour: the bottom-left pixel of bitmaps of every depth, read
// through the system, and the decoding of the pixel formats the system
// never hands back on its own.
#include "about/about_box.h"
#include "about/key_color.h"

#include "support/gdi_bitmaps.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using vorn::DecodeFirstPixel;
using vorn::GetBitmapKeyColor;

COLORREF KeyColorOf(HBITMAP bitmap) {
    BITMAP description{};
    EXPECT_NE(0, GetObjectW(bitmap, sizeof(description), &description));
    ScreenDc screen;
    return GetBitmapKeyColor(screen.dc, bitmap, description);
}

TEST(BitmapKeyColor, PaletteBitmapsGiveTheTableEntryOfTheBottomLeftPixel) {
    const RGBQUAD palette[] = {{10, 20, 30, 0}, {200, 100, 50, 0}, {1, 2, 3, 0},   {4, 5, 6, 0},
                               {7, 8, 9, 0},    {90, 80, 70, 0},   {11, 12, 13, 0}};
    // 1 bit: entry 1 in the top bit of the bottom row's first byte.
    DibSection one(16, 4, 1, palette, 2);
    one.Row(0)[0] = 0x80;
    one.Row(3)[0] = 0x00; // the top row must not be the one read
    EXPECT_EQ(RGB(50, 100, 200), KeyColorOf(one.bitmap));

    // 4 bits: entry 5 in the high nibble.
    DibSection four(8, 3, 4, palette, 7);
    four.Row(0)[0] = 0x53;
    EXPECT_EQ(RGB(70, 80, 90), KeyColorOf(four.bitmap));

    // 8 bits: the first byte indexes the table; the 256-entry logo format.
    RGBQUAD big[256] = {};
    big[200] = {33, 66, 99, 0};
    DibSection eight(200, 82, 8, big, 256);
    eight.Row(0)[0] = 200;
    eight.Row(81)[0] = 0;
    EXPECT_EQ(RGB(99, 66, 33), KeyColorOf(eight.bitmap));
}

TEST(BitmapKeyColor, DirectColourBitmapsGiveThePixelItself) {
    struct Case {
        WORD bits;
        DWORD firstMask;
        DWORD pixel;
        COLORREF expected;
    };
    const Case cases[] = {
        {16, 0, (31 << 10) | (31 << 5), RGB(255, 255, 0)},
        // A 5-6-5 bitmap is read back through the system as 5-5-5.
        {16, 0xF800, (63 << 5) | 31, RGB(0, 255, 255)},
        {24, 0, 0x030201, RGB(3, 2, 1)},
        {32, 0, 0x633C3228, RGB(60, 50, 40)},
    };
    for (const Case& c : cases) {
        DibSection dib(5, 2, c.bits, nullptr, 0, c.firstMask);
        std::memcpy(dib.Row(0), &c.pixel, c.bits / 8);
        EXPECT_EQ(c.expected, KeyColorOf(dib.bitmap)) << c.bits << " bits " << c.firstMask;
    }
}

TEST(BitmapKeyColor, TwoBitBitmapGivesBlack) {
    // The system keeps such a bitmap at 4 bits with its default palette.
    const BYTE zeros[16] = {};
    HBITMAP twoBits = CreateBitmap(8, 3, 1, 2, zeros);
    ASSERT_NE(nullptr, twoBits);
    EXPECT_EQ(RGB(0, 0, 0), KeyColorOf(twoBits));
    DeleteObject(twoBits);
}

TEST(BitmapKeyColor, UnreadableBitmapGivesMagenta) {
    BITMAP description{};
    description.bmWidth = 4;
    description.bmHeight = 4;
    description.bmPlanes = 1;
    description.bmBitsPixel = 8;
    ScreenDc screen;
    DibSection gone(4, 4, 8);
    const HBITMAP stale = gone.bitmap;
    gone.Destroy();
    EXPECT_EQ(RGB(255, 0, 255), GetBitmapKeyColor(screen.dc, stale, description));
}

// Pixels as the system hands them back: masks for 16 bits, a colour table
// below 16, little-endian pixel bytes.
TEST(BitmapKeyColor, DecodesTheFirstPixelOfEachFormat) {
    const DWORD masks555[] = {0x7C00, 0x03E0, 0x001F};
    const DWORD masks565[] = {0xF800, 0x07E0, 0x001F};
    const RGBQUAD table[4] = {{255, 255, 255, 0}, {255, 255, 255, 0}};
    struct Case {
        const char* what;
        WORD bits;
        DWORD compression;
        const void* colours;
        DWORD colourBytes;
        DWORD pixel;
        COLORREF expected;
    };
    const Case cases[] = {
        // 16 bits follow the first mask.
        {"5-5-5 masks", 16, BI_BITFIELDS, masks555, sizeof(masks555), 0x7FE0, RGB(255, 255, 0)},
        // Red 15 of 31 and green 63 of 63 as 5-6-5.
        {"5-6-5 masks", 16, BI_BITFIELDS, masks565, sizeof(masks565), 0x7FE0, RGB(123, 255, 0)},
        {"no masks", 16, BI_RGB, nullptr, 0, 0x7FE0, RGB(255, 255, 0)},
        {"run-length", 16, BI_RLE8, nullptr, 0, 0x7FE0, RGB(0, 0, 0)},
        // Components are scaled with rounding: 131.6, 8.2, 246.8.
        {"5-5-5 rounding", 16, BI_RGB, nullptr, 0, (16 << 10) | (1 << 5) | 30, RGB(132, 8, 247)},
        // Green 129.5 rounds up.
        {"5-6-5 rounding", 16, BI_BITFIELDS, masks565, sizeof(masks565), 32 << 5, RGB(0, 130, 0)},
        // Depths that cannot be decoded give black.
        {"2 bits", 2, BI_RGB, table, sizeof(table), 0x40, RGB(0, 0, 0)},
        {"48 bits", 48, BI_RGB, nullptr, 0, 0x40, RGB(0, 0, 0)},
        // An index past the table the system gave reads as black, not beyond it.
        {"past the table", 4, BI_RGB, table, sizeof(table), 0xF0, RGB(0, 0, 0)},
    };
    for (const Case& c : cases) {
        BITMAPINFOHEADER header{};
        header.biSize = sizeof(header);
        header.biBitCount = c.bits;
        header.biCompression = c.compression;
        EXPECT_EQ(c.expected,
                  DecodeFirstPixel(header, static_cast<const BYTE*>(c.colours), c.colourBytes,
                                   reinterpret_cast<const BYTE*>(&c.pixel)))
            << c.what;
    }
}

} // namespace
