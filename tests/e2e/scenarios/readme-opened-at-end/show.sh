#!/bin/sh
# Shows the readme: says which file the end of the install opened.
echo "readme shown: $*"
