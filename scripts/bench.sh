#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine; each prints its figures.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
"$here/deps.sh"
"$here/build.sh"
source "$here/env.sh"
"$here/wine-run.sh" "$KASUMIRO_BUILD/bin/kasumiro_metadata_bench.exe" "$@"
