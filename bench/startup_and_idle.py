#!/usr/bin/env python3
"""Measures the program's start-up and its idle cost.

  startup_and_idle.py VELMIO [--window]

Start-up: wall time from starting the process until the first statement of the run phase has
run (a `mesbox` whose log line is watched for), median of 15 runs, on a one-line game.
Idle (--window only): processor time the program uses, in percent of one core, while it sits in
a click wait for 10 s: in silence, with a looping MIDI song, and with a looping MP3. With --window
the program runs in a window; without a display, run this under
`xvfb-run -a -s "-screen 0 1280x768x24"`. Where there is no sound card, SDL's disk driver writing
to /dev/null pulls the sound in real time as a device would. Use a build without sanitizers.
"""
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


MEDIA = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "media")


def game_folder(scenario, media=()):
    folder = tempfile.mkdtemp(prefix="velmio-startup-")
    with open(os.path.join(folder, "0.txt"), "wb") as f:
        f.write(scenario.encode("cp932"))
    for name in media:
        shutil.copy(os.path.join(MEDIA, name), folder)
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


def idle(velmio, env, music=""):
    play = {"": "", ".mid": "play \"%s\"\n", ".mp3": "mp3loop \"%s\"\n"}[os.path.splitext(music)[1]]
    folder = game_folder("*define\ngame\n*start\n" + (play % music if music else "") + "click wait@\nend\n",
                         [music] if music else [])
    if "SDL_AUDIODRIVER" not in env and not os.path.exists("/dev/snd"):
        env = dict(env, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE="/dev/null")
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
        for label, music in (("", ""), (", MIDI song looping", "tune.mid"),
                             (", MP3 looping", "tone440-22050-mono.mp3")):
            print("idle click wait%s: %.2f%% of one core" % (label, idle(velmio, env, music)))


if __name__ == "__main__":
    main()
