#!/usr/bin/env python3
"""Draws Velmio's application icon with the Python standard library alone.

Run it from anywhere: `python3 tools/make_icon.py`. It writes
data/icons/hicolor/<N>x<N>/apps/io.velmio.Velmio.png for N = 48, 128 and 256; the output is
the same on every run, so the committed files only change when this script does.

The picture: a star shining over a night sky on a rounded tile, and in front of it the story's
text window with two lines of text and the click cursor. Every size is drawn from the same
shapes, described on a 256-unit square, so the small ones are not blurred copies of the large.
"""
import math
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_demo_assets import Canvas, clamp, gradient, hexrgb  # noqa: E402

ICONS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "icons", "hicolor")
APPLICATION_ID = "io.velmio.Velmio"
SIZES = (48, 128, 256)

SKY = [(0.0, hexrgb("#121845")), (0.55, hexrgb("#33307a")), (1.0, hexrgb("#6a4a9c"))]
GOLD = hexrgb("#ffd66b")
WINDOW = hexrgb("#f4f1ff")
INK = hexrgb("#4b3f86")


def rounded_box(x0, y0, x1, y1, radius):
    def inside(x, y):
        dx = max(x0 + radius - x, 0.0, x - (x1 - radius))
        dy = max(y0 + radius - y, 0.0, y - (y1 - radius))
        return dx * dx + dy * dy <= radius * radius

    return inside


def star_points(cx, cy, outer, inner, turn=0.0):
    points = []
    for k in range(10):
        angle = -math.pi / 2 + turn + k * math.pi / 5
        radius = outer if k % 2 == 0 else inner
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


def draw(size):
    s = size / 256.0
    c = Canvas(size, size, alpha=0.0)

    # The tile, with the margin the icon theme guidelines leave around square icons.
    tile = rounded_box(16 * s, 16 * s, 240 * s, 240 * s, 44 * s)
    c.fill(tile, (0, 0, size, size), SKY[0][1], shade=lambda x, y: gradient(SKY, clamp((y / s - 16) / 224)))

    for x, y, r in [(58, 52, 3.2), (196, 44, 2.6), (210, 110, 3.4), (44, 122, 2.4), (166, 70, 1.8)]:
        c.ellipse(x * s, y * s, max(r * s, 0.7), max(r * s, 0.7), (255, 255, 255), opacity=0.85)

    c.glow(128 * s, 96 * s, 46 * s, (120, 96, 40), strength=0.9)
    c.polygon(star_points(128 * s, 96 * s, 64 * s, 27 * s), GOLD,
              shade=lambda x, y: gradient([(0.0, hexrgb("#fff4c2")), (1.0, GOLD)], clamp((y / s - 40) / 80)))

    # The text window: two lines and the click cursor waiting at the end of the second.
    c.fill(rounded_box(40 * s, 160 * s, 216 * s, 222 * s, 14 * s), (0, 0, size, size), WINDOW, opacity=0.93)
    line_height = max(8 * s, 2.0)
    c.fill(rounded_box(58 * s, 175 * s, 190 * s, 175 * s + line_height, line_height / 2), (0, 0, size, size), INK)
    c.fill(rounded_box(58 * s, 195 * s, 146 * s, 195 * s + line_height, line_height / 2), (0, 0, size, size), INK)
    c.polygon([(160 * s, 193 * s), (180 * s, 193 * s), (170 * s, 207 * s)], hexrgb("#e0a020"))
    return c


def png_rgba(canvas):
    rows = []
    for y in range(canvas.h):
        row = bytearray(b"\x00")
        for x in range(canvas.w):
            i = y * canvas.w + x
            alpha = clamp(canvas.a[i])
            row += bytes(canvas.rgb_bytes(x, y)) if alpha > 0 else b"\x00\x00\x00"
            row.append(int(alpha * 255 + 0.5))
        rows.append(bytes(row))

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def main():
    for size in SIZES:
        folder = os.path.join(ICONS, "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, APPLICATION_ID + ".png")
        print("drawing", os.path.relpath(path), flush=True)
        with open(path, "wb") as f:
            f.write(png_rgba(draw(size)))


if __name__ == "__main__":
    main()
