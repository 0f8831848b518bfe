# The save page, the confirmation and the load page, pixel for pixel against their references
# (twelve slots of the slot name "栞": labels of 32 bytes from x 112, rows 28 high from y 100).
# Slot 2 holds the save made in between, so on the load page its date (from x 216) is left out.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot

DATE_OF_SLOT_2 = (216, 128, 640, 156)


def differing_rows(name, skip=None):
    actual = Screenshot(os.path.join(sys.argv[1], name))
    expected = Screenshot("expected_" + name)
    rows = []
    for y, (got, wanted) in enumerate(zip(actual.rows, expected.rows)):
        if skip and skip[1] <= y < skip[3]:
            cut = slice(skip[0] * actual.channels, skip[2] * actual.channels)
            got, wanted = got[:cut.start] + got[cut.stop:], wanted[:cut.start] + wanted[cut.stop:]
        if got != wanted:
            rows.append(y)
    return rows


failures = []
for name, skip in (("save_page.png", None), ("confirm.png", None), ("load_page.png", DATE_OF_SLOT_2)):
    wrong = differing_rows(name, skip)
    if wrong:
        failures.append("%s: %d rows differ, the first at y %d" % (name, len(wrong), wrong[0]))
print("\n".join(failures))
sys.exit(1 if failures else 0)
