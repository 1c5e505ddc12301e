#!/bin/sh
# Installs what is missing, builds, and starts Nudgebell+ on the Wine device. On a desktop
# the device's screen opens on $DISPLAY; without one, the program runs on a virtual display
# and a screenshot of the device's screen is saved and its path printed.
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh nudgebellplus makesounds >/dev/null
if [ -n "$DISPLAY" ] && [ -z "$NUDGEBELL_HEADLESS" ]; then
    exec tools/device/run build/device build/nudgebellplus.exe "$@"
fi
exec xvfb-run -a -s "-screen 0 640x480x24" tools/device/screenshot build/device \
    build/screenshots/nudgebellplus.png build/nudgebellplus.exe "$@"
