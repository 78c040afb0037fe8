#!/usr/bin/env bash
# Makes what a Windows user downloads, under build/release/: the installer
# Kasumiro-VERSION-setup.exe (NSIS), the portable Kasumiro-VERSION-portable.zip, and
# SHA256SUMS for both. Both hold the two programs, the image codecs' DLLs with the notice of
# their versions and licences, the album's template, the menu bitmap and the Japanese guide
# as one HTML page with its pictures.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(dirname "$here")
"$here/deps.sh"
KASUMIRO_BUILD_TYPE=Release "$here/build.sh"
source "$here/env.sh"

version=$(sed -n 's/^project(Kasumiro VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
release=$KASUMIRO_BUILD/release
stage=$release/Kasumiro-$version
rm -rf "$release"
mkdir -p "$stage/Template" "$stage/guide-images"
cp "$KASUMIRO_BUILD/bin/Kasumiro.exe" "$KASUMIRO_BUILD/bin/kasumiro-cli.exe" "$root/assets/menu_image.bmp" "$stage/"
cp "$KASUMIRO_BUILD/bin/"{libjpeg-62,libde265,libdav1d,libheif,avformat-59,avcodec-59,avutil-57,swscale-6}.dll "$KASUMIRO_BUILD/bin/THIRD-PARTY-NOTICES.txt" "$stage/"
cp -r "$KASUMIRO_BUILD/bin/licences" "$stage/"
cp -r "$root/assets/Template/0001" "$stage/Template/"
cp "$root/docs/images/"*.png "$stage/guide-images/"
python3 "$here/guide_html.py" "$root/docs/guide-ja.md" "$stage/guide-ja.html" guide-images
cp "$root/assets/kasumiro.ico" "$release/"

makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$release/Kasumiro-$version-setup.exe" \
  "$root/installer/kasumiro.nsi"
(cd "$release" && rm -f kasumiro.ico && zip -qr "Kasumiro-$version-portable.zip" "Kasumiro-$version")
(cd "$release" && sha256sum "Kasumiro-$version-setup.exe" "Kasumiro-$version-portable.zip" >SHA256SUMS)
echo "Made in $release:"
ls -l "$release"
