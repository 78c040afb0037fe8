#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; each prints its figures. Organize runs against a
# bare walk-and-CopyFileW program on a RAM disk and on the disk. The album is built from
# camera JPEGs, then from phone-like HEIC photos made of the first of them (heif-enc, kept with
# the JPEGs); after each, vipsthumbnail (libvips, which reads HEIC through libheif too) makes
# thumbnails of the same pictures on one core and on every core, and the ratios are printed.
# Then the posters of phone-sized movies ffmpeg makes; last, hostile and damaged pictures, each
# measured alone and then as an album.
#
#   scripts/bench.sh [PICTURES [WIDTH HEIGHT]]     (KASUMIRO_BENCH_HEIC photos of HEIC, default 24)
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
KASUMIRO_EXTRA_PACKAGES="libvips-tools libheif-examples" "$here/deps.sh"
"$here/build.sh"
source "$here/env.sh"
# Each benchmark takes its own arguments (see bench/README.md); run one alone as
#   scripts/wine-run.sh build/bin/kasumiro_organize_bench.exe --root 'Z:\dev\shm\x' lookalikes 100
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_metadata_bench.exe"

# Organize: on a RAM disk, where the disk's write-back is gone and what is left is ours, then
# on the disk, every run timed until its data is on it.
windows_path() { echo "Z:${1//\//\\}"; }
organize_bench() { "$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_organize_bench.exe" "$@"; }
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  ram=$(mktemp -d /dev/shm/kasumiro-bench.XXXXXX)
  organize_bench --root "$(windows_path "$ram")" start 7 pairs 5 workers lookalikes 100,300,1000 scale 5000,50000,200000 memory
  rm -rf "$ram"
fi
organize_bench --root "$(windows_path "$KASUMIRO_BUILD/bench-organize")" --on-disk pairs 5 workers

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cores=$(nproc)
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}

