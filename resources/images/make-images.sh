#!/usr/bin/env bash
# Makes the program's pictures from their sources in this folder:
#   open, save, paste, about, quit .svg -> 25 x 25 PNG (ImageList1 and the buttons)
#   close.svg   -> close.png and close-disabled.png, 18 x 18 (the about panel's button)
#   quorvel.svg -> quorvel.png, 32 x 32 in 16 colours (the program's icon)
#   make-photo.cpp -> photo.jpg, 548 x 372 (the about panel's photograph)
# Needs librsvg2-bin, imagemagick, g++ and libjpeg62-turbo-dev (installed if missing).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here"

need=()
command -v rsvg-convert >/dev/null || need+=(librsvg2-bin)
command -v convert >/dev/null || need+=(imagemagick)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/include/jpeglib.h ] || need+=(libjpeg62-turbo-dev)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${need[@]}"
fi

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

# PNGs without time stamps or other varying chunks, so that a rerun makes
# the same bytes.
strip=(-define png:exclude-chunks=date,time,tEXt,zTXt,iTXt)

for name in open save paste about quit; do
  rsvg-convert -w 25 -h 25 "$name.svg" -o "$tmp/$name.png"
  convert "$tmp/$name.png" "${strip[@]}" "PNG32:$name.png"
done

rsvg-convert -w 18 -h 18 close.svg -o "$tmp/close.png"
convert "$tmp/close.png" "${strip[@]}" "PNG32:close.png"
# The disabled look: grey, lighter, half transparent.
convert "$tmp/close.png" -colorspace Gray -level -40%,100% -channel A -evaluate multiply 0.6 +channel \
  -colorspace sRGB "${strip[@]}" "PNG32:close-disabled.png"

rsvg-convert -w 32 -h 32 quorvel.svg -o "$tmp/quorvel.png"
convert "$tmp/quorvel.png" +dither -colors 16 "${strip[@]}" "PNG8:quorvel.png"

g++ -std=c++20 -O2 -o "$tmp/make-photo" make-photo.cpp -ljpeg
"$tmp/make-photo" photo.jpg

echo "Pictures written to $here"
