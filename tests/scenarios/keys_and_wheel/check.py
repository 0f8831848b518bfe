# The wheel opened the lookback viewer: the first page in the lookback colour.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot

shot = Screenshot(os.path.join(sys.argv[1], "lookback.png"))
if shot.count(8, 16, 190, 44, lambda r, g, b: r > 200 and g > 200 and b < 120) < 20:
    sys.exit("the wheel did not open the lookback viewer")
