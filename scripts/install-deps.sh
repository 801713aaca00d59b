#!/usr/bin/env bash
# Installs what building and testing Quorvel needs on Debian 12, if missing.
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config nlohmann-json3-dev libgtest-dev libbenchmark-dev
  # The window: Qt 6 Widgets and its platform plugins (offscreen for the tests),
  # libjpeg for the about panel's photograph, fonts near the classic ones.
  qt6-base-dev qt6-qpa-plugins libjpeg62-turbo-dev fonts-liberation2 fonts-dejavu-core
  # Running the window on a virtual display, and scripts/screenshot.sh.
  xvfb xauth openbox xdotool xclip imagemagick
  # Fuzzing: clang's libFuzzer and sanitizer runtimes.
  clang libclang-rt-14-dev
  # The Windows build of the reporter, and Wine to run it in CI.
  g++-mingw-w64-x86-64 wine64)

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
