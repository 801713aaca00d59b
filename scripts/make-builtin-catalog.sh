#!/usr/bin/env bash
# Regenerates catalog/BuiltinCatalogTable.inc from a fresh Wine prefix's
# registry and the mingw-w64 headers (Debian's wine64 and
# g++-mingw-w64-x86-64 packages).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${QUORVEL_BUILD:-$root/build}"
headers=/usr/share/mingw-w64/include
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
[[ -x $wine ]] || { echo "make-builtin-catalog: needs Debian's wine64" >&2; exit 1; }
[[ -f $headers/uuids.h ]] || { echo "make-builtin-catalog: needs Debian's mingw-w64 headers" >&2; exit 1; }

cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target quorvel-make-builtin-catalog

prefix="$(mktemp -d)"
export WINEPREFIX="$prefix" WINEDEBUG=-all
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$prefix"' EXIT
"$wine" wineboot -i >/dev/null 2>&1 || true
"$wineserver" -w   # the registry reaches system.reg when the server ends

"$build/tools/quorvel-make-builtin-catalog" "$prefix/system.reg" "$root/catalog/BuiltinCatalogTable.inc" \
  "$headers/uuids.h" "$headers/wmcodecdsp.h" "$headers/dsound.h"
echo "wrote $root/catalog/BuiltinCatalogTable.inc ($(grep -c '^QUORVEL_BUILTIN' "$root/catalog/BuiltinCatalogTable.inc") entries)"
