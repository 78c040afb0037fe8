#!/usr/bin/env bash
# Installs what the browser test of the album needs from the npm registry (playwright-core,
# which drives the system's Chromium; no browser is downloaded) into the build tree.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

target=$KASUMIRO_BUILD/browser
mkdir -p "$target"
source_dir=$KASUMIRO_ROOT/tests/browser
if [ -d "$target/node_modules" ] && cmp -s "$source_dir/package-lock.json" "$target/package-lock.json"; then
  exit 0
fi
cp "$source_dir/package.json" "$source_dir/package-lock.json" "$target/"
# The Wine home of env.sh keeps npm's cache inside the build tree too.
(cd "$target" && npm ci --no-audit --no-fund --loglevel=error)
