# !s0 types without delay, !sd follows the speed menu (normal: 10 ms), !s100 waits 100 ms per
# character; a # colour applies to the rest of the line and to later lines.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from text_cells import Grid, expect_log, expect_rows

run = sys.argv[1]
failures = expect_log(sys.argv[2], ["TEXT !s0あいうえお!sdかきくけこ!s100さしすせそ", "TEXT #ff0000赤#00ff00緑",
                                    "TEXT 続", "EXIT 0"])
# At 30 ms: the five undelayed characters and two or three at 11 ms each.
t30 = Grid(os.path.join(run, "t30.png")).row(0, 15)
if not (t30.startswith("#######") and t30.endswith("." * 7)):
    print("t30.png: line 0 is %s" % t30)
    failures += 1
# At 200 ms: all ten fast characters (done at about 60 ms) and two at 101 ms each.
failures += expect_rows(Grid(os.path.join(run, "t200.png")), [(0, "#" * 12 + "...")])
end = Grid(os.path.join(run, "end.png"))
for column, line, colour in [(0, 1, (255, 0, 0)), (1, 1, (0, 255, 0)), (0, 2, (0, 255, 0))]:
    if end.brightest(column, line) != colour:
        print("end.png: cell %d of line %d is %s at its brightest, expected %s" % (
            column, line, end.brightest(column, line), colour))
        failures += 1
sys.exit(1 if failures else 0)
