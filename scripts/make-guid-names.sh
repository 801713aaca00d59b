#!/usr/bin/env bash
# Regenerates mediatypes/GuidNamesTable.inc from the mingw-w64 headers
# (Debian's mingw-w64-common package).  The order of the headers is the order
# of preference among the names of one GUID: DirectShow's names first.
#
#   scripts/make-guid-names.sh           rewrite the table
#   scripts/make-guid-names.sh --check   compare a fresh table with the committed one
#
# QUORVEL_GUID_NAMES_TOOL names a built quorvel-make-guid-names to use as is
# (the test does); otherwise it is built in $QUORVEL_BUILD (default build/).
# Exits with 77 where the headers are missing.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
table="$root/mediatypes/GuidNamesTable.inc"
headers=/usr/share/mingw-w64/include
[[ -f $headers/uuids.h ]] || { echo "make-guid-names: needs Debian's mingw-w64 headers (mingw-w64-common)" >&2; exit 77; }

tool="${QUORVEL_GUID_NAMES_TOOL:-}"
if [[ -z $tool ]]; then
  build="${QUORVEL_BUILD:-$root/build}"
  cmake -S "$root" -B "$build" -G Ninja >/dev/null
  cmake --build "$build" --target quorvel-make-guid-names
  tool="$build/tools/quorvel-make-guid-names"
fi

out="$table"
if [[ ${1:-} == --check ]]; then
  out="$(mktemp)"
  trap 'rm -f "$out"' EXIT
fi

# d3d9types.h names no GUID; it gives the D3DFMT_* codes that mfapi.h uses.
"$tool" "$out" \
  "$headers/uuids.h" "$headers/ksuuids.h" "$headers/wmcodecdsp.h" "$headers/bdamedia.h" \
  "$headers/ksmedia.h" "$headers/ks.h" "$headers/mmreg.h" "$headers/wmsdkidl.h" "$headers/mfapi.h" \
  "$headers/d3d9types.h"

if [[ ${1:-} == --check ]]; then
  cmp -s "$out" "$table" || { echo "mediatypes/GuidNamesTable.inc differs from what the headers give: run scripts/make-guid-names.sh" >&2; exit 1; }
else
  echo "wrote $table ($(grep -c '^QUORVEL_GUID_NAME' "$table") names)"
fi
