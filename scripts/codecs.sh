#!/usr/bin/env bash
# Builds the image codecs the album decodes with (libjpeg-turbo for JPEG, libde265 and dav1d
# under libheif for HEIC and AVIF, FFmpeg's libraries for the movies' posters), and takes the header of xxHash (the content hash that
# organize compares look-alike files by), from Debian's source packages, cross-compiled with our
# mingw-w64 toolchain into DLLs under build/codecs/prefix. Each package is built once per
# source version: a machine that built it keeps it. The sources come from Debian's package
# archive alone, through a deb-src entry this script adds for itself.
#
# Usage: codecs.sh             the Windows DLLs (what the program ships and its tests load)
#        codecs.sh native      JPEG, HEIC and FFmpeg from the same sources, static libraries
#                              for this machine, for the fuzz targets
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/env.sh"

kind=${1:-windows}
codecs=$KASUMIRO_BUILD/codecs
sources=$codecs/sources
if [ "$kind" = native ]; then
  prefix=$codecs/native
else
  prefix=$codecs/prefix
fi
work=$codecs/work-$kind
mkdir -p "$sources" "$prefix" "$work"
jobs=$(nproc)
triple=x86_64-w64-mingw32
# The DLLs carry the compiler's own runtime inside them, as our programs do, so that nothing
# but them needs shipping; they export only their own functions (not the runtime's, which
# would clash in the next DLL that links them), and carry no symbols.
dll_link_flags="-static -static-libgcc -static-libstdc++ -Wl,--exclude-libs,ALL -s"

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

# The source archive: Debian's, as the binary packages come, for bookworm and its updates.
add_source_entry() {
  local list=/etc/apt/sources.list.d/kasumiro-sources.sources
  [ -f "$list" ] && return 0
  $sudo tee "$list" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  $sudo apt-get update -q >/dev/null
}

# Our own changes to a package, applied after Debian's: codec-patches/PACKAGE-*.patch. What
# names them (a digest of their text) is part of what a build is kept under.
patches_of() { ls "$KASUMIRO_ROOT/scripts/codec-patches/$1"-*.patch 2>/dev/null || true; }
patches_id() {
  local files
  files=$(patches_of "$1")
  if [ -z "$files" ]; then echo none; else cat $files | sha256sum | cut -c1-12; fi
}

