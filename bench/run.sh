#!/bin/sh
# Measures Nudgebell+ against the bare program on the device and prints the figures as a
# table: bench/run.sh [IDLE_SECONDS]   (default 60)
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh nudgebellplus makesounds bare startup_time >/dev/null
exec xvfb-run -a -s "-screen 0 640x480x24" bench/measure.sh "${1:-60}"
