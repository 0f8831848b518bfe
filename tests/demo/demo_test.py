#!/usr/bin/env python3
"""Plays the bundled demo game headless with its own input script (demo/demo.input): its story,
its screenshots, the other branches, a save and load through the right-click menu, the author's
check finding it clean, and a start without a display.

Usage: demo_test.py VELMIO DEMO_DIR
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile
from pathlib import Path

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, ".."))
from screenshot_check import Screenshot  # noqa: E402

# Files the program writes into a game folder; a copy of the demo leaves them out so that a
# player's settings (page mode, text speed) never change what the test sees.
WRITTEN = {"envdata", "gloval.sav", "Velmflog.dat"}
# The round trip saves at the first wait of the page where Mio first speaks, and loads two pages
# on. The click cursor keeps its animation cell from wait to wait and a load starts it afresh, so
# the save point is a wait where the cursor shows the cell a fresh one shows first.
SAVE_AFTER_CLICKS = 3
PLAY_ON_CLICKS = 6
XDG = ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME")


class Bmp:
    """A 24-bit or 8-bit BMP, read top-down as the screenshots are."""

    def __init__(self, data):
        self.data = data
        self.offset, = struct.unpack("<I", data[10:14])
        width, self.height = struct.unpack("<ii", data[18:26])
        self.bits, = struct.unpack("<H", data[28:30])
        self.stride = ((width * self.bits + 31) // 32) * 4

    def pixel(self, x, y):
        row = self.offset + (self.height - 1 - y) * self.stride
        at = row + x * 3 if self.bits == 24 else 54 + self.data[row + x] * 4
        b, g, r = self.data[at:at + 3]
        return r, g, b


def demo_picture(demo, name):
    path = Path(demo, name)
    data = path.read_bytes() if path.exists() else zipfile.ZipFile(Path(demo, "pictures.zip")).read(name)
    return Screenshot(name, data) if name.lower().endswith(".png") else Bmp(data)


def copy_demo(demo, target):
    os.makedirs(target)
    for name in os.listdir(demo):
        if name not in WRITTEN and not name.startswith("save") and os.path.isfile(os.path.join(demo, name)):
            shutil.copy(os.path.join(demo, name), target)


def play(velmio, demo, work, input_text=None):
    """Plays a fresh copy of the demo in WORK/demo with `input_text` or else demo.input; returns
    the run, the lines of its log and the game folder."""
    game = os.path.join(work, "demo")
    copy_demo(demo, game)
    # The input script's screenshots go below the starting folder, as for ./scripts/demo.
    os.makedirs(os.path.join(work, "build", "demo-screenshots"))
    input_script = Path(demo, "demo.input") if input_text is None else Path(work, "play.input")
    if input_text is not None:
        input_script.write_text(input_text, "utf-8")
    environment = dict(os.environ, **{v: os.path.join(work, v.lower()) for v in XDG})
    for variable in XDG:
        os.makedirs(environment[variable], mode=0o700, exist_ok=True)
    log = Path(work, "log.txt")
    result = subprocess.run([velmio, "--headless", "--log", log, "--input", input_script, game],
                            cwd=work, env=environment, capture_output=True, timeout=240)
    return result, log.read_text("utf-8").splitlines(), game


FAILURES = []


def expect(condition, message):
    if not condition:
        FAILURES.append(message)


def same_pixel(shot, x, y, expected, what):
    actual = shot.pixel(x, y)
    expect(actual == tuple(expected), "%s: pixel (%d, %d) is %s, expected %s" % (what, x, y, actual, expected))


def brightest(shot, x0, y0, x1, y1):
    return max(sum(shot.pixel(x, y)) for y in range(y0, y1) for x in range(x0, x1))


def has_colour(shot, x0, y0, x1, y1, colour):
    return any(shot.pixel(x, y) == colour for y in range(y0, y1) for x in range(x0, x1))


def check_screenshots(demo, folder):
    names = ("01-title", "02-meadow", "03-forest", "04-memory", "05-night", "06-end")
    missing = [name for name in names if not os.path.exists(os.path.join(folder, name + ".png"))]
    expect(not missing, "no screenshots %s" % missing)
    if missing:
        return
    shots = {name: Screenshot(os.path.join(folder, name + ".png")) for name in names}

    # The title typed in gold over the night sky, which shows unchanged elsewhere.
    title = demo_picture(demo, "title.bmp")
    shot = shots["01-title"]
    for x, y in [(600, 30), (20, 440), (320, 300)]:
        same_pixel(shot, x, y, title.pixel(x, y), "01-title")
    expect(has_colour(shot, 166, 176, 470, 216, (0xFF, 0xE8, 0xA0)), "01-title: no gold title text")

    # Morning: the background, Mio in the centre on her key colour, the glass window blended
    # through its mask (where a line breaks is scenario.text_kinsoku's).
    meadow, mio, window = (demo_picture(demo, name) for name in ("meadow.bmp", "mio.bmp", "window.bmp"))
    shot = shots["02-meadow"]
    same_pixel(shot, 600, 30, meadow.pixel(600, 30), "02-meadow")
    same_pixel(shot, 320, 180, mio.pixel(110, 100), "02-meadow (Mio)")
    same_pixel(shot, 212, 82, meadow.pixel(212, 82), "02-meadow (Mio's key colour)")
    x, y = 600, 460
    source, mask = window.pixel(x - 20, y - 342), window.pixel(x - 20 + 600, y - 342)[2]
    expected = tuple(s * (255 - mask) // 255 + d * mask // 255 for s, d in zip(source, meadow.pixel(x, y)))
    same_pixel(shot, x, y, expected, "02-meadow (window)")

    # Forest: the PNG background, the spirit from the archive at full opacity, the first star
    # fragment (sprite 20 at (290, 236)) shining between Mio and the spirit.
    forest, tomori = demo_picture(demo, "forest.png"), demo_picture(demo, "tomori.bmp")
    shot = shots["03-forest"]
    same_pixel(shot, 630, 470, forest.pixel(630, 470), "03-forest")
    expect(tomori.pixel(180 + 90, 100)[2] == 0, "tomori.bmp: its mask should be opaque at (90, 100)")
    same_pixel(shot, 390 + 90, 150 + 100, tomori.pixel(90, 100), "03-forest (Tomori)")
    expect(brightest(shot, 318, 264, 326, 272) > brightest(forest, 318, 264, 326, 272) + 60, "03-forest: no star fragment")

    # The memory in sepia: every colour leans towards the tint.
    shot = shots["04-memory"]
    for x, y in [(100, 40), (300, 100), (600, 60), (560, 300), (20, 470)]:
        r, g, b = shot.pixel(x, y)
        expect(r >= g >= b and r > b, "04-memory: pixel (%d, %d) is %s, not sepia" % (x, y, (r, g, b)))

    # Night from the PNG inside the archive, with the stars lit one by one (the third, sprite 47,
    # at (539, 107)).
    night = demo_picture(demo, "night.png")
    for name in ("05-night", "06-end"):
        same_pixel(shots[name], 620, 330, night.pixel(620, 330), name)
    expect(brightest(shots["05-night"], 551, 119, 559, 127) > brightest(night, 551, 119, 559, 127) + 60,
           "05-night: the first lit star is missing")
    expect(has_colour(shots["06-end"], 234, 96, 420, 136, (0xFF, 0xE8, 0xA0)), "06-end: no gold closing words")


def main():
    velmio, demo = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="velmio-demo-")
    try:
        total = sum(os.path.getsize(os.path.join(demo, n)) for n in os.listdir(demo) if n not in WRITTEN)
        expect(total < 5 * 1024 * 1024, "the demo holds %d bytes, more than 5 MB" % total)

        result, lines, game = play(velmio, demo, work)
        expected = Path(HERE, "expected.log").read_text("utf-8").splitlines()
        expect([line for line in lines if not line.startswith("SCREENSHOT ")] == expected,
               "log differs.\n--- expected\n%s\n--- actual\n%s" % ("\n".join(expected), "\n".join(lines)))
        expect(result.returncode == 0, "exit code %d" % result.returncode)
        expect(result.stderr == b"", "standard error: " + result.stderr.decode("utf-8", "replace"))
        check_screenshots(demo, os.path.join(work, "build", "demo-screenshots"))

        # The other branches: the hero keeps her name, and the first choice asks a question.
        other = script = Path(demo, "demo.input").read_text("utf-8")
        for old, new in (("choose 0\nclick\n", "choose 1\nclick\nclick\nclick\n"), ("choose 1\ntext ソラ\n", "choose 0\n")):
            expect(old in other, "demo.input no longer holds %r" % old)
            other = other.replace(old, new)
        result, lines, _ = play(velmio, demo, os.path.join(work, "other"), other)
        for wanted in ("TEXT ミオの住む村は、なだらかな丘のふもとにあります。\\",
                       "TEXT #ffb070ともり#ffffff「ほんとうだよ。ほら、指先があったかいでしょ」\\",
                       "TEXT #ffe8a0おしまい#ffffff\\"):
            expect(wanted in lines, "other branches: the log lacks %s" % wanted)
        expect(not any(line.startswith("MESSAGEBOX") for line in lines), "other branches: the story stalled")

        # Save through the right-click menu at the first wait of a page, play on, load: the screen
        # is the one of the save point again, pixel for pixel.
        anchor = "text ソラ\n"
        expect(anchor in script, "demo.input no longer holds %r" % anchor)
        saved_shot, loaded_shot = os.path.join(work, "save-point.png"), os.path.join(work, "loaded.png")
        slot_1_and_yes = "click 320 170\nclick 250 280\n"
        round_trip = (script[:script.index(anchor) + len(anchor)] + "click\n" * SAVE_AFTER_CLICKS +
                      "screenshot %s\nrclick\nchoose 0\n%s" % (saved_shot, slot_1_and_yes) + "click\n" * PLAY_ON_CLICKS +
                      "rclick\nchoose 1\n%sscreenshot %s\n" % (slot_1_and_yes, loaded_shot))
        result, lines, _ = play(velmio, demo, os.path.join(work, "round_trip"), round_trip)
        expect("SAVE save1.dat" in lines and "LOAD save1.dat" in lines, "round trip: no save and load in %s" % lines[-6:])
        both = os.path.exists(saved_shot) and os.path.exists(loaded_shot)
        expect(both and Screenshot(saved_shot).rows == Screenshot(loaded_shot).rows,
               "round trip: the screen after the load differs from the save point's (or is missing)")

        # The author's check finds the demo clean (its reports on broken games: scenario.check_report).
        result = subprocess.run([velmio, "--check", game], capture_output=True, timeout=60)
        expect((result.returncode, result.stdout) == (0, b"no problems\n"),
               "--check: exit code %d, report %r" % (result.returncode, result.stdout))

        # Without a display the window cannot open: velmio says so and ends, instead of playing
        # on a window nobody can see. Only the X11 driver is offered, with no server named, so that
        # no compositor or console of the machine running the test can open one after all.
        environment = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
        environment.update(SDL_VIDEODRIVER="x11", XDG_RUNTIME_DIR=os.path.join(work, "xdg_runtime_dir"))
        try:
            result = subprocess.run([velmio, game], cwd=work, env=environment, capture_output=True, timeout=60)
            stderr = result.stderr.decode("utf-8", "replace")
            expect(result.returncode == 1 and "velmio: cannot open a window" in stderr,
                   "without a display: exit code %d, standard error: %s" % (result.returncode, stderr))
        except subprocess.TimeoutExpired:
            FAILURES.append("without a display velmio still runs after 60 s")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if FAILURES:
        print("\n".join(FAILURES))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
