#!/usr/bin/env bash
# Makes the small pictures of this folder: PNG and WebP files with ImageMagick (Debian package
# imagemagick) and ExifTool (libimage-exiftool-perl), and a CR3 built box by box in Python.
# The files are kept in the repository, so the tests need neither tool; run this only to make
# them anew.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# ImageMagick's own date and time chunks would make every run's files differ.
png() { convert -size 8x8 "xc:$1" -define png:exclude-chunks=date,time "$2"; }
tag() { exiftool -q -overwrite_original "$@"; }

# eXIf before the image data, as ExifTool writes it: both dates, orientation and a position.
png '#3366cc' exif.png
tag -DateTimeOriginal='2023:04:20 10:11:12' -ModifyDate='2023:04:21 08:00:00' -Orientation=6 -n \
  -GPSLatitude=35.681236 -GPSLatitudeRef=N -GPSLongitude=139.767125 -GPSLongitudeRef=E exif.png
# eXIf after the image data, as ImageMagick writes it when it turns a photo into a PNG.
convert -size 8x8 xc:'#cc3366' "$work/photo.jpg"
tag -DateTimeOriginal='2021:06:07 08:09:10' "$work/photo.jpg"
convert "$work/photo.jpg" -define png:exclude-chunks=date,time exif_after_image.png
# No Exif, only XMP: a date with a fraction and a zone.
png '#33cc66' xmp.png
tag -XMP-photoshop:DateCreated='2023-04-20T10:11:12.345+09:00' xmp.png
# Exif without a capture date beside an XMP one.
png '#66cc33' xmp_beside_exif.png
tag -Orientation=8 -n -XMP-xmp:CreateDate='2020:02:29 23:59:58Z' xmp_beside_exif.png
# The XMP packet of xmp.png compressed (ExifTool keeps XMP uncompressed), which is not read.
python3 - <<'PY'
import struct, zlib
data = open("xmp.png", "rb").read()
at = data.index(b"iTXt") - 4
size = struct.unpack(">I", data[at:at + 4])[0]
keyword, rest = data[at + 8:at + 8 + size].split(b"\0", 1)
assert keyword == b"XML:com.adobe.xmp" and rest[:2] == b"\0\0"
language, translated, text = rest[2:].split(b"\0", 2)
body = b"iTXt" + keyword + b"\0\1\0" + language + b"\0" + translated + b"\0" + zlib.compress(text)
chunk = struct.pack(">I", len(body) - 4) + body + struct.pack(">I", zlib.crc32(body))
open("xmp_compressed.png", "wb").write(data[:at] + chunk + data[at + 12 + size:])
PY

# WebP: the EXIF chunk holds the TIFF block alone, as ExifTool writes it ...
convert -size 8x8 xc:'#cc6633' -define webp:lossless=true exif.webp
tag -DateTimeOriginal='2022:11:03 07:08:09' -Orientation=3 -n exif.webp
# ... or behind "Exif\0\0", as some other writers do.
python3 - <<'PY'
import struct
data = open("exif.webp", "rb").read()
at = data.index(b"EXIF")
size = struct.unpack("<I", data[at + 4:at + 8])[0]
body = b"Exif\0\0" + data[at + 8:at + 8 + size]
chunk = b"EXIF" + struct.pack("<I", len(body)) + body + b"\0" * (len(body) & 1)
rest = data[12:at] + chunk + data[at + 8 + size + (size & 1):]
open("exif_marker.webp", "wb").write(b"RIFF" + struct.pack("<I", 4 + len(rest)) + b"WEBP" + rest)
PY

# CR3: no raw file of a Canon camera under a free licence is to be had from a Debian package,
# so this one is built box by box as the camera lays its boxes out: "ftyp" of brand "crx ",
# then "moov" with Canon's "uuid" box first (CNCV, CCTP, CTBO, the four CMT boxes, THMB), then
# "mvhd" with a time of its own that must not be taken, then "mdat".
python3 - <<'PY'
import struct

