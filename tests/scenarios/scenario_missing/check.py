"""A folder without a game stays as it was: no settings file is written into it."""
import os
import sys

if os.listdir(sys.argv[1]):
    sys.exit("files written into a folder without a game: %s" % os.listdir(sys.argv[1]))