# vipsthumbnail over the files FOLDER/*.EXT into a box, on one core and then on every core
# (one process per core, since its own threads do not spread over the files); prints the two
# times.
vips_times() {
  local folder=$1 ext=$2 box=$3 files per_process one all
  files=$(ls "$folder"/*."$ext" | wc -l)
  per_process=$(( (files + cores - 1) / cores ))
  one=$(seconds env VIPS_CONCURRENCY=1 vipsthumbnail -s "$box" -o "$out/%s.jpg[Q=80]" "$folder"/*."$ext")
  all=$(seconds sh -c "ls '$folder'/*.$ext | xargs -P $cores -n $per_process env VIPS_CONCURRENCY=1 \
    vipsthumbnail -s $box -o '$out/%s.jpg[Q=80]'")
  echo "$one $all"
}

# Our figures (the bench's lines KEY-per-core and KEY-all-cores) against vipsthumbnail's
# times for the same files.
compare() {
  local what=$1 album=$2 key=$3 pictures=$4 one=$5 all=$6
  awk -v what="$what" -v n="$pictures" -v one="$one" -v all="$all" -v cores="$cores" \
    -v oc="$(echo "$album" | awk -v k="$key-per-core" '$1 == k {print $2}')" \
    -v oa="$(echo "$album" | awk -v k="$key-all-cores" '$1 == k {print $2}')" 'BEGIN {
    printf "vipsthumbnail on the same %d pictures, %s\n", n, what
    printf "  one core                           %7.1f pictures/s (ours %.1f: %.2f x)\n", n / one, oc, oc / (n / one)
    printf "  %d cores                            %7.1f pictures/s (ours %.1f: %.2f x)\n", cores, n / all, oa, oa / (n / all)
  }'
}

album=$("$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_album_bench.exe" "$@")
echo "$album" | grep -v '^ours-'
corpus=$KASUMIRO_BUILD/bench-album-corpus/DCIM
pictures=$(ls "$corpus"/*.JPG | wc -l)
compare "320 x 240 thumbnails" "$album" ours "$pictures" $(vips_times "$corpus" JPG 320x240)

# Phone-like HEIC photos: the JPEGs' pixels and Exif, a 320 x 240 thumbnail item as phones
# write; made once. x265's fastest preset keeps the making short; it decodes like any other.
heic_count=${KASUMIRO_BENCH_HEIC:-24}
heic=$KASUMIRO_BUILD/bench-album-corpus-heic
marker="$heic/corpus-$heic_count-from-$(ls "$corpus" | head -1).done"
if [ ! -e "$marker" ]; then
  rm -rf "$heic"
  mkdir -p "$heic/DCIM"
  echo "making $heic_count HEIC photos with heif-enc" >&2
  ls "$corpus"/*.JPG | head -n "$heic_count" | xargs -P "$cores" -I{} sh -c \
    'heif-enc -q 60 -t 320 -p preset=ultrafast -o "$0/DCIM/$(basename "$1" .JPG).HEIC" "$1" >/dev/null' "$heic" {}
  touch "$marker"
fi
album=$("$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_album_bench.exe" --folder "$(windows_path "$heic")")
echo "$album" | grep -v '^ours-'
heic_pictures=$(ls "$heic/DCIM" | wc -l)
read -r thumbs_one thumbs_all < <(vips_times "$heic/DCIM" HEIC 320x240)
read -r views_one views_all < <(vips_times "$heic/DCIM" HEIC 2048x2048)
compare "320 x 240 thumbnails alone" "$album" ours-alone "$heic_pictures" "$thumbs_one" "$thumbs_all"
# An album of HEIC photos has a thumbnail and a 2048 x 2048 view of each, which browsers show.
compare "thumbnails and 2048 x 2048 views, as the album has" "$album" ours "$heic_pictures" \
  "$(awk -v a="$thumbs_one" -v b="$views_one" 'BEGIN { print a + b }')" \
  "$(awk -v a="$thumbs_all" -v b="$views_all" 'BEGIN { print a + b }')"

# Real phone photos (tests/data/real/heif: a 16-megapixel Android HEIF and two iPhone HEICs of
# 8.5 and 12 megapixels, grids of tiles as phones write them), six copies each, three times in a
# row: the spread is part of the figure.
real=$KASUMIRO_BUILD/bench-album-real-heic
rm -rf "$real"
mkdir -p "$real/DCIM"
for copy in 1 2 3 4 5 6; do
  for photo in ianare_HMD_Nokia_8.3_5G_hdr.heif ianare_IMG_5195.HEIC mde_exif-at-eof.heic; do
    cp "$here/../tests/data/real/heif/$photo" "$real/DCIM/${copy}_${photo%.*}.HEIC"
  done
done
real_pictures=$(ls "$real/DCIM" | wc -l)
for run in 1 2 3; do
  album=$("$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_album_bench.exe" --folder "$(windows_path "$real")")
  [ "$run" = 1 ] && echo "$album" | grep -v '^ours-'
  read -r thumbs_one thumbs_all < <(vips_times "$real/DCIM" HEIC 320x240)
  read -r views_one views_all < <(vips_times "$real/DCIM" HEIC 2048x2048)
  compare "real phone photos, thumbnails and 2048 x 2048 views, run $run of 3" "$album" ours "$real_pictures" \
    "$(awk -v a="$thumbs_one" -v b="$views_one" 'BEGIN { print a + b }')" \
    "$(awk -v a="$thumbs_all" -v b="$views_all" 'BEGIN { print a + b }')"
done
rm -rf "$real"

# Movies' posters: phone-sized movies made once with ffmpeg, 1080p and 4K in H.264 and HEVC at
# the bit rates phones record at, a keyframe a second as phones write them, moving and grainy
# enough to weigh what a phone's do.
movies=$KASUMIRO_BUILD/bench-album-movies
if [ ! -e "$movies/made.done" ]; then
  rm -rf "$movies"
  mkdir -p "$movies"
  for kind in 1920x1080:h264:libx264:17M 1920x1080:hevc:libx265:10M 3840x2160:h264:libx264:45M \
              3840x2160:hevc:libx265:40M; do
    IFS=: read -r size name codec rate <<<"$kind"
    ffmpeg -v error -nostdin -y -f lavfi -i "testsrc2=s=$size:r=30:d=3,noise=alls=10:allf=t" \
      -c:v "$codec" -preset ultrafast -b:v "$rate" -g 30 -pix_fmt yuv420p \
      $([ "$codec" = libx265 ] && echo "-tag:v hvc1 -x265-params log-level=error") \
      "$movies/${size#*x}p-${name}_1.mp4"
  done
  touch "$movies/made.done"
fi
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_album_bench.exe" --movies "$(windows_path "$movies")"

# Hostile and damaged pictures (a few hundred bytes that claim gigapixels, a progressive JPEG
# of 1,200 scans, a PNG of one row repeated): each one's thumbnail and then their album, each
# in a process of its own, with its time and peak memory.
hostile=$KASUMIRO_BUILD/bench-album-hostile
rm -rf "$hostile"
python3 "$here/../tests/album/make_hostile_pictures.py" "$hostile"
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_album_bench.exe" --hostile "$(windows_path "$hostile")"