def box(kind, payload):
    return struct.pack(">I", 8 + len(payload)) + kind + payload

def tiff(entries):
    """A little-endian TIFF block with one directory of (tag, type, values) entries."""
    sizes = {2: 1, 3: 2, 4: 4, 5: 8}
    data_at = 8 + 2 + 12 * len(entries) + 4
    directory, data = b"", b""
    for tag, kind, values in sorted(entries):
        if kind == 2:
            raw, count = values.encode() + b"\0", len(values) + 1
        elif kind == 5:
            raw, count = b"".join(struct.pack("<II", *v) for v in values), len(values)
        else:
            raw, count = b"".join(struct.pack("<H" if kind == 3 else "<I", v) for v in values), len(values)
        if len(raw) <= 4:
            field = raw.ljust(4, b"\0")
        else:
            field = struct.pack("<I", data_at + len(data))
            data += raw + b"\0" * (len(raw) & 1)
        directory += struct.pack("<HHI", tag, kind, count) + field
    return b"II*\0" + struct.pack("<IH", 8, len(entries)) + directory + b"\0\0\0\0" + data

ifd0 = tiff([(0x010F, 2, "Canon"), (0x0110, 2, "Canon EOS R"), (0x0112, 3, [8]),
             (0x0132, 2, "2024:01:03 12:00:00")])
exif_ifd = tiff([(0x829A, 5, [(1, 250)]), (0x9003, 2, "2024:01:02 03:04:05"),
                 (0x9004, 2, "2024:01:02 03:04:05")])
maker = tiff([(0x0006, 2, "Canon EOS R")])
gps = tiff([(0x0001, 2, "S"), (0x0002, 5, [(33, 1), (51, 1), (3126, 100)]),
            (0x0003, 2, "E"), (0x0004, 5, [(151, 1), (12, 1), (4020, 100)])])
canon = bytes.fromhex("85c0b687820f11e08111f4ce462b6a48")
uuid = box(b"uuid", canon + box(b"CNCV", b"CanonCR3_001/00.09.00/00.00.00")
           + box(b"CCTP", bytes(4) + struct.pack(">I", 0))
           + box(b"CTBO", struct.pack(">I", 0))
           + box(b"CMT1", ifd0) + box(b"CMT2", exif_ifd) + box(b"CMT3", maker) + box(b"CMT4", gps)
           + box(b"THMB", bytes(16)))
# 2024-06-01 00:00:00 UTC in seconds since 1904: a plausible filming time, but not the photo's.
mvhd = box(b"mvhd", bytes(4) + struct.pack(">IIII", 3800044800, 3800044800, 1000, 0) + bytes(80))
ftyp = box(b"ftyp", b"crx " + struct.pack(">I", 1) + b"crx isom")
open("canon.cr3", "wb").write(ftyp + box(b"moov", uuid + mvhd) + box(b"mdat", bytes(64)))
PY

# Pictures of more than eight bits a sample, as phones and cameras write HDR photos: 64 x 48
# pixels, a quarter each of red, green, blue and mid grey, from a 16-bit PNG. heif-enc makes
# ten- and twelve-bit HEIC with x265 and twelve-bit AVIF with aom (its ten-bit AVIF fails).
python3 - <<'PY'
import struct, zlib
w, h = 64, 48
quarters = [(65535, 0, 0), (0, 65535, 0), (0, 0, 65535), (32896, 32896, 32896)]
rows = b""
for y in range(h):
    rows += b"\0" + b"".join(struct.pack(">HHH", *quarters[(y >= h // 2) * 2 + (x >= w // 2)]) for x in range(w))
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
open("quarters16.png", "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 16, 2, 0, 0, 0))
                                   + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
PY
heif-enc -q 90 -b 10 -o deep10.heic quarters16.png
heif-enc -q 90 -b 12 -o deep12.heic quarters16.png
heif-enc -q 90 -A -b 12 -o deep12.avif quarters16.png
rm quarters16.png
