#!/usr/bin/env python3
"""Draws every picture of the demo game (demo/) with the Python standard library alone.

Run it from anywhere: `python3 tools/make_demo_assets.py`. It rewrites the pictures in demo/ and
the archive demo/pictures.zip; the output is the same on every run (fixed random seeds), so the
committed files only change when this script does.

What it makes:
  title.bmp, meadow.bmp            640 x 480 backgrounds, 24-bit BMP
  forest.png                       640 x 480 background, PNG (read through the png plug-in entry)
  mio.bmp, mio_smile.bmp           standing pictures on a key colour (the top-left pixel)
  firefly.bmp, twinkle.bmp,
  sparkle.bmp, shooting.bmp        sprites with an alpha mask beside each cell (":a" tag), animated
  cursor0.bmp, cursor1.bmp         the click cursors, 3 cells each on a key colour
  star.cur                         the mouse pointer
  pictures.zip                     bg/dusk.bmp, night.png, tomori.bmp, window.bmp and the masks
                                   mask_circle.bmp (8-bit) and mask_leaf.bmp (a small tile)
"""
import math
import os
import random
import struct
import sys
import zipfile
import zlib

DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "demo")

W, H = 640, 480


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t, a[2] + (b[2] - a[2]) * t)


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3 - 2 * t)


def hexrgb(text):
    return (int(text[1:3], 16), int(text[3:5], 16), int(text[5:7], 16))


def gradient(stops, t):
    """stops: [(position, colour)] in increasing position."""
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            return mix(c0, c1, smoothstep(0, 1, (t - p0) / (p1 - p0)))
    return stops[-1][1]


class Canvas:
    """RGB picture with float channels 0..255 and an optional coverage (alpha) channel 0..1."""

    def __init__(self, w, h, colour=(0, 0, 0), alpha=None):
        self.w, self.h = w, h
        n = w * h
        self.r = [float(colour[0])] * n
        self.g = [float(colour[1])] * n
        self.b = [float(colour[2])] * n
        self.a = None if alpha is None else [float(alpha)] * n

    # ---- plain fills
    def vertical_gradient(self, stops, y0=0, y1=None):
        y1 = self.h if y1 is None else y1
        for y in range(y0, y1):
            c = gradient(stops, (y - y0) / max(1, y1 - y0 - 1))
            base = y * self.w
            for x in range(self.w):
                self.r[base + x], self.g[base + x], self.b[base + x] = c

    def blend(self, i, colour, k):
        if k <= 0:
            return
        if self.a is not None:
            # Colours stay unpremultiplied: paint over what is there by its own coverage.
            old = self.a[i]
            new = old + (1 - old) * min(1.0, k)
            t = min(1.0, k) / new
            self.r[i] += (colour[0] - self.r[i]) * t
            self.g[i] += (colour[1] - self.g[i]) * t
            self.b[i] += (colour[2] - self.b[i]) * t
            self.a[i] = new
            return
        if k >= 1:
            self.r[i], self.g[i], self.b[i] = colour
        else:
            self.r[i] += (colour[0] - self.r[i]) * k
            self.g[i] += (colour[1] - self.g[i]) * k
            self.b[i] += (colour[2] - self.b[i]) * k

    def add_light(self, i, colour, k):
        self.r[i] += colour[0] * k
        self.g[i] += colour[1] * k
        self.b[i] += colour[2] * k

    # ---- shapes
    def fill(self, inside, box, colour, opacity=1.0, shade=None, samples=4):
        """Anti-aliased fill of the set `inside(x, y)` within box (x0, y0, x1, y1).

        Corners of the pixel grid are tested once; only pixels whose corners disagree are
        supersampled. `shade(x, y)` may give a colour per pixel instead of `colour`.
        """
        x0, y0, x1, y1 = (int(math.floor(box[0])), int(math.floor(box[1])),
                          int(math.ceil(box[2])), int(math.ceil(box[3])))
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.w, x1), min(self.h, y1)
        if x1 <= x0 or y1 <= y0:
            return
        previous = [inside(x, y0) for x in range(x0, x1 + 1)]
        step = 1.0 / samples
        for y in range(y0, y1):
            current = [inside(x, y + 1) for x in range(x0, x1 + 1)]
            base = y * self.w
            for i in range(x1 - x0):
                total = previous[i] + previous[i + 1] + current[i] + current[i + 1]
                x = x0 + i
                if total == 4:
                    cover = 1.0
                elif total == 0:
                    continue
                else:
                    hits = 0
                    for sy in range(samples):
                        for sx in range(samples):
                            if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                                hits += 1
                    cover = hits / (samples * samples)
                    if cover == 0:
                        continue
                c = shade(x + 0.5, y + 0.5) if shade else colour
                self.blend(base + x, c, cover * opacity)
            previous = current

    def ellipse(self, cx, cy, rx, ry, colour, opacity=1.0, shade=None, angle=0.0):
        ca, sa = math.cos(angle), math.sin(angle)

        def inside(x, y):
            dx, dy = x - cx, y - cy
            u, v = dx * ca + dy * sa, -dx * sa + dy * ca
            return (u * u) / (rx * rx) + (v * v) / (ry * ry) <= 1.0

        r = max(rx, ry)
        self.fill(inside, (cx - r - 1, cy - r - 1, cx + r + 1, cy + r + 1), colour, opacity, shade)

    def polygon(self, points, colour, opacity=1.0, shade=None):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        n = len(points)

        def inside(x, y):
            result = False
            j = n - 1
            for i in range(n):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    result = not result
                j = i
            return result

        self.fill(inside, (min(xs) - 1, min(ys) - 1, max(xs) + 1, max(ys) + 1), colour, opacity, shade)

    def ground(self, height, colour_at, x0=0, x1=None):
        """Fills everything below the curve y = height(x), anti-aliased vertically."""
        x1 = self.w if x1 is None else x1
        for x in range(x0, x1):
            top = height(x + 0.5)
            for y in range(max(0, int(top)), self.h):
                cover = clamp(y + 1 - top)
                self.blend(y * self.w + x, colour_at(x, y, top), cover)

    def glow(self, cx, cy, radius, colour, strength=1.0, add=True):
        """Soft round light: Gaussian fall-off, added (light) or blended (haze)."""
        reach = radius * 2.6
        for y in range(max(0, int(cy - reach)), min(self.h, int(cy + reach) + 1)):
            base = y * self.w
            dy2 = (y + 0.5 - cy) ** 2
            for x in range(max(0, int(cx - reach)), min(self.w, int(cx + reach) + 1)):
                d2 = ((x + 0.5 - cx) ** 2 + dy2) / (radius * radius)
                k = strength * math.exp(-d2)
                if k < 0.002:
                    continue
                if add:
                    self.add_light(base + x, colour, k)
                else:
                    self.blend(base + x, colour, k)

    def rgb_bytes(self, x, y):
        i = y * self.w + x
        return (int(clamp(self.r[i], 0, 255) + 0.5), int(clamp(self.g[i], 0, 255) + 0.5),
                int(clamp(self.b[i], 0, 255) + 0.5))


