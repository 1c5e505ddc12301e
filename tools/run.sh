#!/bin/sh
# Installs what is missing, builds, and starts Nudgebell+ on the Wine device. On a desktop
# the device's screen opens on $DISPLAY; without one, a scripted scene plays on a virtual
# display and its timeline and screenshots are printed (tools/demo.sh).
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh nudgebellplus makesounds reminder observe heard_list >/dev/null
if [ -n "$DISPLAY" ] && [ -z "$NUDGEBELL_HEADLESS" ]; then
    exec tools/device/run build/device build/nudgebellplus.exe "$@"
fi
exec xvfb-run -a -s "-screen 0 640x480x24" tools/demo.sh
