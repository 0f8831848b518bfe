#!/usr/bin/env python3
"""Unpacks the kept inputs of one fuzz target into a corpus folder: unpack.py KIND_FOLDER OUT_FOLDER."""
import os
import struct
import sys


def main():
    source, target = sys.argv[1], sys.argv[2]
    os.makedirs(target, exist_ok=True)
    count = 0
    for name in sorted(os.listdir(source)):
        with open(os.path.join(source, name), "rb") as f:
            data = f.read()
        if not name.endswith(".corpus"):
            records = [data]
        else:
            records, offset = [], 0
            while offset + 4 <= len(data):
                (length,) = struct.unpack("<I", data[offset:offset + 4])
                records.append(data[offset + 4:offset + 4 + length])
                offset += 4 + length
        for record in records:
            with open(os.path.join(target, "kept-%05d" % count), "wb") as f:
                f.write(record)
            count += 1
    print("%d inputs" % count)


if __name__ == "__main__":
    main()
