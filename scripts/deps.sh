#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; skips what is installed.
set -euo pipefail

packages=(
  cmake make
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  googletest
  clang libclang-rt-14-dev python3
  procps
  wine64
  xvfb xauth
  fonts-noto-cjk fonts-wine
  imagemagick
  chromium
  nsis zip
  # Makes the movies the poster tests read, at build time (tests/data/clips).
  ffmpeg
  # The image codecs' sources and what builds them (scripts/codecs.sh).
  dpkg-dev patch meson ninja-build nasm
)
# What a caller needs besides (the benchmarks' thumbnailer to compare with, say).
packages+=(${KASUMIRO_EXTRA_PACKAGES:-})
# Node.js runs the browser test of the album. A machine that has it (from Debian or from
# another source, which ships its own npm) keeps it; only a machine without it gets Debian's.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
