# What the mixer played, in virtual time: a WAVE that starts, stops and loops where the script
# says, a CD track at full level then fading over the cdfadeout time, `stop` silencing the CD
# (with its fade) and the WAVE; the voice extracted from the archive is gone afterwards. The
# click ending a `click` wait plays the normal click voice once, which ends the looping WAVE for
# good; the click ending a page wait plays the page click voice.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from audio_check import Recording

sound = Recording(os.path.join(sys.argv[1], "out.wav"))
sound.expect_length(8200)
sound.expect_silent(0, 500)
sound.expect_tone(500, 800, 1000)
sound.expect_silent(800, 1500)
sound.expect_tone(1500, 2500, 1000)  # looping: no gap where the 300 ms sound starts again
sound.expect_silent(2500, 3000)
sound.expect_tone(3000, 4000, 400)
sound.expect_fade(4000, 4500)
sound.expect_silent(4500, 5000)
sound.expect_loud(5000, 5500)
sound.expect_fade(5500, 6000, to_silence=False)  # the voice goes on under the fading CD
sound.expect_silent(6000, 6500)
sound.expect_tone(6500, 7200, 1000)  # the loop, then the click voice from 6900
sound.expect_silent(7200, 7900)
sound.expect_loud(7900, 8100)        # the page click voice, 200 ms
sound.expect_silent(8100, 8200)
runtime = os.path.join(os.path.dirname(sys.argv[1]), "xdg_runtime_dir", "velmio")
left = [name for name in os.listdir(runtime) if not name.endswith(".lock")] if os.path.isdir(runtime) else []
if left:
    sound.fail("left in the runtime folder: %s" % left)
sys.exit(sound.result())
