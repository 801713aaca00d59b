#!/usr/bin/env bash
# Times quorvel-report on the large benchmark graph (about 6 MB) against
# iconv converting the same file from UTF-16LE to UTF-8: both read every code
# unit, so iconv is the floor a report can be measured against.  Best of 5 runs
# each, side by side: the text report, and the JSON report with the graph as
# data; fails when the text takes more than MAX_RATIO (3) times iconv's time
# or the JSON more than MAX_JSON_RATIO (6) times.
#
# Usage: bench/compare-with-iconv.sh [BUILD_DIR]   (default: build-bench beside
# this folder; build it in Release with quorvel-report and
# quorvel-make-bench-graph first)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/../build-bench}"
runs="${RUNS:-5}"
max_ratio="${MAX_RATIO:-3}"
max_json_ratio="${MAX_JSON_RATIO:-6}"

find_tool() {
    local name="$1" dir
    for dir in "$build/tools" "$build" "$build/cli"; do
        if [[ -x "$dir/$name" ]]; then
            echo "$dir/$name"
            return
        fi
    done
    echo "compare-with-iconv: $name not found under $build" >&2
    exit 2
}
report="$(find_tool quorvel-report)"
make_graph="$(find_tool quorvel-make-bench-graph)"
command -v iconv >/dev/null || { echo "compare-with-iconv: iconv not found" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
graph="$work/bench.grf"
"$make_graph" "$graph" >/dev/null
bytes="$(stat -c %s "$graph")"

# Both commands must read the whole file: a report that stops early, or an
# iconv that stops at a bad sequence, would make the comparison meaningless.
"$report" --format text --no-catalog "$graph" >/dev/null ||
    { echo "compare-with-iconv: quorvel-report did not analyse the graph to its end" >&2; exit 2; }
iconv -f UTF-16LE -t UTF-8 "$graph" >/dev/null ||
    { echo "compare-with-iconv: iconv could not convert the whole graph" >&2; exit 2; }

# Wall-clock seconds of one run.  TIMEFORMAT stops at milliseconds;
# EPOCHREALTIME gives microseconds.
elapsed() {
    local start end
    start=$EPOCHREALTIME
    "$@" >/dev/null
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }'
}
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

# Best of $runs each, interleaved so that a burst of load on the shared
# machine hits both commands alike.
report_best="" json_best="" iconv_best=""
for ((i = 0; i < runs; ++i)); do
    report_best="$(smaller "$(elapsed "$report" --format text --no-catalog "$graph")" "$report_best")"
    json_best="$(smaller "$(elapsed "$report" --format json --no-catalog "$graph")" "$json_best")"
    iconv_best="$(smaller "$(elapsed iconv -f UTF-16LE -t UTF-8 "$graph")" "$iconv_best")"
done

awk -v bytes="$bytes" -v r="$report_best" -v j="$json_best" -v c="$iconv_best" -v runs="$runs" \
    -v max="$max_ratio" -v maxj="$max_json_ratio" 'BEGIN {
    printf "graph: %d bytes, best of %d runs each\n", bytes, runs
    printf "  quorvel-report --format text --no-catalog  %8.1f ms  %7.1f MB/s\n", r * 1000, bytes / r / 1e6
    printf "  quorvel-report --format json --no-catalog  %8.1f ms  %7.1f MB/s\n", j * 1000, bytes / j / 1e6
    printf "  iconv -f UTF-16LE -t UTF-8                 %8.1f ms  %7.1f MB/s\n", c * 1000, bytes / c / 1e6
    printf "  ratio text/iconv: %.2f (limit %s)\n", r / c, max
    printf "  ratio json/iconv: %.2f (limit %s)\n", j / c, maxj
    exit (r / c > max || j / c > maxj) ? 1 : 0
}'
