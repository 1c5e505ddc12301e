# Sourced by the benchmark scripts, from the repository's root.
#   NUDGEBELL_BUILD   the build folder (default build)
#   NUDGEBELL_DEVICE  the device's Wine prefix (default BUILD/device)
build="$(realpath -m "${NUDGEBELL_BUILD:-build}")"
device="$(realpath -m "${NUDGEBELL_DEVICE:-$build/device}")"
settings_key='HKCU\Software\Quarnel\NudgebellPlus'

# Builds the targets given and makes sure the device and its sounds exist.
bench_build() {
    if [ "$build" = "$(realpath -m build)" ]; then
        tools/install-deps.sh
        tools/build.sh nudgebellplus makesounds "$@" >/dev/null
    else
        targets=""
        for t in nudgebellplus makesounds "$@"; do targets="$targets --target $t"; done
        cmake --build "$build" -j"$(nproc)" $targets >/dev/null
    fi
    tools/device/setup "$device" "$build/tools/makesounds.exe"
}

# The Linux process id of the Wine process on this device whose command line holds $1.
device_pid() {
    for p in $(pgrep -f "$1"); do
        if tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$device"; then
            echo "$p"
            return 0
        fi
    done
    return 1
}

# Private memory (KiB) of a Linux process: its private clean and dirty pages.
private_kb() {
    awk '/^Private_(Clean|Dirty):/ {sum += $2} END {print sum}' "/proc/$1/smaps_rollup"
}
