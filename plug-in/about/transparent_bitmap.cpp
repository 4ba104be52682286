#include "about_box.h"

#include "../core/handles.h"

namespace vorn {

void DrawTransparentBitmap(HDC target, HBITMAP bitmap, int x, int y) noexcept {
    UniqueMemoryDc image(CreateCompatibleDC(target));
    UniqueMemoryDc mask(CreateCompatibleDC(target));
    BITMAP description{};
    if (!image || !mask || !GetObjectW(bitmap, sizeof(description), &description)) {
        return;
    }
    const COLORREF key = GetBitmapKeyColor(target, bitmap, description);

    SelectedObject imageSelection(image.Get(), bitmap);
    SetMapMode(image.Get(), GetMapMode(target));
    SetMapMode(mask.Get(), GetMapMode(target));

    POINT size{description.bmWidth, description.bmHeight};
    DPtoLP(target, &size, 1);
    POINT origin{0, 0};
    DPtoLP(image.Get(), &origin, 1);

    UniqueGdiObject maskBitmap(CreateBitmap(size.x, size.y, 1, 1, nullptr));
    if (!maskBitmap) {
        return;
    }
    SelectedObject maskSelection(mask.Get(), maskBitmap.Get());

    // Key-coloured pixels become white (1) in the mask, all others black.
    SetBkColor(image.Get(), key);
    BitBlt(mask.Get(), 0, 0, size.x, size.y, image.Get(), origin.x, origin.y, SRCCOPY);

    // Blacken the key pixels of the image, so that OR-ing it in adds nothing there.
    SetBkColor(image.Get(), RGB(0, 0, 0));
    SetTextColor(image.Get(), RGB(255, 255, 255));
    BitBlt(image.Get(), origin.x, origin.y, size.x, size.y, mask.Get(), 0, 0, SRCAND);

    // Cut a black hole where the picture goes, keep the background around it.
    const COLORREF previousBackground = SetBkColor(target, RGB(255, 255, 255));
    const COLORREF previousText = SetTextColor(target, RGB(0, 0, 0));
    BitBlt(target, x, y, size.x, size.y, mask.Get(), origin.x, origin.y, SRCAND);
    BitBlt(target, x, y, size.x, size.y, image.Get(), origin.x, origin.y, SRCPAINT);
    SetBkColor(target, previousBackground);
    SetTextColor(target, previousText);
}

} // namespace vorn
