#!/usr/bin/env bash
# Runs one Windows program under Wine in this build tree's prefix; CTest uses it as the
# emulator for every test. One wineserver serves all of them (a cold start of Wine costs
# seconds). It is started here, with the system services it boots, with their output sent
# away: they inherit the output of whoever starts them, and a test runner reading a test's
# output would otherwise wait for them to exit.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

"$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"

server_running() {
  local pid
  for pid in $(pgrep -x wineserver64 2>/dev/null) $(pgrep -x wineserver 2>/dev/null); do
    tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX" && return 0
  done
  return 1
}

if ! server_running; then
  exec 8>"$KASUMIRO_WINE_DIR/.server-lock"
  flock 8
  if ! server_running; then
    # Neither may keep the lock: they outlive this script.
    "$KASUMIRO_WINESERVER" -p300 >/dev/null 2>&1 </dev/null 8>&- || true
    "$KASUMIRO_WINE" wineboot >/dev/null 2>&1 </dev/null 8>&- || true
  fi
  exec 8>&-
fi
exec "$KASUMIRO_WINE" "$@"
