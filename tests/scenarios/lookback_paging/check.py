# Each page shows in the lookback colour; its width tells which page it is.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot


def rightmost_text(name):
    shot = Screenshot(os.path.join(sys.argv[1], name))
    yellow = lambda r, g, b: r > 200 and g > 200 and b < 120
    return max([x for y in range(16, 42) for x in range(400) if yellow(*shot.pixel(x, y))], default=-1)


failures = []
# Characters are 26 pixels apart from x 8: pages of 9, 2 and 5 characters.
for name, low, high in (("newest.png", 8 + 8 * 26, 8 + 9 * 26), ("oldest.png", 8 + 26, 8 + 2 * 26),
                        ("middle.png", 8 + 4 * 26, 8 + 5 * 26)):
    right = rightmost_text(name)
    if not low <= right <= high:
        failures.append("%s: text ends at x %d, not between %d and %d" % (name, right, low, high))
print("\n".join(failures))
sys.exit(1 if failures else 0)
