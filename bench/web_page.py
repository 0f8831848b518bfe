#!/usr/bin/env python3
"""Measures the browser build's page (build/web, from ./scripts/web) in headless Chromium.

  web_page.py [SOURCE_DIR] [--runs N]

Each run starts a fresh browser (a first visit) on a page served from 127.0.0.1 and counts from the server's first request:
- when the demo's title is complete: the last frame the page drew sooner than the click wait's
  cursor animation draws them (every 160 ms); frames are timed by a hook on the canvas, added to
  every document through the DevTools protocol;
- whether a screenshot asked for at exactly 3 s already shows the title as it stands in the
  click wait;
- the processor time of the whole browser, in percent of one core, over 5 s of that click wait.
Prints the medians, the .wasm size and the page's whole download.
"""
import base64
import functools
import http.server
import os
import statistics
import subprocess
import sys
import threading
import time

SOURCE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(SOURCE, "tests", "web"))
sys.path.insert(0, os.path.join(SOURCE, "tests"))
from browser_test import DRIVER_PORT, Quiet, call  # noqa: E402
from screenshot_check import Screenshot  # noqa: E402

FRAME_HOOK = """
window.frameTimes = [];
const put = CanvasRenderingContext2D.prototype.putImageData;
CanvasRenderingContext2D.prototype.putImageData = function () {
  frameTimes.push(performance.timeOrigin + performance.now());
  return put.apply(this, arguments);
};
"""
CURSOR_FRAME_MS = 160


class Timed(Quiet):
    first_request_ms = None  # when the page was first asked for

    def do_GET(self):
        if Timed.first_request_ms is None:
            Timed.first_request_ms = time.time() * 1000
        super().do_GET()


def cpu_seconds(root):
    """User and system time of a process and all its descendants."""
    children, total, pending = {}, 0, [root]
    for pid in filter(str.isdigit, os.listdir("/proc")):
        try:
            with open(f"/proc/{pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        children.setdefault(int(fields[1]), []).append((int(pid), int(fields[11]) + int(fields[12])))
    while pending:
        for pid, ticks in children.get(pending.pop(), []):
            total, pending = total + ticks, pending + [pid]
    return total / os.sysconf("SC_CLK_TCK")




def one_run(page):
    Timed.first_request_ms = None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), functools.partial(Timed, directory=page))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    driver = subprocess.Popen(["chromedriver", f"--port={DRIVER_PORT}"], stdout=subprocess.DEVNULL)
    session = None
    try:
        time.sleep(1)
        session = "/session/" + call("/session", {"capabilities": {"alwaysMatch": {"goog:chromeOptions": {
            "args": ["--headless=new", "--no-sandbox", "--window-size=800,800"]}}}})["sessionId"]
        call(session + "/goog/cdp/execute", {"cmd": "Page.addScriptToEvaluateOnNewDocument",
                                             "params": {"source": FRAME_HOOK}})
        call(session + "/url", {"url": f"http://127.0.0.1:{server.server_address[1]}/"})
        while Timed.first_request_ms is None:
            time.sleep(0.01)
        time.sleep(max(0, Timed.first_request_ms / 1000 + 3 - time.time()))
        at_three_seconds = call(session + "/screenshot", method="GET")
        time.sleep(3)
        frames = call(session + "/execute/sync", {"script": "return window.frameTimes || []", "args": []})
        # The title is complete at the last frame that came sooner than the cursor's next cell.
        quick = [b for a, b in zip(frames, frames[1:]) if b - a < CURSOR_FRAME_MS - 20]
        complete = quick[-1] if quick else None
        settled = call(session + "/screenshot", method="GET")
        before = cpu_seconds(driver.pid)
        time.sleep(5)
        idle = (cpu_seconds(driver.pid) - before) / 5
        title_ms = complete - Timed.first_request_ms if complete is not None else float("nan")
        return title_ms, same_picture(at_three_seconds, settled), idle
    finally:
        try:
            session and call(session, method="DELETE")
        except OSError:
            pass
        driver.terminate(), server.shutdown()


def same_picture(first, second):
    """All but 1 % of the channels within 4 levels: the click cursor may show another cell."""
    a, b = (Screenshot("page", base64.b64decode(png)) for png in (first, second))
    different = sum(sum(abs(x - y) > 4 for x, y in zip(row_a, row_b)) for row_a, row_b in zip(a.rows, b.rows))
    return different < 0.01 * sum(len(row) for row in a.rows)


def main():
    arguments = sys.argv[1:]
    runs = 5
    if "--runs" in arguments:
        at = arguments.index("--runs")
        runs, arguments = int(arguments[at + 1]), arguments[:at] + arguments[at + 2:]
    source = os.path.abspath(arguments[0] if arguments else SOURCE)
    page = os.path.join(source, "build", "web")
    results = [one_run(page) for _ in range(runs)]
    titles, on_time, idles = zip(*results)
    print("title complete after %.0f ms (median of %d; %s)" % (statistics.median(titles), runs,
                                                              ", ".join("%.0f" % t for t in titles)))
    print("a screenshot at 3 s showed the title as it waits for the click in %d of %d runs" % (sum(on_time), runs))
    print("click wait: %.1f%% of one core (median)" % (100 * statistics.median(idles)))
    sizes = {name: os.path.getsize(os.path.join(page, name)) for name in os.listdir(page)}
    print(".wasm %d bytes; whole download %d bytes" % (sizes["velmio.wasm"], sum(sizes.values())))


if __name__ == "__main__":
    main()
