#!/usr/bin/env bash
# The installed tree, checked part by part (CTest's Install.<part>): `tree`
# installs the build into $QUORVEL_TREE and checks what is there; each other
# part checks one kind of installed file with its own validator.  A part
# whose validator is missing runs its other checks, then ends with exit 77,
# which CTest counts as skipped, saying which package brings the validator.
set -euo pipefail
part=$1
build=$QUORVEL_BUILD source=$QUORVEL_SOURCE tree=$QUORVEL_TREE
id=$QUORVEL_APP_ID type=$QUORVEL_MIME_TYPE version=$QUORVEL_VERSION
share=$tree/share
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
missing=''
# have TOOL PACKAGE: whether TOOL is here; if not, remembers it for the end.
have() {
  command -v "$1" >/dev/null && return 0
  missing+="${missing:+, }$1 (Debian package $2)"
  return 1
}
finish() {
  if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
  fi
  if [ -n "$missing" ]; then
    echo "SKIPPED: not checked with $missing, which is missing; the other checks passed"
    exit 77
  fi
  echo "all checks passed"
}
# The file as installed, gzipped or not.
man_page() { if [ -f "$share/man/man1/$1.1.gz" ]; then echo "$share/man/man1/$1.1.gz"; else echo "$share/man/man1/$1.1"; fi; }
# Every long option that `PROGRAM --help` shows.
help_options() { "$tree/bin/$1" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u; }

check_tree() {
  rm -rf "$tree"
  "${QUORVEL_CMAKE:-cmake}" --install "$build" --prefix "$tree" >/dev/null
  local expected=(bin/quorvel bin/quorvel-report libexec/quorvel/quorvel-layout
    "share/applications/$id.desktop" "share/mime/packages/$id.xml" "share/metainfo/$id.metainfo.xml"
    share/bash-completion/completions/quorvel-report "share/icons/hicolor/scalable/apps/$id.svg"
    share/quorvel/quorvel-report.schema.json)
  local size page
  for size in 16 22 24 32 48 64 128 256; do expected+=("share/icons/hicolor/${size}x$size/apps/$id.png"); done
  for page in quorvel quorvel-report; do expected+=("$(man_page "$page" | sed "s|^$tree/||")"); done
  # Exactly these files: nothing missing, nothing installed by accident.
  diff <(printf '%s\n' "${expected[@]}" | LC_ALL=C sort) <(cd "$tree" && find . -type f -o -type l | sed 's|^\./||' | LC_ALL=C sort) ||
    fail "the installed files differ from the expected ones (< expected, > installed)"
  local program
  for program in quorvel quorvel-report; do [ -x "$tree/bin/$program" ] || fail "bin/$program is not executable"; done
  "$tree/bin/quorvel-report" --version | grep -qF " $version" || fail "the installed quorvel-report does not say version $version"
  # The installed reporter finds the installed layout helper.
  "$tree/bin/quorvel-report" --format svg --no-catalog "$source/samples/capture.grf" | grep -q '<svg' ||
    fail "the installed quorvel-report does not draw the sample graph"
  # The window's --version needs no display.
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$tree/bin/quorvel" --version | grep -qF " $version " ||
    fail "the installed quorvel does not say version $version without a display"
}

check_desktop_entry() {
  local file=$share/applications/$id.desktop
  value() { sed -n "s/^$1=//p" "$file"; }
  local exec icon
  exec=$(value Exec) icon=$(value Icon)
  [ -x "$tree/bin/${exec%% *}" ] || fail "Exec=$exec names no installed program"
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "Icon=$icon names no installed icon"
  [[ $(value MimeType) == *"$type;"* ]] || fail "MimeType= lacks $type"
  grep -qF "type=\"$type\"" "$share/mime/packages/$id.xml" || fail "the MIME package does not declare $type"
  if have desktop-file-validate desktop-file-utils; then
    # It exits 0 on warnings: any output is a finding.
    local out
    out=$(desktop-file-validate "$file" 2>&1) || true
    [ -z "$out" ] || fail "desktop-file-validate: $out"
  fi
}

