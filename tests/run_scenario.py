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
  xdg_config/      copied into the game's XDG_CONFIG_HOME (registry.ini, profile files)
  check.py         run after the game as `python3 check.py RUN_DIR LOG_FILE` from the test
                   folder; a non-zero exit fails the test (for screenshots and written files)
The game runs in a fresh copy of the folder, with its own XDG_RUNTIME_DIR and XDG_CONFIG_HOME.
"""
import os
import resource
import shutil
import subprocess
import sys
import tempfile


def main():
    velmio, folder = sys.argv[1], os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp(prefix="velmio-scenario-")
    try:
        game = os.path.join(work, "game")
        os.mkdir(game)
        special = {"input", "args", "expected.log", "expected_events.log", "expected.exit", "expected.stderr",
                   "expected.stdout", "expected.maxrss", "check.py"}
        for root, _dirs, files in os.walk(folder):
            relative = os.path.relpath(root, folder)
            target_root = game if relative == "." else os.path.join(game, relative)
            os.makedirs(target_root, exist_ok=True)
            for name in files:
                if relative == "." and name in special:
                    continue
                source = os.path.join(root, name)
                if ".utf8." in name:
                    with open(source, encoding="utf-8") as f:
                        text = f.read()
                    with open(os.path.join(target_root, name.replace(".utf8.", ".")), "wb") as f:
                        f.write(text.encode("cp932"))
                else:
                    shutil.copy(source, os.path.join(target_root, name))

        log = os.path.join(work, "log.txt")
        command = [velmio, "--headless", "--log", log]
        if os.path.exists(os.path.join(folder, "input")):
            command += ["--input", os.path.join(folder, "input")]
        if os.path.exists(os.path.join(folder, "args")):
            with open(os.path.join(folder, "args"), encoding="utf-8") as f:
                command += [line.strip() for line in f if line.strip()]
        command.append(game)
        environment = dict(os.environ)
        for variable in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
            path = os.path.join(work, variable.lower())
            os.makedirs(path, mode=0o700)
            environment[variable] = path
        staged_config = os.path.join(game, "xdg_config")
        if os.path.isdir(staged_config):
            shutil.copytree(staged_config, environment["XDG_CONFIG_HOME"], dirs_exist_ok=True)
            shutil.rmtree(staged_config)
        result = subprocess.run(command, cwd=work, env=environment, capture_output=True, timeout=240)
        stderr = result.stderr.decode("utf-8", "replace")
        actual_log = ""
        if os.path.exists(log):  # a command line refused before the log opens leaves none
            with open(log, encoding="utf-8") as f:
                actual_log = f.read()
        failures = []

        expected_exit = 0
        expected_log_path = os.path.join(folder, "expected.log")
        if os.path.exists(expected_log_path):
            with open(expected_log_path, encoding="utf-8") as f:
                expected_log = f.read()
            if actual_log != expected_log:
                failures.append("log differs.\n--- expected\n%s--- actual\n%s" % (expected_log, actual_log))
            for line in expected_log.splitlines():
                if line.startswith("EXIT "):
                    expected_exit = int(line[5:])
        events_path = os.path.join(folder, "expected_events.log")
        if os.path.exists(events_path):
            with open(events_path, encoding="utf-8") as f:
                expected_events = f.read()
            events = "".join(line for line in actual_log.splitlines(True) if not line.startswith("SCREENSHOT "))
            if events != expected_events:
                failures.append("log differs.\n--- expected\n%s--- actual\n%s" % (expected_events, events))
            for line in expected_events.splitlines():
                if line.startswith("EXIT "):
                    expected_exit = int(line[5:])
        exit_path = os.path.join(folder, "expected.exit")
        if os.path.exists(exit_path):
            with open(exit_path) as f:
                expected_exit = int(f.read().strip())
        if result.returncode != expected_exit:
            failures.append("exit code %d, expected %d" % (result.returncode, expected_exit))
        stderr_path = os.path.join(folder, "expected.stderr")
        if os.path.exists(stderr_path):
            with open(stderr_path, encoding="utf-8") as f:
                for line in f.read().splitlines():
                    if line and line not in stderr:
                        failures.append("standard error lacks: %s" % line)
        stdout_path = os.path.join(folder, "expected.stdout")
        if os.path.exists(stdout_path):
            with open(stdout_path, encoding="utf-8") as f:
                expected_stdout = f.read()
            stdout = result.stdout.decode("utf-8", "replace")
            if stdout != expected_stdout:
                failures.append("standard output differs.\n--- expected\n%s--- actual\n%s" % (expected_stdout, stdout))
        maxrss_path = os.path.join(folder, "expected.maxrss")
        if os.path.exists(maxrss_path):
            with open(maxrss_path) as f:
                limit = int(f.read().strip())
            # The program is the only child waited for so far.
            peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
            if peak > limit:
                failures.append("peak memory %d KB, expected at most %d KB" % (peak, limit))
        check = os.path.join(folder, "check.py")
        if not failures and os.path.exists(check):
            checked = subprocess.run([sys.executable, check, game, log], cwd=folder, capture_output=True)
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
