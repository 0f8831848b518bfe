#!/usr/bin/env python3
"""The demo page in headless Chromium, driven over WebDriver: served from 127.0.0.1 by a plain
static server, it isolates itself (the service worker), shows the title within the budget, moves
on with a click, uses next to no CPU while it waits, saves through the right-click menu into
browser storage, and after a reload loads that save. Each screen is compared with the native
harness's screenshot of the same moment (the canvas at 1:1, below the 20-pixel menu bar).
Usage: browser_test.py NATIVE_VELMIO SOURCE_DIR (exit 77 without the web build or Chromium)
"""
import base64, functools, http.server, json, os, shutil, socket, subprocess, sys, tempfile, threading, time
import urllib.request

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from screenshot_check import Screenshot  # noqa: E402

TITLE_BUDGET_MS = 3000
BAR = 20  # the menu bar above the 640 x 480 screen
# Slot 1 of the save and load pages and the confirmation's はい (README), left clicks.
SLOT_1_YES = ((320, 170, 0), (250, 280, 0))


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Browser:
    def __init__(self, port):
        self.base = f"http://127.0.0.1:{port}"
        self.session = self.call("POST", "/session", {"capabilities": {"alwaysMatch": {"goog:chromeOptions": {
            "args": ["--headless=new", "--no-sandbox", "--window-size=640,500", "--autoplay-policy=no-user-gesture-required"]}}}})["sessionId"]

    def call(self, method, path, body=None):
        if path != "/session":
            path = f"/session/{self.session}{path}"
        request = urllib.request.Request(self.base + path, method=method, data=json.dumps(body or {}).encode(),
                                         headers={"Content-Type": "application/json"})
        with urllib.request.urlopen(request, timeout=60) as response:
            return json.load(response)["value"]

    def run(self, script):
        return self.call("POST", "/execute/sync", {"script": script, "args": []})

    def screen(self):
        """The 640 x 480 screen as rows of RGBA bytes."""
        png = base64.b64decode(self.call("GET", "/screenshot"))
        return [row for row in Screenshot("page", png).rows[BAR:BAR + 480]]

    def click(self, x, y, button=0):
        pointer = {"type": "pointer", "id": "mouse", "actions": [
            {"type": "pointerMove", "x": x, "y": y + BAR, "origin": "viewport"},
            {"type": "pointerDown", "button": button}, {"type": "pointerUp", "button": button}]}
        self.call("POST", "/actions", {"actions": [pointer]})

    def wait_for(self, condition, seconds, what):
        deadline = time.time() + seconds
        while time.time() < deadline:
            if condition():
                return
            time.sleep(0.1)
        raise AssertionError("timed out waiting for " + what)


def alike(rows, native):
    """The page's screen against the native screenshot: at 1:1 nothing is scaled, but the click
    cursor may show another cell of its animation (under 1 % of the screen) and WebGL may round a
    colour by a level or two."""
    different = 0
    for row, expected in zip(rows, native.rows):
        rgb = bytearray(len(expected))
        for channel in range(3):
            rgb[channel::3] = row[channel::4][:len(expected) // 3]
        different += sum(abs(a - b) > 4 for a, b in zip(rgb, expected)) if rgb != expected else 0
    return len(rows) == len(native.rows) and different < 0.01 * len(native.rows) * len(expected)


def cpu_seconds(root):
    """User and system time of a process and all its descendants."""
    children, total = {}, 0.0
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            children.setdefault(int(fields[1]), []).append((int(pid), int(fields[11]) + int(fields[12])))
        except OSError:
            pass
    pending = [root]
    while pending:
        for pid, ticks in children.get(pending.pop(), []):
            total += ticks / os.sysconf("SC_CLK_TCK")
            pending.append(pid)
    return total


def main():
    native, source = sys.argv[1], os.path.abspath(sys.argv[2])
    page = os.path.join(source, "build", "web")
    if not os.path.exists(os.path.join(page, "velmio.wasm")) or not shutil.which("chromedriver"):
        print("no web build (./scripts/web makes it) or no chromedriver: skipped")
        return 77
    work = tempfile.mkdtemp(prefix="velmio-browser-")
    # The native screens: the title, the first click wait after it, and the one after that.
    shots = [os.path.join(work, f"{n}.png") for n in range(3)]
    with open(os.path.join(work, "input"), "w") as f:
        f.write("screenshot {}\nclick\nscreenshot {}\nclick\nscreenshot {}\n".format(*shots))
    game = shutil.copytree(os.path.join(source, "demo"), os.path.join(work, "demo"))
    subprocess.run([native, "--headless", "--input", os.path.join(work, "input"), "--max-time", "60000", game],
                   env=dict(os.environ, XDG_DATA_HOME=work, XDG_CONFIG_HOME=work), capture_output=True, check=True)
    title, first, second = (Screenshot(shot) for shot in shots)

    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=page)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    handler.log_message = lambda *args: None
    threading.Thread(target=server.serve_forever, daemon=True).start()
    driver_port = free_port()
    driver = subprocess.Popen(["chromedriver", f"--port={driver_port}"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    failures = []
    try:
        time.sleep(1)
        browser = Browser(driver_port)
        url = f"http://127.0.0.1:{server.server_address[1]}/"

        def shows(native, seconds, what):
            browser.wait_for(lambda: alike(browser.screen(), native), seconds, what)

        browser.call("POST", "/url", {"url": url})
        browser.wait_for(lambda: browser.run("return window.crossOriginIsolated"), 20, "the isolated page")
        shows(title, 20, "the title")
        title_ms = browser.run("return performance.now()")
        print(f"title on screen {title_ms:.0f} ms after the page loaded (budget {TITLE_BUDGET_MS})")
        if title_ms > TITLE_BUDGET_MS:
            failures.append(f"the title took {title_ms:.0f} ms")
        before = cpu_seconds(driver.pid)
        time.sleep(3)
        idle = (cpu_seconds(driver.pid) - before) / 3
        print(f"waiting for a click: {idle:.0%} of a core")
        if idle > 0.15:
            failures.append(f"the page takes {idle:.0%} of a core waiting for a click")
        browser.click(320, 240)
        shows(first, 20, "the first page after the title")
        # Save there in slot 1, reload, play on a page and load it: the first page again.
        for x, y, button in ((320, 240, 2), (320, 198, 0), *SLOT_1_YES):
            browser.click(x, y, button)
            time.sleep(0.5)
        browser.wait_for(lambda: browser.run("return Module.persistedOnce === true"), 20, "the save in browser storage")
        browser.call("POST", "/refresh")
        shows(title, 20, "the title after the reload")
        browser.click(320, 240)
        shows(first, 20, "the first page after the reload")
        browser.click(320, 240)
        shows(second, 20, "the second page")
        for x, y, button in ((320, 240, 2), (320, 226, 0), *SLOT_1_YES):
            browser.click(x, y, button)
            time.sleep(0.5)
        shows(first, 20, "the page loaded from the save")
    except AssertionError as error:
        failures.append(str(error))
    finally:
        driver.terminate()
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    print("\n".join(failures) or "the page plays, saves and loads")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
