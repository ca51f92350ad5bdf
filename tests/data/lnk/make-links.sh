#!/bin/sh
# Rebuilds the shortcut test files: cross-compiles make_links.c with mingw-w64 and runs it under
# Wine in a throw-away prefix, then prints what lnkinfo (liblnk-utils) reads from each file.
# Needs x86_64-w64-mingw32-gcc and wine; the tests themselves need neither.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
x86_64-w64-mingw32-gcc -municode -O1 -Wall -o "$work/make_links.exe" "$here/make_links.c" \
  -lole32 -luuid
wine=$(command -v wine || command -v wine64 || echo /usr/lib/wine/wine64)
PATH="$PATH:/usr/lib/wine"
export WINEPREFIX="$work/prefix" WINEDEBUG=-all
"$wine" wineboot -i >/dev/null 2>&1 || true
out=$("$wine" winepath -w "$work" | tr -d '\r')
"$wine" "$work/make_links.exe" "$out"
wineserver -w || true
for f in "$work"/*.lnk; do
  cp "$f" "$here/"
  lnkinfo "$here/$(basename "$f")"
done
