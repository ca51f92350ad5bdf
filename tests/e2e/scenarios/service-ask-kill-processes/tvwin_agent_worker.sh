#!/bin/sh
# A worker that runs until it is ended; its sleep must not hold the run's output open.
sleep 30 >/dev/null 2>&1 </dev/null
