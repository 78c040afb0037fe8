# Starts virtual X displays for the current script and stops them when the script exits.
# Sourced; defines kasumiro_start_xvfb.
#
# One display for the tests at 96 DPI ($DISPLAY), and one more for each DPI the window tests
# run at besides (KASUMIRO_DISPLAY_144, KASUMIRO_DISPLAY_192; scripts/env.sh hands a test of
# that DPI its display). A DPI's tests run in a Wine prefix with a wineserver of its own, which
# knows nothing of another prefix's windows: on one shared display a test that brought its
# window to the top for a screenshot could still lie under a window of a test at another DPI,
# and its picture showed that window.

# The DPIs of the window tests besides 96, as kasumiro_add_dpi_tests in tests/CMakeLists.txt
# runs them.
KASUMIRO_TEST_DPIS="144 192"

# Starts one display on the first free number from 99 and waits until it takes connections;
# its name goes to KASUMIRO_NEW_DISPLAY, its process to KASUMIRO_XVFB_PIDS.
kasumiro_start_one_xvfb() {
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  # As large as the screen of a laptop at 200 %, for the windows at 192 DPI.
  Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 &
  KASUMIRO_XVFB_PIDS="${KASUMIRO_XVFB_PIDS:-} $!"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  KASUMIRO_NEW_DISPLAY=":$n"
}

kasumiro_start_xvfb() {
  KASUMIRO_XVFB_PIDS=""
  # Unquoted: the list of processes.
  trap 'kill $KASUMIRO_XVFB_PIDS 2>/dev/null || true' EXIT
  kasumiro_start_one_xvfb
  export DISPLAY=$KASUMIRO_NEW_DISPLAY
  local dpi
  for dpi in $KASUMIRO_TEST_DPIS; do
    kasumiro_start_one_xvfb
    export "KASUMIRO_DISPLAY_$dpi=$KASUMIRO_NEW_DISPLAY"
  done
}
