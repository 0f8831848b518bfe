#!/usr/bin/env python3
"""Plays a small game in the real window under a virtual X server (Xvfb).

Checks that the window has the menu bar above a 640 x 480 picture, that the story text is drawn,
that a menu item chosen with the mouse reaches the game (its setting is in "envdata" afterwards),
that the quit item asks before the program ends,
that full screen scales the picture with black bars and hides the menu bar until the pointer
reaches the top rows (when a window manager, evilwm, is there to grant full screen), and that a
click in the picture ends the click wait, and that the window carries the class of the desktop
entry and the icon. On a larger screen the window opens at twice the size, a click on a choice
there takes that choice, F11 steps the scaling to 1x (the picture centred with black around it),
full screen without a window manager covers the screen, and window.ini remembers size and scaling.

Usage: window_test.py VELMIO [ARTIFACT_DIR]. Exits 77 (skipped) when Xvfb, xdotool, xwd or xprop is
missing or no X server can be started.
"""
import fcntl
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 768


def skip(reason):
    print("skipped: " + reason)
    sys.exit(SKIP)


def read_xwd(path):
    """Returns (width, height, pixel(x, y) -> (r, g, b)) of an xwd dump of a 24-bit visual."""
    with open(path, "rb") as f:
        data = f.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line, colours = fields[7], fields[11], fields[12], fields[19]
    if bits_per_pixel != 32:
        raise RuntimeError("unexpected xwd depth %d" % bits_per_pixel)
    start = header_size + colours * 12
    unpack = "<I" if byte_order == 0 else ">I"

    def pixel(x, y):
        at = start + y * bytes_per_line + x * 4
        value = struct.unpack(unpack, data[at:at + 4])[0]
        return (value >> 16) & 255, (value >> 8) & 255, value & 255

    return width, height, pixel


