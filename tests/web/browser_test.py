#!/usr/bin/env python3
"""The demo page in headless Chromium over WebDriver, served by a plain static server on
127.0.0.1 (no isolation headers, no https): it shows the title, moves on with a click (and sounds),
saves in slot 1 through the right-click menu into browser storage, after a reload loads that
save from the title, and takes the hero's name through the input dialog. Screens are compared with the native harness's at the same moments: the
canvas is at 1:1 below the 20-pixel menu bar, but the click cursor may show another cell of its
animation (under 1 % of the screen). bench/web_page.py measures the page's speed.
Usage: browser_test.py NATIVE_VELMIO SOURCE_DIR (exit 77 without the web build or chromedriver)
"""
import base64, functools, http.server, json, os, shutil, subprocess, sys, tempfile, threading, time, urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from screenshot_check import Screenshot  # noqa: E402

DRIVER_PORT = 9515 + os.getpid() % 1000
SAVE, LOAD = (320, 198, 0), (320, 226, 0)  # items 0 and 1 of the demo's five-item right-click menu
SLOT_1_YES = ((320, 170, 0), (250, 280, 0))  # README: slot 1, then the confirmation's はい


class Quiet(http.server.SimpleHTTPRequestHandler):
    log_message = lambda *args: None  # noqa: E731


def call(path, body=None, method="POST"):
    request = urllib.request.Request(f"http://127.0.0.1:{DRIVER_PORT}{path}", method=method,
                                     data=None if method == "GET" else json.dumps(body or {}).encode())
    with urllib.request.urlopen(request, timeout=60) as response:
        return json.load(response)["value"]


def alike(png, native):
    page, different = Screenshot("page", png), 0
    rows, step = page.rows[20:500], page.channels
    for row, expected in zip(rows, native.rows):
        rgb = bytearray(len(expected))
        for channel in range(3):
            rgb[channel::3] = row[channel:640 * step:step]
        different += rgb != expected and sum(abs(a - b) > 4 for a, b in zip(rgb, expected))
    return len(rows) == 480 and different < 0.01 * 640 * 480 * 3


def main():
    native, source = sys.argv[1], os.path.abspath(sys.argv[2])
    page = os.path.join(source, "build", "web")
    if not os.path.exists(os.path.join(page, "velmio.wasm")) or not shutil.which("chromedriver"):
        print("no web build (./scripts/web makes it) or no chromedriver: skipped")
        return 77
    work = tempfile.mkdtemp(prefix="velmio-browser-")
    # The title, the first page after it, and the page after the player typed the hero's name.
    shots = [os.path.join(work, f"{n}.png") for n in range(3)]
    with open(os.path.join(work, "input"), "w") as f:
        f.write("screenshot {}\nclick\nscreenshot {}\nclick\nchoose 1\ntext ソラ\nscreenshot {}\n".format(*shots))
    game = shutil.copytree(os.path.join(source, "demo"), os.path.join(work, "demo"))
    subprocess.run([native, "--headless", "--input", f.name, game], check=True,
                   env=dict(os.environ, XDG_DATA_HOME=work, XDG_CONFIG_HOME=work), capture_output=True)
    title, first, named = (Screenshot(shot) for shot in shots)

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Quiet, directory=page))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    driver = subprocess.Popen(["chromedriver", f"--port={DRIVER_PORT}"], stdout=subprocess.DEVNULL)
    failures, session = [], None
    try:
        time.sleep(1)
        session = "/session/" + call("/session", {"capabilities": {"alwaysMatch": {"goog:chromeOptions": {
            "args": ["--headless=new", "--no-sandbox", "--window-size=800,800"]}}}})["sessionId"]
        run = lambda script: call(session + "/execute/sync", {"script": script, "args": []})  # noqa: E731

        def wait_for(condition, what):
            deadline = time.time() + 30
            while not condition():
                assert time.time() < deadline, "timed out waiting for " + what
                time.sleep(0.1)

        def shows(native, what):
            wait_for(lambda: alike(base64.b64decode(call(session + "/screenshot", method="GET")), native), what)

        def click(*points):
            for x, y, button in points:
                call(session + "/actions", {"actions": [{"type": "pointer", "id": "mouse", "actions": [
                    {"type": "pointerMove", "x": x, "y": y + 20, "origin": "viewport"},
                    {"type": "pointerDown", "button": button}, {"type": "pointerUp", "button": button}]}]})
                time.sleep(0.5)

        def keys(*typed):
            for key in typed:
                call(session + "/actions", {"actions": [{"type": "key", "id": "keyboard", "actions": [
                    {"type": "keyDown", "value": key}, {"type": "keyUp", "value": key}]}]})
                time.sleep(0.1)

        def at_one_to_one():  # the stage cut to the frame's size, so that the page scales by 1
            wait_for(lambda: run("return typeof fitToWindow == 'function'"), "the page")
            run("stage.style.inset = 'auto'; stage.style.width = '640px'; stage.style.height = '500px';"
                "fitToWindow()")

        url = {"url": f"http://127.0.0.1:{server.server_address[1]}/"}
        call(session + "/url", url)
        at_one_to_one()
        shows(title, "the title")
        time.sleep(0.5)  # the last character shows a moment before the click wait, which a click would end
        click((320, 240, 0))
        shows(first, "the first page")
        # The browser lets a page sound only after a gesture: the output is made at that click.
        wait_for(lambda: run("const output = Module.SDL2 && Module.SDL2.audioContext;"
                             "return !!output && output.state == 'running' && output.currentTime > 0.2"),
                 "the sound output after the first click")
        run("Module.persistedOnce = false")  # envdata may have been stored already
        click((320, 240, 2), SAVE, *SLOT_1_YES)
        wait_for(lambda: run("return Module.persistedOnce === true && Module.velmioPersist.settled()"),
                 "the save in browser storage")
        call(session + "/url", url)
        at_one_to_one()
        shows(title, "the title after the reload")
        click((320, 240, 2), LOAD, *SLOT_1_YES)
        shows(first, "the page loaded from slot 1")
        # The input dialog waits for its own events, which the page must let the browser deliver.
        click((320, 240, 0))
        time.sleep(0.5)
        keys("\ue013", "\ue007")  # up to the last choice, "自分で名前をつける", and take it
        time.sleep(0.5)
        keys(*"ソラ", "\ue007")
        shows(named, "the page after the name typed into the input dialog")
    except AssertionError as error:
        failures.append(str(error))
    finally:
        try:  # quits the browser, which would outlive its chromedriver
            session and call(session, method="DELETE")
        except OSError:
            pass
        driver.terminate(), server.shutdown(), shutil.rmtree(work, ignore_errors=True)
    print("\n".join(failures) or "the page plays, saves and loads")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