# ---------------------------------------------------------------- file writers

def bmp24(path_or_none, w, h, pixel):
    """pixel(x, y) -> (r, g, b) bytes, y from the top. Returns the file's bytes."""
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += b"\0" * (stride - w * 3)
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    content = header + info + data
    if path_or_none:
        with open(path_or_none, "wb") as f:
            f.write(content)
    return content


def bmp8_grey(w, h, value):
    """8-bit BMP with a grey palette; value(x, y) -> 0..255."""
    stride = (w + 3) & ~3
    palette = b"".join(bytes((i, i, i, 0)) for i in range(256))
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytes(value(x, y) for x in range(w)) + b"\0" * (stride - w)
        rows.append(row)
    data = b"".join(rows)
    offset = 54 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 8, 0, len(data), 2835, 2835, 256, 0)
    return header + info + palette + data


def png_rgb(w, h, pixel):
    raw = []
    previous = bytes(w * 3)
    for y in range(h):
        line = bytearray()
        for x in range(w):
            line += bytes(pixel(x, y))
        line = bytes(line)
        # Per row, the cheaper of "none", "sub" and "up" (smaller sums compress better).
        sub = bytes((line[i] - (line[i - 3] if i >= 3 else 0)) & 255 for i in range(len(line)))
        up = bytes((line[i] - previous[i]) & 255 for i in range(len(line)))
        candidates = [(0, line), (1, sub), (2, up)]
        kind, best = min(candidates, key=lambda c: sum(v if v < 128 else 256 - v for v in c[1]))
        raw.append(bytes((kind,)) + best)
        previous = line

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(b"".join(raw), 9)) + chunk(b"IEND", b""))


def dithered(canvas, seed):
    """Pixel reader with a little noise, so that soft gradients show no bands."""
    rng = random.Random(seed)
    noise = [rng.random() - 0.5 for _ in range(4096)]

    def pixel(x, y):
        i = y * canvas.w + x
        n = noise[(x * 7 + y * 131) & 4095]
        return (int(clamp(canvas.r[i] + n, 0, 255) + 0.5), int(clamp(canvas.g[i] + n, 0, 255) + 0.5),
                int(clamp(canvas.b[i] + n, 0, 255) + 0.5))

    return pixel


# ---------------------------------------------------------------- scenery pieces

def stars(canvas, rng, count, y_limit, bright=1.0):
    for _ in range(count):
        x, y = rng.uniform(0, canvas.w), rng.uniform(0, y_limit)
        size = rng.random() ** 3
        tint = mix((255, 255, 255), (255, 225, 170) if rng.random() < 0.5 else (180, 205, 255), rng.random() * 0.6)
        canvas.glow(x, y, 0.6 + size * 1.6, tint, bright * (0.5 + size * 1.2))
        if size > 0.6:
            canvas.glow(x, y, 6 + size * 6, tint, 0.08 * bright)


def cloud(canvas, cx, cy, scale, colour, shadow, rng):
    puffs = [(rng.uniform(-1.0, 1.0), rng.uniform(-0.25, 0.2), rng.uniform(0.35, 0.6)) for _ in range(7)]
    for dx, dy, r in puffs:
        canvas.ellipse(cx + dx * scale, cy + dy * scale + r * scale * 0.18, r * scale, r * scale * 0.62, shadow, 0.85)
    for dx, dy, r in puffs:
        canvas.ellipse(cx + dx * scale, cy + dy * scale, r * scale * 0.93, r * scale * 0.56, colour, 0.92)


