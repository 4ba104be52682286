// The About box: the key colour of its logo (the bottom-left pixel of a
// bitmap of any depth), the logo drawn without its key pixels, and the real
// box created from the plug-in's resources, looked at and closed the way a
// person would.
#include "about/about_box.h"
#include "about/key_color.h"

#include "person.h"
#include "plugin_host.h"
#include "resource_ids.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

namespace {

using standin::WindowText;

// A bottom-up DIB section whose pixels the test writes directly, with its
// colour table or, for BI_BITFIELDS, its three masks.
class DibSection {
  public:
    DibSection(int width, int height, WORD bits, DWORD compression = BI_RGB,
               const void* colours = nullptr, DWORD colourBytes = 0)
        : stride_(((width * bits + 31) & ~31) / 8) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } info{};
        const DWORD used = bits <= 8 ? colourBytes / sizeof(RGBQUAD) : 0;
        info.header = {sizeof(info.header), width, height, 1, bits, compression, 0, 0, 0, used, 0};
        if (colours) {
            std::memcpy(info.colours, colours, colourBytes);
        }
        bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                  &pixels_, nullptr, 0);
    }
    ~DibSection() { DeleteObject(bitmap); }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;
    BYTE* Row(int row) { return static_cast<BYTE*>(pixels_) + row * stride_; } // 0: bottom

    HBITMAP bitmap = nullptr;

  private:
    int stride_;
    void* pixels_ = nullptr;
};

COLORREF KeyColorOf(HBITMAP bitmap) {
    BITMAP description{};
    EXPECT_NE(0, GetObjectW(bitmap, sizeof(description), &description));
    HDC screen = GetDC(nullptr);
    const COLORREF key = vorn::GetBitmapKeyColor(screen, bitmap, description);
    ReleaseDC(nullptr, screen);
    return key;
}

// Every row's first pixel is decoded as the system hands pixels back (masks
// for 16 bits, a colour table below 16, little-endian pixel bytes); rows the
// system can hold are also written as the bottom-left pixel of a bitmap and
// read through the system.
TEST(BitmapKeyColor, IsTheBottomLeftPixelOfEachFormat) {
    const RGBQUAD palette[] = {{10, 20, 30, 0}, {200, 100, 50, 0}, {1, 2, 3, 0},   {4, 5, 6, 0},
                               {7, 8, 9, 0},    {90, 80, 70, 0},   {11, 12, 13, 0}};
    RGBQUAD big[256] = {};
    big[200] = {33, 66, 99, 0};
    const DWORD masks555[] = {0x7C00, 0x03E0, 0x001F};
    const DWORD masks565[] = {0xF800, 0x07E0, 0x001F};
    const RGBQUAD table[4] = {{255, 255, 255, 0}, {255, 255, 255, 0}};
    constexpr bool kSystem = true, kDecoded = false;
    struct Row {
        const char* what;
        WORD bits;
        DWORD compression;
        const void* colours;
        DWORD colourBytes;
        DWORD pixel;
        COLORREF expected;
        bool throughSystem;
    };
    const Row rows[] = {
        {"entry 1 in the top bit", 1, BI_RGB, palette, 8, 0x80, RGB(50, 100, 200), kSystem},
        {"entry 5 in the high nibble", 4, BI_RGB, palette, 28, 0x53, RGB(70, 80, 90), kSystem},
        {"the logo's format", 8, BI_RGB, big, sizeof(big), 200, RGB(99, 66, 33), kSystem},
        {"24 bits", 24, BI_RGB, nullptr, 0, 0x030201, RGB(3, 2, 1), kSystem},
        {"32 bits", 32, BI_RGB, nullptr, 0, 0x633C3228, RGB(60, 50, 40), kSystem},
        // 16 bits follow the first mask; the system reads 5-6-5 back as 5-5-5.
        {"5-5-5 masks", 16, BI_BITFIELDS, masks555, 12, 0x7FE0, RGB(255, 255, 0), kSystem},
        {"5-6-5 masks", 16, BI_BITFIELDS, masks565, 12, (63 << 5) | 31, RGB(0, 255, 255), kSystem},
        {"no masks", 16, BI_RGB, nullptr, 0, 0x7FE0, RGB(255, 255, 0), kSystem},
        // Red 15 of 31 and green 63 of 63.
        {"5-6-5 decoded", 16, BI_BITFIELDS, masks565, 12, 0x7FE0, RGB(123, 255, 0), kDecoded},
        {"run-length", 16, BI_RLE8, nullptr, 0, 0x7FE0, RGB(0, 0, 0), kDecoded},
        // Components are scaled with rounding: 131.6, 8.2, 246.8; green 129.5 rounds up.
        {"5-5-5 rounding", 16, BI_RGB, nullptr, 0, (16 << 10) | (1 << 5) | 30, RGB(132, 8, 247),
         kSystem},
        {"5-6-5 rounding", 16, BI_BITFIELDS, masks565, 12, 32 << 5, RGB(0, 130, 0), kDecoded},
        // Depths that cannot be decoded give black.
        {"2 bits", 2, BI_RGB, table, sizeof(table), 0x40, RGB(0, 0, 0), kDecoded},
        {"48 bits", 48, BI_RGB, nullptr, 0, 0x40, RGB(0, 0, 0), kDecoded},
        // An index past the table the system gave reads as black, not beyond it.
        {"past the table", 4, BI_RGB, table, sizeof(table), 0xF0, RGB(0, 0, 0), kDecoded},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        BITMAPINFOHEADER header{};
        header.biSize = sizeof(header);
        header.biBitCount = row.bits;
        header.biCompression = row.compression;
        EXPECT_EQ(row.expected, vorn::DecodeFirstPixel(
                                    header, static_cast<const BYTE*>(row.colours), row.colourBytes,
                                    reinterpret_cast<const BYTE*>(&row.pixel)));
        if (row.throughSystem) {
            DibSection dib(16, 3, row.bits, row.compression, row.colours, row.colourBytes);
            std::memcpy(dib.Row(0), &row.pixel, (row.bits + 7) / 8);
            std::memset(dib.Row(2), 0, 4); // the top row must not be the one read
            EXPECT_EQ(row.expected, KeyColorOf(dib.bitmap));
        }
    }

    // The system keeps a 2-bit bitmap at 4 bits with its default palette.
    const BYTE zeros[16] = {};
    HBITMAP twoBits = CreateBitmap(8, 3, 1, 2, zeros);
    EXPECT_EQ(RGB(0, 0, 0), KeyColorOf(twoBits));
    DeleteObject(twoBits);

    // A bitmap gone before its row is read gives magenta.
    BITMAP description{};
    description.bmWidth = description.bmHeight = 4;
    description.bmPlanes = 1;
    description.bmBitsPixel = 8;
    HBITMAP stale = DibSection(4, 4, 8).bitmap;
    HDC screen = GetDC(nullptr);
    EXPECT_EQ(RGB(255, 0, 255), vorn::GetBitmapKeyColor(screen, stale, description));
    ReleaseDC(nullptr, screen);
}

