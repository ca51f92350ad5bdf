#!/bin/sh
# The registered uninstall command of version 1.0: it ends asking for a restart of the computer
# (-6708, whole through the exit-code file; a shell sees its low byte 204).
echo "uninstall of 1.0 called with: $*"
[ -n "$TARVIUM_EXIT_CODE_FILE" ] && echo 4294960588 > "$TARVIUM_EXIT_CODE_FILE"
exit 204