def lighthouse(canvas, base_x, base_y, height, body, stripe, lit):
    top = base_y - height
    half_bottom, half_top = height * 0.16, height * 0.10
    canvas.polygon([(base_x - half_bottom, base_y), (base_x + half_bottom, base_y),
                    (base_x + half_top, top), (base_x - half_top, top)], body)
    for k in (0.3, 0.62):
        y0 = base_y - height * k
        y1 = y0 - height * 0.12
        w0 = half_bottom + (half_top - half_bottom) * k
        w1 = half_bottom + (half_top - half_bottom) * (k + 0.12)
        canvas.polygon([(base_x - w0, y0), (base_x + w0, y0), (base_x + w1, y1), (base_x - w1, y1)], stripe)
    lamp = lit if lit else mix(body, (40, 40, 60), 0.4)
    canvas.polygon([(base_x - half_top * 0.8, top), (base_x + half_top * 0.8, top),
                    (base_x + half_top * 0.8, top - height * 0.12), (base_x - half_top * 0.8, top - height * 0.12)], lamp)
    canvas.polygon([(base_x - half_top * 1.3, top - height * 0.12), (base_x + half_top * 1.3, top - height * 0.12),
                    (base_x, top - height * 0.24)], stripe)
    if lit:
        canvas.glow(base_x, top - height * 0.06, height * 0.12, lit, 1.0)
        canvas.glow(base_x, top - height * 0.06, height * 0.45, lit, 0.35)
        canvas.glow(base_x, top - height * 0.06, height * 1.4, lit, 0.12)


def flowers(canvas, rng, count, y0, y1, palette):
    for _ in range(count):
        y = rng.uniform(y0, y1)
        x = rng.uniform(0, canvas.w)
        depth = (y - y0) / (y1 - y0)
        r = 1.2 + depth * 2.8
        colour = rng.choice(palette)
        canvas.ellipse(x, y, r, r * 0.8, colour, 0.95)
        canvas.ellipse(x, y - r * 0.2, r * 0.4, r * 0.35, (255, 245, 200), 0.9)


# ---------------------------------------------------------------- backgrounds

def make_title():
    c = Canvas(W, H)
    c.vertical_gradient([(0.0, hexrgb("#0b1030")), (0.45, hexrgb("#1d2a66")), (0.75, hexrgb("#4a4a8c")),
                         (1.0, hexrgb("#a7789a"))])
    rng = random.Random(11)
    # A faint band of stars across the sky.
    for _ in range(900):
        t = rng.random()
        x = t * W
        y = 40 + t * 160 + rng.gauss(0, 26)
        c.glow(x, y, 0.7, (210, 220, 255), rng.uniform(0.15, 0.6))
    c.glow(320, 120, 260, (90, 70, 150), 0.18)
    stars(c, rng, 140, 330)
    c.glow(110, 92, 22, (255, 250, 225), 1.2)  # moon
    c.glow(110, 92, 70, (200, 200, 255), 0.25)
    c.ellipse(110, 92, 18, 18, (255, 250, 230))
    c.ground(lambda x: 372 + 40 * math.sin(x / 150.0) + 16 * math.sin(x / 47.0 + 1),
             lambda x, y, t: mix((38, 40, 82), (20, 20, 44), clamp((y - t) / 120)))
    c.ground(lambda x: 410 - 70 * math.exp(-((x - 500) / 150.0) ** 2) + 6 * math.sin(x / 23.0),
             lambda x, y, t: mix((30, 34, 62), (12, 12, 28), clamp((y - t) / 90)))
    lighthouse(c, 500, 346, 74, (22, 24, 48), (40, 36, 70), None)
    return c


def make_meadow():
    c = Canvas(W, H)
    c.vertical_gradient([(0.0, hexrgb("#5fa8e8")), (0.5, hexrgb("#a8d8f4")), (0.72, hexrgb("#f4f0dc")),
                         (1.0, hexrgb("#f4f0dc"))])
    c.glow(120, 70, 34, (255, 250, 215), 0.8)
    c.glow(120, 70, 150, (255, 235, 180), 0.2)
    c.ellipse(120, 70, 24, 24, (255, 252, 232))
    rng = random.Random(5)
    cloud(c, 420, 90, 62, (255, 255, 255), (214, 226, 242), rng)
    cloud(c, 230, 150, 40, (255, 255, 255), (214, 226, 242), rng)
    cloud(c, 590, 190, 30, (252, 252, 255), (214, 226, 242), rng)
    # Far hill with the lighthouse on top.
    c.ground(lambda x: 300 - 60 * math.exp(-((x - 470) / 120.0) ** 2) + 5 * math.sin(x / 31.0),
             lambda x, y, t: mix((150, 196, 196), (120, 170, 160), clamp((y - t) / 80)))
    lighthouse(c, 472, 244, 40, (236, 236, 240), (214, 92, 88), None)
    c.ground(lambda x: 330 + 24 * math.sin(x / 90.0 + 0.5) + 8 * math.sin(x / 33.0),
             lambda x, y, t: mix((120, 190, 110), (90, 160, 80), clamp((y - t) / 60)))
    c.ground(lambda x: 380 + 30 * math.sin(x / 140.0 + 2.2),
             lambda x, y, t: mix((132, 204, 102), (70, 140, 60), clamp((y - t) / 130)))
    flowers(c, rng, 260, 395, 480, [(255, 255, 255), (255, 214, 96), (250, 150, 170), (190, 170, 250)])
    # A winding path up the hill.
    c.polygon([(250, 480), (390, 480), (330, 420), (320, 380), (336, 346), (330, 344), (306, 378), (300, 420)],
              (226, 208, 160), 0.85)
    return c


