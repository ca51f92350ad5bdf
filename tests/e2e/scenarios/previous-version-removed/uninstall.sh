#!/bin/sh
# The registered uninstall command of version 1.0: shows how it was called and ends well.
echo "uninstall of 1.0 called with: $*"
exit 0
