#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; each prints its figures. The album benchmark is
# followed by vipsthumbnail (libvips) making 320 x 240 thumbnails of the same pictures on one
# core and on every core, and the ratios of the two.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
KASUMIRO_EXTRA_PACKAGES=libvips-tools "$here/deps.sh"
"$here/build.sh"
source "$here/env.sh"
# Each benchmark takes its own arguments: run one alone as
#   scripts/wine-run.sh build/bin/kasumiro_organize_bench.exe FILES MIB_PER_FILE
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_metadata_bench.exe"
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_organize_bench.exe"

album=$("$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_album_bench.exe" "$@")
echo "$album" | grep -v '^ours-'
ours_core=$(echo "$album" | awk '/^ours-per-core/ {print $2}')
ours_all=$(echo "$album" | awk '/^ours-all-cores/ {print $2}')

corpus=$KASUMIRO_BUILD/bench-album-corpus/DCIM
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
pictures=$(ls "$corpus" | wc -l)
cores=$(nproc)
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}
one=$(seconds env VIPS_CONCURRENCY=1 vipsthumbnail -s 320x240 -o "$out/%s.jpg[Q=80]" "$corpus"/*.JPG)
per_process=$(( (pictures + cores - 1) / cores ))
all=$(seconds sh -c "ls '$corpus'/*.JPG | xargs -P $cores -n $per_process env VIPS_CONCURRENCY=1 \
  vipsthumbnail -s 320x240 -o '$out/%s.jpg[Q=80]'")
awk -v n="$pictures" -v one="$one" -v all="$all" -v oc="$ours_core" -v oa="$ours_all" -v cores="$cores" 'BEGIN {
  printf "vipsthumbnail on the same %d pictures\n", n
  printf "  one core                           %7.1f thumbnails/s (ours %.1f: %.2f x)\n", n / one, oc, oc / (n / one)
  printf "  %d cores                            %7.1f thumbnails/s (ours %.1f: %.2f x)\n", cores, n / all, oa, oa / (n / all)
}'
