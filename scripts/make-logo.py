#!/usr/bin/env python3
"""Writes the About box logo: a 200x82, 8-bit, 256-colour BMP.

White is the transparent colour of the About box, so the picture keeps white
around its shapes and in its bottom-left pixel. Plain Python, no libraries,
so the file comes out byte for byte the same every time.

Usage: make-logo.py [OUTPUT]   (default: plug-in/about/vorn_logo.bmp)
"""
import os
import struct
import sys

WIDTH, HEIGHT = 200, 82

WHITE, RED, SHADOW = 0, 1, 2
BAND_FIRST, BAND_STEPS = 16, 64  # palette entries of the band's gradient

GLYPHS = {
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
}


def palette():
    entries = [(255, 255, 255)] * 256
    entries[RED] = (208, 32, 48)
    entries[SHADOW] = (150, 160, 180)
    for i in range(BAND_STEPS):  # deep blue at the top, lighter below
        t = i / (BAND_STEPS - 1)
        entries[BAND_FIRST + i] = (int(20 + 40 * t), int(50 + 80 * t), int(130 + 90 * t))
    return entries


def inside_rounded(x, y, left, top, right, bottom, radius):
    """True when (x, y) lies in the rectangle with rounded corners."""
    if not (left <= x <= right and top <= y <= bottom):
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def draw():
    """Rows top-down, one palette index per pixel."""
    rows = [[WHITE] * WIDTH for _ in range(HEIGHT)]
    top, bottom = 4, 60
    for y in range(HEIGHT):
        for x in range(WIDTH):
            if inside_rounded(x, y, 8, top + 3, 194, bottom + 3, 12):
                rows[y][x] = SHADOW
    for y in range(top, bottom + 1):
        shade = BAND_FIRST + (y - top) * (BAND_STEPS - 1) // (bottom - top)
        for x in range(WIDTH):
            if inside_rounded(x, y, 5, top, 191, bottom, 12):
                rows[y][x] = shade
    scale, gap = 6, 10
    text = "VORN"
    text_width = len(text) * 5 * scale + (len(text) - 1) * gap
    left = (5 + 191 - text_width) // 2
    glyph_top = top + (bottom - top - 7 * scale) // 2 + 1
    for n, letter in enumerate(text):
        for gy, line in enumerate(GLYPHS[letter]):
            for gx, bit in enumerate(line):
                if bit != "1":
                    continue
                for dy in range(scale):
                    for dx in range(scale):
                        x = left + n * (5 * scale + gap) + gx * scale + dx
                        rows[glyph_top + gy * scale + dy][x] = WHITE
    for y in range(68, 74):  # red underline, ending in a point
        for x in range(5, 192 - (y - 68) * 2):
            rows[y][x] = RED
    return rows


def bmp_bytes():
    rows = draw()
    assert rows[HEIGHT - 1][0] == WHITE  # the transparent colour's sample
    stride = (WIDTH + 3) & ~3
    pixels = b"".join(bytes(row) + b"\0" * (stride - WIDTH) for row in reversed(rows))
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette())
    offset = 14 + 40 + len(colours)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info_header = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 8, 0, len(pixels),
                              2835, 2835, 256, 0)
    return file_header + info_header + colours + pixels


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "plug-in", "about",
                                                              "vorn_logo.bmp")
    with open(out, "wb") as f:
        f.write(bmp_bytes())
    print(out)


if __name__ == "__main__":
    main()
