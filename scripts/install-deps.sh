#!/usr/bin/env bash
# Installs what Quorvel needs on Debian 12, if missing, in one of two sets:
#   scripts/install-deps.sh run    building and running the programs
#   scripts/install-deps.sh test   that, and everything the tests use
#                                  (the default)
set -euo pipefail
set_name="${1:-test}"

run=(build-essential cmake ninja-build pkg-config nlohmann-json3-dev
  # The window: Qt 6 Widgets and its platform plugins, Qt's French texts for
  # its dialogs, libjpeg for the about panel's photograph, fonts near the
  # classic ones.
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n libjpeg62-turbo-dev fonts-liberation2 fonts-dejavu-core
  # The graph's picture in the window: Qt SVG draws Graphviz's drawing.
  qt6-svg-dev
  # Pictures of graphs: Graphviz's layout library, and its dot program.
  libgraphviz-dev graphviz)

test=(libgtest-dev libbenchmark-dev
  # The JSON report checked against its schema.
  python3 python3-jsonschema
  # The window's tests and scripts/screenshot.sh on a virtual display.
  xvfb xauth openbox xdotool xclip imagemagick
  # Fuzzing: clang's libFuzzer and sanitizer runtimes.
  clang libclang-rt-14-dev
  # The Windows build of the reporter, and Wine to run it.
  g++-mingw-w64-x86-64 wine64
  # The installed tree and the Debian package: their validators and tools.
  dpkg-dev desktop-file-utils shared-mime-info appstream libxml2-utils man-db groff-base libglib2.0-bin)

case "$set_name" in
  run) packages=("${run[@]}") ;;
  test) packages=("${run[@]}" "${test[@]}") ;;
  *) echo "usage: $0 [run|test]" >&2; exit 2 ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
