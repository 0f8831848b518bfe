# With a background window the background's top-left corner shows at the window's position, cut
# to the window's size, with black around it.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

red, blue, black = "#ff0000", "#0000ff", "#000000"
sys.exit(expect_pixels(os.path.join(sys.argv[1], "end.png"), [
    (100, 50, red), (109, 59, red), (110, 60, blue), (299, 149, blue),
    (99, 50, black), (100, 49, black), (300, 149, black), (299, 150, black), (0, 0, black),
    (639, 479, black), (320, 240, black),
]))
