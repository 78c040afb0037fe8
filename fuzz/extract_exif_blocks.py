#!/usr/bin/env python3
"""Writes the Exif blocks of the real JPEG files (their APP1 "Exif" payloads) as fuzz seeds.

Usage: extract_exif_blocks.py DATA_DIR OUT_DIR
"""
import os
import struct
import sys


def app1_exif(data):
    if data[:2] != b"\xff\xd8":
        return None
    pos = 2
    while pos + 4 <= len(data) and data[pos] == 0xFF:
        marker = data[pos + 1]
        if marker in (0xDA, 0xD9):
            return None
        length = struct.unpack(">H", data[pos + 2:pos + 4])[0]
        payload = data[pos + 4:pos + 2 + length]
        if marker == 0xE1 and payload[:6] == b"Exif\0\0":
            return payload
        pos += 2 + length
    return None


def main():
    data_dir, out_dir = sys.argv[1:3]
    os.makedirs(out_dir, exist_ok=True)
    folder = os.path.join(data_dir, "jpeg")
    for name in sorted(os.listdir(folder)):
        with open(os.path.join(folder, name), "rb") as f:
            block = app1_exif(f.read())
        if block:
            with open(os.path.join(out_dir, name + ".exif"), "wb") as out:
                out.write(block)


if __name__ == "__main__":
    main()
