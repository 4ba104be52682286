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
    DibSection rgb555(5, 2, 16);
    const WORD yellow555 = (31 << 10) | (31 << 5);
    std::memcpy(rgb555.Row(0), &yellow555, 2);
    EXPECT_EQ(RGB(255, 255, 0), KeyColorOf(rgb555.bitmap));

    // A 5-6-5 bitmap is read back through the system as 5-5-5.
    DibSection rgb565(5, 2, 16, nullptr, 0, 0xF800);
    const WORD cyan565 = (63 << 5) | 31;
    std::memcpy(rgb565.Row(0), &cyan565, 2);
    EXPECT_EQ(RGB(0, 255, 255), KeyColorOf(rgb565.bitmap));

    DibSection rgb24(3, 2, 24);
    const BYTE bgr[] = {1, 2, 3};
    std::memcpy(rgb24.Row(0), bgr, 3);
    EXPECT_EQ(RGB(3, 2, 1), KeyColorOf(rgb24.bitmap));

    DibSection rgb32(3, 2, 32);
    const BYTE bgrx[] = {40, 50, 60, 99};
    std::memcpy(rgb32.Row(0), bgrx, 4);
    EXPECT_EQ(RGB(60, 50, 40), KeyColorOf(rgb32.bitmap));
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

BITMAPINFOHEADER Header(WORD bits, DWORD compression) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biBitCount = bits;
    header.biCompression = compression;
    return header;
}

TEST(BitmapKeyColor, SixteenBitFormatsFollowTheFirstMask) {
    const BYTE pixel[] = {0xE0, 0x7F}; // 0x7FE0
    const DWORD masks555[] = {0x7C00, 0x03E0, 0x001F};
    const DWORD masks565[] = {0xF800, 0x07E0, 0x001F};
    const auto bitfields = Header(16, BI_BITFIELDS);
    EXPECT_EQ(RGB(255, 255, 0), DecodeFirstPixel(bitfields, reinterpret_cast<const BYTE*>(masks555),
                                                 sizeof(masks555), pixel));
    // Red 15 of 31 and green 63 of 63 as 5-6-5.
    EXPECT_EQ(RGB(123, 255, 0), DecodeFirstPixel(bitfields, reinterpret_cast<const BYTE*>(masks565),
                                                 sizeof(masks565), pixel));
    EXPECT_EQ(RGB(255, 255, 0), DecodeFirstPixel(Header(16, BI_RGB), nullptr, 0, pixel));
    EXPECT_EQ(RGB(0, 0, 0), DecodeFirstPixel(Header(16, BI_RLE8), nullptr, 0, pixel));
}

TEST(BitmapKeyColor, ComponentsAreScaledWithRounding) {
    const WORD mid555 = (16 << 10) | (1 << 5) | 30; // 131.6, 8.2, 246.8
    EXPECT_EQ(RGB(132, 8, 247), DecodeFirstPixel(Header(16, BI_RGB), nullptr, 0,
                                                 reinterpret_cast<const BYTE*>(&mid555)));
    const DWORD masks565[] = {0xF800, 0x07E0, 0x001F};
    const WORD mid565 = (32 << 5); // green 129.5 rounds up
    EXPECT_EQ(RGB(0, 130, 0),
              DecodeFirstPixel(Header(16, BI_BITFIELDS), reinterpret_cast<const BYTE*>(masks565),
                               sizeof(masks565), reinterpret_cast<const BYTE*>(&mid565)));
}

TEST(BitmapKeyColor, UndecodableDepthsGiveBlack) {
    const RGBQUAD table[4] = {{255, 255, 255, 0}, {255, 255, 255, 0}};
    const BYTE pixel[] = {0x40, 0x00, 0x00, 0x00};
    EXPECT_EQ(RGB(0, 0, 0),
              DecodeFirstPixel(Header(2, BI_RGB), reinterpret_cast<const BYTE*>(table),
                               sizeof(table), pixel));
    EXPECT_EQ(RGB(0, 0, 0), DecodeFirstPixel(Header(48, BI_RGB), nullptr, 0, pixel));
    // An index past the table the system gave reads as black, not beyond it.
    const BYTE pastTable[] = {0xF0};
    EXPECT_EQ(RGB(0, 0, 0),
              DecodeFirstPixel(Header(4, BI_RGB), reinterpret_cast<const BYTE*>(table),
                               sizeof(table), pastTable));
}

} // namespace
