#!/usr/bin/env python3
"""Keeps the source folders in one direction of dependencies.

Usage: layers_test.py SRC_DIR

Each folder of src/ may include only folders of a lower rank (or its own). The two backends
sit beside the engine: they implement platform/ with the help of files/, and only the process
entry picks one. Library and system headers stay in platform/ and files/ (the text converter of
base/ is the one exception), and so do file streams: everything else reaches the disk through
files/ and writes warnings through base/warning.h.
Prints every offending line as FILE:LINE: reason and exits 1 when there is any.
"""
import os
import re
import sys

RANKS = {name: rank for rank, name in enumerate(
    ["base", "platform", "files", "script", "graphics", "text", "sound", "shell", "persist", "ui", "engine", "main.cpp"])}
BACKENDS = ("platform/sdl", "platform/headless")
BACKEND_MAY_INCLUDE = {"base", "platform", "files"}

# Headers of the libraries and the operating system the engine must not see directly.
LIBRARY_HEADER = re.compile(
    r"^(SDL|ft2build|freetype|fontconfig|archive|png|zlib|libav|libsw|sndfile|mpg123|fluidsynth|"
    r"iconv|dlfcn|unistd|fcntl|sys/|pthread|emscripten)")
FILE_STREAM = re.compile(r"std::[io]?fstream|\bfopen\s*\(|\bopen\s*\(\s*[a-zA-Z_.]+\s*,\s*O_")
STDERR = re.compile(r"fprintf\s*\(\s*stderr|std::cerr|fputs\s*\([^;]*stderr")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]')


def folder_of(relative):
    """The layer a path belongs to: 'platform/sdl' for a backend, else the first folder."""
    return next((backend for backend in BACKENDS if relative.startswith(backend + "/")), relative.split("/")[0])


def check_include(relative, folder, target):
    target_folder = folder_of(target)
    if target_folder in BACKENDS:
        if folder not in BACKENDS and folder != "main.cpp":
            return f"{target} is a backend: only the process entry chooses one"
    elif target_folder not in RANKS:
        return f"{target} is in no known folder"
    elif folder in BACKENDS:
        if target_folder not in BACKEND_MAY_INCLUDE:
            return f"a backend includes {target_folder}/, above base/, platform/ and files/"
    elif folder not in RANKS:
        return f"{relative} is in no known folder"
    elif RANKS[target_folder] > RANKS[folder]:
        return f"{folder}/ includes {target} of {target_folder}/, a higher layer"
    return None


def check_file(source_dir, relative):
    problems = []
    folder = folder_of(relative)
    platform_side = folder in ("platform", "files") or folder in BACKENDS
    with open(os.path.join(source_dir, relative), encoding="utf-8", errors="replace") as handle:
        for number, line in enumerate(handle, start=1):
            where = f"{relative}:{number}"
            match = INCLUDE.match(line)
            if match:
                bracket, target = match.groups()
                if bracket == '"':
                    reason = check_include(relative, folder, target)
                    if reason:
                        problems.append(f"{where}: {reason}")
                elif LIBRARY_HEADER.match(target) and not platform_side and folder != "main.cpp":
                    problems.append(f"{where}: <{target}> belongs in platform/ or files/")
                continue
            code = line.split("//")[0]
            if FILE_STREAM.search(code) and not platform_side and folder not in ("base", "main.cpp"):
                problems.append(f"{where}: file access outside files/")
            if STDERR.search(code) and folder not in ("base", "main.cpp") and folder not in BACKENDS:
                problems.append(f"{where}: write warnings through base/warning.h")
    return problems


def main():
    source_dir = sys.argv[1]
    problems = []
    for root, _, names in os.walk(source_dir):
        for name in sorted(names):
            if name.endswith((".h", ".cpp")):
                relative = os.path.relpath(os.path.join(root, name), source_dir).replace(os.sep, "/")
                problems += check_file(source_dir, relative)
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) against the one direction of dependencies")
        return 1
    print("layers: one direction")
    return 0


if __name__ == "__main__":
    sys.exit(main())
