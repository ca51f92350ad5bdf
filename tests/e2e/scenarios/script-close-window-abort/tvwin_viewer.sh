#!/bin/sh
# A viewer that announces its window on the machine, says so through a file of the log drive, and
# runs a while, long enough for the checks after the run, without holding the setup's output.
"$WINMACHINE" window open "Tarvium Viewer - readme.txt" || exit 1
: > "$TARVIUM_SCENARIO_LOGS/viewer-ready"
exec >/dev/null 2>&1
sleep 20
