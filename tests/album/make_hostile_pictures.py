#!/usr/bin/env python3
"""Writes the hostile and damaged pictures the album must survive into a folder.

Each is a few hundred bytes to a few kilobytes that claims far more than it holds, or is cut
or empty; the one large file is a PNG that is truly as large as it claims, one row repeated
and deflated. A baseline JPEG of 200 megapixels, laid out as cameras and phones write it,
goes with them: it must still decode.

    make_hostile_pictures.py FOLDER [--small]

--small leaves out the one large PNG (the fuzz regressions keep its cut form instead).
"""

import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
SHAPE = os.path.join(HERE, "..", "data", "jpeg_shapes", "s420.jpg")


def segment(marker, payload):
    return bytes([0xFF, marker]) + struct.pack(">H", len(payload) + 2) + payload


def quantisation_table():
    return segment(0xDB, bytes([0x00]) + bytes([1] * 64))


def one_code_table(klass):
    """A Huffman table of one 1-bit code for symbol 0: a DC difference of 0, or an AC end of
    block. Zero bits then decode as flat blocks."""
    return segment(0xC4, bytes([klass << 4]) + bytes([1] + [0] * 15) + bytes([0]))


def frame(marker, width, height, components):
    payload = struct.pack(">BHHB", 8, height, width, len(components))
    for index, sampling in enumerate(components, start=1):
        payload += bytes([index, sampling, 0])
    return segment(marker, payload)


def scan(components, start, end):
    payload = bytes([len(components)])
    for index in components:
        payload += bytes([index, 0x00])
    return segment(0xDA, payload + bytes([start, end, 0x00]))


def progressive_grey(width, height, scans):
    """A progressive grey JPEG of `scans` DC scans, each a few zero bytes long: the decoder
    keeps coefficients for the whole claimed picture, and walks all of it in every scan."""
    out = b"\xFF\xD8" + quantisation_table() + frame(0xC2, width, height, [0x11]) + one_code_table(0)
    for _ in range(scans):
        out += scan([1], 0, 0) + bytes(2)
    return out + b"\xFF\xD9"


def baseline_camera(width, height):
    """A baseline JPEG laid out as a camera writes it (one interleaved scan, YCbCr 4:2:0),
    its data ending early: the decoder fills the rest in grey."""
    out = b"\xFF\xD8" + quantisation_table() + frame(0xC0, width, height, [0x22, 0x11, 0x11])
    out += one_code_table(0) + one_code_table(1) + scan([1, 2, 3], 0, 63) + bytes(64)
    return out + b"\xFF\xD9"


def claiming(jpeg, width, height):
    """The JPEG with its frame header claiming width x height."""
    out = bytearray(jpeg)
    at = 2
    while at + 9 <= len(out):
        if out[at] == 0xFF and 0xC0 <= out[at + 1] <= 0xC2:
            out[at + 5:at + 9] = struct.pack(">HH", height, width)
            return bytes(out)
        at += 2 + struct.unpack(">H", out[at + 2:at + 4])[0]
    raise ValueError("no frame header")


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_of_one_row(width, height, rows):
    """An RGB PNG claiming width x height whose data holds `rows` copies of one black row."""
    row = bytes(1 + 3 * width)  # filter byte "none", then the pixels
    deflater = zlib.compressobj(9)
    data = bytearray()
    for _ in range(rows):
        data += deflater.compress(row)
    data += deflater.flush()
    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", bytes(data)) +
            png_chunk(b"IEND", b""))


def gif_claiming(width, height):
    """A GIF whose screen and first image claim width x height, with next to no data."""
    out = b"GIF89a" + struct.pack("<HHBBB", width, height, 0x80, 0, 0) + bytes(6)  # two colours
    out += b"\x21\xF9\x04\x00\x00\x00\x00\x00"  # a graphic control extension before the image
    out += b"\x2C" + struct.pack("<HHHHB", 0, 0, width, height, 0) + b"\x02\x02\x44\x01\x00"
    return out + b"\x3B"


def bmp_claiming(width, height):
    """An 8-bit run-length BMP stored top down (a negative height), claiming width x height,
    whose runs end at once."""
    palette = bytes(4 * 256)
    pixels = b"\x00\x01"  # end of bitmap
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, width, -height, 1, 8, 1, len(pixels), 2835, 2835, 256, 0)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + info + palette + pixels


def tiff_claiming(width, height):
    """A little-endian TIFF whose first directory claims width x height, deflated, with one
    strip of a few bytes."""
    strip = zlib.compress(bytes(64))
    entries = [(0x0100, 4, 1, width), (0x0101, 4, 1, height), (0x0102, 3, 1, 8), (0x0103, 3, 1, 8),
               (0x0106, 3, 1, 1), (0x0111, 4, 1, 0), (0x0115, 3, 1, 1), (0x0116, 4, 1, height),
               (0x0117, 4, 1, len(strip))]
    directory_at = 8
    strip_at = directory_at + 2 + 12 * len(entries) + 4
    out = b"II" + struct.pack("<HI", 42, directory_at) + struct.pack("<H", len(entries))
    for tag, kind, count, value in entries:
        if tag == 0x0111:
            value = strip_at
        out += struct.pack("<HHII", tag, kind, count, value) if kind == 4 else \
            struct.pack("<HHIHH", tag, kind, count, value, 0)
    return out + struct.pack("<I", 0) + strip


def pictures(small):
    with open(SHAPE, "rb") as f:
        shape = f.read()
    made = {
        # Coefficients of 2.1 GB for a picture of 304 bytes.
        "progressive-claims-32767-square.jpg": progressive_grey(32767, 32767, 4),
        # Coefficients of 128 MB, within what a decode may hold, walked 1,200 times.
        "progressive-of-1200-scans.jpg": progressive_grey(8192, 8192, 1200),
        "baseline-claims-65535-square.jpg": claiming(shape, 65535, 65535),
        "cut-after-100-bytes.jpg": shape[:100],
        "empty.jpg": b"",
        "png-claims-16000-square-cut.png": png_of_one_row(16000, 16000, 16),
        "gif-claims-65535-square.gif": gif_claiming(65535, 65535),
        "bmp-claims-30000-square.bmp": bmp_claiming(30000, 30000),
        "tiff-claims-100000-square.tif": tiff_claiming(100000, 100000),
        # Not hostile: 16384 x 12288, as a 200-megapixel phone writes it. It decodes.
        "baseline-of-200-megapixels.jpg": baseline_camera(16384, 12288),
    }
    if not small:
        # 768 MB of pixels, every byte of them there: 746 KB deflated.
        made["png-16000-square-one-row-repeated.png"] = png_of_one_row(16000, 16000, 16000)
    return made


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    folder = sys.argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, data in pictures("--small" in sys.argv[2:]).items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
