#!/usr/bin/env bash
# Configures and builds the Windows programs and tests into build/.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

# The image codecs first: built once per source version, kept in the build tree.
"$KASUMIRO_ROOT/scripts/codecs.sh"

cmake -S "$KASUMIRO_ROOT" -B "$KASUMIRO_BUILD" \
  -DCMAKE_TOOLCHAIN_FILE="$KASUMIRO_ROOT/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE="${KASUMIRO_BUILD_TYPE:-Release}" >/dev/null
cmake --build "$KASUMIRO_BUILD" -j "$(nproc)"