// Pictures drawn onto a 40x30 background at 7,5, read back pixel by pixel:
// the key colour (the picture's bottom-left pixel) shows the background,
// every other pixel the picture; the target keeps its own colours.
TEST(TransparentBitmap, KeyPixelsShowTheBackgroundAndOthersThePicture) {
    constexpr COLORREF kBackground = RGB(10, 200, 30);
    constexpr DWORD kBackgroundPixel = 0x0AC81E;
    constexpr int kWidth = 4, kHeight = 2;
    // Raster operations combine palette indices, so the table is laid out as
    // the system palette is: black first, white last.
    RGBQUAD palette[256] = {};
    palette[1] = {0, 0, 255, 0}; // red
    palette[2] = {0, 255, 0, 0}; // green
    palette[255] = {255, 255, 255, 0};
    // Bottom row first: white around colours one step from white and black,
    // and the same shape in palette indices with green as the key.
    constexpr DWORD kColours[kHeight][kWidth] = {{0xFFFFFF, 0xC80000, 0xFEFFFF, 0xFFFFFF},
                                                 {0x0000B4, 0x010101, 0xFFFFFF, 0x808080}};
    constexpr DWORD kIndices[kHeight][kWidth] = {{2, 1, 255, 2}, {1, 2, 0, 0}};
    for (WORD bits : {WORD{24}, WORD{32}, WORD{8}}) {
        SCOPED_TRACE(bits);
        const auto& raw = bits == 8 ? kIndices : kColours;
        DibSection picture(kWidth, kHeight, bits, BI_RGB, bits == 8 ? palette : nullptr,
                           bits == 8 ? sizeof(palette) : 0);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                std::memcpy(picture.Row(y) + x * bits / 8, &raw[y][x], bits / 8);
            }
        }
        // The colour of a picture pixel, counted from the top as the target's are.
        auto colour = [&](int x, int y) {
            const DWORD pixel = raw[kHeight - 1 - y][x];
            const RGBQUAD q = bits == 8
                                  ? palette[pixel]
                                  : RGBQUAD{BYTE(pixel), BYTE(pixel >> 8), BYTE(pixel >> 16), 0};
            return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        };
        const COLORREF key = colour(0, kHeight - 1);

        DibSection surface(40, 30, 32);
        std::fill_n(reinterpret_cast<DWORD*>(surface.Row(0)), 40 * 30, kBackgroundPixel);
        HDC target = CreateCompatibleDC(nullptr);
        SelectObject(target, surface.bitmap);
        SetBkColor(target, RGB(1, 2, 3));
        SetTextColor(target, RGB(4, 5, 6));
        vorn::DrawTransparentBitmap(target, picture.bitmap, 7, 5);
        EXPECT_EQ(RGB(1, 2, 3), GetBkColor(target));
        EXPECT_EQ(RGB(4, 5, 6), GetTextColor(target));
        for (int y = 0; y < 30; ++y) {
            for (int x = 0; x < 40; ++x) {
                const bool inside = x >= 7 && x < 7 + kWidth && y >= 5 && y < 5 + kHeight;
                const COLORREF drawn = inside ? colour(x - 7, y - 5) : key;
                ASSERT_EQ(drawn == key ? kBackground : drawn, GetPixel(target, x, y))
                    << "at " << x << "," << y;
            }
        }
        DeleteDC(target);
    }
}

