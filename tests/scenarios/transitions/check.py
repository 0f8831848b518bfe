# The effect commands drive the transitions: slots defined by `effect` (with a mask), the
# effect operand of `bg`, `print` with a slot and with a direct type over a marked part. The
# pixels of each frame are the unit tests' business; here only where each one ends.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

red, blue, green = "#ff0000", "#0000ff", "#00ff00"
corners = [(0, 0), (639, 0), (0, 479), (639, 479), (320, 240)]
shots = {"soft": blue, "mosaic_out": red, "mosaic_in": blue, "direct": green}
failures = 0
for name, colour in shots.items():
    failures += expect_pixels(os.path.join(sys.argv[1], name + ".png"), [(x, y, colour) for x, y in corners])
failures += expect_pixels(os.path.join(sys.argv[1], "part.png"), [
    (100, 100, blue), (119, 119, blue), (120, 110, red), (99, 110, red), (0, 0, red), (639, 479, red)])
sys.exit(1 if failures else 0)