def make_forest():
    c = Canvas(W, H)
    c.vertical_gradient([(0.0, hexrgb("#cfe8c0")), (0.4, hexrgb("#8cc08c")), (0.7, hexrgb("#4f8a5a")),
                         (1.0, hexrgb("#2e5a3a"))])
    rng = random.Random(8)
    # Far trunks, hazy, then near trunks, darker.
    for layer, (count, width, tone) in enumerate([(9, 14, (110, 140, 110)), (6, 30, (74, 92, 66)), (3, 52, (52, 58, 44))]):
        for k in range(count):
            x = (k + rng.uniform(0.1, 0.9)) * W / count
            w = width * rng.uniform(0.8, 1.2)
            base = 330 + layer * 45 + rng.uniform(-10, 10)

            def shade(px, py, x=x, w=w, tone=tone):
                t = clamp((px - (x - w / 2)) / w)
                return mix(mix(tone, (255, 240, 200), 0.25), tone, smoothstep(0.1, 0.7, t))

            c.polygon([(x - w / 2, -2), (x + w / 2, -2), (x + w * 0.6, base), (x - w * 0.7, base)], tone, 1.0, shade)
    # Canopy.
    for _ in range(40):
        c.ellipse(rng.uniform(-40, W + 40), rng.uniform(-40, 70), rng.uniform(50, 110), rng.uniform(30, 60),
                  mix((60, 110, 60), (120, 170, 90), rng.random()), 0.85)
    # The path.
    c.polygon([(170, 480), (500, 480), (360, 330), (330, 330)], (196, 176, 128), 1.0,
              lambda x, y: mix((170, 160, 120), (214, 196, 146), clamp((y - 330) / 150)))
    for _ in range(120):
        y = rng.uniform(380, 480)
        c.ellipse(rng.uniform(0, W), y, rng.uniform(6, 18), rng.uniform(3, 7), mix((46, 90, 50), (90, 140, 70), rng.random()), 0.9)
    # Sunbeams falling from the upper left.
    for k in range(5):
        x0 = 120 + k * 95 + rng.uniform(-20, 20)
        half = rng.uniform(12, 26)
        strength = rng.uniform(0.10, 0.18)
        for y in range(0, 420):
            cx = x0 + y * 0.45
            for x in range(int(cx - half * 2), int(cx + half * 2)):
                if 0 <= x < W:
                    d = abs(x + 0.5 - cx) / half
                    k2 = strength * math.exp(-d * d) * (1 - y / 470.0)
                    c.add_light(y * W + x, (255, 240, 190), k2)
    c.glow(280, 40, 120, (255, 250, 220), 0.35)
    return c


def make_dusk():
    c = Canvas(W, H)
    c.vertical_gradient([(0.0, hexrgb("#3a3070")), (0.35, hexrgb("#b45a7a")), (0.62, hexrgb("#f29a5a")),
                         (0.78, hexrgb("#ffd08a")), (1.0, hexrgb("#ffd08a"))])
    c.glow(520, 330, 40, (255, 240, 200), 1.0)
    c.glow(520, 330, 140, (255, 170, 90), 0.35)
    c.ellipse(520, 330, 34, 34, (255, 236, 190))
    rng = random.Random(21)
    for k in range(5):
        y = 120 + k * 42
        x = rng.uniform(60, 580)
        c.ellipse(x, y, rng.uniform(80, 160), rng.uniform(5, 9), mix((250, 150, 120), (130, 70, 110), k / 5), 0.55)
    c.ground(lambda x: 350 + 14 * math.sin(x / 70.0), lambda x, y, t: mix((120, 70, 90), (80, 50, 80), clamp((y - t) / 60)))
    c.ground(lambda x: 420 - 90 * math.exp(-((x - 330) / 170.0) ** 2) + 4 * math.sin(x / 17.0),
             lambda x, y, t: mix((70, 48, 64), (40, 28, 44), clamp((y - t) / 100)))
    lighthouse(c, 330, 336, 150, (58, 40, 58), (92, 50, 66), None)
    for _ in range(160):
        x = rng.uniform(0, W)
        top = 420 - 90 * math.exp(-((x - 330) / 170.0) ** 2)
        c.polygon([(x - 1.5, top + 6), (x + 1.5, top + 6), (x + rng.uniform(-4, 4), top - rng.uniform(4, 12))],
                  (40, 28, 44), 0.9)
    return c


