# A left click while typing shows the rest of the text up to the next click-wait mark at once;
# after the mark the typing delay applies again.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from text_cells import Grid, expect_log, expect_rows

run = sys.argv[1]
failures = expect_log(sys.argv[2], ["TEXT あいうえお@かきくけこ", "EXIT 0"])
failures += expect_rows(Grid(os.path.join(run, "ff.png")), [(0, "#####.....")])
failures += expect_rows(Grid(os.path.join(run, "mid.png")), [(0, "#######...")])
failures += expect_rows(Grid(os.path.join(run, "end.png")), [(0, "##########")])
sys.exit(1 if failures else 0)
