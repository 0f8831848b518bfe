#!/usr/bin/env python3
"""Runs one scenario test: a small game folder played by `velmio --headless`.

The folder holds the game's files. Files named NAME.utf8.EXT are written in UTF-8 for
readability and converted to Shift JIS as NAME.EXT; everything else is copied unchanged. Optional:
  input            the input script (--input)
  args             extra command-line options, one per line
  expected.log     the exact expected event log (UTF-8)
  expected_events.log  the same without its SCREENSHOT lines (whose paths name the temporary
                   game folder), for runs that take screenshots
  expected.exit    the expected exit code (default: the EXIT line of expected.log, else 0)
  expected.stderr  lines that must each appear in standard error
  expected.stdout  the exact expected standard output (UTF-8), for reports such as --check's
  expected.maxrss  the most memory the program may hold at its peak, in KB (getrusage)
  expected.pixels  screenshot expectations, one a line: `SHOT pixel X Y #rrggbb`; `SHOT cell
                   COLUMN LINE #rrggbb`, the brightest pixel of a cell of the typing grid (the
                   text colour); `SHOT line N PATTERN`, a line of cells ('#' inked, '.' empty)
  expected.audio   checks on the recording out.wav, one a line: an audio_check.Recording
                   method without its expect_ and its whole-number arguments (`tone 500 800 1000`)
  expected.files   the names of the files the game folder holds after the run
  xdg_config/      copied into the game's XDG_CONFIG_HOME (registry.ini, profile files)
  check.py         run after the game as `python3 check.py RUN_DIR LOG_FILE` from the test
                   folder, with tests/ on its path; a non-zero exit fails the test
The game runs in a fresh copy of the folder, with its own XDG_RUNTIME_DIR, XDG_CONFIG_HOME and
XDG_DATA_HOME.
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile

from audio_check import Recording
from text_cells import Grid

HERE = os.path.dirname(os.path.abspath(__file__))

SPECIAL = {"input", "args", "expected.log", "expected_events.log", "expected.exit", "expected.stderr",
           "expected.stdout", "expected.maxrss", "expected.pixels", "expected.audio", "expected.files", "check.py"}


def read(folder, name):
    """The UTF-8 text of a file of the test folder, or None when there is none."""
    path = os.path.join(folder, name)
    if not os.path.exists(path):
        return None
    with open(path, encoding="utf-8") as f:
        return f.read()


def copy_game(folder, game):
    for root, _dirs, files in os.walk(folder):
        relative = os.path.relpath(root, folder)
        target_root = os.path.normpath(os.path.join(game, relative))
        os.makedirs(target_root, exist_ok=True)
        for name in files:
            if relative == "." and name in SPECIAL:
                continue
            source = os.path.join(root, name)
            if ".utf8." in name:
                with open(source, encoding="utf-8") as f, \
                        open(os.path.join(target_root, name.replace(".utf8.", ".")), "wb") as out:
                    out.write(f.read().encode("cp932"))
            else:
                shutil.copy(source, os.path.join(target_root, name))


def pixel_failures(game, expectations):
    failures, grids = [], {}
    for name, kind, *numbers, wanted in data_lines(expectations):
        grid = grids[name] = grids.get(name) or Grid(os.path.join(game, name))
        numbers = [int(number) for number in numbers]
        if kind == "line":
            actual = grid.row(numbers[0], len(wanted))
        else:
            actual = "#%02x%02x%02x" % (grid.brightest(*numbers) if kind == "cell" else grid.shot.pixel(*numbers))
        if actual != wanted:
            failures.append("%s: %s %s is %s, expected %s" % (name, kind, numbers, actual, wanted))
    return failures


def data_lines(text):
    return [line.split() for line in (text or "").splitlines() if line.strip() and not line.startswith("#")]


def main():
    velmio, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="velmio-scenario-")
    try:
        game = os.path.join(work, "game")
        copy_game(folder, game)
        log = os.path.join(work, "log.txt")
        command = [velmio, "--headless", "--log", log]
        if os.path.exists(os.path.join(folder, "input")):  # may be a folder, which the program refuses
            command += ["--input", os.path.join(folder, "input")]
        command += [line.strip() for line in (read(folder, "args") or "").splitlines() if line.strip()]
        command.append(game)
        environment = dict(os.environ)
        for variable in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
            environment[variable] = os.path.join(work, variable.lower())
            os.makedirs(environment[variable], mode=0o700)
        staged_config = os.path.join(game, "xdg_config")
        if os.path.isdir(staged_config):
            shutil.copytree(staged_config, environment["XDG_CONFIG_HOME"], dirs_exist_ok=True)
            shutil.rmtree(staged_config)
        result = subprocess.run(command, cwd=work, env=environment, capture_output=True, timeout=240)
        stderr = result.stderr.decode("utf-8", "replace")
        # A command line refused before the log opens leaves none.
        actual_log = (read(work, "log.txt") or "").splitlines(True)
        failures = []

        expected_exit = 0
        for name, screenshots in (("expected.log", True), ("expected_events.log", False)):
            expected = read(folder, name)
            if expected is None:
                continue
            actual = "".join(line for line in actual_log if screenshots or not line.startswith("SCREENSHOT "))
            if actual != expected:
                failures.append("log differs.\n--- expected\n%s--- actual\n%s" % (expected, actual))
            expected_exit = next((int(line[5:]) for line in expected.splitlines() if line.startswith("EXIT ")),
                                 expected_exit)
        if read(folder, "expected.exit") is not None:
            expected_exit = int(read(folder, "expected.exit"))
        if result.returncode != expected_exit:
            failures.append("exit code %d, expected %d" % (result.returncode, expected_exit))
        for line in (read(folder, "expected.stderr") or "").splitlines():
            if line and line not in stderr:
                failures.append("standard error lacks: %s" % line)
        expected_stdout = read(folder, "expected.stdout")
        if expected_stdout is not None and result.stdout.decode("utf-8", "replace") != expected_stdout:
            failures.append("standard output differs.\n--- expected\n%s--- actual\n%s"
                            % (expected_stdout, result.stdout.decode("utf-8", "replace")))
        if read(folder, "expected.maxrss") is not None:
            limit = int(read(folder, "expected.maxrss"))
            # The program is the only child waited for so far.
            peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
            if peak > limit:
                failures.append("peak memory %d KB, expected at most %d KB" % (peak, limit))
        if not failures and read(folder, "expected.pixels") is not None:
            failures += pixel_failures(game, read(folder, "expected.pixels"))
        if read(folder, "expected.audio") is not None:
            sound = Recording(os.path.join(game, "out.wav"))
            for kind, *numbers in data_lines(read(folder, "expected.audio")):
                getattr(sound, "expect_" + kind)(*map(int, numbers))
            failures += sound.failures
        expected_files = read(folder, "expected.files")
        if expected_files is not None and sorted(os.listdir(game)) != sorted(n for n, in data_lines(expected_files)):
            failures.append("the game folder holds %s" % sorted(os.listdir(game)))
        check = os.path.join(folder, "check.py")
        if not failures and os.path.exists(check):
            checked = subprocess.run([sys.executable, check, game, log], cwd=folder, capture_output=True,
                                     env=dict(os.environ, PYTHONPATH=HERE))
            if checked.returncode != 0:
                failures.append("check.py failed:\n" + checked.stdout.decode() + checked.stderr.decode())
        if failures:
            print("\n".join(failures))
            print("--- standard error\n" + stderr)
            return 1
        return 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
