# Standing pictures hang from the underline at their anchors; sprites sit where lsp puts them and
# move with msp; transparency by the top-left colour; tal and msp blend.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels

grey, blue = "#404040", "#0000ff"
sys.exit(expect_pixels(os.path.join(sys.argv[1], "end.png"), [
    (150, 360, grey), (169, 399, grey),                       # left cleared by cl
    (310, 360, blue), (329, 399, blue), (320, 380, blue),      # centre: x = 320 - 10, y = 400 - 40
    (309, 360, grey), (330, 399, grey), (310, 359, grey), (310, 400, grey),
    (470, 360, "#1f1f9f"), (489, 399, "#1f1f9f"), (490, 399, grey),  # right at alpha 128
    (0, 0, grey), (1, 1, grey),                                 # sprite 3 moved away from (-2, -2)
    (98, 98, "#f70202"), (101, 101, "#f70202"), (102, 102, grey),  # ... to (98, 98) at alpha 245
    (600, 10, grey), (601, 10, "#00ff00"), (602, 10, grey),    # magenta top-left key
    (20, 20, grey),                                             # lsph: hidden
    (40, 40, grey),                                             # csp cleared
]))
