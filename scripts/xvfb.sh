# Starts a virtual X display for the current script and stops it when the script exits.
# Sourced; defines kasumiro_start_xvfb.

kasumiro_start_xvfb() {
  local n=99
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  # As large as the screen of a laptop at 200 %, for the windows at 192 DPI.
  Xvfb ":$n" -screen 0 2560x1600x24 -nolisten tcp >/dev/null 2>&1 &
  KASUMIRO_XVFB_PID=$!
  trap 'kill "$KASUMIRO_XVFB_PID" 2>/dev/null || true' EXIT
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}
