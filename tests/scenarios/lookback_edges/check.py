# The viewer on one page draws no buttons and stays on it; leaving it puts the page back as
# typed; of eleven pages the newest ten can be seen, with the up button only where there are
# older pages.
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
from screenshot_check import Screenshot

failures = []


def text_right_edge(shot, test):
    found = -1
    for y in range(16, 42):
        for x in range(0, 400):
            if test(*shot.pixel(x, y)):
                found = max(found, x)
    return found


def yellow(r, g, b):
    return r > 200 and g > 200 and b < 120


def white(r, g, b):
    return r > 200 and g > 200 and b > 200


def buttons(shot):
    up, down = shot.pixel(631, 7), shot.pixel(631, 471)
    return (up[0] > 200 and up[2] < 50, down[2] > 200 and down[0] < 50)


# Characters are 26 pixels apart from x 8: (screenshot, characters on the page, up and down buttons).
for name, characters, expected_buttons in (("one.png", 1, (False, False)), ("newest.png", 11, (True, False)),
                                           ("oldest.png", 2, (False, True))):
    shot = Screenshot(os.path.join(sys.argv[1], name))
    right = text_right_edge(shot, yellow)
    if not 8 + (characters - 1) * 26 <= right <= 8 + characters * 26:
        failures.append("%s: text ends at x %d, expected a page of %d characters" % (name, right, characters))
    if buttons(shot) != expected_buttons:
        failures.append("%s: buttons (up, down) drawn %s, expected %s" % (name, buttons(shot), expected_buttons))
back = Screenshot(os.path.join(sys.argv[1], "back.png"))
if text_right_edge(back, yellow) >= 0 or not 8 + 26 <= text_right_edge(back, white) <= 8 + 2 * 26:
    failures.append("back.png: the page is not back as typed (two white characters)")
print("\n".join(failures))
sys.exit(1 if failures else 0)
