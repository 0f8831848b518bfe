# MIDI and MP3 sound where the script plays them, an MP3 that ends by itself, one that loops
# until `mp3 ""`, a movie whose picture fills the window and whose sound is recorded, and a
# looping MIDI whose next pass follows where the song's events end, not after its last notes
# have rung out.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from audio_check import Recording
from screenshot_check import Screenshot

sound = Recording(os.path.join(sys.argv[1], "out.wav"))
sound.expect_length(11500)
sound.expect_silent(0, 300)
sound.expect_loud(300, 1200, level_at_least=300)  # the tune (soft piano)
sound.expect_silent(1600, 1800)      # the tune is over
sound.expect_tone(1800, 2750, 440)   # one second of MP3
sound.expect_silent(2850, 3300)
sound.expect_tone(3300, 4250, 440)   # looping: the first pass...
sound.expect_tone(4350, 5800, 440)   # ...and the next ones
sound.expect_silent(5800, 6300)
sound.expect_tone(6400, 7300, 440)   # the movie's sound
sound.expect_silent(7450, 7700)
sound.expect_loud(7700, 11200, step=150, level_at_least=80)  # no pause at the seams
sound.expect_silent(11250, 11500)    # playstop

movie = Screenshot(os.path.join(sys.argv[1], "movie.png"))
red, blue = movie.pixel(100, 100), movie.pixel(100, 400)
if not (red[0] > 150 and red[2] < 100 and blue[2] > 150 and blue[0] < 100):
    sound.fail("mid-movie screenshot: %s at (100, 100), %s at (100, 400)" % (red, blue))
sys.exit(sound.result())
