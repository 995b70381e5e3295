#!/usr/bin/env python3
"""Draws the windows' button pictures into src/ui/artwork/.

Items 1 to 11 are the library manager's pictures (32 x 32 PNG with alpha), items 12 to 16 the
host bar's five buttons (16 x 16, 24-bit BMP on a black background that the bar makes
transparent), and search64.png the online search button. Everything is drawn here from simple
shapes, so the pictures are our own; run it again after changing a shape.
"""
import math
import os
import struct
import sys
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "src", "ui", "artwork")
SS = 4  # supersampling per axis


class Canvas:
    def __init__(self, size, background=(0, 0, 0, 0)):
        self.size = size
        n = size * SS
        self.n = n
        self.px = [list(background) for _ in range(n * n)]

    def _blend(self, i, color, cover=1.0):
        r, g, b, a = color
        a = a / 255.0 * cover
        dst = self.px[i]
        out_a = a + dst[3] / 255.0 * (1 - a)
        if out_a <= 0:
            return
        for k, c in enumerate((r, g, b)):
            dst[k] = (c * a + dst[k] * dst[3] / 255.0 * (1 - a)) / out_a
        dst[3] = out_a * 255.0

    def shape(self, inside, color):
        """Paints every subsample whose centre (in picture units) satisfies inside(x, y)."""
        n = self.n
        for y in range(n):
            fy = (y + 0.5) / SS
            for x in range(n):
                if inside((x + 0.5) / SS, fy):
                    self._blend(y * n + x, color)

    def rect(self, x0, y0, x1, y1, color):
        self.shape(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color)

    def disc(self, cx, cy, r, color):
        self.shape(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, color)

    def ring(self, cx, cy, r, w, color):
        self.shape(lambda x, y: (r - w / 2) ** 2 <= (x - cx) ** 2 + (y - cy) ** 2 <= (r + w / 2) ** 2, color)

    def line(self, x0, y0, x1, y1, w, color):
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx, y0 + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (w / 2) ** 2

        self.shape(inside, color)

    def polygon(self, points, color):
        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i in range(len(points)):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit

        self.shape(inside, color)

    def pixels(self):
        """Averages the subsamples: rows of (r, g, b, a) bytes, straight alpha."""
        rows = []
        for y in range(self.size):
            row = []
            for x in range(self.size):
                acc = [0.0, 0.0, 0.0, 0.0]
                for sy in range(SS):
                    for sx in range(SS):
                        p = self.px[(y * SS + sy) * self.n + x * SS + sx]
                        a = p[3]
                        acc[0] += p[0] * a
                        acc[1] += p[1] * a
                        acc[2] += p[2] * a
                        acc[3] += a
                a = acc[3] / (SS * SS)
                if acc[3] > 0:
                    row.append(tuple(int(round(acc[k] / acc[3])) for k in range(3)) + (int(round(a)),))
                else:
                    row.append((0, 0, 0, 0))
            rows.append(row)
        return rows


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    raw = b"".join(b"\0" + bytes(c for px in row for c in px) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(png)


def write_bmp(path, rows):
    """24-bit bottom-up BMP; transparent pixels become the black mask colour."""
    height, width = len(rows), len(rows[0])
    stride = (width * 3 + 3) // 4 * 4
    data = b""
    for row in reversed(rows):
        line = b""
        for r, g, b, a in row:
            # Composite over black; keep covered pixels off pure black so they stay visible.
            k = a / 255.0
            r, g, b = (int(round(c * k)) for c in (r, g, b))
            if a >= 128 and (r, g, b) == (0, 0, 0):
                r = g = b = 1
            line += bytes((b, g, r))
        data += line + b"\0" * (stride - len(line))
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


# Colours.
PAPER = (250, 250, 245, 255)
EDGE = (90, 90, 100, 255)
BLUE = (40, 110, 200, 255)
GREEN = (40, 150, 70, 255)
RED = (200, 50, 45, 255)
GOLD = (230, 180, 50, 255)
BROWN = (150, 100, 50, 255)
INK = (40, 40, 50, 255)


def page(c, s, x0=0.22, x1=0.78, y0=0.12, y1=0.88):
    c.rect(x0 * s, y0 * s, x1 * s, y1 * s, EDGE)
    c.rect(x0 * s + s / 32, y0 * s + s / 32, x1 * s - s / 32, y1 * s - s / 32, PAPER)


def lines(c, s, x0, x1, ys, color=EDGE):
    for y in ys:
        c.line(x0 * s, y * s, x1 * s, y * s, s / 16, color)


def book(c, s, x0=0.18, x1=0.82):
    c.rect(x0 * s, 0.16 * s, x1 * s, 0.84 * s, BROWN)
    c.rect((x0 + 0.08) * s, 0.22 * s, (x1 - 0.04) * s, 0.78 * s, PAPER)
    lines(c, s, x0 + 0.18, x1 - 0.12, (0.36, 0.5, 0.64))


def magnifier(c, s, cx=0.42, cy=0.42, r=0.22, color=BLUE):
    c.disc(cx * s, cy * s, r * s, (200, 225, 250, 200))
    c.ring(cx * s, cy * s, r * s, s / 10, color)
    c.line((cx + r * 0.7) * s, (cy + r * 0.7) * s, 0.86 * s, 0.86 * s, s / 7, INK)


def arrow(c, s, x0, y0, x1, y1, color, w=None):
    w = w or s / 9
    c.line(x0 * s, y0 * s, x1 * s, y1 * s, w, color)
    ang = math.atan2(y1 - y0, x1 - x0)
    head = 0.2
    p1 = (x1 * s, y1 * s)
    p2 = ((x1 - head * math.cos(ang - 0.5)) * s, (y1 - head * math.sin(ang - 0.5)) * s)
    p3 = ((x1 - head * math.cos(ang + 0.5)) * s, (y1 - head * math.sin(ang + 0.5)) * s)
    c.polygon([p1, p2, p3], color)


def draw_open(c, s):
    c.polygon([(0.08 * s, 0.25 * s), (0.4 * s, 0.25 * s), (0.46 * s, 0.33 * s), (0.92 * s, 0.33 * s),
               (0.92 * s, 0.82 * s), (0.08 * s, 0.82 * s)], (200, 150, 50, 255))
    c.polygon([(0.18 * s, 0.45 * s), (0.98 * s, 0.45 * s), (0.88 * s, 0.82 * s), (0.08 * s, 0.82 * s)], GOLD)


def draw_create(c, s):
    page(c, s)
    c.disc(0.72 * s, 0.28 * s, 0.16 * s, GOLD)
    c.line(0.72 * s, 0.16 * s, 0.72 * s, 0.4 * s, s / 16, (255, 255, 255, 255))
    c.line(0.6 * s, 0.28 * s, 0.84 * s, 0.28 * s, s / 16, (255, 255, 255, 255))


def draw_add(c, s):
    c.disc(0.5 * s, 0.5 * s, 0.4 * s, GREEN)
    c.line(0.5 * s, 0.28 * s, 0.5 * s, 0.72 * s, s / 7, (255, 255, 255, 255))
    c.line(0.28 * s, 0.5 * s, 0.72 * s, 0.5 * s, s / 7, (255, 255, 255, 255))


def draw_insert(c, s):
    page(c, s, 0.38, 0.9)
    lines(c, s, 0.5, 0.8, (0.3, 0.45, 0.6, 0.75))
    arrow(c, s, 0.06, 0.5, 0.58, 0.5, BLUE)


def draw_delete(c, s):
    c.line(0.22 * s, 0.22 * s, 0.78 * s, 0.78 * s, s / 6, RED)
    c.line(0.78 * s, 0.22 * s, 0.22 * s, 0.78 * s, s / 6, RED)


def draw_search(c, s):
    magnifier(c, s)


def draw_about(c, s):
    c.disc(0.5 * s, 0.5 * s, 0.42 * s, BLUE)
    c.disc(0.5 * s, 0.28 * s, 0.07 * s, (255, 255, 255, 255))
    c.rect(0.43 * s, 0.42 * s, 0.57 * s, 0.76 * s, (255, 255, 255, 255))


def draw_edit(c, s):
    c.line(0.2 * s, 0.8 * s, 0.78 * s, 0.22 * s, s / 6, GOLD)
    c.polygon([(0.12 * s, 0.88 * s), (0.16 * s, 0.7 * s), (0.3 * s, 0.84 * s)], INK)


def draw_ltr(c, s):
    lines(c, s, 0.12, 0.7, (0.3, 0.5), INK)
    arrow(c, s, 0.12, 0.74, 0.88, 0.74, BLUE)


def draw_rtl(c, s):
    lines(c, s, 0.3, 0.88, (0.3, 0.5), INK)
    arrow(c, s, 0.88, 0.74, 0.12, 0.74, BLUE)


def draw_library(c, s):
    book(c, s)


def draw_bar_lookup(c, s):
    book(c, s, 0.1, 0.7)
    magnifier(c, s, 0.62, 0.6, 0.2)


def draw_bar_update(c, s):
    page(c, s)
    c.line(0.32 * s, 0.52 * s, 0.46 * s, 0.68 * s, s / 8, GREEN)
    c.line(0.46 * s, 0.68 * s, 0.74 * s, 0.32 * s, s / 8, GREEN)


def draw_bar_list(c, s):
    page(c, s)
    for y in (0.3, 0.5, 0.7):
        c.rect(0.3 * s, (y - 0.05) * s, 0.4 * s, (y + 0.05) * s, BLUE)
    lines(c, s, 0.46, 0.7, (0.3, 0.5, 0.7))


def draw_bar_last(c, s):
    page(c, s, 0.4, 0.92)
    lines(c, s, 0.5, 0.82, (0.3, 0.5, 0.7))
    arrow(c, s, 0.04, 0.5, 0.56, 0.5, GOLD, s / 7)


def draw_bar_export(c, s):
    page(c, s, 0.06, 0.5)
    book(c, s, 0.56, 0.96)
    arrow(c, s, 0.26, 0.5, 0.78, 0.5, GREEN, s / 7)


ITEMS = [
    (1, "open", draw_open), (2, "create", draw_create), (3, "add", draw_add),
    (4, "insert", draw_insert), (5, "delete", draw_delete), (6, "search", draw_search),
    (7, "about", draw_about), (8, "edit", draw_edit), (9, "ltr", draw_ltr), (10, "rtl", draw_rtl),
    (11, "library", draw_library),
]
BAR_ITEMS = [
    (12, "bar-last", draw_bar_last), (13, "bar-export", draw_bar_export),
    (14, "bar-list", draw_bar_list), (15, "bar-lookup", draw_bar_lookup), (16, "bar-update", draw_bar_update),
]


def main():
    os.makedirs(OUT, exist_ok=True)
    for index, name, draw in ITEMS:
        c = Canvas(32)
        draw(c, 32)
        write_png(os.path.join(OUT, "%02d-%s.png" % (index, name)), c.pixels())
    for index, name, draw in BAR_ITEMS:
        c = Canvas(16)
        draw(c, 16)
        write_bmp(os.path.join(OUT, "%02d-%s.bmp" % (index, name)), c.pixels())
    c = Canvas(64)
    draw_search(c, 64)
    write_png(os.path.join(OUT, "search64.png"), c.pixels())
    return 0


if __name__ == "__main__":
    sys.exit(main())
