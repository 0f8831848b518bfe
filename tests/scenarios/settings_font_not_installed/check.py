# A face in the settings that the font menu does not list leaves the game's own face.
import os
import struct
import sys

with open(os.path.join(sys.argv[1], "envdata"), "rb") as f:
    written = f.read()
expected = struct.pack("<4i", 0, 1, 1, 0) + "ＭＳ 明朝".encode("cp932") + b"\0"
if written != expected:
    print("envdata %r, expected %r" % (written, expected))
    sys.exit(1)
