#!/bin/sh
# A viewer that announces its window on the machine, says so through a file of the log drive, and
# runs until its window is closed.
"$WINMACHINE" window open "Tarvium Viewer - readme.txt" || exit 1
: > "$TARVIUM_SCENARIO_LOGS/viewer-ready"
sleep 60
