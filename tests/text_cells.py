"""Which cells of the typing grid of a screenshot hold ink, for expected.pixels and check.py."""
from screenshot_check import Screenshot


class Grid:
    """The typing grid of a screenshot: cells of `glyph` pixels, `pitch_x` and `pitch_y` apart,
    the first at (x, y). The defaults are the text window's start-up geometry."""

    def __init__(self, path, x=8, y=16, glyph=26, pitch_x=26, pitch_y=28, background=(0, 0, 0)):
        self.shot = Screenshot(path)
        self.x, self.y, self.glyph = x, y, glyph
        self.pitch_x, self.pitch_y = pitch_x, pitch_y
        self.background = background

    def pixels(self, column, line):
        left = self.x + self.pitch_x * column
        top = self.y + self.pitch_y * line
        for y in range(top, top + self.glyph):
            for x in range(left, left + self.glyph):
                yield self.shot.pixel(x, y)

    def inked(self, column, line):
        """True when some pixel of the cell is brighter than the background (text is drawn in
        light colours over it; the shadow only darkens)."""
        return any(sum(p) > sum(self.background) for p in self.pixels(column, line))

    def brightest(self, column, line):
        return max(self.pixels(column, line), key=sum)

    def row(self, line, columns):
        """A string with '#' for every inked cell and '.' for every empty one."""
        return "".join("#" if self.inked(c, line) else "." for c in range(columns))

