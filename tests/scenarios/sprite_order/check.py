# Sprite 0 is the top-most picture; with humanz 29, sprite 29 lies over the standing pictures and
# sprite 30 behind them.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

red, green, blue, black = "#ff0000", "#00ff00", "#0000ff", "#000000"
sys.exit(expect_pixels(os.path.join(sys.argv[1], "end.png"), [
    (308, 440, red), (310, 440, red), (311, 443, red), (312, 444, blue),  # 29 over the centre picture
    (328, 476, blue), (329, 479, blue), (330, 476, green), (331, 479, green),  # 30 behind it
    (10, 10, red), (12, 12, green), (13, 13, green), (11, 11, red), (14, 11, black),  # 0 over 1
    (20, 10, green), (21, 11, green), (22, 12, red), (23, 13, red), (26, 16, black),  # 58 over 59
]))
