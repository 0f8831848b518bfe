#!/usr/bin/env python3
"""Builds the Debian package the way a release is built (no sanitisers, its own build folder),
unpacks it into a scratch root with `dpkg -x`, and checks what a player would get: the
dependencies, the files and their validators (desktop entry, AppStream metadata, man page), and
the unpacked velmio playing the demo it finds beside itself through to `EXIT 0`.

Usage: package_test.py SOURCE_DIR BUILD_DIR CMAKE CPACK GENERATOR CXX_COMPILER
BUILD_DIR is kept between runs, so that only the first run compiles everything.
Exits 77 (skipped) when a packaging or validation tool is not installed.
"""
import glob
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
from pathlib import Path

TOOLS = ["dpkg", "dpkg-deb", "dpkg-shlibdeps", "file", "desktop-file-validate", "appstreamcli", "groff", "man"]
APPLICATION_ID = "io.velmio.Velmio"


def run(command, **options):
    return subprocess.run(command, capture_output=True, text=True, **options)


def build_package(source, build, cmake, cpack, generator, compiler):
    os.makedirs(build, exist_ok=True)
    for old in glob.glob(os.path.join(build, "packages", "*.deb")):
        os.remove(old)
    for step in ([cmake, "-S", source, "-B", build, "-G", generator, "-DCMAKE_BUILD_TYPE=Release",
                  "-DCMAKE_CXX_COMPILER=" + compiler, "-DVELMIO_SANITIZE=OFF", "-DVELMIO_TESTS=OFF"],
                 [cmake, "--build", build, "--target", "velmio", "--parallel", "2"],
                 [cpack, "-G", "DEB", "-B", os.path.join(build, "packages")]):
        result = run(step, cwd=build)
        if result.returncode != 0:
            sys.exit("%s failed:\n%s%s" % (" ".join(step), result.stdout, result.stderr))
    found = glob.glob(os.path.join(build, "packages", "velmio_*.deb"))
    if len(found) != 1:
        sys.exit("cpack made %s, expected one velmio_*.deb" % found)
    return found[0]


def png_size(path):
    head = open(path, "rb").read(24) if os.path.exists(path) else b""
    return struct.unpack(">II", head[16:24]) if head[:8] == b"\x89PNG\r\n\x1a\n" else None


def check_contents(root, failures):
    share = os.path.join(root, "usr", "share")
    desktop = os.path.join(share, "applications", APPLICATION_ID + ".desktop")
    metainfo = os.path.join(share, "metainfo", APPLICATION_ID + ".metainfo.xml")
    manual = os.path.join(share, "man", "man1", "velmio.1")
    for path in (desktop, metainfo, manual, os.path.join(share, "velmio", "demo", "0.txt")):
        if not os.path.isfile(path):
            failures.append("not in the package: " + os.path.relpath(path, root))
            return
    for size in (48, 128, 256):
        icon = os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), "apps", APPLICATION_ID + ".png")
        if png_size(icon) != (size, size):
            failures.append("no %d px PNG icon at %s" % (size, os.path.relpath(icon, root)))

    entry = dict(line.split("=", 1) for line in Path(desktop).read_text("utf-8").splitlines() if "=" in line)
    for key, wanted in (("Icon", APPLICATION_ID), ("StartupWMClass", APPLICATION_ID), ("Exec", "velmio %f")):
        if entry.get(key) != wanted:
            failures.append("desktop entry: %s=%s, expected %s" % (key, entry.get(key), wanted))
    if "<id>%s</id>" % APPLICATION_ID not in Path(metainfo).read_text("utf-8"):
        failures.append("AppStream metadata: its id is not " + APPLICATION_ID)

    for command in (["desktop-file-validate", desktop], ["appstreamcli", "validate", "--no-net", metainfo],
                    ["groff", "-ww", "-k", "-Tutf8", "-man", "-z", manual], ["man", "--warnings", "-l", manual]):
        result = run(command, env=dict(os.environ, LANG="C.UTF-8", MANWIDTH="80"))
        # appstreamcli prints its verdict and man the page on standard output; the others print
        # only problems.
        problems = result.stderr + ("" if command[0] in ("appstreamcli", "man") else result.stdout)
        if result.returncode != 0 or problems.strip():
            failures.append("%s:\n%s" % (" ".join(command[:-1]), problems or result.stdout))

    # Both list every option: a new one must reach the manual too.
    help_text = run([os.path.join(root, "usr", "bin", "velmio"), "--help"]).stdout
    manual_text = Path(manual).read_text("utf-8").replace("\\-", "-")
    in_help, in_manual = (set(re.findall(r"--[a-z][a-z-]*", text)) for text in (help_text, manual_text))
    if in_help != in_manual:
        failures.append("options only in --help: %s; only in the man page: %s" %
                        (sorted(in_help - in_manual), sorted(in_manual - in_help)))


def play_demo(source, root, work, failures):
    environment = dict(os.environ)
    for variable in ("XDG_RUNTIME_DIR", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
        environment[variable] = os.path.join(work, variable.lower())
        os.makedirs(environment[variable], mode=0o700)
    # The input script's screenshots go below the starting folder.
    os.makedirs(os.path.join(work, "build", "demo-screenshots"))
    velmio = os.path.join(root, "usr", "bin", "velmio")
    result = run([velmio, "--demo", "--headless", "--log", "-", "--input", os.path.join(source, "demo", "demo.input")],
                 cwd=work, env=environment, timeout=240)
    lines = result.stdout.splitlines()
    expected = Path(source, "tests", "demo", "expected.log").read_text("utf-8").splitlines()
    if result.returncode != 0 or result.stderr or [line for line in lines if not line.startswith("SCREENSHOT ")] != expected:
        failures.append("velmio --demo: exit code %d, standard error: %s\nlog:\n%s" %
                        (result.returncode, result.stderr, result.stdout))
    # The settings land in the demo folder it played: the unpacked one, not the source tree's.
    if not os.path.exists(os.path.join(root, "usr", "share", "velmio", "demo", "envdata")):
        failures.append("velmio --demo did not play the demo installed beside it")

    if (code := run([velmio, "--demo", work]).returncode) != 2:
        failures.append("velmio --demo with a game folder: exit code %d, expected 2" % code)


def main():
    source, build, cmake, cpack, generator, compiler = sys.argv[1:7]
    missing = [tool for tool in TOOLS if shutil.which(tool) is None]
    if missing:
        print("skipped: %s not installed (scripts/setup installs them)" % ", ".join(missing))
        return 77
    package = build_package(source, build, cmake, cpack, generator, compiler)
    depends = run(["dpkg-deb", "-f", package, "Depends"]).stdout
    failures = ["Depends lacks %s: %s" % (wanted, depends) for wanted in
                ("fonts-ipafont-gothic", "timgm6mb-soundfont", "libsdl2-2.0-0", "libc6") if wanted not in depends]
    if "libasan" in depends or "libubsan" in depends:
        failures.append("the package was built with sanitisers: " + depends)

    work = tempfile.mkdtemp(prefix="velmio-package-")
    try:
        root = os.path.join(work, "root")
        result = run(["dpkg", "-x", package, root])
        if result.returncode != 0:
            sys.exit("dpkg -x failed: " + result.stderr)
        check_contents(root, failures)
        play_demo(source, root, os.path.join(work, "play"), failures)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print("\n".join(failures))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
