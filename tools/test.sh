#!/bin/sh
# Installs what is missing, builds, and runs every test on the Wine device under a virtual
# display. ctest's summary comes last.
set -e
cd "$(dirname "$0")/.."
tools/install-deps.sh
tools/build.sh
cd build
exec xvfb-run -a -s "-screen 0 1024x768x24" ctest -j2 --output-on-failure
