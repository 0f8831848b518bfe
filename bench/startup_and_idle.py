#!/usr/bin/env python3
"""Measures the program's start-up and its idle cost.

  startup_and_idle.py VELMIO [--window]

Start-up: wall time from starting the process until the first statement of the run phase has
run (a `mesbox` whose log line is watched for), median of 15 runs, on a one-line game.
Idle (--window only): processor time the program uses, in percent of one core, while it sits in
a click wait for 10 s. With --window the program runs in a window; without a display, run this
under `xvfb-run -a -s "-screen 0 1280x768x24"`. Use a build without sanitizers.
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time


def game_folder(scenario):
    folder = tempfile.mkdtemp(prefix="velmio-startup-")
    with open(os.path.join(folder, "0.txt"), "wb") as f:
        f.write(scenario.encode("cp932"))
    return folder


def environment():
    runtime = tempfile.mkdtemp(prefix="velmio-runtime-")
    os.chmod(runtime, 0o700)
    return dict(os.environ, XDG_RUNTIME_DIR=runtime)


def startup(velmio, window, env):
    folder = game_folder("*define\ngame\n*start\nmesbox \"a\",\"b\"\nend\n")
    log = os.path.join(folder, "log.txt")
    times = []
    for _ in range(15):
        if os.path.exists(log):
            os.remove(log)
        command = [velmio] + ([] if window else ["--headless"]) + ["--log", log, folder]
        start = time.perf_counter()
        process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        while not (os.path.exists(log) and os.path.getsize(log) > 0):
            if process.poll() is not None:
                sys.exit("the program ended before its first statement")
            time.sleep(0.0005)
        times.append((time.perf_counter() - start) * 1000)
        process.kill()
        process.wait()
    return statistics.median(times), min(times), max(times)


def idle(velmio, env):
    folder = game_folder("*define\ngame\n*start\nclick wait@\nend\n")
    process = subprocess.Popen([velmio, folder], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(3)

    def used():
        with open("/proc/%d/stat" % process.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    before = used()
    time.sleep(10)
    ticks = used() - before
    process.kill()
    process.wait()
    return ticks * 100.0 / os.sysconf("SC_CLK_TCK") / 10


def main():
    velmio = os.path.abspath(sys.argv[1])
    window = "--window" in sys.argv[2:]
    env = environment()
    median, low, high = startup(velmio, window, env)
    print("%s start-up to the first run-phase statement: median %.1f ms (min %.1f, max %.1f)" %
          ("window" if window else "headless", median, low, high))
    if window:
        print("idle click wait: %.2f%% of one core" % idle(velmio, env))


if __name__ == "__main__":
    main()
