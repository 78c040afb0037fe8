#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the metadata readers natively under
# the sanitizers, a short fuzz run of the parsers, then everything under Wine on a virtual
# display. The exit status is the tests' result.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
"$here/deps.sh"
"$here/build.sh"
"$here/browser-deps.sh"
source "$here/env.sh"
source "$here/xvfb.sh"

"$here/wine-prefix.sh"
kasumiro_start_xvfb
# Screenshots and other test output from earlier runs would only mislead.
rm -rf "$KASUMIRO_BUILD/screenshots"

status=0
"$here/native-tests.sh" || status=$?
"$here/fuzz.sh" "${KASUMIRO_FUZZ_SECONDS:-20}" || status=$?

windows=0
ctest --test-dir "$KASUMIRO_BUILD" --output-on-failure -j "$(nproc)" --timeout 300 || windows=$?
[ $status -ne 0 ] || status=$windows
"$KASUMIRO_WINESERVER" -k >/dev/null 2>&1 || true
exit $status
