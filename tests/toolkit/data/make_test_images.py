#!/usr/bin/env python3
"""Writes the test images: TwoSizes.ico and Pattern.bmp (both 16 colours)."""
import struct

# Palette entries as (r, g, b); the rest of the 16 are black.
PALETTE = [(0, 0, 0), (255, 0, 0), (0, 0, 255), (0, 255, 0), (128, 128, 0), (255, 255, 0), (255, 255, 255)]
BLACK, RED, BLUE, GREEN, OLIVE, YELLOW, WHITE = range(7)


def palette_bytes():
    entries = PALETTE + [(0, 0, 0)] * (16 - len(PALETTE))
    return b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in entries)


def rows_4bpp(pixels):
    """pixels: rows top first; returns the bottom-up 4-bit rows padded to 4 bytes."""
    out = b""
    for row in reversed(pixels):
        padded = row + [0] * (len(row) % 2)
        data = bytes((padded[i] << 4) | padded[i + 1] for i in range(0, len(padded), 2))
        out += data + b"\0" * (-len(data) % 4)
    return out


def rows_1bpp(bits):
    out = b""
    for row in reversed(bits):
        data = bytes(sum(bit << (7 - j) for j, bit in enumerate(row[i:i + 8])) for i in range(0, len(row), 8))
        out += data + b"\0" * (-len(data) % 4)
    return out


def icon_image(size, colour, transparent_corner):
    pixels = [[colour] * size for _ in range(size)]
    mask = [[0] * size for _ in range(size)]
    for y in range(transparent_corner):
        for x in range(transparent_corner):
            pixels[y][x] = BLACK
            mask[y][x] = 1
    xor, and_ = rows_4bpp(pixels), rows_1bpp(mask)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(xor) + len(and_), 0, 0, 0, 0)
    return header + palette_bytes() + xor + and_


def write_icon(path):
    # 32x32 red with a transparent 8x8 top-left corner; 16x16 all blue.
    images = [(32, icon_image(32, RED, 8)), (16, icon_image(16, BLUE, 0))]
    offset = 6 + 16 * len(images)
    out = struct.pack("<HHH", 0, 1, len(images))
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    with open(path, "wb") as f:
        f.write(out)


def write_bitmap(path):
    # 4x3, bottom-left olive like the glyphs' transparent background.
    pixels = [[RED, GREEN, BLUE, WHITE], [OLIVE, BLACK, OLIVE, YELLOW], [OLIVE, YELLOW, OLIVE, OLIVE]]
    bits = rows_4bpp(pixels)
    info = struct.pack("<IiiHHIIiiII", 40, 4, 3, 1, 4, 0, len(bits), 0, 0, 16, 0) + palette_bytes()
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    with open(path, "wb") as f:
        f.write(header + info + bits)


if __name__ == "__main__":
    write_icon("TwoSizes.ico")
    write_bitmap("Pattern.bmp")
