#!/usr/bin/env bash
# Probing a big file that holds no graph stream: quorvel-report looks for the
# version text at every 512-byte boundary of the whole file, so on a file
# without one it must cost about what reading the file costs.  Times
#   quorvel-report --no-catalog --format text FILE
# against
#   cat FILE > /dev/null
# on two 1 GiB files made in a temporary folder and deleted afterwards: one
# of zeros (sparse, like a disk image or a preallocated capture file) and one
# of random bytes; best of RUNS warm runs each, failing when a ratio is above
# MAX_RATIO (1.5).  It also takes the peak resident memory of quorvel-report
# on the 1 GiB file of zeros and on a 64 MiB one, and fails when the big file
# needs more than the small one (plus MAX_RSS_GROWTH_KB of slack): the probe
# must use flat memory.
#
# Usage: bench/probe-vs-cat.sh [BUILD_DIR]   (default: build-bench beside this
# folder; build quorvel-report there in Release first)
# Environment: RUNS (3), MAX_RATIO (1.5), MAX_RSS_GROWTH_KB (4096), TMPDIR.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
build="${1:-$here/../build-bench}"
runs="${RUNS:-3}"
max_ratio="${MAX_RATIO:-1.5}"
max_growth_kb="${MAX_RSS_GROWTH_KB:-4096}"

report=""
for dir in "$build/cli" "$build"; do
    [[ -x "$dir/quorvel-report" ]] && { report="$dir/quorvel-report"; break; }
done
[[ -n "$report" ]] || { echo "probe-vs-cat: quorvel-report not found under $build" >&2; exit 2; }
[[ -x /usr/bin/time ]] || { echo "probe-vs-cat: /usr/bin/time not found (apt-get install time)" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/quorvel-probe.XXXXXX")"
trap 'rm -rf "$work"' EXIT

zeros="$work/zeros.bin"
random="$work/random.bin"
small="$work/small.bin"
truncate -s 1G "$zeros"
truncate -s 64M "$small"
# Random bytes put the version text at a boundary with odds of 2^-64.
head -c 1G /dev/urandom >"$random"
bytes="$(stat -c %s "$zeros")"

elapsed() {
    local start end
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || true
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }'
}
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

failed=0
for file in "$zeros" "$random"; do
    # The report must be the one of a file without a graph stream, or the
    # comparison says nothing: the analysis stops at the end of the file.
    set +e
    "$report" --no-catalog --format text "$file" >/dev/null 2>"$work/stderr"
    status=$?
    set -e
    if [[ $status -ne 1 ]] || ! grep -q "stopped at offset $bytes: no graph stream" "$work/stderr"; then
        echo "probe-vs-cat: unexpected outcome on $(basename "$file") (exit $status):" >&2
        cat "$work/stderr" >&2
        exit 2
    fi
    cat "$file" >/dev/null  # both start from a warm page cache
    report_best="" cat_best=""
    for ((i = 0; i < runs; ++i)); do
        report_best="$(smaller "$(elapsed "$report" --no-catalog --format text "$file")" "$report_best")"
        cat_best="$(smaller "$(elapsed cat "$file")" "$cat_best")"
    done
    awk -v name="$(basename "$file" .bin)" -v bytes="$bytes" -v r="$report_best" -v c="$cat_best" -v runs="$runs" \
        -v max="$max_ratio" 'BEGIN {
        printf "1 GiB of %s without a graph stream, best of %d warm runs each\n", name, runs
        printf "  quorvel-report --no-catalog --format text  %8.1f ms  %7.1f MB/s\n", r * 1000, bytes / r / 1e6
        printf "  cat FILE > /dev/null                       %8.1f ms  %7.1f MB/s\n", c * 1000, bytes / c / 1e6
        printf "  ratio report/cat: %.2f (limit %s)\n", r / c, max
        exit (r / c > max)
    }' || { echo "  FAILED: the probe is slower than the limit"; failed=1; }
done

peak_rss_kb() {
    /usr/bin/time -f "%M" -o "$work/rss" "$report" --no-catalog --format text "$1" >/dev/null 2>&1 || true
    tail -n 1 "$work/rss"
}
rss_big="$(peak_rss_kb "$zeros")"
rss_small="$(peak_rss_kb "$small")"
echo "peak RSS of quorvel-report: $rss_big KiB on 1 GiB, $rss_small KiB on 64 MiB (growth allowed: $max_growth_kb KiB)"
if ((rss_big > rss_small + max_growth_kb)); then
    echo "  FAILED: memory grows with the file"
    failed=1
fi
exit $failed
