"""Reads the PNG screenshots the headless program writes, for the scenario and demo tests.

Only the standard library: zlib and struct. Supports 8-bit RGB and RGBA, non-interlaced.
"""
import struct
import zlib


class Screenshot:
    def __init__(self, path, data=None):
        """The PNG file at `path`, or the PNG image `data` (then `path` only names it)."""
        if data is None:
            with open(path, "rb") as f:
                data = f.read()
        if data[:8] != b"\x89PNG\r\n\x1a\n":
            raise ValueError("%s is not a PNG file" % path)
        position = 8
        compressed = b""
        while position < len(data):
            (length,) = struct.unpack(">I", data[position:position + 4])
            kind = data[position + 4:position + 8]
            chunk = data[position + 8:position + 8 + length]
            position += 12 + length
            if kind == b"IHDR":
                self.width, self.height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunk)
                if depth != 8 or colour not in (2, 6) or interlace != 0:
                    raise ValueError("unsupported PNG layout")
                self.channels = 3 if colour == 2 else 4
            elif kind == b"IDAT":
                compressed += chunk
        self.rows = self._unfilter(zlib.decompress(compressed))

    def _unfilter(self, raw):
        bpp = self.channels
        stride = self.width * bpp
        rows = []
        previous = bytearray(stride)
        for offset in range(0, self.height * (stride + 1), stride + 1):
            kind = raw[offset]
            line = bytearray(raw[offset + 1:offset + 1 + stride])
            for x in range(stride):
                left = line[x - bpp] if x >= bpp else 0
                up = previous[x]
                corner = previous[x - bpp] if x >= bpp else 0
                if kind == 1:
                    line[x] = (line[x] + left) & 255
                elif kind == 2:
                    line[x] = (line[x] + up) & 255
                elif kind == 3:
                    line[x] = (line[x] + (left + up) // 2) & 255
                elif kind == 4:
                    p = left + up - corner
                    pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                    predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else corner)
                    line[x] = (line[x] + predictor) & 255
            rows.append(bytes(line))
            previous = line
        return rows

    def pixel(self, x, y):
        """(red, green, blue) at x, y counted from the top-left corner."""
        row = self.rows[y]
        return tuple(row[x * self.channels:x * self.channels + 3])

    def count(self, left, top, right, bottom, test):
        """How many pixels of the area make `test(r, g, b)` true."""
        return sum(1 for y in range(top, bottom) for x in range(left, right) if test(*self.pixel(x, y)))
