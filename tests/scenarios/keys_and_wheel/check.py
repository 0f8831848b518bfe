# The wheel opened the lookback viewer: the first page in the lookback colour.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot

shot = Screenshot(os.path.join(sys.argv[1], "lookback.png"))
yellow = sum(1 for y in range(16, 44) for x in range(8, 190) if (lambda r, g, b: r > 200 and g > 200 and b < 120)(*shot.pixel(x, y)))
if yellow < 20:
    print("the wheel did not open the lookback viewer")
sys.exit(1 if yellow < 20 else 0)
