# The hidden window shows none of its text; lookback shows the first page in yellow.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot


def count(name, test):
    return Screenshot(os.path.join(sys.argv[1], name)).count(8, 16, 8 + 7 * 26, 16 + 2 * 28, test)


failures = [name + ": the hidden window still shows its text" for name in ("hidden.png", "hidden2.png")
            if count(name, lambda r, g, b: min(r, g, b) > 200)]
if count("lookback.png", lambda r, g, b: r > 200 and g > 200 and b < 120) < 20 or \
        count("lookback.png", lambda r, g, b: min(r, g, b) > 200):
    failures.append("lookback does not show the first page in the lookback colour")
print("\n".join(failures))
sys.exit(1 if failures else 0)
