#!/usr/bin/env bash
# Builds the fuzz targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) in their own build folder, generates the seeds, runs each target
# for DURATION from its corpus, one target at a time and one process at a
# time, copies every crash, timeout, out-of-memory or leak input into
# fuzz/regressions/<target>/, minimises the corpus, and prints one line per
# target: executions, coverage, findings.  Exits non-zero on any finding.
#
# Usage: fuzz/run.sh DURATION [TARGET...]
#   DURATION: seconds, or a number followed by s, m or h (60s, 30m, 2h)
#   TARGET:   fuzz_analysis, fuzz_catalog_file, fuzz_report_writers, fuzz_wine_registry
#             (default: all)
# Environment:
#   QUORVEL_FUZZ_BUILD       build folder (default: build-fuzz at the top of the tree)
#   QUORVEL_FUZZ_JOBS        parallel compile jobs (default: 2)
#   QUORVEL_FUZZ_CMAKE_ARGS  extra arguments for the configure step
#   QUORVEL_FUZZ_RUNS        also stop a target after this many executions
#   QUORVEL_FUZZ_MAX_LEN     largest input, in bytes (default: 8192)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
build="${QUORVEL_FUZZ_BUILD:-$root/build-fuzz}"
jobs="${QUORVEL_FUZZ_JOBS:-2}"
all_targets=(fuzz_analysis fuzz_catalog_file fuzz_report_writers fuzz_wine_registry)

usage() { echo "usage: fuzz/run.sh DURATION [TARGET...]   (DURATION: 90, 60s, 30m, 2h)" >&2; exit 2; }
[[ $# -ge 1 ]] || usage
case "$1" in
    *[0-9]s) seconds=$(( ${1%s} )) ;;
    *[0-9]m) seconds=$(( ${1%m} * 60 )) ;;
    *[0-9]h) seconds=$(( ${1%h} * 3600 )) ;;
    *[0-9]) seconds=$(( $1 )) ;;
    *) usage ;;
esac
[[ "$seconds" -gt 0 ]] || usage
duration="$1"
shift
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=("${all_targets[@]}")
for t in "${targets[@]}"; do
    [[ " ${all_targets[*]} " == *" $t "* ]] || { echo "fuzz/run.sh: unknown target $t" >&2; exit 2; }
done

command -v clang++ >/dev/null || { echo "fuzz/run.sh: clang++ not found (apt-get install clang libclang-rt-14-dev)" >&2; exit 2; }

# -O2 -g without NDEBUG: assertions stay on, stacks stay readable.
# shellcheck disable=SC2086
cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g" \
    -DQUORVEL_SANITIZE=ON -DQUORVEL_FUZZ=ON -DQUORVEL_BUILD_TESTS=ON -DQUORVEL_BUILD_BENCH=OFF \
    ${QUORVEL_FUZZ_CMAKE_ARGS:-} >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}" quorvel-make-fuzz-seeds

seeds="$build/fuzz-seeds"
rm -rf "$seeds"
"$build/fuzz/quorvel-make-fuzz-seeds" seeds "$seeds"

dict_for() {
    case "$1" in
        fuzz_analysis) echo "-dict=$here/graph.dict" ;;
        fuzz_catalog_file) echo "-dict=$here/catalog.dict" ;;
        fuzz_wine_registry) echo "-dict=$here/registry.dict" ;;
        *) ;;
    esac
}
max_len_for() { echo "${QUORVEL_FUZZ_MAX_LEN:-8192}"; }

# Ten frames of allocation context are plenty for a report and cost less than thirty.
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:allocator_may_return_null=0:malloc_context_size=10"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

