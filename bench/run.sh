#!/bin/sh
# Measures Nudgebell+ against the bare program on the device and prints the figures as a
# table: bench/run.sh [IDLE_SECONDS]   (default 60 a round; ROUNDS, default 3; bench/device.sh:
# the build folder and device)
set -e
cd "$(dirname "$0")/.."
. bench/device.sh
bench_build bare startup_time bare_replay reminder observe
exec xvfb-run -a -s "-screen 0 640x480x24" bench/measure.sh "${1:-60}"
