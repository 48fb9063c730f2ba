#!/usr/bin/env python3
"""Draws the program's icons and spin arrow bitmaps and writes them beside this script.

The output depends on nothing but this file, so running it again gives the same bytes.
With --check it writes nothing and exits 1 if a committed file differs from what it would write.
"""

import struct
import sys
from pathlib import Path

# The standard 16-colour VGA palette, (red, green, blue); the index is the pixel value.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
(BLACK, MAROON, GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER,
 GREY, RED, LIME, YELLOW, BLUE, FUCHSIA, AQUA, WHITE) = range(16)


class Canvas:
    """Pixels as palette indices, top row first; None is transparent.

    Shapes take coordinates on the pixel grid's edges: pixel (x, y) covers x..x+1, y..y+1,
    and a shape paints every pixel whose centre lies inside it.
    """

    def __init__(self, width, height, fill=None):
        self.width = width
        self.height = height
        self.pixels = [[fill] * width for _ in range(height)]

    def rect(self, left, top, right, bottom, colour):
        for y in range(max(top, 0), min(bottom, self.height)):
            for x in range(max(left, 0), min(right, self.width)):
                self.pixels[y][x] = colour

    def polygon(self, points, colour):
        edges = list(zip(points, points[1:] + points[:1]))
        for y in range(self.height):
            yc = y + 0.5
            crossings = []
            for (x0, y0), (x1, y1) in edges:
                # Half-open in y so a vertex on the scan line counts once.
                if (y0 <= yc < y1) or (y1 <= yc < y0):
                    crossings.append(x0 + (yc - y0) * (x1 - x0) / (y1 - y0))
            crossings.sort()
            for start, end in zip(crossings[0::2], crossings[1::2]):
                for x in range(self.width):
                    if start <= x + 0.5 < end:
                        self.pixels[y][x] = colour

    def circle(self, cx, cy, r, colour):
        for y in range(self.height):
            for x in range(self.width):
                if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 <= r * r:
                    self.pixels[y][x] = colour

    def line(self, x0, y0, x1, y1, colour):
        """One-pixel line between two pixels (not edges), both ends included."""
        steps = max(abs(x1 - x0), abs(y1 - y0))
        for i in range(steps + 1):
            t = i / steps if steps else 0.0
            x = x0 + (x1 - x0) * t
            y = y0 + (y1 - y0) * t
            self.pixels[int(y + 0.5)][int(x + 0.5)] = colour

    def flipped(self):
        upside_down = Canvas(self.width, self.height)
        upside_down.pixels = [row[:] for row in reversed(self.pixels)]
        return upside_down


# --- Drawings --------------------------------------------------------------------------------


def spin_up():
    arrow = Canvas(9, 6, OLIVE)
    for half in range(4):  # rows 1..4 hold 1, 3, 5, 7 pixels around column 4
        arrow.rect(4 - half, 1 + half, 5 + half, 2 + half, BLACK)
    return arrow


def spin_down():
    return spin_up().flipped()


def hide_button(size):
    """A triangle pointing down, lit from the top left: three faces meeting at its centre."""
    k = size / 32
    left, right, apex = (1 * k, 5 * k), (31 * k, 5 * k), (16 * k, 30 * k)
    centre = ((left[0] + right[0] + apex[0]) / 3, (left[1] + right[1] + apex[1]) / 3)
    c = Canvas(size, size)
    c.polygon([left, right, apex], BLACK)  # what the other two faces leave is the right face
    c.polygon([left, right, centre], SILVER)
    c.polygon([left, centre, apex], GREY)
    return c


def tray_clock(size):
    """A red wall clock: a round head holding the white dial over a case with the pendulum.

    Each size has its own coordinates: halving the large one loses the hands and the rod.
    """
    if size == 32:
        head, dial = (16, 11, 11), 8
        case, window = (9, 15, 23, 32), (12, 18, 20, 30)
        rod, bob = (15, 17, 17, 27), (16, 27, 3)
        hands = [(15, 6, 15, 11), (15, 11, 20, 11)]  # three o'clock
        ticks = [(15, 4), (16, 4), (22, 10), (22, 11), (15, 17), (16, 17), (9, 10), (9, 11)]
    else:
        head, dial = (8, 6, 6), 4.3
        case, window = (4, 8, 12, 16), (6, 10, 10, 15)
        rod, bob = (7, 9, 9, 13), (8, 13, 1.6)
        hands = [(7, 3, 7, 6), (7, 6, 10, 6)]
        ticks = []
    c = Canvas(size, size)
    x, y, r = head
    left, top, right, bottom = case
    # A black rim, so the clock keeps its shape on any taskbar colour.
    c.circle(x, y, r, BLACK)
    c.rect(left, top, right, bottom, BLACK)
    c.circle(x, y, r - 1, RED)
    c.rect(left + 1, top - 2, right - 1, bottom - 1, RED)  # reaching into the head joins the two
    c.rect(right - 2, top, right - 1, bottom - 1, MAROON)  # the case's shaded side
    c.circle(x, y, dial, WHITE)
    for tx, ty in ticks:
        c.rect(tx, ty, tx + 1, ty + 1, BLACK)
    for hand in hands:
        c.line(*hand, BLACK)
    c.rect(*window, BLACK)
    c.rect(*rod, YELLOW)
    c.circle(*bob, YELLOW)
    return c


