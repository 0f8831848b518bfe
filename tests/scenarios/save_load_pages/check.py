# The save page, the confirmation and the load page, pixel for pixel against their references
# (twelve slots of the slot name "栞": labels of 32 bytes from x 112, rows 28 high from y 100).
# Slot 2 holds the save made in between, so on the load page its date (x 216 on, y 128 to 155)
# is left out.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot


def rows(shot, dated):
    return [row[:216 * shot.channels] if dated and 128 <= y < 156 else row for y, row in enumerate(shot.rows)]


failures = []
for name in ("save_page.png", "confirm.png", "load_page.png"):
    dated = name == "load_page.png"
    actual, expected = Screenshot(os.path.join(sys.argv[1], name)), Screenshot("expected_" + name)
    wrong = [y for y, (got, wanted) in enumerate(zip(rows(actual, dated), rows(expected, dated))) if got != wanted]
    if wrong:
        failures.append("%s: %d rows differ, the first at y %d" % (name, len(wrong), wrong[0]))
print("\n".join(failures))
sys.exit(1 if failures else 0)
