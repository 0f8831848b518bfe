# The menu's items in its normal colour centred on the screen without the story text; the hidden
# window shows no text; lookback shows the first page in the lookback colour.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot


def count(name, left, top, right, bottom, test):
    return Screenshot(os.path.join(sys.argv[1], name)).count(left, top, right, bottom, test)


def cyan(r, g, b):
    return r < 80 and g > 200 and b > 200


def white(r, g, b):
    return r > 200 and g > 200 and b > 200


def green(r, g, b):
    return g > 200 and r < 80 and b < 120


story = (8, 16, 8 + 7 * 26, 16 + 2 * 28)
failures = []
# Four entries, pitch y 28: tops at 184, 212, 240 and 268; the longest entry (8 bytes) from x 268.
for top in (184, 212, 240, 268):
    if count("menu.png", 268, top, 268 + 4 * 26, top + 26, cyan) < 20:
        failures.append("no menu entry at row %d" % top)
if count("menu.png", 0, 0, 268, 184, cyan) or count("menu.png", *story, white):
    failures.append("the menu shows something besides its entries")
if count("hidden.png", *story, white):
    failures.append("the hidden window still shows its text")
if count("lookback.png", *story, green) < 20 or count("lookback.png", *story, white):
    failures.append("lookback does not show the first page in green")
print("\n".join(failures))
sys.exit(1 if failures else 0)
