# The hidden window shows none of its text; lookback shows the first page in yellow.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot


def count(name, test):
    shot = Screenshot(os.path.join(sys.argv[1], name))
    return sum(1 for y in range(16, 16 + 2 * 28) for x in range(8, 8 + 7 * 26) if test(*shot.pixel(x, y)))


def white(r, g, b):
    return r > 200 and g > 200 and b > 200


def yellow(r, g, b):
    return r > 200 and g > 200 and b < 120


failures = []
for name in ("hidden.png", "hidden2.png"):
    if count(name, white):
        failures.append(name + ": the hidden window still shows its text")
if count("lookback.png", yellow) < 20 or count("lookback.png", white):
    failures.append("lookback does not show the first page in the lookback colour")
print("\n".join(failures))
sys.exit(1 if failures else 0)
