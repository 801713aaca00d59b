#!/usr/bin/env bash
# Builds Quorvel and starts it.
#   scripts/run.sh              the window `quorvel`; where there is no
#                               display, how to run it on a virtual one, and
#                               the command-line report of the shipped sample
#   scripts/run.sh [quorvel-report options] FILE...
#                               the command-line reporter on your files
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

if [ $# -gt 0 ]; then
  cmake --build "$root/build" --target quorvel-report
  exec "$root/build/cli/quorvel-report" "$@"
fi

cmake --build "$root/build" --target quorvel quorvel-report
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$root/build/ui/quorvel"
fi

cat >&2 <<MSG
No display here, so the window cannot open.  To run it on a virtual display:
  xvfb-run -a $root/build/ui/quorvel
(scripts/screenshot.sh shows it on one with a report and saves a picture).
Meanwhile, the command-line reporter on the sample graph:

MSG
exec "$root/build/cli/quorvel-report" "$root/samples/capture.grf"
