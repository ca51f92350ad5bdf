#!/usr/bin/env bash
# The Wine prefix that every Wine run of the scenarios on both machines starts from, a copy each:
# made once, with the null graphics driver, and with the user's folders (which Wine links to the
# host user's home) as folders of their own, so that nothing of the host is on drive C:. Its
# snapshot, taken once, is the "before" of every Wine run (a copy of a prefix is the prefix).
# Usage: make_wine_skeleton.sh DIR TAKE_SNAPSHOT_EXE SNAPSHOT_DIR
set -euo pipefail
skeleton=$1
snapshot=$3
rm -rf "$skeleton" "$snapshot"
export WINEPREFIX=$skeleton
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f > /dev/null
wineserver -w
find "$skeleton/drive_c/users" -type l | while IFS= read -r link; do
  rm "$link" && mkdir "$link"
done
# Drive L:, where the scenarios write their logs; each copy points it at a folder of its own.
mkdir -p "$skeleton/logs"
ln -s ../logs "$skeleton/dosdevices/l:"
wine "$2" "$(winepath -w "$(dirname "$snapshot")")\\$(basename "$snapshot")"
wineserver -w
