# Shared settings of the build and Wine scripts; sourced, never run.
# Everything Wine writes (its prefix and the home folder it links Documents to) lives
# inside the build tree, so no run or test ever touches the real home folder.

KASUMIRO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KASUMIRO_BUILD=${KASUMIRO_BUILD:-$KASUMIRO_ROOT/build}
KASUMIRO_WINE_DIR=$KASUMIRO_BUILD/wine

KASUMIRO_BASE_PREFIX=$KASUMIRO_WINE_DIR/prefix
export WINEPREFIX=$KASUMIRO_BASE_PREFIX
# The tests of our windows at another DPI run in a copy of the prefix set to that DPI (Wine
# reads it once, for the whole prefix), with a wineserver of its own.
# It also runs on a virtual display of its own when scripts/xvfb.sh started one for its DPI:
# its wineserver cannot keep its windows above those of another prefix on a shared display.
if [ -n "${KASUMIRO_TEST_DPI:-}" ] && [ "$KASUMIRO_TEST_DPI" != 96 ]; then
  export WINEPREFIX=$KASUMIRO_WINE_DIR/prefix-${KASUMIRO_TEST_DPI}dpi
  kasumiro_dpi_display=KASUMIRO_DISPLAY_$KASUMIRO_TEST_DPI
  if [ -n "${!kasumiro_dpi_display:-}" ]; then
    export DISPLAY=${!kasumiro_dpi_display}
  fi
  unset kasumiro_dpi_display
fi
export WINEDEBUG=-all
export WINEARCH=win64
# Wine cannot map Japanese file names without a UTF-8 locale (error 123 under LANG=C).
export LANG=C.UTF-8
export LC_ALL=C.UTF-8
# Wine links the prefix's Documents to $HOME: give it a home of its own.
export HOME=$KASUMIRO_WINE_DIR/home

KASUMIRO_WINE=/usr/lib/wine/wine64
KASUMIRO_WINESERVER=/usr/lib/wine/wineserver
export WINELOADER=$KASUMIRO_WINE
export WINESERVER=$KASUMIRO_WINESERVER
