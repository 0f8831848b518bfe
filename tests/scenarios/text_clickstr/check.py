# Automatic click waits after the clickstr characters: only the last of a run waits, `_` and a
# following click-wait mark suppress the automatic wait, and on the last line (margin 1) the
# wait is a page wait that clears the window. Each screenshot is taken at one wait; a wait too
# many would leave the program waiting for a click that never comes.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from text_cells import Grid, expect_log, expect_rows

run = sys.argv[1]
failures = expect_log(sys.argv[2], ["TEXT あ。い。。う_。え。@", "TEXT お。", "TEXT か。き", "EXIT 0"])
expectations = {
    "w1.png": [(0, "##........"), (1, "..........")],
    "w2.png": [(0, "#####.....")],
    "w3.png": [(0, "#########."), (1, "..........")],
    "w4.png": [(0, "#########."), (1, "##........"), (2, "..........")],
    "w5.png": [(1, "##........"), (2, "##........")],
    "end.png": [(0, "#........."), (1, ".........."), (2, "..........")],
}
for name, rows in expectations.items():
    failures += expect_rows(Grid(os.path.join(run, name)), rows)
sys.exit(1 if failures else 0)
