# The highlighted choice is drawn in the first selectcolor colour, the other in the second.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot

shot = Screenshot(os.path.join(sys.argv[1], "hover.png"))
red = lambda r, g, b: r > 200 and g < 120 and b < 120
blue = lambda r, g, b: b > 200 and r < 120 and g < 120


def count(top, bottom, colour):
    return sum(colour(*shot.pixel(x, y)) for y in range(top, bottom) for x in range(8, 8 + 2 * 26 + 2))


failures = []
if count(44, 72, red) < 20 or count(44, 72, blue) > 0:
    failures.append("the first choice is not highlighted in red")
if count(72, 100, blue) < 20 or count(72, 100, red) > 0:
    failures.append("the second choice is not in the normal blue")
print("\n".join(failures))
sys.exit(1 if failures else 0)
