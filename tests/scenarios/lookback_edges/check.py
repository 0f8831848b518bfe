# rlookback: one page shows no buttons and turns nowhere; leaving puts it back as typed; of
# eleven pages the newest ten are seen, the up button only where older pages are.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot


def shot_facts(name, text_test):
    shot = Screenshot(os.path.join(sys.argv[1], name))
    right = max([x for y in range(16, 42) for x in range(400) if text_test(*shot.pixel(x, y))], default=-1)
    up, down = shot.pixel(631, 7), shot.pixel(631, 471)
    # Characters are 26 pixels apart from x 8; the buttons are red (up) and blue (down).
    return (right - 9) // 26 + 1, (up[0] > 200 and up[2] < 50, down[2] > 200 and down[0] < 50)


yellow = lambda r, g, b: r > 200 and g > 200 and b < 120
white = lambda r, g, b: r > 200 and g > 200 and b > 200
failures = []
for name, test, expected in (("one.png", yellow, (1, (False, False))), ("newest.png", yellow, (11, (True, False))),
                             ("oldest.png", yellow, (2, (False, True))), ("back.png", white, (2, (False, False)))):
    if shot_facts(name, test) != expected:
        failures.append("%s: (characters, (up, down)) %s, expected %s" % (name, shot_facts(name, test), expected))
print("\n".join(failures))
sys.exit(1 if failures else 0)
