#!/bin/sh
# Stands in for the Windows Installer: shows how it was called and ends well.
echo "msiexec called with: $*"
exit 0
