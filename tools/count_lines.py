#!/usr/bin/env python3
"""Counts the lines of code of src/ and of the tests, and their ratio.

A line counts when it is neither blank nor only a comment (// and /* */ in C++, # in Python).
The tests are the C++ and Python files under tests/; scenario files, expected logs and pictures
are data, not code. With --files, each test file's count is listed, largest first.
"""
import os
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def CountFile(path):
    count = 0
    in_block = False
    python = path.endswith(".py")
    with open(path, encoding="utf-8", errors="replace") as file:
        for line in file:
            text = line.strip()
            if python:
                if text and not text.startswith("#"):
                    count += 1
                continue
            if in_block:
                in_block = "*/" not in text
                continue
            if not text or text.startswith("//"):
                continue
            if text.startswith("/*"):
                in_block = "*/" not in text
                continue
            count += 1
    return count


def CountTree(folder, extensions):
    counts = {}
    for directory, _, names in os.walk(os.path.join(ROOT, folder)):
        for name in names:
            if os.path.splitext(name)[1] in extensions:
                path = os.path.join(directory, name)
                counts[os.path.relpath(path, ROOT)] = CountFile(path)
    return counts


def main():
    source = CountTree("src", {".cpp", ".h"})
    tests = CountTree("tests", {".cpp", ".h", ".py"})
    source_total, test_total = sum(source.values()), sum(tests.values())
    if "--files" in sys.argv:
        for path, count in sorted(tests.items(), key=lambda item: -item[1]):
            print(f"{count:6d} {path}")
    print(f"src/ {source_total} lines, tests/ {test_total} lines, ratio {test_total / source_total:.2f}")


if __name__ == "__main__":
    main()
