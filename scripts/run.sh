#!/usr/bin/env bash
# Builds Quorvel and shows the report of a graph file (the shipped sample by
# default): scripts/run.sh [quorvel-report options] [FILE...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/install-deps.sh"

cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$root/build" --target quorvel-report

if [ $# -eq 0 ]; then
  set -- "$root/samples/capture.grf"
fi
exec "$root/build/cli/quorvel-report" "$@"