def make_night():
    c = Canvas(W, H)
    c.vertical_gradient([(0.0, hexrgb("#060a24")), (0.5, hexrgb("#142052")), (0.8, hexrgb("#2c3a78")),
                         (1.0, hexrgb("#2c3a78"))])
    rng = random.Random(33)
    for _ in range(1600):
        t = rng.random()
        x = t * W
        y = 300 - t * 250 + rng.gauss(0, 34)
        c.glow(x, y, 0.8, (200, 210, 255), rng.uniform(0.1, 0.5))
    for k in range(6):
        t = k / 5
        c.glow(t * W, 300 - t * 250, 90, (120, 100, 190), 0.10)
    stars(c, rng, 260, 400, 1.2)
    c.ground(lambda x: 420 - 90 * math.exp(-((x - 330) / 170.0) ** 2) + 4 * math.sin(x / 17.0),
             lambda x, y, t: mix((26, 30, 60), (12, 14, 30), clamp((y - t) / 100)))
    lighthouse(c, 330, 336, 150, (40, 44, 80), (70, 60, 100), (255, 214, 140))
    return c


# ---------------------------------------------------------------- characters

KEY = (255, 0, 255)


def outline_and_key(canvas, outline, width=2.0):
    """Adds a dark outline around the drawn figure and flattens it onto the key colour."""
    w, h = canvas.w, canvas.h
    a = canvas.a
    reach = int(math.ceil(width)) + 1
    offsets = [(dx, dy, clamp(width + 0.5 - math.hypot(dx, dy)))
               for dy in range(-reach, reach + 1) for dx in range(-reach, reach + 1)]
    offsets = [o for o in offsets if o[2] > 0]
    ring = [0.0] * (w * h)
    for y in range(h):
        for x in range(w):
            best = 0.0
            for dx, dy, k in offsets:
                xx, yy = x + dx, y + dy
                if 0 <= xx < w and 0 <= yy < h:
                    v = a[yy * w + xx] * k
                    if v > best:
                        best = v
                        if best >= 1:
                            break
            ring[y * w + x] = best

    def pixel(x, y):
        i = y * w + x
        if ring[i] < 0.5:
            return KEY
        k = a[i]
        colour = (canvas.r[i] * k + outline[0] * (1 - k), canvas.g[i] * k + outline[1] * (1 - k),
                  canvas.b[i] * k + outline[2] * (1 - k))
        return tuple(int(clamp(v, 0, 255) + 0.5) for v in colour)

    return pixel


def make_mio(smile):
    c = Canvas(220, 400, (0, 0, 0), alpha=0.0)
    hair, hair_light = (110, 66, 48), (150, 96, 70)
    skin, cheek = (255, 226, 204), (255, 170, 170)
    coat, coat_dark = (255, 208, 84), (226, 168, 56)
    scarf = (214, 80, 92)
    # Legs and shoes.
    for x in (92, 128):
        c.polygon([(x - 8, 330), (x + 8, 330), (x + 7, 382), (x - 7, 382)], skin)
        c.ellipse(x + 2, 386, 14, 8, (120, 70, 60))
    # Hair behind the head.
    c.ellipse(110, 120, 84, 92, hair)
    c.polygon([(34, 120), (186, 120), (178, 210), (42, 210)], hair)
    # Raincoat with a soft light from the left.
    c.polygon([(110, 176), (168, 210), (186, 338), (34, 338), (52, 210)], coat, 1.0,
              lambda x, y: mix(mix(coat, (255, 240, 170), 0.5), coat_dark, smoothstep(40, 190, x)))
    c.polygon([(108, 200), (112, 200), (114, 336), (106, 336)], coat_dark)
    for y in (236, 272, 308):
        c.ellipse(122, y, 4, 4, (250, 250, 240))
    # Sleeves over the coat, hands at their ends.
    c.ellipse(47, 300, 9, 9, skin)
    c.ellipse(173, 300, 9, 9, skin)
    c.polygon([(56, 210), (74, 222), (58, 296), (38, 292)], mix(coat, (255, 240, 170), 0.3))
    c.polygon([(164, 210), (146, 222), (162, 296), (182, 292)], coat_dark)
    c.polygon([(57, 288), (39, 286), (38, 294), (58, 297)], (240, 240, 230))
    c.polygon([(163, 288), (181, 286), (182, 294), (162, 297)], (240, 240, 230))
    # Satchel strap and bag.
    c.polygon([(60, 206), (70, 200), (162, 300), (152, 306)], (150, 96, 60))
    c.polygon([(140, 286), (186, 286), (188, 330), (138, 330)], (176, 118, 72))
    c.polygon([(138, 286), (188, 286), (188, 300), (138, 300)], (150, 96, 60))
    # Scarf.
    c.ellipse(110, 186, 46, 14, scarf)
    c.polygon([(124, 190), (142, 192), (146, 236), (128, 234)], scarf)
    # Face.
    c.ellipse(110, 120, 66, 62, skin, 1.0, lambda x, y: mix(skin, (246, 206, 186), smoothstep(100, 180, x)))
    c.ellipse(68, 142, 12, 7, cheek, 0.55)
    c.ellipse(152, 142, 12, 7, cheek, 0.55)
    if smile:
        for ex in (82, 138):
            c.polygon([(ex - 11, 128), (ex, 114), (ex + 11, 128), (ex + 8, 129), (ex, 119), (ex - 8, 129)], (70, 40, 40))
        c.ellipse(110, 152, 10, 7, (200, 80, 80))
        c.ellipse(110, 148, 11, 4, skin)
    else:
        for ex in (82, 138):
            c.ellipse(ex, 122, 10, 14, (70, 40, 40))
            c.ellipse(ex, 125, 7, 10, (120, 76, 60))
            c.ellipse(ex - 3, 116, 4, 4, (255, 255, 255))
            c.ellipse(ex + 3, 128, 2, 2, (255, 255, 255), 0.8)
        c.polygon([(103, 150), (117, 150), (110, 156)], (200, 90, 90))
    # Fringe and side locks over the face.
    c.polygon([(44, 110), (60, 64), (110, 46), (160, 64), (176, 110), (150, 88), (138, 104), (118, 84),
               (100, 104), (84, 86), (66, 106)], hair, 1.0,
              lambda x, y: mix(hair_light, hair, smoothstep(50, 110, y)))
    c.polygon([(44, 110), (60, 104), (58, 190), (40, 180)], hair)
    c.polygon([(176, 110), (160, 104), (162, 190), (180, 180)], hair)
    c.ellipse(92, 66, 24, 6, (200, 150, 120), 0.5, angle=-0.3)
    # Hair clip: a little yellow star.
    points = []
    for k in range(10):
        r = 11 if k % 2 == 0 else 5
        angle = -math.pi / 2 + k * math.pi / 5
        points.append((160 + r * math.cos(angle), 76 + r * math.sin(angle)))
    c.polygon(points, (255, 226, 90))
    return outline_and_key(c, (70, 44, 44))