HMODULE Plugin() {
    static HMODULE module = LoadLibraryW(standin::PluginDllPath().c_str());
    return module;
}

std::wstring StringOf(UINT id) {
    wchar_t text[256] = {};
    LoadStringW(Plugin(), id, text, 256);
    return text;
}

// The box on screen as a person sees it: its texts, and the logo centred in
// its frame with its white left out.
void ExpectTextsAndLogo(HWND dialog) {
    EXPECT_EQ(L"Vorn PS Printer Driver for Windows XP and Vista x64",
              WindowText(GetDlgItem(dialog, IDC_ABOUT_PRODUCT)));
    EXPECT_EQ(L"Version 7.00", WindowText(GetDlgItem(dialog, IDC_ABOUT_VERSION)));
    for (int i = 0; i < 6; ++i) {
        const std::wstring legal = WindowText(GetDlgItem(dialog, IDC_ABOUT_LEGAL1 + i));
        EXPECT_FALSE(legal.empty()) << i;
        EXPECT_EQ(StringOf(IDS_ABOUT_LEGAL1 + i), legal) << i;
    }

    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT frame{};
    GetWindowRect(GetDlgItem(dialog, IDC_ABOUT_LOGO_FRAME), &frame);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&frame), 2);
    const int left = (frame.left + frame.right - 200) / 2;
    const int top = (frame.top + frame.bottom - 82) / 2;
    HDC dc = GetDC(dialog);
    const COLORREF face = GetPixel(dc, 2, 2);
    EXPECT_EQ(face, GetPixel(dc, left + 100, top + 78));     // white rows under the logo
    EXPECT_EQ(face, GetPixel(dc, left + 0, top + 0));        // white corner of the band
    EXPECT_EQ(face, GetPixel(dc, left + 25, top + 14));      // top of the "V", white: key
    const COLORREF band = GetPixel(dc, left + 20, top + 30); // inside the blue band
    EXPECT_NE(face, band);
    EXPECT_LT(GetRValue(band), GetBValue(band));                    // blue
    EXPECT_EQ(RGB(208, 32, 48), GetPixel(dc, left + 20, top + 70)); // red underline
    ReleaseDC(dialog, dc);
}

// Runs the box; once it is on screen a person looks at it and closes it
// with `close`.
INT_PTR RunAbout(const std::function<void(HWND)>& close) {
    standin::Person person;
    const DWORD start = GetTickCount();
    bool closing = false;
    person.Watch([&](HWND active) {
        if (!IsWindowVisible(active) || WindowText(active) != L"About") {
            return;
        }
        if (!closing) {
            closing = true;
            ExpectTextsAndLogo(active);
            close(active);
        } else if (GetTickCount() - start > 20000) { // a box nobody closes must not hang the run
            EndDialog(active, -2);
        }
    });
    return DialogBoxParamW(Plugin(), MAKEINTRESOURCEW(IDD_ABOUT), nullptr, vorn::AboutDlgProc, 0);
}

TEST(AboutBox, EveryWayOfClosingItEndsItWithOne) {
    ASSERT_NE(nullptr, Plugin());
    const std::function<void(HWND)> closers[] = {
        [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); },
        [](HWND dialog) {
            PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYUP, VK_ESCAPE, 0);
        },
        [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
        [](HWND dialog) { PostMessageW(dialog, WM_CLOSE, 0, 0); },
    };
    for (const auto& close : closers) {
        EXPECT_EQ(1, RunAbout(close));
    }
}

} // namespace