def main_icon(size):
    """A wall calendar sheet in the window's colours: a maroon header, teal page, lime days."""
    c = Canvas(size, size)
    if size == 32:
        sheet, header_bottom = (2, 4, 30, 31), 11
        rings = [(8, 2, 10, 8), (22, 2, 24, 8)]
        columns, rows, cell, gap, origin = 4, 3, 4, 2, (5, 14)
        today = (2, 1)
    else:
        sheet, header_bottom = (1, 2, 15, 16), 6
        rings = [(4, 1, 5, 4), (11, 1, 12, 4)]
        columns, rows, cell, gap, origin = 3, 2, 3, 1, (3, 8)
        today = (1, 1)
    left, top, right, bottom = sheet
    c.rect(left, top, right, bottom, BLACK)
    c.rect(left + 1, top + 1, right - 1, header_bottom, MAROON)
    c.rect(left + 1, header_bottom, right - 1, bottom - 1, TEAL)
    for ring in rings:
        c.rect(*ring, SILVER)
    for row in range(rows):
        for column in range(columns):
            x = origin[0] + column * (cell + gap)
            y = origin[1] + row * (cell + gap)
            c.rect(x, y, x + cell, y + cell, WHITE if (column, row) == today else LIME)
    return c


# --- File formats -----------------------------------------------------------------------------


def palette_bytes():
    return b"".join(struct.pack("<4B", b, g, r, 0) for r, g, b in PALETTE)


def info_header(width, height, bits, image_size):
    """BITMAPINFOHEADER, uncompressed; height is doubled by the caller for icons."""
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def padded(row):
    return row + b"\0" * (-len(row) % 4)


def colour_bits(canvas):
    """4 bits per pixel, high nibble first, rows bottom-up; transparent pixels are 0."""
    rows = []
    for line in reversed(canvas.pixels):
        values = [0 if p is None else p for p in line] + [0] * (canvas.width % 2)
        rows.append(padded(bytes(hi << 4 | lo for hi, lo in zip(values[0::2], values[1::2]))))
    return b"".join(rows)


def mask_bits(canvas):
    """1 bit per pixel, leftmost pixel in the high bit, rows bottom-up; 1 is transparent."""
    rows = []
    for line in reversed(canvas.pixels):
        row = bytearray((canvas.width + 7) // 8)
        for x, p in enumerate(line):
            if p is None:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(padded(bytes(row)))
    return b"".join(rows)


def bmp_file(canvas):
    if any(p is None for line in canvas.pixels for p in line):
        raise ValueError("a bitmap has no transparency")
    bits = colour_bits(canvas)
    header_size = 14 + 40 + 4 * len(PALETTE)
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(bits), 0, 0, header_size)
    info = info_header(canvas.width, canvas.height, 4, len(bits))
    return file_header + info + palette_bytes() + bits


def ico_file(images):
    entries, bodies = [], []
    offset = 6 + 16 * len(images)
    for canvas in images:
        xor, mask = colour_bits(canvas), mask_bits(canvas)
        body = (info_header(canvas.width, 2 * canvas.height, 4, len(xor) + len(mask))
                + palette_bytes() + xor + mask)
        # A width or height of 256 would be written as 0; ours are small.
        entries.append(struct.pack("<4BHHII", canvas.width, canvas.height, len(PALETTE), 0,
                                   1, 4, len(body), offset))
        bodies.append(body)
        offset += len(body)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(bodies)


def artwork():
    """File name to contents, for everything this script makes."""
    return {
        "SpinUp.bmp": bmp_file(spin_up()),
        "SpinDown.bmp": bmp_file(spin_down()),
        "MainIcon.ico": ico_file([main_icon(32), main_icon(16)]),
        "HideButton.ico": ico_file([hide_button(32), hide_button(16)]),
        "TrayClock.ico": ico_file([tray_clock(32), tray_clock(16)]),
    }


def main(argv):
    check = argv[1:] == ["--check"]
    if argv[1:] and not check:
        print("usage: draw_art.py [--check]", file=sys.stderr)
        return 2
    here = Path(__file__).resolve().parent
    stale = []
    for name, data in artwork().items():
        path = here / name
        if check:
            if not path.exists() or path.read_bytes() != data:
                stale.append(name)
        else:
            path.write_bytes(data)
    if stale:
        print("out of date: " + ", ".join(stale) + " (run draw_art.py)", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
