# The menu's items in its normal colour centred on the screen, without the story text.
import os
import sys

from screenshot_check import Screenshot

shot = Screenshot(os.path.join(sys.argv[1], "menu.png"))
cyan = lambda r, g, b: r < 80 and g > 200 and b > 200
# Four entries, pitch y 28: tops at 184, 212, 240 and 268; the longest entry (8 bytes) from x 268.
failures = ["no menu entry at row %d" % top for top in (184, 212, 240, 268)
            if shot.count(268, top, 268 + 4 * 26, top + 26, cyan) < 20]
if shot.count(0, 0, 268, 184, cyan) or shot.count(8, 16, 8 + 7 * 26, 16 + 2 * 28, lambda r, g, b: min(r, g, b) > 200):
    failures.append("the menu shows something besides its entries")
sys.exit("\n".join(failures) or None)