def alpha_cells(cells, cell_w, cell_h, draw):
    """A picture for the ":a" tag: each cell is its colour half then its mask half (black = opaque).

    draw(cell, canvas) paints on a canvas with an alpha channel.
    """
    pictures = []
    for k in range(cells):
        c = Canvas(cell_w, cell_h, (0, 0, 0), alpha=0.0)
        draw(k, c)
        pictures.append(c)
    width = cells * cell_w * 2

    def pixel(x, y):
        cell, inner = divmod(x, cell_w * 2)
        c = pictures[cell]
        if inner < cell_w:
            i = y * cell_w + inner
            a = c.a[i]
            if a <= 0:
                return (0, 0, 0)
            return tuple(int(clamp(v, 0, 255) + 0.5) for v in (c.r[i], c.g[i], c.b[i]))
        i = y * cell_w + inner - cell_w
        m = 255 - int(clamp(c.a[i]) * 255 + 0.5)
        return (m, m, m)

    return width, cell_h, pixel


def glow_dot(c, cx, cy, radius, colour, core, strength=1.0):
    """A light: its alpha falls off softly, its colour whitens towards the core."""
    reach = radius * 2.6
    for y in range(max(0, int(cy - reach)), min(c.h, int(cy + reach) + 1)):
        for x in range(max(0, int(cx - reach)), min(c.w, int(cx + reach) + 1)):
            d2 = ((x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2) / (radius * radius)
            k = strength * math.exp(-d2)
            if k < 0.004:
                continue
            i = y * c.w + x
            colour_here = mix(colour, core, clamp(k * 1.3 - 0.3))
            old = c.a[i]
            new = old + (1 - old) * clamp(k)
            if new > 0:
                t = clamp(k) / new
                c.r[i] += (colour_here[0] - c.r[i]) * t
                c.g[i] += (colour_here[1] - c.g[i]) * t
                c.b[i] += (colour_here[2] - c.b[i]) * t
            c.a[i] = new


def make_tomori():
    def draw(_cell, c):
        glow_dot(c, 90, 122, 40, (255, 150, 60), (255, 200, 120), 0.6)
        # Flame body: round bottom, pointed top, drawn opaque over the halo.
        body = (255, 176, 72)

        def inside(x, y):
            dx, dy = x - 90, y - 128
            if dy >= 0:
                return dx * dx / 44.0 ** 2 + dy * dy / 40.0 ** 2 <= 1
            width = 44 * (1 - (-dy / 80.0) ** 1.6) if -dy < 80 else 0
            return abs(dx + 8 * math.sin(-dy / 26.0) * (-dy / 80.0)) <= width

        c.fill(inside, (40, 40, 140, 172), body, 1.0,
               lambda x, y: mix((255, 236, 160), (255, 140, 60), smoothstep(60, 170, y) * 0.6 + smoothstep(60, 140, x) * 0.4))
        for ex in (74, 106):
            c.ellipse(ex, 128, 5, 8, (110, 50, 30))
            c.ellipse(ex - 1.5, 124, 2, 2, (255, 255, 255))
        c.ellipse(62, 142, 8, 5, (255, 120, 110), 0.6)
        c.ellipse(118, 142, 8, 5, (255, 120, 110), 0.6)
        c.ellipse(90, 146, 7, 5, (130, 50, 30))
        c.ellipse(90, 143, 8, 3, (255, 200, 120))
        # A soft shadow of light under it, as if it floated.
        glow_dot(c, 90, 214, 14, (255, 170, 80), (255, 210, 150), 0.35)

    # Tall and mostly empty below: the spirit floats above the text window.
    w, h, pixel = alpha_cells(1, 180, 330, draw)
    return bmp24(None, w, h, pixel)


# ---------------------------------------------------------------- sprites and cursors

def make_firefly():
    def draw(k, c):
        strength = (0.35, 0.6, 0.85, 1.0)[k]
        glow_dot(c, 20, 20, 9, (190, 255, 120), (255, 255, 220), strength)
        glow_dot(c, 20, 20, 3, (255, 255, 220), (255, 255, 255), strength)

    return alpha_cells(4, 40, 40, draw)


def make_twinkle():
    def draw(k, c):
        size = (0.7, 1.0, 1.3)[k]
        glow_dot(c, 16, 16, 3.2 * size, (200, 220, 255), (255, 255, 255), 1.0)
        glow_dot(c, 16, 16, 8 * size, (160, 190, 255), (220, 230, 255), 0.25)
        for angle in (0, math.pi / 2):
            for t in range(-11, 12):
                x = 16 + math.cos(angle) * t * size
                y = 16 + math.sin(angle) * t * size
                glow_dot(c, x, y, 1.0, (220, 230, 255), (255, 255, 255), 0.6 * (1 - abs(t) / 12.0))

    return alpha_cells(3, 32, 32, draw)


def make_sparkle():
    def draw(k, c):
        angle0 = k * math.pi / 8
        glow_dot(c, 32, 32, 12, (255, 210, 110), (255, 250, 220), 1.0)
        glow_dot(c, 32, 32, 4, (255, 250, 220), (255, 255, 255), 1.0)
        for arm in range(4):
            angle = angle0 + arm * math.pi / 2
            for t in range(0, 28):
                x = 32 + math.cos(angle) * t
                y = 32 + math.sin(angle) * t
                glow_dot(c, x, y, 1.6, (255, 230, 150), (255, 255, 240), 0.9 * (1 - t / 28.0))

    return alpha_cells(4, 64, 64, draw)


def make_shooting_star():
    def draw(_k, c):
        for t in range(0, 90):
            x = 100 - t * 0.95
            y = 10 + t * 0.32
            glow_dot(c, x, y, 1.2 + 1.4 * (1 - t / 90.0), (170, 200, 255), (255, 255, 255), 0.45 * (1 - t / 90.0))
        glow_dot(c, 100, 10, 3, (220, 235, 255), (255, 255, 255), 1.0)

    return alpha_cells(1, 112, 44, draw)


def make_cursor(page):
    """Three cells of 22 x 22 on a key colour: a bobbing triangle, or a turning crescent moon."""
    cell = 22
    cells = []
    for k in range(3):
        c = Canvas(cell, cell, KEY)
        if page:
            phase = (-0.25, 0.0, 0.25)[k]
            c.ellipse(11, 11, 8, 8, (255, 226, 120))
            c.ellipse(11 + 5 * math.cos(phase), 8 + 5 * math.sin(phase), 7, 7, KEY)
        else:
            dy = (0, 3, 6)[k]
            c.polygon([(4, 4 + dy), (18, 4 + dy), (11, 14 + dy)], (255, 240, 190))
            c.polygon([(7, 6 + dy), (15, 6 + dy), (11, 11 + dy)], (255, 200, 90))
        cells.append(c)

    def pixel(x, y):
        c = cells[x // cell]
        i = y * cell + x % cell
        colour = (c.r[i], c.g[i], c.b[i])
        # Edge pixels half on the key would show a pink fringe: snap them to key or shape.
        if abs(colour[0] - 255) + colour[1] + abs(colour[2] - 255) < 200:
            return KEY
        return tuple(int(clamp(v, 0, 255) + 0.5) for v in colour)

    return bmp24(None, cell * 3, cell, pixel)


def make_pointer_cursor():
    """A 32 x 32 cursor file (32-bit colour with alpha): a small golden star, hot spot at its tip."""
    size = 32
    c = Canvas(size, size, (0, 0, 0), alpha=0.0)
    points = []
    for k in range(10):
        r = 13 if k % 2 == 0 else 5.5
        angle = -math.pi / 2 - 0.6 + k * math.pi / 5
        points.append((15 + r * math.cos(angle), 15 + r * math.sin(angle)))
    outline = [(15 + (p[0] - 15) * 1.18, 15 + (p[1] - 15) * 1.18) for p in points]
    c.polygon(outline, (90, 60, 30))
    c.polygon(points, (255, 214, 90), 1.0, lambda x, y: mix((255, 246, 190), (240, 170, 60), clamp((x + y - 10) / 36)))
    rows = []
    for y in range(size - 1, -1, -1):
        for x in range(size):
            i = y * size + x
            a = int(clamp(c.a[i]) * 255 + 0.5)
            rows.append(bytes((int(clamp(c.b[i], 0, 255)), int(clamp(c.g[i], 0, 255)), int(clamp(c.r[i], 0, 255)), a)))
    colour = b"".join(rows)
    mask = bytes(4 * size)  # all 0: the alpha channel decides
    image = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0) + colour + mask
    tip = points[0]
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, int(tip[0]), int(tip[1]), len(image), 6 + 16)
    return header + entry + image


