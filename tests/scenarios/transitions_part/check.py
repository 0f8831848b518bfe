# Over a part of the screen, every transition changes only the marked rectangle of the display
# surface: a 20 x 20 sprite at (100, 100), marked as (100, 100) to (121, 121).
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

red, blue = "#ff0000", "#0000ff"
failures = 0
for t in range(2, 19):
    if t in (16, 17):
        continue
    failures += expect_pixels(os.path.join(sys.argv[1], "p%d.png" % t), [
        (100, 100, blue), (119, 119, blue), (110, 105, blue),
        (120, 110, red), (110, 120, red), (99, 110, red), (110, 99, red), (0, 0, red), (639, 479, red),
    ])
sys.exit(1 if failures else 0)
