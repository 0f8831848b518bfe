# "Skip to the next choice" passes every later wait at once; a left click (here during `wait`)
# switches it off, so the next click wait waits for the player again.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from text_cells import Grid, expect_log, expect_rows

failures = expect_log(sys.argv[2], ["TEXT あ@い@う@", "TEXT え@", "EXIT 0"])
failures += expect_rows(Grid(os.path.join(sys.argv[1], "skip_off.png")), [(0, "###."), (1, "#...")])
sys.exit(1 if failures else 0)