# ---------------------------------------------------------------- text window and masks

def make_window():
    """600 x 130 rounded panel for the ":a" tag: a deep blue glass with a light rim."""
    w, h, radius = 600, 130, 18

    def draw(_k, c):
        def rounded(x, y, inset):
            r = radius - inset
            dx = max(inset + r - x, 0, x - (w - inset - r))
            dy = max(inset + r - y, 0, y - (h - inset - r))
            return dx * dx + dy * dy <= r * r and inset <= x <= w - inset and inset <= y <= h - inset

        def rim(x, y):
            return rounded(x, y, 0) and not rounded(x, y, 3)

        c.fill(lambda x, y: rounded(x, y, 0), (0, 0, w, h), (20, 28, 60), 1.0)
        # Turn the fill into glass: mostly see-through, more solid towards the bottom.
        for y in range(h):
            for x in range(w):
                i = y * w + x
                if c.a[i] > 0:
                    t = y / h
                    c.a[i] *= 0.62 + 0.18 * t
                    colour = mix((40, 56, 104), (16, 20, 48), t)
                    c.r[i], c.g[i], c.b[i] = colour

        c.fill(rim, (0, 0, w, h), (200, 214, 255), 0.75)
        for x in range(40, w - 40):
            k = 0.5 * math.sin(math.pi * (x - 40) / (w - 80))
            c.blend(8 * w + x, (255, 255, 255), k * 0.5)

    width, height, pixel = alpha_cells(1, w, h, draw)
    return bmp24(None, width, height, pixel)


