#!/usr/bin/env bash
# Runs one Windows program under Wine in this build tree's prefix; CTest uses it as the
# emulator for every test. The wineserver is kept alive between programs (a cold start of
# Wine costs seconds), with its output sent away: it inherits and would hold our stdout.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

"$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
"$KASUMIRO_WINESERVER" -p60 >/dev/null 2>&1 </dev/null || true
exec "$KASUMIRO_WINE" "$@"
