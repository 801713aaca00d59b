#!/usr/bin/env bash
# Probing a big file that holds no graph stream: quorvel-report looks for the
# version text at every 512-byte boundary of the whole file, so on a file
# without one it must cost about what reading the file costs.  Times
#   quorvel-report --no-catalog --format text FILE
# against
#   cat FILE > /dev/null
# on a 1 GiB file of zeros with patches of random bytes (sparse where it is
# zeros, made in a temporary folder and deleted afterwards), best of RUNS runs
# each, and fails when the ratio is above MAX_RATIO (1.5).  It also takes the
# peak resident memory of quorvel-report on that file and on a 64 MiB one
# made the same way, and fails when the big file needs more than the small
# one (plus MAX_RSS_GROWTH_KB of slack): the probe must use flat memory.
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

# SIZE_MIB of zeros (a hole, where the file system allows) with 256 KiB of
# random bytes every 16 MiB, so that the reads are not all of a hole.
# Random bytes put the version text at a boundary with odds of 2^-64.
make_file() {
    local path="$1" size_mib="$2" at
    truncate -s "${size_mib}M" "$path"
    for ((at = 0; at < size_mib; at += 16)); do
        dd if=/dev/urandom of="$path" bs=256K count=1 seek=$((at * 4)) conv=notrunc status=none
    done
}

big="$work/big.bin"
small="$work/small.bin"
make_file "$big" 1024
make_file "$small" 64
bytes="$(stat -c %s "$big")"

# The report must be the one of a file without a graph stream, or the
# comparison says nothing: the analysis stops at the end of the file.
set +e
"$report" --no-catalog --format text "$big" >/dev/null 2>"$work/stderr"
status=$?
set -e
if [[ $status -ne 1 ]] || ! grep -q "stopped at offset $bytes: no graph stream" "$work/stderr"; then
    echo "probe-vs-cat: unexpected outcome on the big file (exit $status):" >&2
    cat "$work/stderr" >&2
    exit 2
fi

elapsed() {
    local start end
    start=$EPOCHREALTIME
    "$@" >/dev/null 2>&1 || true
    end=$EPOCHREALTIME
    awk -v s="$start" -v e="$end" 'BEGIN { printf "%.6f", e - s }'
}
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }

cat "$big" >/dev/null  # both start from a warm page cache
report_best="" cat_best=""
for ((i = 0; i < runs; ++i)); do
    report_best="$(smaller "$(elapsed "$report" --no-catalog --format text "$big")" "$report_best")"
    cat_best="$(smaller "$(elapsed cat "$big")" "$cat_best")"
done

peak_rss_kb() {
    /usr/bin/time -f "%M" -o "$work/rss" "$report" --no-catalog --format text "$1" >/dev/null 2>&1 || true
    tail -n 1 "$work/rss"
}
rss_big="$(peak_rss_kb "$big")"
rss_small="$(peak_rss_kb "$small")"

awk -v bytes="$bytes" -v r="$report_best" -v c="$cat_best" -v runs="$runs" -v max="$max_ratio" \
    -v rb="$rss_big" -v rs="$rss_small" -v growth="$max_growth_kb" 'BEGIN {
    printf "file without a graph stream: %d bytes, best of %d runs each\n", bytes, runs
    printf "  quorvel-report --no-catalog --format text  %8.1f ms  %7.1f MB/s\n", r * 1000, bytes / r / 1e6
    printf "  cat FILE > /dev/null                       %8.1f ms  %7.1f MB/s\n", c * 1000, bytes / c / 1e6
    ratio = r / c
    printf "  ratio report/cat: %.2f (limit %s)\n", ratio, max
    printf "  peak RSS of quorvel-report: %d KiB on 1 GiB, %d KiB on 64 MiB (growth allowed: %d KiB)\n", rb, rs, growth
    failed = 0
    if (ratio > max) { print "  FAILED: the probe is slower than the limit"; failed = 1 }
    if (rb > rs + growth) { print "  FAILED: memory grows with the file"; failed = 1 }
    exit failed
}'
