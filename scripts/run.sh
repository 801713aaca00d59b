#!/usr/bin/env bash
# Builds Quorvel and starts it.
#   scripts/run.sh              the window `quorvel`; where there is no
#                               display, how to run it on a virtual one, and
#                               the command-line report of the shipped sample
#   scripts/run.sh [quorvel-report options] FILE...
#                               the command-line reporter on your files
# Only the program writes to standard output; installing and building say
# what they do on standard error.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh" run >&2

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF >/dev/null

if [ $# -gt 0 ]; then
  cmake --build "$root/build" --target quorvel-report >&2
  exec "$root/build/cli/quorvel-report" "$@"
fi

cmake --build "$root/build" --target quorvel quorvel-report >&2
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
