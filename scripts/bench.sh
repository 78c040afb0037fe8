#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; each prints its figures.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
"$here/deps.sh"
"$here/build.sh"
source "$here/env.sh"
# Each benchmark takes its own arguments: run one alone as
#   scripts/wine-run.sh build/bin/kasumiro_organize_bench.exe FILES MIB_PER_FILE
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_metadata_bench.exe"
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_organize_bench.exe"
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_album_bench.exe"
