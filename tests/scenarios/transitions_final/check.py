# Every transition type ends with the new picture on the display surface; mosaic out (16) keeps
# the old one until mosaic in (17) brings the new.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

red, blue, green = "#ff0000", "#0000ff", "#00ff00"
corners = [(0, 0), (639, 0), (0, 479), (639, 479), (320, 240), (17, 401), (633, 7)]
failures = 0
for t in range(2, 19):
    colour = red if t == 16 else blue
    failures += expect_pixels(os.path.join(sys.argv[1], "t%d.png" % t), [(x, y, colour) for x, y in corners])
failures += expect_pixels(os.path.join(sys.argv[1], "direct.png"), [(x, y, green) for x, y in corners])
sys.exit(1 if failures else 0)
