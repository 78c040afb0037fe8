#!/usr/bin/env bash
# Creates the Wine prefix of this build tree once: CJK fonts for the dialog fonts, the symbol
# font of the caption buttons, and windows that draw their own frames (no window manager runs
# on the virtual display).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

# The marker names what the set-up holds, so that an older prefix is brought up to date.
ready_marker=.kasumiro-ready-2

# A prefix at another DPI: a copy of the base prefix, told its DPI before Wine first reads it.
# The copy carries the base's marker, so a base brought up to date is copied anew.
make_dpi_prefix() {
  local dpi_ready=$WINEPREFIX/.kasumiro-ready-dpi
  local copied=$WINEPREFIX/$ready_marker
  [ -f "$dpi_ready" ] && [ -f "$copied" ] && return 0
  exec 7>"$WINEPREFIX.lock"
  flock 7
  if [ ! -f "$dpi_ready" ] || [ ! -f "$copied" ]; then
    rm -rf "$WINEPREFIX"
    cp -a "$KASUMIRO_BASE_PREFIX" "$WINEPREFIX"
    local hex
    hex=$(printf '%08x' "$KASUMIRO_TEST_DPI")
    sed -i "s/^\"LogPixels\"=dword:.*/\"LogPixels\"=dword:$hex/" "$WINEPREFIX/user.reg" "$WINEPREFIX/system.reg"
    grep -q "LogPixels\"=dword:$hex" "$WINEPREFIX/user.reg"
    touch "$dpi_ready"
  fi
  exec 7>&-
}

make_base_prefix() {
  local ready=$KASUMIRO_BASE_PREFIX/$ready_marker
  [ -f "$ready" ] && return 0
  mkdir -p "$HOME" "$KASUMIRO_WINE_DIR"
  # Tests run in parallel: only one of them may create the prefix.
  exec 9>"$KASUMIRO_WINE_DIR/.prefix-lock"
  flock 9
  if [ ! -f "$ready" ]; then
    WINEPREFIX=$KASUMIRO_BASE_PREFIX create_base_prefix
    touch "$ready"
  fi
  exec 9>&-
}

create_base_prefix() {
  echo "Creating the Wine prefix in $WINEPREFIX" >&2
  "$KASUMIRO_WINE" wineboot -i >/dev/null 2>&1 </dev/null

  # Caption buttons and scroll arrows are glyphs of Marlett. Debian's Wine keeps its own fonts
  # in its data folder but never registers them in a new prefix, so without this every caption
  # shows the letters "0 1 r" instead of its minimize, maximize and close buttons.
  cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

  local reg=$KASUMIRO_WINE_DIR/kasumiro-prefix.reg
  local font="Noto Sans CJK JP"
  cat >"$reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts]
"Marlett (TrueType)"="marlett.ttf"

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS Shell Dlg"="$font"
"MS Shell Dlg 2"="$font"
"Tahoma"="$font"
"MS UI Gothic"="$font"

[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]
"Managed"="N"
"Decorated"="Y"
REG
  (cd "$KASUMIRO_WINE_DIR" && "$KASUMIRO_WINE" regedit /S kasumiro-prefix.reg >/dev/null 2>&1 </dev/null)
  "$KASUMIRO_WINESERVER" -w
}

make_base_prefix
if [ "$WINEPREFIX" != "$KASUMIRO_BASE_PREFIX" ]; then
  make_dpi_prefix
fi
