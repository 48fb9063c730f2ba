#!/usr/bin/env python3
"""Draws the program's icons and spin arrow bitmaps and writes them beside this script.

The output depends on nothing but this file, so running it again gives the same bytes.
With --check it writes nothing and exits 1 if a committed file differs from what it would write.
"""

import struct
import sys
import zlib
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


class SmoothCanvas:
    """Colours with coverage for the 32-bit images: (red, green, blue, alpha) per pixel, top row first.

    The shapes are those of a drawing on a grid of `grid` units, drawn at `size` pixels: the same
    drawing at every size, each edge pixel covered as much as the shape covers it (16 samples).
    A shape is given by its signed distance (negative inside), which for the edge test need only
    never exceed the true distance outside or fall short of it inside.
    """

    SAMPLES = [(i + 0.5) / 4 - 0.5 for i in range(4)]

    def __init__(self, size, grid):
        self.width = self.height = size
        self.k = size / grid
        self.pixels = [[(0, 0, 0, 0)] * size for _ in range(size)]

    def _fill(self, box, distance, colour):
        red, green, blue = PALETTE[colour]
        left, top, right, bottom = (v * self.k for v in box)
        for y in range(max(int(top) - 1, 0), min(int(bottom) + 2, self.height)):
            row = self.pixels[y]
            for x in range(max(int(left) - 1, 0), min(int(right) + 2, self.width)):
                d = distance(x + 0.5, y + 0.5)
                if d >= 0.71:
                    continue
                if d <= -0.71:
                    cover = 1.0
                else:
                    inside = sum(1 for sy in self.SAMPLES for sx in self.SAMPLES
                                 if distance(x + 0.5 + sx, y + 0.5 + sy) < 0)
                    if inside == 0:
                        continue
                    cover = inside / 16
                r, g, b, a = row[x]
                # Straight (not premultiplied) colour, as icons hold it: this over what is there.
                alpha = cover + a / 255 * (1 - cover)
                mix = lambda new, old: (new * cover + old * a / 255 * (1 - cover)) / alpha
                row[x] = (mix(red, r), mix(green, g), mix(blue, b), alpha * 255)

    def rect(self, left, top, right, bottom, colour):
        k = self.k
        self._fill((left, top, right, bottom),
                   lambda x, y: max(left * k - x, x - right * k, top * k - y, y - bottom * k), colour)

    def polygon(self, points, colour):
        """A convex polygon."""
        k = self.k
        pts = [(x * k, y * k) for x, y in points]
        mx, my = sum(p[0] for p in pts) / len(pts), sum(p[1] for p in pts) / len(pts)
        edges = []
        for (x0, y0), (x1, y1) in zip(pts, pts[1:] + pts[:1]):
            length = ((x1 - x0) ** 2 + (y1 - y0) ** 2) ** 0.5
            nx, ny = (y1 - y0) / length, (x0 - x1) / length
            if nx * (mx - x0) + ny * (my - y0) > 0:  # outward, away from the middle
                nx, ny = -nx, -ny
            edges.append((x0, y0, nx, ny))
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self._fill((min(xs), min(ys), max(xs), max(ys)),
                   lambda x, y: max(nx * (x - x0) + ny * (y - y0) for x0, y0, nx, ny in edges), colour)

    def circle(self, cx, cy, r, colour):
        k = self.k
        self._fill((cx - r, cy - r, cx + r, cy + r),
                   lambda x, y: ((x - cx * k) ** 2 + (y - cy * k) ** 2) ** 0.5 - r * k, colour)

    def line(self, x0, y0, x1, y1, colour):
        """A line one unit wide between the centres of two grid cells, with round ends."""
        k = self.k
        ax, ay, bx, by = (x0 + 0.5) * k, (y0 + 0.5) * k, (x1 + 0.5) * k, (y1 + 0.5) * k
        dx, dy = bx - ax, by - ay
        span = dx * dx + dy * dy

        def distance(x, y):
            t = 0.0 if span == 0 else min(max(((x - ax) * dx + (y - ay) * dy) / span, 0.0), 1.0)
            return ((x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2) ** 0.5 - 0.5 * k

        self._fill((min(x0, x1), min(y0, y1), max(x0, x1) + 1, max(y0, y1) + 1), distance, colour)

    def rgba(self):
        return [[tuple(int(v + 0.5) for v in p) for p in row] for row in self.pixels]


# --- Drawings --------------------------------------------------------------------------------


def spin_up():
    arrow = Canvas(9, 6, OLIVE)
    for half in range(4):  # rows 1..4 hold 1, 3, 5, 7 pixels around column 4
        arrow.rect(4 - half, 1 + half, 5 + half, 2 + half, BLACK)
    return arrow


def spin_down():
    return spin_up().flipped()


def hide_button(c, k=1):
    """A triangle pointing down, lit from the top left: three faces meeting at its centre.

    Drawn on a 32-unit grid; k scales a canvas that takes pixels.
    """
    left, right, apex = (1 * k, 5 * k), (31 * k, 5 * k), (16 * k, 30 * k)
    centre = ((left[0] + right[0] + apex[0]) / 3, (left[1] + right[1] + apex[1]) / 3)
    c.polygon([left, right, apex], BLACK)  # what the other two faces leave is the right face
    c.polygon([left, right, centre], SILVER)
    c.polygon([left, centre, apex], GREY)
    return c


def tray_clock(c, design):
    """A red wall clock: a round head holding the white dial over a case with the pendulum.

    Two drawings, on a 32 and a 16-unit grid: halving the large one loses the hands and the rod.
    """
    if design == 32:
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


def main_icon(c, design):
    """A wall calendar sheet in the window's colours: a maroon header, teal page, lime days.

    Two drawings, on a 32 and a 16-unit grid.
    """
    if design == 32:
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


def alpha_mask_bits(rows):
    """The AND mask of a 32-bit image: set where it is wholly transparent."""
    lines = []
    for line in reversed(rows):
        row = bytearray((len(line) + 7) // 8)
        for x, (_, _, _, a) in enumerate(line):
            if a == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        lines.append(padded(bytes(row)))
    return b"".join(lines)


def bgra_bits(rows):
    """4 bytes a pixel, blue first, rows bottom-up."""
    return b"".join(bytes(v for r, g, b, a in line for v in (b, g, r, a)) for line in reversed(rows))


def png_file(rows):
    """RGBA, 8 bits a channel, each row filtered by its left neighbour: as Windows keeps 256 px images."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    raw = bytearray()
    for line in rows:
        flat = bytes(v for p in line for v in p)
        raw.append(1)
        raw.extend(flat[i] if i < 4 else (flat[i] - flat[i - 4]) & 0xFF for i in range(len(flat)))
    width, height = len(rows[0]), len(rows)
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def ico_file(smooth, classic):
    """The 32-bit images (the 256 px one as PNG), then the 16-colour ones."""
    entries, bodies = [], []
    for canvas in smooth:
        rows = canvas.rgba()
        if canvas.width == 256:
            body = png_file(rows)
        else:
            xor, mask = bgra_bits(rows), alpha_mask_bits(rows)
            body = info_header(canvas.width, 2 * canvas.height, 32, len(xor) + len(mask)) + xor + mask
        entries.append((canvas.width, 0, 32, body))
    for canvas in classic:
        xor, mask = colour_bits(canvas), mask_bits(canvas)
        body = (info_header(canvas.width, 2 * canvas.height, 4, len(xor) + len(mask))
                + palette_bytes() + xor + mask)
        entries.append((canvas.width, len(PALETTE), 4, body))
    offset = 6 + 16 * len(entries)
    directory = b""
    for size, colours, bits, body in entries:
        # A width or height of 256 is written as 0.
        directory += struct.pack("<4BHHII", size % 256, size % 256, colours, 0, 1, bits, len(body), offset)
        bodies.append(body)
        offset += len(body)
    return struct.pack("<HHH", 0, 1, len(entries)) + directory + b"".join(bodies)


# The 32-bit images: every size the system asks for at 100 % to 200 % and beyond; the 16-colour
# 32 and 16 px images stay for displays with few colours.
ICON_SIZES = [16, 20, 24, 32, 40, 48, 64, 256]
HIDE_BUTTON_SIZES = [32, 40, 48, 64]


def design_for(size):
    """Below 24 px the small drawing keeps its details; from 24 up the large one is drawn."""
    return 16 if size < 24 else 32


def icon_images(name):
    """The images of one icon file: the 32-bit ones (canvas, as RGBA rows), then the 16-colour ones."""
    if name == "HideButton":
        smooth = [SmoothCanvas(n, 32) for n in HIDE_BUTTON_SIZES]
        for c in smooth:
            hide_button(c)
        classic = [hide_button(Canvas(n, n), n / 32) for n in (32, 16)]
    else:
        draw = main_icon if name == "MainIcon" else tray_clock
        smooth = []
        for n in ICON_SIZES:
            smooth.append(SmoothCanvas(n, design_for(n)))
            draw(smooth[-1], design_for(n))
        classic = [draw(Canvas(n, n), n) for n in (32, 16)]
    return smooth, classic


def artwork():
    """File name to contents, for everything this script makes."""
    files = {
        "SpinUp.bmp": bmp_file(spin_up()),
        "SpinDown.bmp": bmp_file(spin_down()),
    }
    for name in ("MainIcon", "HideButton", "TrayClock"):
        smooth, classic = icon_images(name)
        files[name + ".ico"] = ico_file(smooth, classic)
    return files


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
