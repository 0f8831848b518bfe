#!/usr/bin/env python3
"""Plays small games in the real window under a virtual X server (Xvfb): the menu bar above the
picture and its items, the quit confirmation, a second copy refused, full screen, the class and
icon of the desktop entry, and on a larger screen the doubled window, its scaling and window.ini.

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
from pathlib import Path

SKIP = 77
SCREEN_WIDTH, SCREEN_HEIGHT = 1280, 768


def skip(reason):
    print("skipped: " + reason)
    sys.exit(SKIP)


def until(seconds, attempt, pause=0.05, done=bool):
    """Calls `attempt` until `done` holds for its result or `seconds` have passed; returns the last result."""
    deadline = time.time() + seconds
    while not done(result := attempt()) and time.time() < deadline:
        time.sleep(pause)
    return result


def read_xwd(path):
    """Returns (width, height, pixel(x, y) -> (r, g, b)) of an xwd dump of a 24-bit visual."""
    data = Path(path).read_bytes()
    fields = struct.unpack(">25I", data[:100])
    if fields[11] != 32:
        raise RuntimeError("unexpected xwd depth %d" % fields[11])
    start, order, stride = fields[0] + fields[19] * 12, "<>"[fields[7] != 0], fields[12]

    def pixel(x, y):
        value, = struct.unpack_from(order + "I", data, start + y * stride + x * 4)
        return (value >> 16) & 255, (value >> 8) & 255, value & 255

    return fields[4], fields[5], pixel


class Session:
    def __init__(self, velmio, work, artifacts):
        self.velmio, self.work, self.artifacts = velmio, work, artifacts
        self.server = self.window_manager = self.game = None
        self.environment = dict(os.environ)
        self.failures = []

    def start_server(self, width=SCREEN_WIDTH, height=SCREEN_HEIGHT, window_manager=True):
        read_end, write_end = os.pipe()
        try:
            self.server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (width, height),
                 "-nolisten", "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        except OSError as error:
            skip("cannot start Xvfb: %s" % error)
        os.close(write_end)
        # Xvfb writes its display number once it listens; the pipe ends empty if it cannot start.
        with os.fdopen(read_end) as pipe:
            self.environment["DISPLAY"] = ":" + pipe.readline().strip()
        if self.environment["DISPLAY"] == ":":
            skip("Xvfb did not start")
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

    def find_window(self, process, what):
        found = until(30, lambda: self.run("xdotool", "search", "--onlyvisible", "--pid", str(process.pid),
                                           check=False).split(), done=lambda found: found or process.poll() is not None)
        if not found:
            raise RuntimeError("%s did not appear" % what)
        return found[0]

    def start_game(self, folder):
        for variable in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
            self.environment[variable] = os.path.join(self.work, variable.lower())
            os.makedirs(self.environment[variable], mode=0o700, exist_ok=True)
        # SDL's D-Bus connection keeps its allocations until exit on purpose, and the leak checker
        # cannot even unwind through the library to name them; the engine's own leaks are caught
        # by the headless tests.
        self.environment["ASAN_OPTIONS"] = ":".join(filter(None, (os.environ.get("ASAN_OPTIONS"), "detect_leaks=0")))
        self.log = os.path.join(self.work, "log.txt")
        self.stderr = open(os.path.join(self.work, "stderr.txt"), "w")
        self.game = subprocess.Popen([self.velmio, "--log", self.log, folder], env=self.environment,
                                     stdout=subprocess.DEVNULL, stderr=self.stderr)
        self.window = self.find_window(self.game, "the window")

    def wait_for_log(self, line, seconds=20):
        log = Path(self.log)
        if not until(seconds, lambda: log.exists() and line in log.read_text("utf-8").splitlines()):
            raise RuntimeError("the log never showed %r" % line)

    def expect(self, name, problem_of, window=None, seconds=15):
        """Captures the window until `problem_of(capture)` names no problem, else records the last
        problem named; True when none was."""
        path = os.path.join(self.work, name + ".xwd")

        def capture():
            self.run("xwd", "-silent", "-id", window or self.window, "-out", path)
            return problem_of(read_xwd(path))

        problem = until(seconds, capture, 0.1, done=lambda problem: not problem)
        if self.artifacts:
            shutil.copy(path, self.artifacts)
        if problem:
            self.failures.append(problem)
        return not problem

    def see(self, name, holds, problem):
        return self.expect(name, lambda shot: None if holds(shot) else problem)

    def click(self, x, y, window=None, press=("click", "1")):
        self.run("xdotool", "mousemove", "--window", window or self.window, str(x), str(y), *press, check=False)

    def key(self, *keys):
        self.run("xdotool", "key", "--window", self.window, *keys, check=False)

    def stop(self):
        for process, end in ((self.game, "kill"), (self.window_manager, "terminate"), (self.server, "terminate")):
            if process and process.poll() is None:
                getattr(process, end)()
                process.wait()


def headless_lock_path(runtime, game):
    """The lock a headless run of `game` holds: named from an FNV-1a hash of its real path."""
    value = 0xCBF29CE484222325
    for byte in os.path.realpath(game).encode():
        value = ((value ^ byte) * 0x100000001B3) & 0xFFFFFFFFFFFFFFFF
    return os.path.join(runtime, "velmio", "game-%016x.lock" % value)


def render_box(session, title, text, style):
    """(left, top, width, height, rgb bytes, buttons) of the box as box_render draws it."""
    path = os.path.join(session.work, "box.ppm")
    lines = [tuple(map(int, line.split())) for line in
             session.run(os.environ["VELMIO_BOX_RENDER"], path, title, text, style).splitlines()]
    _magic, size, _depth, pixels = Path(path).read_bytes().split(b"\n", 3)
    return (*lines[0], *map(int, size.split()), pixels, lines[1:])


def box_differences(shot, box, x0, y0, areas):
    """Pixels of `areas` (box coordinates) that differ between the capture, with the box's
    top-left at window (x0, y0), and the rendering."""
    pixel, width, rgb = shot[2], box[2], box[4]
    return sum(1 for ax, ay, aw, ah in areas for y in range(ay, ay + ah) for x in range(ax, ax + aw)
               if pixel(x0 + x, y0 + y) != tuple(rgb[(y * width + x) * 3:(y * width + x) * 3 + 3]))


def is_black(rgb):
    return max(rgb) < 16


def check_window(shot):
    width, height, pixel = shot
    if (width, height) != (640, 500):
        return "the window is %dx%d, expected 640x500 (a 20-row menu bar above 640x480)" % (width, height)
    bar = [pixel(x, y) for y in range(20) for x in range(0, 640, 2)]
    light = sum(1 for p in bar if min(p) > 200)
    dark = sum(1 for p in bar if max(p) < 120)
    if light < len(bar) * 0.6 or dark < 30:
        return "no menu bar with text in the top 20 rows (light %d, dark %d)" % (light, dark)
    picture = [pixel(x, y) for y in range(20, 500, 3) for x in range(0, 640, 3)]
    if sum(1 for p in picture if is_black(p)) < len(picture) * 0.9:
        return "the picture is not the black page of the game"
    if sum(1 for y in range(30, 80) for x in range(0, 320) if min(pixel(x, y)) > 200) < 100:
        return "no story text in the picture"
    return None


def check_second_copy(session, game):
    """A second copy says why it stops in a box of its own, with no empty game window first."""
    second = subprocess.Popen([session.velmio, game], env=session.environment, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    try:
        box = left, top, width, height, _pixels, [(ok_left, ok_top, ok_width, ok_height)] = render_box(
            session, "起動エラー", "同時に二つ実行しないでください", "ok")
        window = session.find_window(second, "the second copy's box")
        session.expect("second", lambda shot: "the second copy's window is %dx%d, not the box's %dx%d" % (
            *shot[:2], width, height) if shot[:2] != (width, height) else "the second copy's box differs from the "
            "program's drawing of it" if box_differences(shot, box, 0, 0, [(0, 0, width, height)]) else None, window)
        session.click(ok_left - left + ok_width // 2, ok_top - top + ok_height // 2, window)
        if second.wait(timeout=20) != 1:
            session.failures.append("the second copy exited with %d, not 1" % second.returncode)
    finally:
        if second.poll() is None:
            second.kill()
            second.wait()


def write_game(work, scenario):
    """A game folder under work holding the scenario as 0.txt, in Shift JIS."""
    game = os.path.join(work, "game")
    os.mkdir(game)
    Path(game, "0.txt").write_bytes(scenario.encode("cp932"))
    return game


def check_scaled_window(session):
    """A 2x window: choices are taken where they are seen; F11 to 1x; full screen that no window
    manager grants; window.ini keeps the window's size and the scaling."""
    session.start_server(1600, 1200, window_manager=False)
    game = write_game(session.work, "*define\ngame\n*start\nbg #4080c0,1\nselect \"一番\",*one,\"二番\",*two\n"
                                    "*one\n一番。@\nend\n*two\n二番。@\nend\n")
    session.start_game(game)
    session.wait_for_log("CHOICE 1 二番")
    session.expect("2x", lambda shot: None if shot[:2] == (1280, 1000) and not is_black(shot[2](100, 500))
                   else "the window is %dx%d without the picture at 2x" % shot[:2])
    # The second choice covers picture rows 44 to 71 from x 9: its middle (35, 58) is at
    # (70, 2 * (20 + 58)) in the window.
    session.click(70, 156)
    session.wait_for_log("TEXT 二番。@")
    session.key("F11", "F11")
    session.see("1x", lambda shot: is_black(shot[2](100, 500)) and not is_black(shot[2](640, 500)),
                "F11 twice did not show the picture at 1x")
    session.key("alt+Return")
    session.expect("nowm-fullscreen", lambda shot: None if shot[:2] == (1600, 1200) and is_black(shot[2](400, 600))
                   and not is_black(shot[2](800, 600))
                   else "full screen is %dx%d without the picture at its centre" % shot[:2])
    session.key("alt+Return")
    session.expect("back", lambda shot: None if shot[:2] == (1280, 1000) else
                   "back from full screen the window is %dx%d" % shot[:2])
    session.click(640, 500)
    session.game.wait(timeout=30)
    settings = Path(session.work, "xdg_config_home", "velmio", "window.ini").read_text()
    session.failures += ["window.ini lacks %s: %r" % (line, settings) for line in ("scaling=1x", "width=1280",
                         "height=1000") if line not in settings.splitlines()]