check_mime_type() {
  local package=$share/mime/packages/$id.xml
  if have xmllint libxml2-utils; then xmllint --noout "$package" || fail "xmllint rejects $package"; fi
  if ! have update-mime-database shared-mime-info; then finish; fi
  # One database of the system's types and ours, as the package makes in
  # /usr/share/mime: Qt 6.4 takes the content match of the last of several
  # databases whatever the priorities, so a type in a database of its own
  # loses to application/x-ole-storage.
  mkdir -p "$tmp/data/mime/packages" "$tmp/home"
  export XDG_DATA_HOME=$tmp/home XDG_DATA_DIRS=$tmp/data GIO_USE_VFS=local
  cp /usr/share/mime/packages/*.xml "$share/mime/packages/"*.xml "$tmp/data/mime/packages/"
  local err
  err=$(update-mime-database "$tmp/data/mime" 2>&1) || fail "update-mime-database failed"
  [ -z "$err" ] || fail "update-mime-database: $err"
  [ -f "$tmp/data/mime/$type.xml" ] || fail "update-mime-database made no $type.xml"

  # Test files, none with an extension unless its name is the point.
  local files=$tmp/files sample=$source/samples/capture.grf
  mkdir -p "$files"
  # The offset of the graph stream: "0003" CR (grep stops lines at LF; in
  # the C locale -P takes any bytes).
  local stream
  stream=$(LC_ALL=C grep -obUaP '0\x000\x000\x003\x00\r' "$sample" | head -1 | cut -d: -f1)
  [ -n "$stream" ] || { fail "no graph stream in $sample"; finish; }
  cp "$sample" "$files/sample"
  cp "$sample" "$files/version-2"
  printf 2 | dd of="$files/version-2" bs=1 seek=$((stream + 6)) conv=notrunc status=none
  # The stream text off a sector boundary; a compound file without it; the
  # stream text in a file that is no compound file.
  { head -c 512 "$sample"; head -c 256 /dev/zero; tail -c +513 "$sample"; } >"$files/off-boundary"
  { head -c 512 "$sample"; head -c 4096 /dev/zero; } >"$files/other-compound-file"
  { head -c 512 /dev/zero; tail -c +$((stream + 1)) "$sample"; } >"$files/no-compound-file"
  echo "A text that only has the name of a graph." >"$files/text.grf"
  cp "$files/text.grf" "$files/TEXT.GRF"
  cp "$files/text.grf" "$files/text"

  local table=$tmp/table
  cat >"$table" <<TABLE
default $type $files/sample
default $type $files/version-2
default application/x-ole-storage $files/off-boundary
default application/x-ole-storage $files/other-compound-file
default !$type $files/no-compound-file
default $type $files/text.grf
default $type $files/TEXT.GRF
default text/plain $files/text
content text/plain $files/text.grf
name $type $sample
TABLE
  local shared=${QUORVEL_SHARED_DIR:-}/graphs/real graph n=0
  if compgen -G "$shared/*.grf" >/dev/null; then
    for graph in "$shared"/*.grf; do
      n=$((n + 1))
      cp "$graph" "$files/real-$n"
      printf 'default %s %s\nname %s %s\n' "$type" "$files/real-$n" "$type" "$graph" >>"$table"
    done
  elif [ "${QUORVEL_REQUIRE_SHARED:-}" = 1 ]; then
    fail "no real graphs in $shared, and QUORVEL_REQUIRE_SHARED=1"
  else
    echo "note: no real graphs in $shared; the generated sample stands for them"
  fi

  have gio libglib2.0-bin || true
  local mode expected file got
  while read -r mode expected file; do
    # Qt, as the window and Qt desktops see the file; GLib, as GTK desktops do.
    got=$("$QUORVEL_MIME_TYPE_OF" "$mode" "$file")
    matches "$got" "$expected" || fail "Qt, $mode: ${file##*/} is $got, not $expected"
    if [ "$mode" = default ] && command -v gio >/dev/null; then
      got=$(gio info -a standard::content-type "$file" | sed -n 's/^ *standard::content-type: //p')
      matches "$got" "$expected" || fail "GLib: ${file##*/} is $got, not $expected"
    fi
  done <"$table"
}
matches() { if [[ $2 == !* ]]; then [ "$1" != "${2#!}" ]; else [ "$1" = "$2" ]; fi; }

