#!/usr/bin/env bash
# Makes the small JPEG files of this folder with ImageMagick and jpegtran (Debian packages
# imagemagick, libjpeg-turbo-progs): one smooth picture in the shapes
# a JPEG decoder meets (sampling, greyscale, restart markers, progressive, arithmetic, CMYK),
# and beside each decodable one its eighth-size picture as ImageMagick averages it (PPM), for
# the decoder's tests to compare with. Kept in the repository; run this only to make them anew.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
source_picture() {
  convert -size 264x200 gradient:'#d04020-#2060d0' \
    \( -size 264x200 radial-gradient:'#f0e060-#102040' \) -compose blend -define compose:args=50 -composite "$1"
}
source_picture /tmp/kasumiro-shape-source.png
make() {  # file, options...
  local file=$1
  shift
  convert /tmp/kasumiro-shape-source.png "$@" -quality 90 "$file"
}
make s420.jpg -sampling-factor 2x2
make s422.jpg -sampling-factor 2x1
make s440.jpg -sampling-factor 1x2
make s444.jpg -sampling-factor 1x1
make grey.jpg -colorspace Gray
make progressive.jpg -interlace JPEG
make cmyk.jpg -colorspace CMYK
# The same coefficients with a restart marker every 3 MCUs, and arithmetic-coded.
jpegtran -restart 3B -outfile restart.jpg s420.jpg
jpegtran -arithmetic -outfile arithmetic.jpg s420.jpg
for file in s420 s422 s440 s444 grey restart; do
  convert "$file.jpg" -colorspace sRGB -type TrueColor -scale 12.5% -compress none "$file.eighth.ppm"
done
rm -f /tmp/kasumiro-shape-source.png
