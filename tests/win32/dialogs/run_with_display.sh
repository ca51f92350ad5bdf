#!/bin/sh
# Runs a Windows program under Wine on a virtual X display of its own (Xvfb, a free display
# number, so that several runs can go side by side), in a Wine prefix that uses the X11 driver.
# A new prefix is made first, without Wine's crash dialog, which would wait for a person, and with
# windows that no window manager looks after (there is none on the display): Wine draws their
# frames, and does not wait for a window manager to let each closed window go, which took two
# seconds a window. The
# prefix's programs are waited for before the display goes, so that none of them is left behind.
# Usage: run_with_display.sh WINE PREFIX PROGRAM [ARGUMENTS...]
set -eu
wine=$1
export WINEPREFIX="$2"
shift 2
set -- "$wine" "$@"
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  wine=$1; shift
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    "$wine" reg add "HKCU\\Software\\Wine\\WineDbg" /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null
    "$wine" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Decorated /d N /f >/dev/null
    "$wine" reg add "HKCU\\Software\\Wine\\X11 Driver" /v Managed /d N /f >/dev/null
  fi
  status=0
  "$wine" "$@" || status=$?
  wineserver -w
  exit $status' sh "$@"
