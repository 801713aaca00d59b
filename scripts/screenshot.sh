#!/usr/bin/env bash
# Takes docs/screenshot.png and docs/screenshot-graph.png: the window
# `quorvel` on a virtual display (Xvfb, with the openbox window manager for
# its frame and caption) showing the report of samples/capture.grf, then its
# Graphe tab.  The graph reaches it the way a user hands it over: the file is
# put on the clipboard as a copied file (text/uri-list, as a file manager
# does) and Ctrl+V is pressed in the window (`quorvel FILE` would open it too,
# but the paste button lights only with a file on the clipboard, as the
# picture shows it); Alt+G then brings the Graphe tab to the front, as a user
# can, and the second picture is taken once the layout is drawn.
#   scripts/screenshot.sh [OUTPUT.png [GRAPH-OUTPUT.png]]
#       (default docs/screenshot.png and docs/screenshot-graph.png)
# BUILD_DIR chooses the build folder (default build).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

if [ "${1:-}" = "--on-display" ]; then
  exe="$2"; graph="$3"; out="$4"; graph_out="$5"
  pids=()
  settings=""
  cleanup() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    if [ -n "$settings" ]; then rm -rf "$settings"; fi
  }
  trap cleanup EXIT

  openbox --sm-disable >/dev/null 2>&1 & pids+=($!)
  sleep 1
  # The file is copied first, then the program started, as a user who copies
  # a graph in the file manager and switches to the program.
  printf 'file://%s\r\n' "$graph" | xclip -quiet -selection clipboard -t text/uri-list -i >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
  # A French desktop, as the program's users have: dates in the report
  # header follow the user's locale.
  # A settings folder of its own: the window as it first opens, whatever
  # "Détails" is set to on this machine.
  settings="$(mktemp -d)"
  LC_ALL=fr_FR.UTF-8 LANG=fr_FR.UTF-8 XDG_CONFIG_HOME="$settings" "$exe" >/dev/null 2>&1 & pids+=($!)
  wid="$(xdotool search --sync --onlyvisible --name '^Quorvel ' | head -n 1)"
  sleep 0.5
  xdotool windowactivate --sync "$wid" 2>/dev/null || xdotool windowfocus --sync "$wid"
  xdotool key --window "$wid" --clearmodifiers ctrl+v
  sleep 2
  # Leave the pointer off the window, so that no hint covers the report.
  xdotool mousemove 1 1
  sleep 0.3
  import -frame -window "$wid" "$out"
  # The Graphe tab: laid out in the background, a few milliseconds for this
  # graph; the wait leaves room for a slow machine.
  xdotool key --window "$wid" --clearmodifiers alt+g
  sleep 2
  import -frame -window "$wid" "$graph_out"
  exit 0
fi

out="${1:-$root/docs/screenshot.png}"
graph_out="${2:-$root/docs/screenshot-graph.png}"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh" test
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quorvel
mkdir -p "$(dirname "$out")" "$(dirname "$graph_out")"
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
  "$0" --on-display "$build/ui/quorvel" "$root/samples/capture.grf" "$(absolute "$out")" "$(absolute "$graph_out")"
echo "Screenshots written to $out and $graph_out"
