#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the metadata readers natively under
# the sanitizers, a short fuzz run of the parsers, everything under Wine on a virtual display,
# then the release (scripts/release.sh) installed and used. The exit status is the tests'
# result.
set -euo pipefail
here=$(dirname "${BASH_SOURCE[0]}")
root=$(cd "$here/.." && pwd)
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
if [ $windows -ne 0 ]; then
  # Under a full parallel load Wine has been seen, rarely, to end a test process before it
  # printed anything. A fault of ours fails again when run alone; a test that passes then is
  # named, so that it is looked into, but does not fail the run.
  echo "== running the failed tests again, one at a time" >&2
  windows=0
  ctest --test-dir "$KASUMIRO_BUILD" --output-on-failure --rerun-failed --timeout 300 || windows=$?
  [ $windows -ne 0 ] || echo "== UNSTEADY: the tests above failed in the parallel run and passed alone" >&2
fi
[ $status -ne 0 ] || status=$windows

# The release a user downloads, made and then installed, used and uninstalled in a prefix of
# its own, and the portable zip unpacked and used.
release=0
"$here/release.sh" >/dev/null || release=$?
if [ $release -eq 0 ]; then
  KASUMIRO_PREFIX_REG="$KASUMIRO_WINE_DIR/kasumiro-prefix.reg" WINE="$KASUMIRO_WINE" \
    WINESERVER="$KASUMIRO_WINESERVER" python3 "$root/tests/release/release_test.py" "$KASUMIRO_BUILD/release" \
    "$root/tests/data/real" "$KASUMIRO_BUILD/screenshots" || release=$?
fi
[ $status -ne 0 ] || status=$release
"$KASUMIRO_WINESERVER" -k >/dev/null 2>&1 || true
exit $status
