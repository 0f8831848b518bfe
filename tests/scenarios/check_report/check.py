"""--check reads the game and writes nothing into its folder."""
import os
import sys

game = sys.argv[1]
written = sorted(set(os.listdir(game)) - {"0.txt", "1.txt", "data.lzh", "sprite.bmp", "chime.wav"})
if written:
    sys.exit("--check wrote into the game folder: %s" % written)
