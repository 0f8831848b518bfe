# Eight bytes of settings: full screen and WAVE come back; speed and display mode read as 0, so
# the slow speed is chosen, and all of it is written back whole at the end, with the game's
# default face (no `defaultfont`).
import os
import struct
import sys

with open(os.path.join(sys.argv[1], "envdata"), "rb") as f:
    written = f.read()
expected = struct.pack("<4i", 1, 1, 0, 0) + "ＭＳ ゴシック".encode("cp932") + b"\0"
if written != expected:
    print("envdata %r, expected %r" % (written, expected))
    sys.exit(1)