summary=()
total_findings=0
for target in "${targets[@]}"; do
    bin="$build/fuzz/$target"
    corpus="$build/fuzz-corpus/$target"
    artifacts="$build/fuzz-artifacts/$target"
    logs="$build/fuzz-logs"
    regressions="$here/regressions/$target"
    mkdir -p "$corpus" "$artifacts" "$logs" "$regressions"
    rm -f "$artifacts"/*
    log="$logs/$target.log"
    : >"$log"

    common=(-timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 -max_len="$(max_len_for "$target")")
    dict="$(dict_for "$target")"
    [[ -n "$dict" ]] && common+=("$dict")
    limits=()
    [[ -n "${QUORVEL_FUZZ_RUNS:-}" ]] && limits=(-runs="$QUORVEL_FUZZ_RUNS")

    # A finding stops libFuzzer; it is started again from the corpus until
    # the time is spent (at most 10 findings a target, so that one fault that
    # is hit at once cannot spin here).
    executions=0 coverage=0 findings=0 starts=0
    deadline=$((SECONDS + seconds))
    while (( SECONDS < deadline && starts < 10 )); do
        starts=$((starts + 1))
        run_log="$logs/$target.run$starts.log"
        set +e
        "$bin" "${common[@]}" "${limits[@]}" -max_total_time=$((deadline - SECONDS)) -print_final_stats=1 \
            -artifact_prefix="$artifacts/" "$corpus" "$seeds/$target" >"$run_log" 2>&1
        status=$?
        set -e
        cat "$run_log" >>"$log"
        runs="$(grep -o 'stat::number_of_executed_units: [0-9]*' "$run_log" | tail -n 1 | grep -o '[0-9]*$' || true)"
        if [[ -z "$runs" ]]; then  # died before its final stats: take the last status line
            runs="$(grep -o '^#[0-9]*' "$run_log" | tail -n 1 | tr -d '#' || true)"
        fi
        executions=$((executions + ${runs:-0}))
        cov="$(grep -o 'cov: [0-9]*' "$run_log" | tail -n 1 | grep -o '[0-9]*$' || true)"
        [[ -n "$cov" && "$cov" -gt "$coverage" ]] && coverage="$cov"
        new=0
        for a in "$artifacts"/*; do
            [[ -e "$a" ]] || continue
            if [[ "$(basename "$a")" == slow-unit-* ]]; then
                # Slow but finished within -timeout: worth a look, not a failure.
                mv "$a" "$logs/$target.$(basename "$a")"
                echo "fuzz/run.sh: $target: slow input kept as $logs/$target.$(basename "$a")" >&2
                continue
            fi
            cp "$a" "$regressions/"
            echo "fuzz/run.sh: $target: finding saved as fuzz/regressions/$target/$(basename "$a")" >&2
            rm -f "$a"
            new=$((new + 1))
        done
        if (( new == 0 && status == 72 )); then  # libFuzzer's exit code when interrupted
            echo "fuzz/run.sh: $target: interrupted" >&2
            break
        fi
        if (( new == 0 && status != 0 )); then
            echo "fuzz/run.sh: $target: libFuzzer exited with $status and left no input; see $run_log" >&2
            new=1
        fi
        if (( new > 0 )); then
            findings=$((findings + new))
            grep -E 'ERROR|SUMMARY|invariant violated|runtime error|==[0-9]+==' "$run_log" | head -n 20 >&2 || true
        fi
        (( status == 0 )) && break
    done

    # Minimise the corpus: keep only inputs that add coverage.
    merged="$build/fuzz-corpus/$target.merged"
    rm -rf "$merged"
    mkdir -p "$merged"
    if "$bin" "${common[@]}" -merge=1 "$merged" "$corpus" "$seeds/$target" >"$logs/$target.merge.log" 2>&1; then
        rm -rf "$corpus"
        mv "$merged" "$corpus"
    else
        echo "fuzz/run.sh: $target: corpus merge failed; see $logs/$target.merge.log" >&2
        rm -rf "$merged"
    fi

    total_findings=$((total_findings + findings))
    summary+=("$(printf '%-20s executions: %-11s cov: %-6s corpus: %-6s findings: %s' \
        "$target" "$executions" "$coverage" "$(find "$corpus" -type f | wc -l)" "$findings")")
done

echo "== fuzz/run.sh $duration ($seconds s a target) =="
printf '%s\n' "${summary[@]}"
if (( total_findings > 0 )); then
    echo "fuzz/run.sh: $total_findings finding(s), saved under fuzz/regressions/" >&2
    exit 1
fi