class Session:
    def __init__(self, velmio, work, artifacts):
        self.velmio, self.work, self.artifacts = velmio, work, artifacts
        self.server = None
        self.window_manager = None
        self.game = None
        self.environment = dict(os.environ)

    def start_server(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, window_manager=True):
        read_end, write_end = os.pipe()
        try:
            self.server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
                 "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except OSError as error:
            skip("cannot start Xvfb: %s" % error)
        os.close(write_end)
        number = b""
        deadline = time.time() + 15
        while time.time() < deadline and not number.endswith(b"\n"):
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            skip("Xvfb did not start")
        self.environment["DISPLAY"] = ":" + number.decode().strip()
        # Full screen is something a window manager grants; without one only the window is tested.
        if window_manager and shutil.which("evilwm"):
            self.window_manager = subprocess.Popen(["evilwm", "-fn", "fixed"], env=self.environment,
                                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            time.sleep(0.3)
            if self.window_manager.poll() is not None:
                self.window_manager = None

    def run(self, *command, check=True):
        return subprocess.run(list(command), env=self.environment, capture_output=True, text=True, timeout=30,
                              check=check).stdout

    def start_game(self, folder):
        for variable in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
            path = os.path.join(self.work, variable.lower())
            os.makedirs(path, mode=0o700, exist_ok=True)
            self.environment[variable] = path
        # SDL's D-Bus connection keeps its allocations until exit on purpose, and the leak checker
        # cannot even unwind through the library to name them; the engine's own leaks are caught
        # by the headless tests.
        options = os.environ.get("ASAN_OPTIONS", "")
        self.environment["ASAN_OPTIONS"] = (options + ":" if options else "") + "detect_leaks=0"
        self.log = os.path.join(self.work, "log.txt")
        self.stderr = open(os.path.join(self.work, "stderr.txt"), "w")
        self.game = subprocess.Popen([self.velmio, "--log", self.log, folder], env=self.environment,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr)
        deadline = time.time() + 30
        self.window = None
        while time.time() < deadline and self.game.poll() is None:
            found = self.run("xdotool", "search", "--onlyvisible", "--pid", str(self.game.pid), check=False).split()
            if found:
                self.window = found[0]
                return
            time.sleep(0.05)
        raise RuntimeError("the window did not appear")

    def wait_for_log(self, line, seconds=20):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if os.path.exists(self.log):
                with open(self.log, encoding="utf-8") as f:
                    if line in f.read().splitlines():
                        return
            time.sleep(0.05)
        raise RuntimeError("the log never showed %r" % line)

    def capture(self, name):
        path = os.path.join(self.work, name + ".xwd")
        self.run("xwd", "-silent", "-id", self.window, "-out", path)
        if self.artifacts:
            shutil.copy(path, self.artifacts)
        return read_xwd(path)

    def capture_until(self, name, problems_of, seconds=15):
        """Captures the window until `problems_of(capture)` is empty; returns the last problems."""
        deadline = time.time() + seconds
        while True:
            problems = problems_of(self.capture(name))
            if not problems or time.time() > deadline:
                return problems
            time.sleep(0.1)

    def click(self, x, y):
        self.run("xdotool", "mousemove", "--window", self.window, str(x), str(y), "click", "1")

    def move(self, x, y):
        self.run("xdotool", "mousemove", "--window", self.window, str(x), str(y))

    def stop(self):
        if self.game and self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        if self.window_manager:
            self.window_manager.terminate()
            self.window_manager.wait()
        if self.server:
            self.server.terminate()
            self.server.wait()


def headless_lock_path(runtime, game):
    """The lock a headless run of `game` holds: named from an FNV-1a hash of its real path."""
    value = 0xCBF29CE484222325
    for byte in os.path.realpath(game).encode():
        value = ((value ^ byte) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return os.path.join(runtime, "velmio", "game-%016x.lock" % value)


def render_box(session, title, text, style):
    """(left, top, width, height, rgb bytes, buttons) of the box as box_render draws it."""
    tool = os.environ.get("VELMIO_BOX_RENDER")
    if not tool:
        raise RuntimeError("VELMIO_BOX_RENDER is not set")
    path = os.path.join(session.work, "box.ppm")
    lines = session.run(tool, path, title, text, style).split("\n")
    with open(path, "rb") as f:
        data = f.read()
    magic, size, _depth, pixels = data.split(b"\n", 3)
    width, height = map(int, size.split())
    left, top = map(int, lines[0].split())
    buttons = [tuple(map(int, line.split())) for line in lines[1:] if line.strip()]
    return left, top, width, height, pixels, buttons


def box_differences(shot, box, x0, y0, areas):
    """Pixels of `areas` (box coordinates) that differ between the capture, with the box's
    top-left at window (x0, y0), and the rendering."""
    _width, _height, pixel = shot
    _left, _top, width, _height, pixels, _buttons = box
    differing = 0
    for ax, ay, aw, ah in areas:
        for y in range(ay, ay + ah):
            for x in range(ax, ax + aw):
                at = (y * width + x) * 3
                if pixel(x0 + x, y0 + y) != tuple(pixels[at:at + 3]):
                    differing += 1
    return differing


def is_black(rgb):
    return max(rgb) < 16


def check_window(width, height, pixel):
    failures = []
    if (width, height) != (640, 500):
        return ["the window is %dx%d, expected 640x500 (a 20-row menu bar above 640x480)" % (width, height)]
    bar = [pixel(x, y) for y in range(20) for x in range(0, 640, 2)]
    light = sum(1 for p in bar if min(p) > 200)
    dark = sum(1 for p in bar if max(p) < 120)
    if light < len(bar) * 0.6 or dark < 30:
        failures.append("no menu bar with text in the top 20 rows (light %d, dark %d)" % (light, dark))
    picture = [pixel(x, y) for y in range(20, 500, 3) for x in range(0, 640, 3)]
    black = sum(1 for p in picture if is_black(p))
    if black < len(picture) * 0.9:
        failures.append("the picture is not the black page of the game")
    text = sum(1 for y in range(30, 80) for x in range(0, 320) if min(pixel(x, y)) > 200)
    if text < 100:
        failures.append("no story text in the picture")
    return failures


def check_second_copy(session, game):
    """A second copy says why it stops in a box of its own, with no empty game window first."""
    second = subprocess.Popen([session.velmio, game], env=session.environment, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    failures = []
    try:
        box = render_box(session, "起動エラー", "同時に二つ実行しないでください", "ok")
        width, height = box[2], box[3]
        deadline = time.time() + 20
        window = None
        while time.time() < deadline and second.poll() is None and not window:
            found = session.run("xdotool", "search", "--onlyvisible", "--pid", str(second.pid), check=False).split()
            window = found[0] if found else None
            time.sleep(0.05)
        if not window:
            return ["the second copy showed no box"]
        path = os.path.join(session.work, "second.xwd")
        deadline = time.time() + 15
        while True:
            session.run("xwd", "-silent", "-id", window, "-out", path)
            shot = read_xwd(path)
            if (shot[0], shot[1]) != (width, height):
                problem = "the second copy's window is %dx%d, not the box's %dx%d" % (shot[0], shot[1], width, height)
            elif box_differences(shot, box, 0, 0, [(0, 0, width, height)]):
                problem = "the second copy's box differs from the program's drawing of it"
            else:
                problem = None
            if not problem or time.time() > deadline:
                break
            time.sleep(0.1)
        if problem:
            failures.append(problem)
        if session.artifacts:
            shutil.copy(path, session.artifacts)
        ok_left, ok_top, ok_width, ok_height = box[5][0]
        session.run("xdotool", "mousemove", "--window", window, str(ok_left - box[0] + ok_width // 2),
                    str(ok_top - box[1] + ok_height // 2), "click", "1", check=False)
        if second.wait(timeout=20) != 1:
            failures.append("the second copy exited with %d, not 1" % second.returncode)
    finally:
        if second.poll() is None:
            second.kill()
            second.wait()
    return failures


def write_game(work, scenario):
    """A game folder under work holding the scenario as 0.txt, in Shift JIS."""
    game = os.path.join(work, "game")
    os.mkdir(game)
    with open(os.path.join(game, "0.txt"), "wb") as f:
        f.write(scenario.encode("cp932"))
    return game


def check_scaled_window(velmio, work, artifacts):
    """A 2x window: choices are taken where they are seen; F11 to 1x; full screen that no window
    manager grants; window.ini keeps the window's size and the scaling."""
    session = Session(velmio, work, artifacts)
    failures = []
    try:
        session.start_server(1600, 1200, window_manager=False)
        game = write_game(work, "*define\ngame\n*start\nbg #4080c0,1\nselect \"一番\",*one,\"二番\",*two\n"
                                "*one\n一番。@\nend\n*two\n二番。@\nend\n")
        session.start_game(game)
        session.wait_for_log("CHOICE 1 二番")
        failures += session.capture_until("2x", lambda shot: [] if shot[:2] == (1280, 1000) and
                                          not is_black(shot[2](100, 500))
                                          else ["the window is %dx%d without the picture at 2x" % shot[:2]])
        # The second choice covers picture rows 44 to 71 from x 9: its middle (35, 58) is at
        # (70, 2 * (20 + 58)) in the window.
        session.click(70, 156)
        session.wait_for_log("TEXT 二番。@")
        session.run("xdotool", "key", "--window", session.window, "F11", "F11")
        failures += session.capture_until("1x", lambda shot: [] if is_black(shot[2](100, 500)) and
                                          not is_black(shot[2](640, 500))
                                          else ["F11 twice did not show the picture at 1x"])
        session.run("xdotool", "key", "--window", session.window, "alt+Return")
        failures += session.capture_until("nowm-fullscreen", lambda shot: [] if shot[:2] == (1600, 1200) and
                                          is_black(shot[2](400, 600)) and not is_black(shot[2](800, 600))
                                          else ["full screen is %dx%d without the picture at its centre" % shot[:2]])
        session.run("xdotool", "key", "--window", session.window, "alt+Return")
        failures += session.capture_until("back", lambda shot: [] if shot[:2] == (1280, 1000) else
                                          ["back from full screen the window is %dx%d" % shot[:2]])
        session.click(640, 500)
        session.game.wait(timeout=30)
        with open(os.path.join(work, "xdg_config_home", "velmio", "window.ini")) as f:
            settings = f.read()
        for line in ("scaling=1x", "width=1280", "height=1000"):
            if line not in settings.splitlines():
                failures.append("window.ini lacks %s: %r" % (line, settings))
    except (RuntimeError, subprocess.SubprocessError, OSError) as error:
        failures.append("scaled window: %s" % error)
    finally:
        session.stop()
    return failures


def main():
    velmio = os.path.abspath(sys.argv[1])
    artifacts = sys.argv[2] if len(sys.argv) > 2 else None
    for tool in ("Xvfb", "xdotool", "xwd", "xprop"):
        if shutil.which(tool) is None:
            skip("%s is not installed (scripts/setup installs it)" % tool)
    work = tempfile.mkdtemp(prefix="velmio-window-")
    session = Session(velmio, work, artifacts)
    failures = []
    try:
        session.start_server()
        game = write_game(work, "*define\ncaption \"窓のテスト\"\ngame\n*start\n"
                                "こんにちは、世界。\\\nフルスクリーン\\\nend\n")
        # A headless run of the same game is going (its lock is held): the window still starts.
        runtime = os.path.join(work, "xdg_runtime_dir")
        os.makedirs(os.path.join(runtime, "velmio"), mode=0o700, exist_ok=True)
        headless_lock = open(headless_lock_path(runtime, game), "w")
        fcntl.flock(headless_lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
        session.start_game(game)
        session.wait_for_log("TEXT こんにちは、世界。\\")
        failures += check_second_copy(session, game)
        problems = session.capture_until("window", lambda shot: check_window(*shot))
        failures += problems
        # The desktop shows the window under the launcher of the same class, with its icon.
        properties = session.run("xprop", "-id", session.window, "WM_CLASS", "_NET_WM_ICON", check=False)
        if '"io.velmio.Velmio"' not in properties or "Icon (48 x 48)" not in properties:
            failures.append("the window lacks the class io.velmio.Velmio or the icon: " + properties[:200])

        # 表示形式 (the fifth item) -> 一ページごと (the second entry of its popup).
        session.click(290, 10)
        if session.capture_until("popup", lambda shot: ["closed"] if is_black(shot[2](300, 55)) else []):
            failures.append("the popup of the display mode item did not open")
        session.click(310, 52)
        if session.capture_until("popup-closed", lambda shot: [] if is_black(shot[2](300, 55)) else ["open"]):
            failures.append("the popup did not close after the choice")
        session.click(320, 300)
        session.wait_for_log("TEXT フルスクリーン\\")

        # 終了 asks in the program's own box: its buttons are はい and いいえ exactly as the program
        # draws them, and Escape answers いいえ, so the game goes on.
        session.click(12, 10)
        session.wait_for_log("MESSAGEBOX 終了確認: 終了しますか？")
        box = render_box(session, "終了確認", "終了しますか？", "yesno")
        left, top = box[0], box[1]
        buttons = [(x - left, y - top, w, h) for x, y, w, h in box[5]]
        if session.capture_until("quit-box", lambda shot: ["differs"] if box_differences(
                shot, box, left, 20 + top, buttons) else []):
            failures.append("the buttons of the quit confirmation differ from はい/いいえ as the program draws them")
        session.run("xdotool", "key", "--window", session.window, "Escape", check=False)
        if session.capture_until("quit-box-gone", lambda shot: [] if box_differences(
                shot, box, left, 20 + top, buttons) else ["still there"]):
            failures.append("Escape did not close the quit confirmation")
        if session.game.poll() is not None:
            failures.append("the game ended although the quit confirmation was declined")

        # 画面 -> フルスクリーン, with the pointer then low on the screen.
        session.click(62, 10)
        session.capture_until("screen-popup", lambda shot: ["closed"] if is_black(shot[2](80, 31)) else [])
        session.click(80, 31)
        full_screen = False
        if not session.window_manager:
            print("note: no window manager (evilwm), full screen not checked")
        else:
            session.move(640, 600)

            def low_pointer(shot):
                width, height, pixel = shot
                if (width, height) != (SCREEN_WIDTH, SCREEN_HEIGHT):
                    return ["full screen window is %dx%d" % (width, height)]
                if not all(is_black(pixel(x, y)) for x in (0, 100, 1179, 1279) for y in (5, 400, 760)):
                    return ["no black bars beside the scaled picture"]
                if not is_black(pixel(640, 8)):
                    return ["the menu bar shows while the pointer is low"]
                return []

            problems = session.capture_until("fullscreen", low_pointer)
            failures += problems
            full_screen = not problems
            if full_screen:
                session.move(640, 5)
                if session.capture_until("fullscreen-menu", lambda shot: ["hidden"] if is_black(shot[2](200, 8)) else []):
                    failures.append("the menu bar does not show when the pointer is at the top")
        # 終了 asks first (in a box of the desktop, or drawn over the picture where the desktop
        # cannot show one); Enter answers yes.
        if full_screen:
            session.move(144, 5)
            time.sleep(0.3)
            session.click(144, 8)
        else:
            session.click(12, 10)
        session.wait_for_log("MESSAGEBOX 終了確認: 終了しますか？")
        # The box takes the keyboard a moment after the log names it: press Enter until the game
        # has gone, rather than guessing how long that moment is.
        deadline = time.time() + 30
        while session.game.poll() is None and time.time() < deadline:
            session.run("xdotool", "key", "Return", check=False)
            try:
                session.game.wait(timeout=0.2)
            except subprocess.TimeoutExpired:
                pass
        session.game.wait(timeout=30)
        if session.game.returncode != 0:
            failures.append("exit code %d" % session.game.returncode)
        with open(os.path.join(game, "envdata"), "rb") as f:
            settings = f.read()
        remembered_full_screen, wave, speed, page_mode = struct.unpack("<4i", settings[:16])
        if page_mode != 1:
            failures.append("the menu choice 一ページごと did not reach the game (envdata %r)" % settings)
        if full_screen and remembered_full_screen != 1:
            failures.append("envdata does not remember full screen")
    except (RuntimeError, subprocess.SubprocessError) as error:
        failures.append(str(error))
    finally:
        session.stop()
    scaled = os.path.join(work, "scaled")
    os.mkdir(scaled)
    failures += check_scaled_window(velmio, scaled, artifacts)
    if failures:
        with open(os.path.join(work, "stderr.txt")) as f:
            print(f.read())
        print("FAILED:\n  " + "\n  ".join(failures))
        print("files kept in " + work)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("window test passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