def check_menu_bar_and_full_screen(session):
    session.start_server()
    game = write_game(session.work, "*define\ncaption \"窓のテスト\"\ngame\n*start\n"
                                    "こんにちは、世界。\\\nフルスクリーン\\\nend\n")
    # A headless run of the same game is going (its lock is held): the window still starts.
    runtime = os.path.join(session.work, "xdg_runtime_dir")
    os.makedirs(os.path.join(runtime, "velmio"), mode=0o700, exist_ok=True)
    headless_lock = open(headless_lock_path(runtime, game), "w")
    fcntl.flock(headless_lock, fcntl.LOCK_EX | fcntl.LOCK_NB)
    session.start_game(game)
    session.wait_for_log("TEXT こんにちは、世界。\\")
    check_second_copy(session, game)
    session.expect("window", check_window)
    # The desktop shows the window under the launcher of the same class, with its icon.
    properties = session.run("xprop", "-id", session.window, "WM_CLASS", "_NET_WM_ICON", check=False)
    if '"io.velmio.Velmio"' not in properties or "Icon (48 x 48)" not in properties:
        session.failures.append("the window lacks the class io.velmio.Velmio or the icon: " + properties[:200])

    # 表示形式 (the fifth item) -> 一ページごと (the second entry of its popup).
    session.click(290, 10)
    session.see("popup", lambda shot: not is_black(shot[2](300, 55)), "the popup of the display mode item did not open")
    session.click(310, 52)
    session.see("popup-closed", lambda shot: is_black(shot[2](300, 55)), "the popup did not close after the choice")
    session.click(320, 300)
    session.wait_for_log("TEXT フルスクリーン\\")

    # 終了 asks in the program's own box: its buttons are はい and いいえ exactly as the program
    # draws them, and Escape answers いいえ, so the game goes on.
    session.click(12, 10)
    session.wait_for_log("MESSAGEBOX 終了確認: 終了しますか？")
    box = left, top, *_, button_areas = render_box(session, "終了確認", "終了しますか？", "yesno")
    buttons = [(x - left, y - top, w, h) for x, y, w, h in button_areas]
    session.see("quit-box", lambda shot: not box_differences(shot, box, left, 20 + top, buttons),
                "the buttons of the quit confirmation differ from はい/いいえ as the program draws them")
    session.key("Escape")
    session.see("quit-box-gone", lambda shot: box_differences(shot, box, left, 20 + top, buttons),
                "Escape did not close the quit confirmation")
    if session.game.poll() is not None:
        session.failures.append("the game ended although the quit confirmation was declined")

    # 画面 -> フルスクリーン, with the pointer then low on the screen.
    session.click(62, 10)
    session.see("screen-popup", lambda shot: not is_black(shot[2](80, 31)), "the popup of the screen item did not open")
    session.click(80, 31)
    full_screen = False
    if not session.window_manager:
        print("note: no window manager (evilwm), full screen not checked")
    else:
        session.click(640, 600, press=())

        full_screen = session.expect("fullscreen", lambda shot: "full screen window is %dx%d" % shot[:2]
                                     if shot[:2] != (SCREEN_WIDTH, SCREEN_HEIGHT) else "no black bars beside the "
                                     "scaled picture" if not all(is_black(shot[2](x, y)) for x in (0, 100, 1179, 1279)
                                                                 for y in (5, 400, 760)) else
                                     "the menu bar shows while the pointer is low" if not is_black(shot[2](640, 8))
                                     else None)
        if full_screen:
            session.click(640, 5, press=())
            session.see("fullscreen-menu", lambda shot: not is_black(shot[2](200, 8)),
                        "the menu bar does not show when the pointer is at the top")
    # 終了 asks first (in a box of the desktop, or drawn over the picture where the desktop
    # cannot show one); Enter answers yes.
    if full_screen:
        session.click(144, 5, press=())
        time.sleep(0.3)
        session.click(144, 8)
    else:
        session.click(12, 10)
    session.wait_for_log("MESSAGEBOX 終了確認: 終了しますか？")
    # The box takes the keyboard a moment after the log names it: press Enter until the game
    # has gone, rather than guessing how long that moment is.
    until(30, lambda: session.run("xdotool", "key", "Return", check=False), 0.2,
          done=lambda _: session.game.poll() is not None)
    if session.game.wait(timeout=30) != 0:
        session.failures.append("exit code %d" % session.game.returncode)
    settings = Path(game, "envdata").read_bytes()
    remembered_full_screen, _wave, _speed, page_mode = struct.unpack("<4i", settings[:16])
    if page_mode != 1:
        session.failures.append("the menu choice 一ページごと did not reach the game (envdata %r)" % settings)
    if full_screen and remembered_full_screen != 1:
        session.failures.append("envdata does not remember full screen")


def main():
    velmio = os.path.abspath(sys.argv[1])
    artifacts = sys.argv[2] if len(sys.argv) > 2 else None
    for tool in ("Xvfb", "xdotool", "xwd", "xprop"):
        if shutil.which(tool) is None:
            skip("%s is not installed (scripts/setup installs it)" % tool)
    work = tempfile.mkdtemp(prefix="velmio-window-")
    failures = []
    for check, folder in ((check_menu_bar_and_full_screen, work), (check_scaled_window, os.path.join(work, "scaled"))):
        os.makedirs(folder, exist_ok=True)
        session = Session(velmio, folder, artifacts)
        try:
            check(session)
        except (RuntimeError, subprocess.SubprocessError, OSError) as error:
            session.failures.append("%s: %s" % (check.__name__, error))
        finally:
            session.stop()
        failures += session.failures
    if failures:
        print(Path(work, "stderr.txt").read_text() + "\nFAILED:\n  " + "\n  ".join(failures))
        print("files kept in " + work)
        return 1
    shutil.rmtree(work, ignore_errors=True)
    print("window test passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
