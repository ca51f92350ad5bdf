#!/usr/bin/env bash
# The Windows Setup.exe end to end under Wine: the demo product installed silently from its medium
# (its program files and its cabinet, made by gcab), registered with its programs-list entry, and
# removed by the uninstall command it registered, run as the programs list runs it (with /S added).
# What stays is what a removal leaves on purpose: the engine as _UnInst.exe, the Uninstall entry's
# values the removal does not delete, and the empty keys above the product's record.
# Usage: demo_under_wine.sh SETUP_EXE SOURCE_DIR (runs in a fresh Wine prefix of its own)
set -euo pipefail
setup=$1
demo=$2/examples/demo
work=$(mktemp -d)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT
export WINEPREFIX=$work/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }
query() { wine reg query "$@" 2>/dev/null | tr -d '\r' || true; }

cp -r "$demo" "$work/media"
(cd "$work/media/cabinet" && gcab -c -z ../Data01.cab Spell/* Help/* > /dev/null)
rm -r "$work/media/cabinet" "$work/media/run-demo"
cp "$setup" "$work/media/Setup.exe"
media=$(winepath -w "$work/media")

status=0
wine "$media\\Setup.exe" /S "$media\\Setup.inf" || status=$?
[ "$status" -eq 0 ] || fail "the install ended with $status"
app=$(winepath -u 'C:\Program Files\Tarvium\Notes')
for file in Notes.exe NotesCore.dll Readme.txt Spell/Speller.dll Help/Notes.chm; do
  cmp -s "$demo/$file" "$app/$file" || cmp -s "$demo/cabinet/$file" "$app/$file" ||
    fail "$file was not installed as it is on the medium"
done
grep -q '^DataDir=' "$app/Notes.ini" || fail "Notes.ini has no DataDir in the product's folder"
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tarvium Notes'
command=$(query "$entry" /v UninstallString | sed -n 's/^ *UninstallString *REG_SZ *//p')
[ -n "$command" ] || fail "no UninstallString in the programs-list entry"
query 'HKLM\Software\Tarvium\Notes\2.4\Setup' /v ProductName | grep -q 'Tarvium Notes' ||
  fail "the product's record is missing"

eval "set -- $(printf '%s' "$command" | sed 's/\\/\\\\/g')"
status=0
wine "$@" /S || status=$?
[ "$status" -eq 0 ] || fail "the registered uninstall command ended with $status"
[ ! -e "$app" ] || fail "the removal left $app"
left=$(query "$entry")
echo "$left" | grep -q DisplayName && fail "the removal left the programs-list entry: $left"
query 'HKLM\Software\Tarvium\Notes\2.4' /s | grep -q Setup && fail "the removal left the record"
[ -e "$(winepath -u 'C:\windows\_UnInst.exe')" ] || fail "no _UnInst.exe: the removal had no engine"
echo "the demo installed, registered and removed under Wine"
