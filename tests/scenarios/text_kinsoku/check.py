# With one cell left, an opening bracket moves to the next line with the character after it, and
# a character followed by a closing mark moves there with the mark; with two cells left both fit.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from text_cells import Grid, expect_log, expect_rows

failures = expect_log(sys.argv[2], ["TEXT あいうえ「お", "TEXT かきくけこ。", "TEXT さしす「せ", "EXIT 0"])
grid = Grid(os.path.join(sys.argv[1], "end.png"))
failures += expect_rows(grid, [(0, "####."), (1, "##..."), (2, "####."), (3, "##..."), (4, "#####"), (5, ".....")])
sys.exit(1 if failures else 0)