# Unpacks the newest version of the source package that the archive serves, with Debian's
# patches and ours applied, into source[package]. (A version may be listed before its files
# reach the mirror: the next one down is taken then.) apt checks what it fetches against the
# archive's signed index.
declare -A source
fetch() {
  local package=$1 version folder patch download=$sources/download-$1 ours
  [ -n "${source[$package]:-}" ] && return 0
  ours=$(patches_id "$package")
  for version in $(apt-cache showsrc "$package" 2>/dev/null | sed -n 's/^Version: //p' | sort -rV); do
    folder=$sources/$package-$version
    if [ ! -f "$folder/.unpacked" ] || [ "$(cat "$folder/.patches" 2>/dev/null)" != "$ours" ]; then
      rm -rf "$download" "$folder" && mkdir -p "$download"
      (cd "$download" && apt-get source -q --download-only "$package=$version" >/dev/null 2>&1) || continue
      dpkg-source -x "$download"/*.dsc "$folder" >/dev/null 2>&1
      for patch in $(patches_of "$package"); do
        patch -d "$folder" -p1 --forward --quiet <"$patch"
      done
      echo "$version" >"$folder/.version"
      echo "$ours" >"$folder/.patches"
      touch "$folder/.unpacked"
      rm -rf "$download"
    fi
    source[$package]=$folder
    return 0
  done
  echo "codecs.sh: no version of $package could be fetched from the archive" >&2
  return 1
}

# What a package's build is configured with beyond its source and patches: a change here
# builds it again.
declare -A recipe=([dav1d]=bitdepths-8-16 [ffmpeg]=camera-video-lgpl-1)
# Whether the package's build of its source version is in the prefix already.
built_marker() {
  echo "$prefix/.built-$1-$(cat "${source[$1]}/.version")-$(cat "${source[$1]}/.patches")${recipe[$1]:+-${recipe[$1]}}"
}
built() { [ -f "$(built_marker "$1")" ]; }
mark_built() { rm -f "$prefix/.built-$1-"*; touch "$(built_marker "$1")"; }

# Runs one step of a package's build with its output kept aside: shown only when it fails.
quietly() {
  local log=$work/step.log
  "$@" >"$log" 2>&1 || { cat "$log" >&2; echo "codecs.sh: failed: $*" >&2; return 1; }
}

# The build of one CMake package, for Windows or for this machine.
cmake_build() {
  local name=$1 folder=$2
  shift 2
  local build=$work/$name
  rm -rf "$build"
  local platform=()
  if [ "$kind" = native ]; then
    platform=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DBUILD_SHARED_LIBS=OFF
              -DCMAKE_POSITION_INDEPENDENT_CODE=ON)
  else
    platform=(-DCMAKE_TOOLCHAIN_FILE="$KASUMIRO_ROOT/cmake/mingw-w64-x86_64.cmake" -DBUILD_SHARED_LIBS=ON
              "-DCMAKE_SHARED_LINKER_FLAGS=$dll_link_flags")
  fi
  quietly cmake -S "$folder" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix;/usr/$triple" "${platform[@]}" "$@"
  quietly cmake --build "$build" -j "$jobs"
  quietly cmake --install "$build"
}

build_jpeg_turbo() {
  fetch libjpeg-turbo
  built libjpeg-turbo && return 0
  echo "codecs: libjpeg-turbo $(cat "${source[libjpeg-turbo]}/.version")"
  local shared=(-DENABLE_SHARED=ON -DENABLE_STATIC=OFF)
  [ "$kind" = native ] && shared=(-DENABLE_SHARED=OFF -DENABLE_STATIC=ON)
  cmake_build libjpeg-turbo "${source[libjpeg-turbo]}" "${shared[@]}" -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF
  mark_built libjpeg-turbo
}

build_de265() {
  fetch libde265
  built libde265 && return 0
  echo "codecs: libde265 $(cat "${source[libde265]}/.version")"
  cmake_build libde265 "${source[libde265]}" -DENABLE_SDL=OFF -DENABLE_ENCODER=OFF
  mark_built libde265
}

build_dav1d() {
  fetch dav1d
  built dav1d && return 0
  echo "codecs: dav1d $(cat "${source[dav1d]}/.version")"
  local build=$work/dav1d cross=()
  rm -rf "$build"
  if [ "$kind" != native ]; then
    cat >"$work/meson-cross.txt" <<EOF
[binaries]
c = '$triple-gcc-posix'
cpp = '$triple-g++-posix'
ar = '$triple-ar'
strip = '$triple-strip'
windres = '$triple-windres'
nasm = 'nasm'

[host_machine]
system = 'windows'
cpu_family = 'x86_64'
cpu = 'x86_64'
endian = 'little'
EOF
    cross=(--cross-file "$work/meson-cross.txt" --default-library=shared "-Dc_link_args=$dll_link_flags")
  else
    cross=(--default-library=static)
  fi
  CC=${CC:-clang} quietly meson setup "$build" "${source[dav1d]}" --buildtype=release --prefix="$prefix" --libdir=lib \
    -Denable_tools=false -Denable_tests=false -Denable_examples=false -Dbitdepths=8,16 -Dlogging=false \
    "${cross[@]}"
  quietly ninja -C "$build" -j "$jobs"
  quietly ninja -C "$build" install
  mark_built dav1d
}

build_heif() {
  fetch libheif
  built libheif && return 0
  echo "codecs: libheif $(cat "${source[libheif]}/.version")"
  # The fuzz targets read HEIC: the native build goes without the AV1 decoder.
  local av1=(-DWITH_DAV1D=ON -DDAV1D_INCLUDE_DIR="$prefix/include" -DDAV1D_LIBRARY="$prefix/lib/libdav1d.dll.a")
  local de265lib=$prefix/lib/libde265.dll.a
  if [ "$kind" = native ]; then
    av1=(-DWITH_DAV1D=OFF)
    de265lib=$prefix/lib/libde265.a
  fi
  cmake_build libheif "${source[libheif]}" -DWITH_LIBDE265=ON -DWITH_X265=OFF -DWITH_AOM_DECODER=OFF \
    -DWITH_AOM_ENCODER=OFF -DWITH_RAV1E=OFF -DWITH_SvtEnc=OFF -DWITH_EXAMPLES=OFF -DENABLE_PLUGIN_LOADING=OFF \
    -DWITH_LIBDE265_PLUGIN=OFF -DWITH_DAV1D_PLUGIN=OFF -DBUILD_TESTING=OFF -DWITH_GDK_PIXBUF=OFF \
    -DLIBDE265_INCLUDE_DIR="$prefix/include" -DLIBDE265_LIBRARY="$de265lib" "${av1[@]}"
  mark_built libheif
}

# FFmpeg's libraries, for the poster frame of a movie: only the containers and video codecs that
# cameras and phones write (MP4/MOV, AVCHD's MPEG-TS, AVI, Matroska; H.264, HEVC, MPEG-4 part 2,
# Motion JPEG, MPEG-2) and the scaler that turns a frame into the album's pixels. LGPL as it is
# configured: nothing GPL or non-free, no programs, encoders, muxers, protocols, devices or
# filters, and nothing found on the machine by chance (--disable-autodetect). The album hands
# it a reader of its own, so not even the file protocol is built.
build_ffmpeg() {
  fetch ffmpeg
  built ffmpeg && return 0
  echo "codecs: ffmpeg $(cat "${source[ffmpeg]}/.version")"
  local build=$work/ffmpeg platform=() tree=$work/ffmpeg-source
  rm -rf "$build" && mkdir -p "$build"
  # make cannot take the colon of the version's epoch in a path: the source is reached through
  # a link of a plain name.
  ln -sfn "${source[ffmpeg]}" "$tree"
  # The runtime's threads library (which the compiler's posix runtime reaches for its clock)
  # goes inside the DLLs, as -static puts it inside the other codecs'.
  if [ "$kind" = native ]; then
    platform=(--cc=clang --enable-static --disable-shared --enable-pic --disable-asm)
  else
    platform=(--enable-cross-compile --target-os=mingw32 --arch=x86_64 --cross-prefix=$triple-
              --cc=$triple-gcc-posix --enable-shared --disable-static --enable-w32threads
              "--extra-ldflags=-static-libgcc -Wl,--exclude-libs,ALL -s" --extra-libs=-l:libwinpthread.a)
  fi
  (cd "$build" && quietly "$tree/configure" --prefix="$prefix" "${platform[@]}"     --disable-everything --disable-autodetect --disable-programs --disable-doc --disable-debug     --disable-network --disable-avdevice --disable-avfilter --disable-swresample --disable-postproc     --enable-avformat --enable-avcodec --enable-swscale     --enable-decoder=h264,hevc,mpeg4,mjpeg,mpeg1video,mpeg2video     --enable-parser=h264,hevc,mpeg4video,mjpeg,mpegvideo     --enable-demuxer=mov,mpegts,avi,matroska)
  quietly make -C "$build" -j "$jobs"
  quietly make -C "$build" install
  mark_built ffmpeg
}

# xxHash is used as its single header, compiled into our own code: nothing to build.
take_xxhash() {
  fetch xxhash
  built xxhash && return 0
  mkdir -p "$prefix/include"
  cp "${source[xxhash]}/xxhash.h" "$prefix/include/xxhash.h"
  mark_built xxhash
}

# The licence texts and versions of what was built, for the notice that ships with it.
write_licences() {
  local folder=$prefix/licences
  mkdir -p "$folder"
  local package
  for package in libjpeg-turbo libde265 dav1d libheif xxhash ffmpeg; do
    cp "${source[$package]}/debian/copyright" "$folder/$package-copyright.txt"
    cat "${source[$package]}/.version" >"$folder/$package-version.txt"
  done
  cp "${source[libjpeg-turbo]}/LICENSE.md" "$folder/libjpeg-turbo-LICENSE.md"
  cp "${source[libde265]}/COPYING" "$folder/libde265-COPYING.txt"
  cp "${source[dav1d]}/COPYING" "$folder/dav1d-COPYING.txt"
  cp "${source[libheif]}/COPYING" "$folder/libheif-COPYING.txt"
  cp "${source[xxhash]}/LICENSE" "$folder/xxhash-LICENSE.txt"
  cp "${source[ffmpeg]}/COPYING.LGPLv2.1" "$folder/ffmpeg-COPYING.LGPLv2.1.txt"
  # Our changes to a library ship with it, beside its licence.
  for package in libjpeg-turbo libde265 dav1d libheif; do
    for patch in $(patches_of "$package"); do cp "$patch" "$folder/"; done
  done
}

add_source_entry
build_jpeg_turbo
build_de265
[ "$kind" = native ] || build_dav1d
build_heif
build_ffmpeg
take_xxhash
[ "$kind" = native ] || write_licences
