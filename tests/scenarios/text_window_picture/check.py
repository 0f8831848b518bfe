# `setwindow` with a picture: the window is the picture's area (100 x 60 at 0, 0), drawn with its
# transparency (its top-left colour is transparent), and the text is typed over it.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import expect_pixels
from text_cells import Grid, expect_log, expect_rows

path = os.path.join(sys.argv[1], "end.png")
failures = expect_log(sys.argv[2], ["TEXT あい", "EXIT 0"])
failures += expect_pixels(path, [(0, 0, "#000000"), (95, 55, "#0000c8"), (99, 59, "#0000c8"), (100, 30, "#000000"),
                                 (50, 60, "#000000")])
failures += expect_rows(Grid(path, x=10, y=10, background=(0, 0, 200)), [(0, "##.")])
sys.exit(1 if failures else 0)
