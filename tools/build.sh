#!/bin/sh
# Configures (once) and builds into ./build (the targets given, or everything), then makes
# sure the device's Wine prefix and its sounds exist.
set -e
cd "$(dirname "$0")/.."
[ -f build/CMakeCache.txt ] ||
    cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
targets=""
for t in "$@"; do targets="$targets --target $t"; done
cmake --build build -j"$(nproc)" $targets
tools/device/setup build/device build/tools/makesounds.exe
