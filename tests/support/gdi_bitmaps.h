// Small GDI helpers for tests that draw: DIB sections of any depth whose
// pixels the test writes and reads directly, and the screen DC.
#pragma once

#include <windows.h>

#include <cstring>

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() { ReleaseDC(nullptr, dc); }
    ScreenDc() = default;
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
};

// A bottom-up DIB section. `firstMask` nonzero makes a 16-bit BI_BITFIELDS
// bitmap (0xF800 for 5-6-5, 0x7C00 for 5-5-5).
class DibSection {
  public:
    DibSection(int width, int height, WORD bits, const RGBQUAD* palette = nullptr,
               int paletteEntries = 0, DWORD firstMask = 0)
        : width_(width), bits_(bits) {
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colours[256];
        } info{};
        info.header.biSize = sizeof(info.header);
        info.header.biWidth = width;
        info.header.biHeight = height;
        info.header.biPlanes = 1;
        info.header.biBitCount = bits;
        info.header.biCompression = firstMask ? BI_BITFIELDS : BI_RGB;
        if (firstMask) {
            const DWORD masks[3] = {firstMask, firstMask == 0xF800 ? 0x07E0u : 0x03E0u, 0x001F};
            std::memcpy(info.colours, masks, sizeof(masks));
        } else if (palette) {
            info.header.biClrUsed = static_cast<DWORD>(paletteEntries);
            std::memcpy(info.colours, palette, sizeof(RGBQUAD) * paletteEntries);
        }
        bitmap = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                  &pixels_, nullptr, 0);
    }
    ~DibSection() { Destroy(); }
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    void Destroy() {
        if (bitmap) {
            DeleteObject(bitmap);
            bitmap = nullptr;
        }
    }
    // Row 0 is the bottom row.
    BYTE* Row(int row) { return static_cast<BYTE*>(pixels_) + row * Stride(); }
    int Stride() const { return ((width_ * bits_ + 31) & ~31) / 8; }

    HBITMAP bitmap = nullptr;

  private:
    int width_;
    WORD bits_;
    void* pixels_ = nullptr;
};
