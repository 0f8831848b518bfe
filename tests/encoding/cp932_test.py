#!/usr/bin/env python3
"""Every Shift JIS code through the engine's converter, both ways, against Python's cp932 codec.

Decoding must agree with the codec for every byte and pair, except the five single bytes the
code page leaves undefined (0x80, 0xA0, 0xFD-0xFF), which become '?'. Encoding must give back,
for every character the code page has, a code that decodes to that same character, and the
codes players' machines choose where the code page repeats a character.
"""
import subprocess
import sys

FILTER = sys.argv[1]
SEPARATOR = "\n"


def Run(direction, data):
    return subprocess.run([FILTER, direction], input=data, capture_output=True, check=True).stdout


def Codes():
    for byte in range(0x100):
        if byte != 0x0A and not (0x81 <= byte <= 0x9F or 0xE0 <= byte <= 0xFC):
            yield bytes([byte])
    for lead in list(range(0x81, 0xA0)) + list(range(0xE0, 0xFD)):
        for trail in range(0x40, 0xFD):
            yield bytes([lead, trail])


def main():
    failures = []
    codes = list(Codes())
    # Each code between two line feeds, so a code the converter cannot read stays on its line.
    decoded = Run("to-utf8", b"\n".join(codes)).decode("utf-8").split(SEPARATOR)
    assert len(decoded) == len(codes), (len(decoded), len(codes))
    characters = []
    for code, got in zip(codes, decoded):
        try:
            want = code.decode("cp932")
        except UnicodeDecodeError:
            want = "?"
        if code in (b"\x80", b"\xa0", b"\xfd", b"\xfe", b"\xff"):
            want = "?"
        if got != want:
            failures.append(f"{code.hex()} decodes to {got!r}, want {want!r}")
        elif want != "?" or code == b"?":
            characters.append(want)

    encoded = Run("to-sjis", SEPARATOR.join(characters).encode("utf-8")).split(b"\n")
    assert len(encoded) == len(characters)
    for character, code in zip(characters, encoded):
        if code.decode("cp932", errors="replace") != character:
            failures.append(f"U+{ord(character):04X} encodes to {code.hex()}")

    # Where a character has several codes: the JIS code first, the IBM rows before the
    # NEC-selected ones; JIS-flavoured code points written as their nearest; a character the
    # code page lacks is one '?'.
    for text, want in [("∵", "81e6"), ("ⅰ", "fa40"), ("Ⅰ", "8754"), ("￢", "81ca"), ("纊", "fa5c"),
                       ("〜", "8160"), ("−", "817c"), ("①", "8740"), ("😀", "3f"), ("é", "3f")]:
        got = Run("to-sjis", text.encode("utf-8")).hex()
        if got != want:
            failures.append(f"{text} encodes to {got}, want {want}")
    if Run("to-sjis", b"a\xff\xc3b") != b"a??b":
        failures.append("malformed UTF-8 is not one '?' per byte")

    for failure in failures[:20]:
        print(failure)
    print(f"{len(codes)} codes, {len(characters)} characters, {len(failures)} failures")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
