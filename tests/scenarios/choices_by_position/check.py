# The highlighted choice is drawn in the first selectcolor colour, the other in the second.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot

shot = Screenshot(os.path.join(sys.argv[1], "hover.png"))


def count(top, bottom, wanted):
    found = 0
    for y in range(top, bottom):
        for x in range(8, 8 + 2 * 26 + 2):
            r, g, b = shot.pixel(x, y)
            if wanted == "red" and r > 200 and g < 120 and b < 120:
                found += 1
            if wanted == "blue" and b > 200 and r < 120 and g < 120:
                found += 1
    return found


failures = []
if count(44, 72, "red") < 20 or count(44, 72, "blue") > 0:
    failures.append("the first choice is not highlighted in red")
if count(72, 100, "blue") < 20 or count(72, 100, "red") > 0:
    failures.append("the second choice is not in the normal blue")
print("\n".join(failures))
sys.exit(1 if failures else 0)
