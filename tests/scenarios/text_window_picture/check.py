# The text is typed over the window's picture, from its own corner.
import os
import sys

from text_cells import Grid

row = Grid(os.path.join(sys.argv[1], "end.png"), x=10, y=10, background=(0, 0, 200)).row(0, 3)
sys.exit(None if row == "##." else "end.png: line 0 is %s, expected ##." % row)
