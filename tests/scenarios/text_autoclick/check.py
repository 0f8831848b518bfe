# With autoclick 300 every click wait ends 300 ms after it began without input; autoclick 0
# makes the next wait wait for the player again.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from text_cells import Grid, expect_log, expect_rows

run = sys.argv[1]
failures = expect_log(sys.argv[2], ["TEXT あ@い@う", "TEXT え@", "EXIT 0"])
failures += expect_rows(Grid(os.path.join(run, "auto.png")), [(0, "##..")])
failures += expect_rows(Grid(os.path.join(run, "manual.png")), [(0, "###."), (1, "#...")])
sys.exit(1 if failures else 0)
