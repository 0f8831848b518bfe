# Every setting is replayed as a menu choice, the font included (IPAGothic, which the setup
# script installs, is in the font menu), and written back unchanged.
import os
import struct
import sys

with open(os.path.join(sys.argv[1], "envdata"), "rb") as f:
    written = f.read()
expected = struct.pack("<4i", 0, 0, 2, 1) + b"IPAGothic\0"
if written != expected:
    print("envdata %r, expected %r" % (written, expected))
    sys.exit(1)
