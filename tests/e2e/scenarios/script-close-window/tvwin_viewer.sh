#!/bin/sh
# A viewer that announces its window on the machine, says so through a file of the log drive, and
# runs until its window is closed; closing it leaves a second file, which the setup waits for (a
# wait for the process's name would also see a viewer another test run left on the host).
trap ': > "$TARVIUM_SCENARIO_LOGS/viewer-closed"; exit 0' TERM
"$WINMACHINE" window open "Tarvium Viewer - readme.txt" || exit 1
: > "$TARVIUM_SCENARIO_LOGS/viewer-ready"
sleep 60 &
wait $!
