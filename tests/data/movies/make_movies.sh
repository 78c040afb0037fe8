#!/usr/bin/env bash
# Makes the small movie files of this folder with ffmpeg (Debian package ffmpeg): a fifth of
# a second of one colour, each with a known filming time in its "mvhd" box. The files are
# kept in the repository, so the tests do not need ffmpeg; run this only to make them anew.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
make() {  # colour, creation time (empty: none), file, extra options...
  local colour=$1 time=$2 file=$3
  shift 3
  local metadata=()
  [ -n "$time" ] && metadata=(-metadata "creation_time=$time")
  rm -f "$file"
  ffmpeg -v error -f lavfi -i "color=c=$colour:s=16x16:d=0.2:r=5" -c:v mjpeg "${metadata[@]}" "$@" "$file"
}
# QuickTime as a camera writes it: the movie box after the media data.
make blue 2019-07-14T09:30:00Z mov_moov_last.mov
# MP4 made for streaming: the movie box first.
make red 2021-12-31T23:59:30Z mp4_moov_first.mp4 -movflags +faststart
# No filming time: ffmpeg then writes 0.
make green "" mp4_no_time.mp4
# A phone's 3GP.
rm -f phone.3gp
ffmpeg -v error -f lavfi -i "color=c=yellow:s=176x144:d=0.2:r=5" -c:v mpeg4 -q:v 31 \
  -metadata creation_time=2018-03-04T05:06:07Z phone.3gp
# A phone's voice memo: sound alone, in an MPEG-4 audio file of brand "M4A ".
rm -f voice_memo.m4a
ffmpeg -v error -f lavfi -i "sine=frequency=440:duration=0.2" -c:a aac -b:a 32k \
  -metadata creation_time=2023-05-06T07:08:09Z voice_memo.m4a
# Version 1 of "mvhd" (64-bit times), as long recordings carry it: made from the QuickTime
# file by widening the box's four time and duration fields.
python3 - <<'PY'
import struct
data = bytearray(open("mov_moov_last.mov", "rb").read())
moov = data.index(b"moov") - 4
mvhd = data.index(b"mvhd") - 4
size = struct.unpack(">I", data[mvhd:mvhd + 4])[0]
assert data[mvhd + 8] == 0
created, modified, scale, duration = struct.unpack(">IIII", data[mvhd + 12:mvhd + 28])
wide = struct.pack(">BxxxQQIQ", 1, created, modified, scale, duration)
data[mvhd + 8:mvhd + 28] = wide
data[mvhd:mvhd + 4] = struct.pack(">I", size + 12)
data[moov:moov + 4] = struct.pack(">I", struct.unpack(">I", data[moov:moov + 4])[0] + 12)
open("mov_mvhd_v1.mov", "wb").write(bytes(data))
PY
