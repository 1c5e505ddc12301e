#!/bin/sh
# The measurements behind bench/run.sh; needs a display. measure.sh IDLE_SECONDS
# (bench/device.sh: the build folder and the device)
set -e
idle="$1"
. bench/device.sh
run="tools/device/run $device"
. tools/device/env.sh
device_env "$device"
wineserver -k 2>/dev/null || true
wine reg delete "$settings_key" /f >/dev/null 2>&1 || true

# CPU time (ns) of a Linux process, all its threads: the scheduler's own account, finer than
# the 10 ms ticks of /proc/PID/stat, which a minute of idle watching hardly reaches.
ticks() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%.0f", sum }'; }

# Idle: both watch hidden, with a 5-second timer, and no reminder ever opens.
$run "$build/nudgebellplus.exe" /AUTORUN &
$run "$build/bench/bare.exe" /hidden &
sleep 5
program=$(device_pid 'nudgebellplus.exe')
bare=$(device_pid 'bare.exe')
p0=$(ticks "$program"); b0=$(ticks "$bare")
sleep "$idle"
p1=$(ticks "$program"); b1=$(ticks "$bare")
pmem=$(private_kb "$program"); bmem=$(private_kb "$bare")
wineserver -k; wait 2>/dev/null || true

# Start-up: from process start to the first visible window, median of 10.
pstart=$($run "$build/bench/startup_time.exe" 10 "$(winepath -w "$build/nudgebellplus.exe")" | tr -d '\r')
bstart=$($run "$build/bench/startup_time.exe" 10 "$(winepath -w "$build/bench/bare.exe")" | tr -d '\r')
wineserver -k 2>/dev/null || true

# Replay schedule: per-series lines now, its rows in the table.
bench/replay_schedule.sh 3 >"$build/bench-replay.txt"
grep -v '^|' "$build/bench-replay.txt"

size=$(stat -c %s "$build/nudgebellplus.exe")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
cpu_ms() { awk -v t="$1" 'BEGIN { printf "%.1f", t / 1e6 }'; }

echo
echo "| figure | Nudgebell+ | bare program | ratio | target |"
echo "|---|---|---|---|---|"
echo "| CPU time over ${idle} s idle watching (ms) | $(cpu_ms $((p1 - p0))) | $(cpu_ms $((b1 - b0))) | $(ratio $((p1 - p0)) $((b1 - b0))) | within 10 % |"
echo "| private memory while watching (KiB) | $pmem | $bmem | $(ratio "$pmem" "$bmem") | within 10 % |"
echo "| start-up to visible window, median of 10 (ms) | $pstart | $bstart | $(ratio "$pstart" "$bstart") | within 20 % |"
grep '^|' "$build/bench-replay.txt"
echo "| executable size, stripped (bytes) | $size | | | at most 102400 |"
