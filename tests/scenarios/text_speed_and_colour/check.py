# !s0 types without delay, !sd follows the speed menu (normal: 10 ms), !s100 waits 100 ms per
# character. At 30 ms: the five undelayed characters and two or three at 11 ms each.
import os
import sys

from text_cells import Grid

t30 = Grid(os.path.join(sys.argv[1], "t30.png")).row(0, 15)
sys.exit(None if t30.startswith("#######") and t30.endswith("." * 7) else "t30.png: line 0 is %s" % t30)
