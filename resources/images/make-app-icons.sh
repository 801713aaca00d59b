#!/usr/bin/env bash
# Makes the desktop icon's PNGs in app-icon/ from its sources there:
#   quorvel.svg       -> quorvel-N.png for N = 22 24 32 48 64 128 256 (and the scalable icon itself)
#   quorvel-small.svg -> quorvel-16.png (drawn on a 16-pixel grid, so it stays sharp)
# desktop/CMakeLists.txt installs them into the hicolor theme.
# Needs librsvg2-bin and imagemagick (installed if missing).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cd "$here/app-icon"

need=()
command -v rsvg-convert >/dev/null || need+=(librsvg2-bin)
command -v convert >/dev/null || need+=(imagemagick)
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

for size in 16 22 24 32 48 64 128 256; do
  source=quorvel.svg
  [ "$size" -eq 16 ] && source=quorvel-small.svg
  rsvg-convert -w "$size" -h "$size" "$source" -o "$tmp/$size.png"
  convert "$tmp/$size.png" "${strip[@]}" "PNG32:quorvel-$size.png"
done

echo "Icons written to $here/app-icon"
