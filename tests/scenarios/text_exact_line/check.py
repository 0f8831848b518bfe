# A line of exactly charsPerLine characters wraps once; the end of the text line adds no second
# line end, so the next text line starts on the line right below.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from text_cells import Grid, expect_log, expect_rows

failures = expect_log(sys.argv[2], ["TEXT 一二三四五六七八九十一二三四五六七八九十一二三", "TEXT 次", "EXIT 0"])
grid = Grid(os.path.join(sys.argv[1], "end.png"))
failures += expect_rows(grid, [(0, "#" * 23), (1, "#" + "." * 22), (2, "." * 23)])
sys.exit(1 if failures else 0)
