# Damaged sound files play nothing and the game goes on; the recording still covers the run.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from audio_check import Recording

sound = Recording(os.path.join(sys.argv[1], "out.wav"))
sound.expect_length(200)
sound.expect_silent(0, 200)
sys.exit(sound.result())
