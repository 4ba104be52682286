// Transparent drawing read back pixel by pixel from a memory target.
#include "about/about_box.h"

#include "support/gdi_bitmaps.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kBackground = RGB(10, 200, 30);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A memory DC with `bitmap` selected into it.
struct MemoryDc {
    explicit MemoryDc(HBITMAP bitmap) : previous(SelectObject(dc, bitmap)) {}
    ~MemoryDc() {
        SelectObject(dc, previous);
        DeleteDC(dc);
    }
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous;
};

struct Target {
    DibSection surface{40, 30, 32};
    MemoryDc memory{surface.bitmap};
    HDC dc = memory.dc;
    Target() {
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                SetPixel(dc, x, y, kBackground);
            }
        }
    }
};

// A 6x4 picture, top-down: white (key) around a coloured cross.
const COLORREF kPicture[4][6] = {
    {kWhite, kWhite, RGB(200, 0, 0), RGB(200, 0, 0), kWhite, kWhite},
    {RGB(0, 0, 180), RGB(0, 0, 180), RGB(1, 1, 1), RGB(254, 255, 255), RGB(0, 0, 180), kWhite},
    {kWhite, kWhite, RGB(200, 0, 0), RGB(200, 0, 0), kWhite, RGB(128, 128, 128)},
    {kWhite, kWhite, RGB(200, 0, 0), RGB(200, 0, 0), kWhite, kWhite},
};

void Paint(DibSection& picture) {
    MemoryDc memory(picture.bitmap);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            SetPixel(memory.dc, x, y, kPicture[y][x]);
        }
    }
}

TEST(TransparentBitmap, KeyPixelsShowTheBackgroundAndOthersThePicture) {
    for (WORD bits : {WORD{24}, WORD{32}}) {
        SCOPED_TRACE(bits);
        Target target;
        DibSection picture(6, 4, bits);
        Paint(picture);
        vorn::DrawTransparentBitmap(target.dc, picture.bitmap, 7, 5);
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const bool inside = x >= 7 && x < 13 && y >= 5 && y < 9;
                const COLORREF stored = inside ? kPicture[y - 5][x - 7] : kWhite;
                const COLORREF expected = stored == kWhite ? kBackground : stored;
                ASSERT_EQ(expected, GetPixel(target.dc, x, y)) << "at " << x << "," << y;
            }
        }
    }
}

TEST(TransparentBitmap, PaletteBitmapUsesItsBottomLeftColourAsKey) {
    // Raster operations combine palette indices, so the table is laid out as
    // the system palette is: black first, white last.
    RGBQUAD palette[256] = {};
    palette[1] = {0, 0, 255, 0}; // red
    palette[2] = {0, 255, 0, 0}; // green
    palette[255] = {255, 255, 255, 0};
    Target target;
    DibSection picture(8, 2, 8, palette, 256);
    picture.Row(0)[0] = 2; // bottom-left: green is the key
    picture.Row(0)[1] = 1;
    picture.Row(1)[0] = 1;
    picture.Row(1)[1] = 2;
    vorn::DrawTransparentBitmap(target.dc, picture.bitmap, 0, 0);
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(target.dc, 0, 0));
    EXPECT_EQ(kBackground, GetPixel(target.dc, 1, 0));
    EXPECT_EQ(kBackground, GetPixel(target.dc, 0, 1));
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(target.dc, 1, 1));
}

TEST(TransparentBitmap, TargetColoursAreRestored) {
    Target target;
    SetBkColor(target.dc, RGB(1, 2, 3));
    SetTextColor(target.dc, RGB(4, 5, 6));
    DibSection picture(6, 4, 24);
    Paint(picture);
    vorn::DrawTransparentBitmap(target.dc, picture.bitmap, 0, 0);
    EXPECT_EQ(RGB(1, 2, 3), GetBkColor(target.dc));
    EXPECT_EQ(RGB(4, 5, 6), GetTextColor(target.dc));
}

} // namespace
