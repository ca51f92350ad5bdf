#!/bin/sh
# The product's tool: says how it was started and ends with 7.
echo "tool ran with: $*"
exit 7
