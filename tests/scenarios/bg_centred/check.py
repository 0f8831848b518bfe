# A background smaller than the screen is centred on black.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

red, black = "#ff0000", "#000000"
sys.exit(expect_pixels(os.path.join(sys.argv[1], "end.png"), [
    (310, 235, red), (329, 244, red), (309, 235, black), (330, 244, black), (310, 234, black),
    (310, 245, black), (0, 0, black), (639, 479, black),
]))
