#!/usr/bin/env python3
"""The WebAssembly engine (build/web-node/velmio.js under node) against the native one: the demo
and a few scenario tests, each played by both with the same input in the same folder, give the
same exit code and event log, the same screenshots, and sound of the same length.

Screenshots may differ by one colour level and no more: WebAssembly has no fused multiply-add and
its compiler rounds float blends of antialiased glyph edges on its own terms; a wrong picture,
glyph or position is off by far more. The sound's samples are not compared: the web build
resamples with its own linear converter instead of libswresample.
Usage: node_harness_test.py NATIVE_VELMIO NODE_VELMIO_JS SOURCE_DIR (exit 77 without the web build)
"""
import glob, os, shutil, subprocess, sys, tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from run_scenario import copy_game  # noqa: E402
from screenshot_check import Screenshot  # noqa: E402

# The one line only the web build logs, where the demo starts its music.
SILENT_MIDI = b"WARNING MIDI music is silent in this build (it has no synthesiser)\n"
SCENARIOS = ["save_load_pages", "transitions", "sound_wave_cd", "text_speed_and_colour",
             "choices_by_position", "picture_placement"]


def play(command, game_source, input_script, work, copy):
    """Plays the game in work/run and moves what it left to work/<name of the player>."""
    run = os.path.join(work, "run")
    os.makedirs(os.path.join(run, "build", "demo-screenshots"))
    copy(game_source, os.path.join(run, "game"))
    environment = dict(os.environ, FONTCONFIG_FILE=os.path.join(SOURCE, "tests", "fonts.conf"))
    for variable in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
        environment[variable] = os.path.join(run, variable.lower())
        os.makedirs(environment[variable], mode=0o700)
    arguments = ["--headless", "--log", "log.txt", "--screenshot", "final.png", "--audio-out", "out.wav"]
    arguments += ["--input", input_script] * os.path.exists(input_script) + ["game"]
    result = subprocess.run(command + arguments, cwd=run, env=environment, capture_output=True, timeout=600)
    with open(os.path.join(run, "exit"), "w") as f:
        f.write(str(result.returncode))
    return run


def compare(name, native, web):
    def read(folder, file):
        with open(os.path.join(folder, file), "rb") as f:
            return f.read()
    problems = [f"{name}: {file} differs" for file in ("exit", "log.txt")
                if read(native, file) != read(web, file).replace(SILENT_MIDI, b"")]
    pictures = sorted(os.path.relpath(p, native) for p in glob.glob(native + "/**/*.png", recursive=True))
    if not pictures:
        problems.append(f"{name}: no screenshots")
    for picture in pictures:
        a, b = Screenshot(os.path.join(native, picture)), Screenshot(os.path.join(web, picture))
        worst = max((abs(x - y) for ra, rb in zip(a.rows, b.rows) for x, y in zip(ra, rb)), default=0)
        if (a.width, a.height) != (b.width, b.height) or worst > 1:
            problems.append(f"{name}: {picture} differs (by up to {worst} levels)")
    sizes = [os.path.getsize(os.path.join(folder, "out.wav")) for folder in (native, web)]
    if sizes[0] != sizes[1]:
        problems.append(f"{name}: out.wav is {sizes[0]} bytes natively, {sizes[1]} in the web build")
    return problems


def main():
    global SOURCE
    native, node_js, SOURCE = sys.argv[1], os.path.abspath(sys.argv[2]), os.path.abspath(sys.argv[3])
    if not os.path.exists(node_js) or shutil.which("node") is None:
        print("no web build (./scripts/web makes it): skipped")
        return 77
    folders = [os.path.join(SOURCE, "tests", "scenarios", scenario) for scenario in SCENARIOS]
    games = [("demo", os.path.join(SOURCE, "demo"), os.path.join(SOURCE, "demo", "demo.input"), shutil.copytree)]
    games += [(os.path.basename(f), f, os.path.join(f, "input"), copy_game) for f in folders]
    problems = []
    for name, source, input_script, copy in games:
        work = tempfile.mkdtemp(prefix="velmio-web-")
        try:
            for player, command in (("native", [native]), ("web", ["node", "--no-experimental-fetch", node_js])):
                os.rename(play(command, source, input_script, work, copy), os.path.join(work, player))
            problems += compare(name, os.path.join(work, "native"), os.path.join(work, "web"))
        finally:
            shutil.rmtree(work, ignore_errors=True)
    print("\n".join(problems) or f"{len(games)} games played alike")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
