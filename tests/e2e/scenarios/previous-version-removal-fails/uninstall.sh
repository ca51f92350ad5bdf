#!/bin/sh
# The registered uninstall command of version 1.0, a workstation installation: it was aborted and
# asks for a log-off (-6703, whole through the exit-code file; a shell sees its low byte 209).
echo "uninstall of 1.0 called with: $*"
[ -n "$TARVIUM_EXIT_CODE_FILE" ] && echo 4294960593 > "$TARVIUM_EXIT_CODE_FILE"
exit 209
