#!/usr/bin/env bash
# Installs what is missing, builds, and starts Kasumiro under Wine: on your display when
# there is one, else on a virtual display, where it saves a screenshot and says where.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
"$here/deps.sh"
"$here/build.sh"
source "$here/env.sh"
"$here/wine-prefix.sh"
exe=$KASUMIRO_BUILD/bin/Kasumiro.exe

if [ -n "${DISPLAY:-}" ]; then
  exec "$KASUMIRO_WINE" "$exe"
fi

source "$here/xvfb.sh"
kasumiro_start_xvfb
"$KASUMIRO_WINE" "$exe" &
app=$!
shot=$KASUMIRO_BUILD/screenshots/run.png
mkdir -p "$(dirname "$shot")"
sleep "${KASUMIRO_SHOT_DELAY:-6}"
import -window root "$shot"
echo "Kasumiro is running on the virtual display $DISPLAY; screenshot: $shot"
echo "It stops when you close this script (Ctrl+C)."
trap 'kill "$app" 2>/dev/null; "$KASUMIRO_WINESERVER" -k >/dev/null 2>&1; kill $KASUMIRO_XVFB_PIDS 2>/dev/null || true' EXIT INT TERM
wait "$app" || true
