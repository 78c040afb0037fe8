#!/usr/bin/env bash
# Makes the movies the poster tests read, with Debian's ffmpeg program, into the folder given
# (the build tree): made at build time, so the repository holds no movie of this size and the
# clips are what the machine's encoders write today.
#
# Each "quarters" clip shows four colours, one a quarter, recorded as a phone records portrait:
# landscape frames, and the track's matrix turning them 90 degrees clockwise (what a phone
# writes; ffmpeg 5.1 has no option that writes it, so the matrix is put into the track header
# by hand). ffmpeg's own upright frame of each at the poster's moment is written beside it as a
# PPM, for the tests to compare with.
set -euo pipefail
out=$1
mkdir -p "$out"
cd "$out"
ff() { ffmpeg -v error -nostdin -y "$@"; }
# The matrix of the first track header of an MP4: 0 1 0 / -1 0 0 / 0 0 1, a quarter turn.
turn_quarter() {
  python3 - "$1" <<'PY'
import struct, sys
path = sys.argv[1]
data = bytearray(open(path, "rb").read())
at = data.index(b"tkhd") - 4
version = data[at + 8]
matrix = at + (48 if version == 0 else 60)
struct.pack_into(">9i", data, matrix, 0, 1 << 16, 0, -(1 << 16), 0, 0, 0, 0, 1 << 30)
open(path, "wb").write(data)
PY
}
quarters="color=c=red:s=160x120:d=@[a];color=c=lime:s=160x120:d=@[b];color=c=blue:s=160x120:d=@[c];"
quarters+="color=c=yellow:s=160x120:d=@[d];[a][b]hstack[top];[c][d]hstack[bottom];[top][bottom]vstack,format=yuv420p"
clip() {  # seconds, codec, file, extra options...
  local seconds=$1 codec=$2 file=$3
  shift 3
  ff -filter_complex "${quarters//@/$seconds}" -r 30 -c:v "$codec" -g 15 "$@" "$file"
  turn_quarter "$file"
}
clip 2 libx264 quarters_h264_rot90.mp4 -preset ultrafast
clip 2 libx265 quarters_hevc_rot90.mp4 -preset ultrafast -tag:v hvc1 -x265-params log-level=error
clip 0.3 libx264 quarters_short_h264_rot90.mp4 -preset ultrafast
# ffmpeg's own frames, turned as it turns them when it shows the movie.
ff -ss 1 -i quarters_h264_rot90.mp4 -frames:v 1 quarters_h264_rot90.ppm
ff -ss 1 -i quarters_hevc_rot90.mp4 -frames:v 1 quarters_hevc_rot90.ppm
ff -i quarters_short_h264_rot90.mp4 -frames:v 1 quarters_short_h264_rot90.ppm
# What camcorders and compact cameras write, landscape and unturned: H.264 in an MPEG-TS of
# 192-byte packets (AVCHD's .mts and .m2ts), and Motion JPEG in an AVI.
ff -filter_complex "${quarters//@/2}" -r 30 -c:v libx264 -preset ultrafast -g 15 -f mpegts -mpegts_m2ts_mode 1 \
  quarters_h264.m2ts
ff -filter_complex "${quarters//@/2}" -r 30 -c:v mjpeg -pix_fmt yuvj420p -q:v 3 quarters_mjpeg.avi
ff -ss 1 -i quarters_h264.m2ts -frames:v 1 quarters_h264_m2ts.ppm
ff -ss 1 -i quarters_mjpeg.avi -frames:v 1 quarters_mjpeg_avi.ppm
# Sound alone, in an MP4.
ff -f lavfi -i "sine=frequency=440:duration=1" -c:a aac -b:a 32k audio_only.mp4
# A phone-sized movie of some weight, its index at the end as phones write it, to count what
# a poster reads of it; and the same cut off halfway, the index lost.
ff -f lavfi -i "testsrc2=s=640x360:d=12:r=30" -c:v libx264 -preset ultrafast -b:v 3M -g 30 long_h264.mp4
head -c $(( $(stat -c %s long_h264.mp4) / 2 )) long_h264.mp4 >truncated_h264.mp4
touch clips.stamp
