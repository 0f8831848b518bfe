# The movie's picture fills the window.
import os
import sys

from screenshot_check import Screenshot

movie = Screenshot(os.path.join(sys.argv[1], "movie.png"))
red, blue = movie.pixel(100, 100), movie.pixel(100, 400)
if not (red[0] > 150 and red[2] < 100 and blue[2] > 150 and blue[0] < 100):
    sys.exit("mid-movie screenshot: %s at (100, 100), %s at (100, 400)" % (red, blue))
