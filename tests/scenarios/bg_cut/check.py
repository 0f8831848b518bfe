# A background larger than the screen (700 x 500, through the png plug-in entry) is cut around
# its centre: its pixel (30, 10) lands on (0, 0), its pixel (669, 489) on (639, 479).
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

white, blue = "#ffffff", "#0000ff"
sys.exit(expect_pixels(os.path.join(sys.argv[1], "end.png"), [
    (0, 0, white), (639, 479, white), (1, 0, blue), (0, 1, blue), (639, 0, blue), (0, 479, blue),
    (638, 479, blue), (320, 240, blue),
]))