def make_circle_mask():
    """Dark in the middle, light at the corners: the new picture opens from the centre."""
    far = math.hypot(320, 240)
    rng = random.Random(3)
    noise = [rng.uniform(-6, 6) for _ in range(1024)]

    def value(x, y):
        d = math.hypot(x - 320, y - 240) / far
        angle = math.atan2(y - 240, x - 320)
        v = d * 235 + 8 * math.sin(angle * 6) + noise[(x * 13 + y * 7) & 1023]
        return int(clamp(v, 0, 255))

    return bmp8_grey(W, H, value)


def make_leaf_mask():
    """A small tile of soft diamonds, repeated over the screen by the mask effects."""
    size = 64

    def value(x, y):
        dx = abs(x + 0.5 - size / 2) / (size / 2)
        dy = abs(y + 0.5 - size / 2) / (size / 2)
        v = (dx + dy) / 2
        return (int(clamp(v) * 255), ) * 3

    return bmp24(None, size, size, value)


# ---------------------------------------------------------------- main

def main():
    os.makedirs(DEMO, exist_ok=True)
    out = lambda name: os.path.join(DEMO, name)
    steps = [
        ("title.bmp", lambda: bmp24(out("title.bmp"), W, H, dithered(make_title(), 1))),
        ("meadow.bmp", lambda: bmp24(out("meadow.bmp"), W, H, dithered(make_meadow(), 2))),
        ("forest.png", lambda: open(out("forest.png"), "wb").write(png_rgb(W, H, dithered(make_forest(), 3)))),
        ("mio.bmp", lambda: bmp24(out("mio.bmp"), 220, 400, make_mio(False))),
        ("mio_smile.bmp", lambda: bmp24(out("mio_smile.bmp"), 220, 400, make_mio(True))),
        ("firefly.bmp", lambda: bmp24(out("firefly.bmp"), *make_firefly())),
        ("twinkle.bmp", lambda: bmp24(out("twinkle.bmp"), *make_twinkle())),
        ("sparkle.bmp", lambda: bmp24(out("sparkle.bmp"), *make_sparkle())),
        ("shooting.bmp", lambda: bmp24(out("shooting.bmp"), *make_shooting_star())),
        ("cursor0.bmp", lambda: open(out("cursor0.bmp"), "wb").write(make_cursor(False))),
        ("cursor1.bmp", lambda: open(out("cursor1.bmp"), "wb").write(make_cursor(True))),
        ("star.cur", lambda: open(out("star.cur"), "wb").write(make_pointer_cursor())),
    ]
    only = set(sys.argv[1:])
    for name, make in steps:
        if only and name not in only:
            continue
        print("drawing", name, flush=True)
        make()
    if only and "pictures.zip" not in only:
        return
    print("drawing pictures.zip", flush=True)
    members = [
        ("bg/dusk.bmp", lambda: bmp24(None, W, H, dithered(make_dusk(), 4))),
        ("night.png", lambda: png_rgb(W, H, dithered(make_night(), 5))),
        ("tomori.bmp", make_tomori),
        ("window.bmp", make_window),
        ("mask_circle.bmp", make_circle_mask),
        ("mask_leaf.bmp", make_leaf_mask),
    ]
    with zipfile.ZipFile(out("pictures.zip"), "w", zipfile.ZIP_DEFLATED, compresslevel=9) as archive:
        for name, make in members:
            info = zipfile.ZipInfo(name, date_time=(2024, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            info.external_attr = 0o644 << 16
            archive.writestr(info, make())


if __name__ == "__main__":
    main()
