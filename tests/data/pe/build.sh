#!/usr/bin/env bash
# Builds the small PE files the version-resource tests read, with mingw-w64. The binaries are
# committed, so the tests do not need mingw-w64; run this again only after changing a source.
#
#   english64.exe       64-bit program, US English, Windows-1252, Windows NT 32-bit target
#   german32.dll        32-bit library, German first then Unicode English, Windows 16-bit target
#   untranslated32.exe  32-bit program, a string table but no translation list
#   rcdata64.exe        64-bit program whose resources hold no version
#   bare32.exe          32-bit program without any resource
set -euo pipefail
cd "$(dirname "$0")"

flags=(-Os -s -nostdlib -ffreestanding -fno-asynchronous-unwind-tables -Wl,--no-insert-timestamp
       -Wl,--file-alignment=512 -Wl,--section-alignment=4096)

# link ARCH OUTPUT ENTRY [RC] [extra flags...]
link() {
  local arch=$1 out=$2 entry=$3 rc=$4
  shift 4
  local objs=()
  if [ -n "$rc" ]; then
    "$arch-windres" -I. "$rc" -O coff -o "$out.res.o"
    objs+=("$out.res.o")
  fi
  # Fixed object names and -s instead of a separate strip keep the images the same from one
  # build to the next (strip would stamp them with the current time).
  "$arch-gcc" "${flags[@]}" "$@" -c -o "$out.o" tiny.c
  "$arch-gcc" "${flags[@]}" "$@" -e "$entry" -o "$out" "$out.o" "${objs[@]}"
  rm -f "$out.o" "$out.res.o"
}

link x86_64-w64-mingw32 english64.exe mainCRTStartup english.rc
link i686-w64-mingw32 german32.dll _DllMainCRTStartup@12 german.rc -shared -DTINY_DLL
link i686-w64-mingw32 untranslated32.exe _mainCRTStartup untranslated.rc
link x86_64-w64-mingw32 rcdata64.exe mainCRTStartup rcdata.rc
link i686-w64-mingw32 bare32.exe _mainCRTStartup ""
ls -l ./*.exe ./*.dll
