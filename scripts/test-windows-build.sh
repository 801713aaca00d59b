#!/usr/bin/env bash
# Cross-builds the command-line reporter for Windows with mingw-w64 and runs
# it under Wine, in a fresh prefix: the catalog it takes from the platform's
# enumerators must name, in a report, every filter and DMO that Wine
# registered.  Needs Debian's g++-mingw-w64-x86-64 and wine64
# (scripts/install-deps.sh installs them).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
native="${QUORVEL_BUILD:-$root/build}"
cross="${QUORVEL_WINDOWS_BUILD:-$root/build-windows}"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[[ -x $wine ]] || { echo "test-windows-build: needs Debian's wine64" >&2; exit 1; }

echo "-- building quorvel-report.exe"
cmake -S "$root" -B "$cross" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DQUORVEL_BUILD_UI=OFF -DQUORVEL_BUILD_TESTS=OFF -DQUORVEL_BUILD_BENCH=OFF >/dev/null
cmake --build "$cross" --target quorvel-report
# The graph generator is a host program.
cmake -S "$root" -B "$native" -G Ninja >/dev/null
cmake --build "$native" --target quorvel-make-catalog-graph >/dev/null
exe="$cross/cli/quorvel-report.exe"

work="$(mktemp -d)"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "test-windows-build: $*" >&2
  [[ -s $work/wine.log ]] && { echo "-- Wine's messages:" >&2; tail -n 20 "$work/wine.log" >&2; }
  exit 1
}

echo "-- booting a fresh Wine prefix"
timeout 300 "$wine" wineboot -i >>"$work/wine.log" 2>&1 || fail "wineboot failed"
timeout 120 "$wineserver" -w || true

winpath() { printf 'Z:%s' "${1//\//\\}"; }

echo "-- the catalog of Wine's enumerators"
timeout 120 "$wine" "$exe" --dump-catalog -o "$(winpath "$work/catalog.json")" >>"$work/wine.log" 2>&1 ||
  fail "quorvel-report.exe --dump-catalog failed"
# Wine registers these; a catalog without them means the enumerators were not read.
for name in '"AVI Splitter"' '"File Source (Async.)"' '"WMAudio Decoder DMO"'; do
  grep -qF -- "$name" "$work/catalog.json" || fail "the catalog has no $name"
done

echo "-- a report of a graph made of those filters and DMOs"
"$native/tools/quorvel-make-catalog-graph" "$work/catalog.json" "$work/catalog.grf" >"$work/expected.txt"
timeout 120 "$wine" "$exe" --format text -o "$(winpath "$work/report.txt")" "$(winpath "$work/catalog.grf")" \
  >>"$work/wine.log" 2>&1 || fail "quorvel-report.exe failed on the graph"
tr -d '\r' <"$work/report.txt" >"$work/report.lf.txt"
grep -qx 'END' "$work/report.lf.txt" || fail "the report did not reach END"

missing=0
while IFS= read -r line; do
  if ! grep -qF -- "$line" "$work/report.lf.txt"; then
    echo "not in the report: $line" >&2
    missing=$((missing + 1))
  fi
done <"$work/expected.txt"
[[ $missing -eq 0 ]] || fail "$missing filter line(s) not named from the platform's catalog"
echo "quorvel-report.exe under Wine named all $(wc -l <"$work/expected.txt") filters and DMOs of the graph"

echo "-- a graph and a report whose folder and names are Polish, Greek and Japanese"
folder="$work/Łódź Ωμέγα 図"
mkdir -p "$folder"
cp "$root/samples/capture.grf" "$folder/graphe é ł 図.grf"
timeout 120 "$wine" "$exe" --format text --no-catalog -o "$(winpath "$folder/rapport ł 図.txt")" \
  "$(winpath "$folder/graphe é ł 図.grf")" >>"$work/wine.log" 2>&1 || fail "quorvel-report.exe failed on the Unicode path"
[[ -f "$folder/rapport ł 図.txt" ]] || fail "no report at the Unicode path"
tr -d '\r' <"$folder/rapport ł 図.txt" >"$work/unicode.txt"
grep -qx 'GRAPHE é ł 図.GRF' "$work/unicode.txt" || fail "the report's title is not the graph's name"
grep -qF 'Analyse du fichier Z:' "$work/unicode.txt" || fail "the report's header has no path"
grep -qF 'Łódź Ωμέγα 図\graphe é ł 図.grf' "$work/unicode.txt" || fail "the report's header lost the Unicode path"
grep -qx 'END' "$work/unicode.txt" || fail "the report of the Unicode path did not reach END"
# The console shows the names too: an error names the missing file as given.
timeout 120 "$wine" "$exe" --no-catalog "$(winpath "$folder/absent ł 図.grf")" >"$work/console.txt" 2>&1 || true
grep -qF 'absent ł 図.grf' "$work/console.txt" || fail "the console did not show the Unicode name: $(tr -d '\r' <"$work/console.txt")"
echo "quorvel-report.exe under Wine read and wrote the Unicode paths"