check_icons() {
  local size file dims
  for size in 16 22 24 32 48 64 128 256; do
    file=$share/icons/hicolor/${size}x$size/apps/$id.png
    # The PNG signature, then the width and height of the IHDR chunk.
    [ "$(head -c 8 "$file" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || { fail "$file is no PNG"; continue; }
    dims=$(od -An -tu1 -j16 -N8 "$file" | awk '{print $1*16777216+$2*65536+$3*256+$4 "x" $5*16777216+$6*65536+$7*256+$8}')
    [ "$dims" = "${size}x$size" ] || fail "$file is $dims"
  done
  file=$share/icons/hicolor/scalable/apps/$id.svg
  if have xmllint libxml2-utils; then xmllint --noout "$file" || fail "xmllint rejects $file"; fi
  if have rsvg-convert librsvg2-bin; then rsvg-convert -w 64 "$file" -o "$tmp/render.png" || fail "rsvg-convert cannot draw $file"; fi
}

check_metainfo() {
  local file=$share/metainfo/$id.metainfo.xml binary
  tag() { sed -n "s|.*<$1[^>]*>\(.*\)</$1>.*|\1|p" "$file"; }
  [ -f "$share/applications/$(tag launchable)" ] || fail "the launchable $(tag launchable) is not installed"
  for binary in $(tag binary); do [ -x "$tree/bin/$binary" ] || fail "provides the binary $binary, which is not installed"; done
  [ "$(tag mediatype)" = "$type" ] || fail "provides the media type $(tag mediatype), not $type"
  grep -qF "<release version=\"$version\"" "$file" || fail "no release $version"
  if have appstreamcli appstream; then
    local out
    out=$(appstreamcli validate --no-net --no-color "$file" 2>&1) || fail "appstreamcli validate: $out"
    ! grep -E '^[EW]: ' <<<"$out" || fail "appstreamcli validate has errors or warnings"
  fi
}

check_man_pages() {
  local page file text
  for page in quorvel quorvel-report; do
    file=$(man_page "$page")
    text=$(zcat -f "$file")
    if have groff groff-base; then
      local err
      err=$(groff -man -ww -z -Tutf8 <<<"$text" 2>&1) || fail "groff cannot format $page.1"
      [ -z "$err" ] || fail "groff warns on $page.1: $err"
    fi
    if have man man-db; then
      local out
      out=$(MANWIDTH=80 man --warnings -l "$file" 2>"$tmp/man-err") || fail "man -l $page.1 failed"
      [ ! -s "$tmp/man-err" ] || fail "man -l $page.1: $(cat "$tmp/man-err")"
      grep -q "^NAME" <<<"$out" || fail "man -l $page.1 shows no NAME section"
    fi
  done
  # Every option of each program's help is documented.
  local option
  for page in quorvel quorvel-report; do
    text=$(zcat -f "$(man_page "$page")" | sed 's/\\-/-/g')
    for option in $(help_options "$page"); do grep -qF -- "$option" <<<"$text" || fail "$page.1 does not document $option"; done
  done
}

check_completion() {
  local file=$share/bash-completion/completions/quorvel-report
  bash -n "$file" || fail "bash -n rejects $file"
  mkdir -p "$tmp/files/sub" && cd "$tmp/files"
  touch a.grf A.GRF notes.txt 'with space.grf' -- -dash.grf sub/b.Grf
  # shellcheck source=/dev/null
  source "$file"
  complete -p quorvel-report >/dev/null || fail "$file does not register a completion for quorvel-report"
  # The replies to a command line whose last word is being completed, sorted, joined by commas.
  replies() {
    COMP_WORDS=("$@") COMP_CWORD=$(($# - 1)) COMP_LINE="$*" COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _quorvel_report
    printf '%s\n' "${COMPREPLY[@]}" | sed '/^$/d' | LC_ALL=C sort | paste -sd, -
  }
  local expected line words got
  # Each case: the expected replies | the words, the last being completed
  # ('' for an empty one).  "--color=al" comes as "--color" "=" "al" from
  # readline; the '=' cases with COMP_WORDBREAKS without '=' follow.
  while IFS='|' read -r expected line; do
    eval "words=($line)"
    got=$(set +e; replies "${words[@]}")
    [ "$got" = "$expected" ] || fail "completing [$line]: got [$got], expected [$expected]"
  done <<'CASES'
ansi,csv,dot,html,json,rtf,svg,text|quorvel-report --format ''
json|quorvel-report -f j
always,auto,never|quorvel-report --color = ''
always|quorvel-report --color = al
json|quorvel-report --format = js
--details,--dump-catalog|quorvel-report --d
--color=|quorvel-report --co
--catalog-file|quorvel-report --ca
-dash.grf,A.GRF,a.grf,notes.txt,sub,with space.grf|quorvel-report -o ''
notes.txt|quorvel-report --catalog-file n
notes.txt|quorvel-report --output = n
-dash.grf,A.GRF,a.grf,sub,with space.grf|quorvel-report --no-catalog ''
|quorvel-report n
sub/b.Grf|quorvel-report a.grf sub/
with space.grf|quorvel-report -f html w
-dash.grf|quorvel-report -- -d
CASES
  local saved=$COMP_WORDBREAKS
  COMP_WORDBREAKS=${COMP_WORDBREAKS//=/}
  got=$(set +e; replies quorvel-report --color=al)
  [ "$got" = --color=always ] || fail "completing --color=al without '=' breaks: got [$got]"
  got=$(set +e; replies quorvel-report --catalog-file=n)
  [ "$got" = --catalog-file=notes.txt ] || fail "completing --catalog-file=n without '=' breaks: got [$got]"
  COMP_WORDBREAKS=$saved
  # Every option of the reporter's help is offered.
  local offered option
  offered=$(set +e; replies quorvel-report --)
  for option in $(help_options); do [[ ,${offered//=/}, == *",$option,"* ]] || fail "-- does not offer $option"; done
}

check_package() {
  have dpkg-deb dpkg && have dpkg-shlibdeps dpkg-dev || finish
  local arch deb
  arch=$(dpkg --print-architecture)
  "${QUORVEL_CPACK:-cpack}" -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/package" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log" >&2; fail "cpack failed"; finish; }
  deb=$tmp/package/quorvel_${version}_$arch.deb
  [ -f "$deb" ] || { fail "cpack made no $(basename "$deb")"; finish; }
  [ "$(dpkg-deb -f "$deb" Package)" = quorvel ] || fail "the package is not named quorvel"
  [ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "the package's version is not $version"
  local depends
  depends=$(dpkg-deb -f "$deb" Depends)
  # Found by dpkg-shlibdeps in the programs, and named by hand.
  for lib in libc6 libstdc++6 libqt6widgets6 qt6-qpa-plugins; do
    [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib: $depends"
  done
  [[ $(dpkg-deb -f "$deb" Recommends) == *qt6-translations-l10n* ]] ||
    fail "Recommends lacks qt6-translations-l10n, which the dialogs' French comes from"
  # The package holds what `cmake --install` installs, under /usr.
  diff <(cd "$tree" && find . -type f -o -type l | sed 's|^\.|./usr|' | LC_ALL=C sort) \
       <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort) ||
    fail "the package's files differ from the installed tree's (< tree, > package)"
  # The maintainer scripts must not fail where the tools they call are missing.
  dpkg-deb -e "$deb" "$tmp/control"
  local script
  for script in postinst postrm; do
    [ -x "$tmp/control/$script" ] || { fail "no executable $script"; continue; }
    env -i PATH=/nonexistent /bin/sh "$tmp/control/$script" configure >/dev/null 2>&1 &&
      env -i PATH=/nonexistent /bin/sh "$tmp/control/$script" remove >/dev/null 2>&1 ||
      fail "$script fails without the tools it calls"
  done
}

case $part in
  tree) check_tree ;;
  DesktopEntry) check_desktop_entry ;;
  MimeType) check_mime_type ;;
  Icons) check_icons ;;
  Metainfo) check_metainfo ;;
  ManPages) check_man_pages ;;
  Completion) check_completion ;;
  Package) check_package ;;
  *) echo "unknown part $part" >&2; exit 2 ;;
esac
finish
