#!/usr/bin/env bash
# Builds the libFuzzer targets of the parsers and runs each for SECONDS (default 60),
# seeded from the real test images, movies and pictures. Inputs that once crashed a target
# (fuzz/regressions/) are replayed first. Exit 0 when nothing crashed, leaked or read out of bounds.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${KASUMIRO_FUZZ_BUILD:-$root/build/fuzz}
data=$root/tests/data/real

# The picture codecs and FFmpeg for this machine, for the thumbnails' and posters' fuzz targets.
"$root/scripts/codecs.sh" native
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKASUMIRO_FUZZ=ON -DKASUMIRO_NATIVE_CODECS_DIR="$root/build/codecs/native" >/dev/null
cmake --build "$build" -j "$(nproc)"

# Seeds: the files themselves, and for the block target the Exif blocks cut out of them.
seeds=$build/seeds
rm -rf "$seeds"
mkdir -p "$seeds"/{album_cache,exif_block,heif_file,jpeg_file,movie_file,movie_poster,picture_decode,picture_file,tiff_file}
# Without its seeds a short run finds nothing: a missing set is an error, not a skip.
if [ ! -f "$data/oracle.json" ]; then
  echo "fuzz.sh: the real test images are missing from $data" >&2
  exit 1
fi
cp "$data"/heif/* "$data"/avif/* "$seeds/heif_file/"
cp "$data"/jpeg/* "$seeds/jpeg_file/"
cp "$data"/jpeg/* "$data"/heif/* "$root"/tests/data/jpeg_shapes/*.jpg "$seeds/picture_decode/"
cp "$data"/tiff/* "$seeds/tiff_file/"
cp "$root"/tests/data/movies/*.mov "$root"/tests/data/movies/*.mp4 "$root"/tests/data/movies/*.3gp \
  "$root"/tests/data/movies/*.m4a "$seeds/movie_file/"
cp "$root"/tests/data/pictures/*.png "$root"/tests/data/pictures/*.webp "$root"/tests/data/pictures/*.cr3 \
  "$seeds/picture_file/"
python3 "$root/fuzz/extract_exif_blocks.py" "$data" "$seeds/exif_block"
# The posters' target: the clips the album tests read (H.264 and HEVC turned, a short one, a
# camcorder's MPEG-TS, a Motion JPEG AVI, sound alone), made by Debian's ffmpeg, and the small
# movies of the repository.
"$root/tests/data/clips/make_clips.sh" "$build/clips"
cp "$build"/clips/quarters_*.mp4 "$build"/clips/quarters_*.m2ts "$build"/clips/quarters_*.avi "$build"/clips/audio_only.mp4 "$root"/tests/data/movies/*.mov \
  "$root"/tests/data/movies/*.mp4 "$root"/tests/data/movies/*.3gp "$seeds/movie_poster/"
# The album's cache files as a build made them of the real images.
cp "$root"/fuzz/seeds/album_cache/* "$seeds/album_cache/"

status=0
for target in album_cache exif_block heif_file jpeg_file movie_file movie_poster picture_decode picture_file tiff_file; do
  binary=$build/fuzz/fuzz_$target
  regressions=$root/fuzz/regressions/$target
  if [ -d "$regressions" ] && [ -n "$(ls -A "$regressions")" ]; then
    echo "== $target: replaying $(ls "$regressions" | wc -l) regression inputs"
    # A stall counts as a failure: some of these once took minutes.
    "$binary" -timeout=10 "$regressions"/* >/dev/null 2>&1 || { echo "$target: a regression input fails again"; status=1; }
  fi
  corpus=$build/corpus/$target
  artifacts=$build/crashes/$target/
  mkdir -p "$corpus" "$artifacts"
  echo "== $target: fuzzing for ${seconds}s"
  if ! "$binary" "$corpus" "$seeds/$target" -max_total_time="$seconds" -max_len=1048576 \
      -rss_limit_mb=2048 -timeout=10 -artifact_prefix="$artifacts" -print_final_stats=1 \
      >"$build/$target.log" 2>&1; then
    echo "$target: the fuzzer found a failing input in $artifacts (log: $build/$target.log)"
    tail -n 30 "$build/$target.log"
    status=1
  else
    grep -E 'stat::number_of_executed_units|stat::new_units_added' "$build/$target.log" | sed "s/^/   /"
  fi
done
exit $status
