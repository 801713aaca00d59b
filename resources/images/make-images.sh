#!/usr/bin/env bash
# Makes the program's pictures from their sources in this folder:
#   open, save, paste, about, quit .svg -> 25 x 25 PNG (ImageList1 and the buttons)
#   close.svg   -> close.png and close-disabled.png, 18 x 18 (the about panel's button)
#   quorvel.svg -> quorvel.png, 32 x 32 in 16 colours (the program's icon)
#   make-photo.cpp -> photo.jpg, 548 x 372 (the about panel's photograph)
# Each drawn picture also comes twice as large, NAME@2x.png, for screens at
# twice the density: Qt takes it there instead of enlarging the small one.
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

# picture SVG SIZE SCALE: the picture at SCALE times SIZE pixels, in
# $tmp/OUT.png, where OUT is the SVG's name with "@2x" for the large one.
picture() {
  local svg=$1 size=$2 scale=$3 out
  out="${svg%.svg}$([ "$scale" -eq 1 ] || echo "@${scale}x")"
  rsvg-convert -w $((size * scale)) -h $((size * scale)) "$svg" -o "$tmp/$out.png"
  echo "$out"
}

for scale in 1 2; do
  for name in open save paste about quit; do
    out=$(picture "$name.svg" 25 "$scale")
    convert "$tmp/$out.png" "${strip[@]}" "PNG32:$out.png"
  done

  out=$(picture close.svg 18 "$scale")
  convert "$tmp/$out.png" "${strip[@]}" "PNG32:$out.png"
  # The disabled look: grey, lighter, half transparent.
  convert "$tmp/$out.png" -colorspace Gray -level -40%,100% -channel A -evaluate multiply 0.6 +channel \
    -colorspace sRGB "${strip[@]}" "PNG32:${out/close/close-disabled}.png"

  out=$(picture quorvel.svg 32 "$scale")
  convert "$tmp/$out.png" +dither -colors 16 "${strip[@]}" "PNG8:$out.png"
done

g++ -std=c++20 -O2 -o "$tmp/make-photo" make-photo.cpp -ljpeg
"$tmp/make-photo" photo.jpg

echo "Pictures written to $here"
