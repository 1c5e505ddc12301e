#!/bin/sh
# The measurements behind bench/run.sh; needs a display. measure.sh IDLE_SECONDS
set -e
idle="$1"
build="$(pwd)/build"
run="tools/device/run $build/device"
. tools/device/env.sh
device_env "$build/device"
wineserver -k 2>/dev/null || true
wine reg delete 'HKCU\Software\Quarnel\NudgebellPlus' /f >/dev/null 2>&1 || true

# CPU ticks (user + system) and private memory (kB) of the Wine process running $1.
pid_of() { pgrep -f "$1" | head -1; }
ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
private_kb() { awk '/^Private_(Clean|Dirty):/ {sum += $2} END {print sum}' "/proc/$1/smaps_rollup"; }

# Idle: both watch hidden, with a 5-second timer, and no reminder ever opens.
$run "$build/nudgebellplus.exe" /AUTORUN &
$run "$build/bench/bare.exe" /hidden &
sleep 5
program=$(pid_of 'nudgebellplus.exe')
bare=$(pid_of 'bare.exe')
p0=$(ticks "$program"); b0=$(ticks "$bare")
sleep "$idle"
p1=$(ticks "$program"); b1=$(ticks "$bare")
pmem=$(private_kb "$program"); bmem=$(private_kb "$bare")
wineserver -k; wait 2>/dev/null || true
hz=$(getconf CLK_TCK)

# Start-up: from process start to the first visible window, median of 10.
pstart=$($run "$build/bench/startup_time.exe" 10 "$(winepath -w "$build/nudgebellplus.exe")" | tr -d '\r')
bstart=$($run "$build/bench/startup_time.exe" 10 "$(winepath -w "$build/bench/bare.exe")" | tr -d '\r')
wineserver -k 2>/dev/null || true

size=$(stat -c %s "$build/nudgebellplus.exe")
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
cpu_ms() { awk -v t="$1" -v hz="$hz" 'BEGIN { printf "%d", t * 1000 / hz }'; }

echo
echo "| figure | Nudgebell+ | bare program | ratio | target |"
echo "|---|---|---|---|---|"
echo "| CPU time over ${idle} s idle watching (ms) | $(cpu_ms $((p1 - p0))) | $(cpu_ms $((b1 - b0))) | $(ratio $((p1 - p0)) $((b1 - b0))) | within 10 % |"
echo "| private memory while watching (KiB) | $pmem | $bmem | $(ratio "$pmem" "$bmem") | within 10 % |"
echo "| start-up to visible window, median of 10 (ms) | $pstart | $bstart | $(ratio "$pstart" "$bstart") | within 20 % |"
echo "| executable size, stripped (bytes) | $size | | | at most 102400 |"
