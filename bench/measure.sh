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
echo "machine: $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg) at the start"

# The scheduler's account of a Linux process, all its threads: CPU time (ns), finer than the
# 10 ms ticks of /proc/PID/stat, and the times it was put on a CPU, each of which is a wake-up
# (under Wine, mostly a wineserver round trip).
ticks() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $1 } END { printf "%.0f", sum }'; }
slices() { cat /proc/"$1"/task/*/schedstat | awk '{ sum += $3 } END { printf "%.0f", sum }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
rounds="${ROUNDS:-3}"
work="$build/bench-idle"
rm -rf "$work"
mkdir -p "$work"

# Idle: both watch hidden with a 5-second timer and a known language, no reminder ever opens;
# alternating rounds (which one starts first), figures per minute pooled over the rounds.
device_settings Language=4
for r in $(seq 1 "$rounds"); do
    if [ $((r % 2)) = 1 ]; then
        $run "$build/nudgebellplus.exe" /AUTORUN & sleep 1; $run "$build/bench/bare.exe" /hidden &
    else
        $run "$build/bench/bare.exe" /hidden & sleep 1; $run "$build/nudgebellplus.exe" /AUTORUN &
    fi
    sleep 5
    program=$(device_pid 'nudgebellplus.exe')
    bare=$(device_pid 'bare.exe')
    p0=$(ticks "$program"); b0=$(ticks "$bare"); ps0=$(slices "$program"); bs0=$(slices "$bare")
    sleep "$idle"
    p1=$(ticks "$program"); b1=$(ticks "$bare"); ps1=$(slices "$program"); bs1=$(slices "$bare")
    awk -v v=$((p1 - p0)) -v s="$idle" 'BEGIN { printf "%.3f\n", v / 1e6 * 60 / s }' >>"$work/pcpu"
    awk -v v=$((b1 - b0)) -v s="$idle" 'BEGIN { printf "%.3f\n", v / 1e6 * 60 / s }' >>"$work/bcpu"
    awk -v v=$((ps1 - ps0)) -v s="$idle" 'BEGIN { printf "%.1f\n", v * 60 / s }' >>"$work/pslices"
    awk -v v=$((bs1 - bs0)) -v s="$idle" 'BEGIN { printf "%.1f\n", v * 60 / s }' >>"$work/bslices"
    private_kb "$program" >>"$work/pmem"
    private_kb "$bare" >>"$work/bmem"
    wineserver -k; wait 2>/dev/null || true
done
pcpu=$(median <"$work/pcpu"); bcpu=$(median <"$work/bcpu")
pslices=$(median <"$work/pslices"); bslices=$(median <"$work/bslices")
pmem=$(median <"$work/pmem"); bmem=$(median <"$work/bmem")

# Start-up: from process start to the first visible window, 10 starts of each per round, in
# alternating rounds; the median of all of them.
startups=$(awk -v r="$rounds" 'BEGIN { print r < 5 ? 5 : r }')
for r in $(seq 1 "$startups"); do
    for p in program bare; do
        [ $((r % 2)) = 1 ] || p=$([ "$p" = program ] && echo bare || echo program)
        exe=$([ "$p" = program ] && echo "$build/nudgebellplus.exe" || echo "$build/bench/bare.exe")
        $run "$build/bench/startup_time.exe" -10 "$(winepath -w "$exe")" | tr -d '\r' >>"$work/start-$p"
        wineserver -k 2>/dev/null || true
    done
done
pstart=$(median <"$work/start-program"); bstart=$(median <"$work/start-bare")
starts=$(wc -l <"$work/start-program")

# The memory a finished series leaves: the program watching with a known language, before a
# reminder opens and once it has replayed twice, snoozed it and its last wake-up has passed.
device_settings Play=1 RepeatTimes=2 RepeatDelay=2000 AutoSnooze=1 SnoozeChoice=0 Language=4
$run "$build/nudgebellplus.exe" /AUTORUN &
sleep 4
program=$(device_pid 'nudgebellplus.exe')
before=$(private_kb "$program")
$run "$build/tools/reminder.exe" /title:4 /close-after:30000 >/dev/null 2>&1
sleep 6 # past the series' last wake-up, one delay after its last replay
after=$(private_kb "$program")
threads=$(ls /proc/"$program"/task | wc -l)
wineserver -k; wait 2>/dev/null || true
# The same series on an output that never gives a play back (DEVICE_AUDIO_STALL): the first
# play's thread stays stuck there and the later plays start none, so the series ends with one
# thread more than above, whatever its length.
device_settings Play=1 RepeatTimes=4 RepeatDelay=2000 AutoSnooze=1 SnoozeChoice=0 Language=4
DEVICE_AUDIO_STALL="$work/stalled" $run "$build/nudgebellplus.exe" /AUTORUN &
sleep 4
program=$(device_pid 'nudgebellplus.exe')
DEVICE_AUDIO_STALL="$work/stalled" $run "$build/tools/reminder.exe" /title:4 /close-after:40000 >/dev/null 2>&1
sleep 3
sthreads=$(ls /proc/"$program"/task | wc -l)
sstart=$(date +%s%N)
DEVICE_AUDIO_STALL="$work/stalled" $run "$build/nudgebellplus.exe" # a second start, answered at once
sanswer=$((($(date +%s%N) - sstart) / 1000000))
wineserver -k; wait 2>/dev/null || true
# The same for the bare player (bench/bare_replay, the same sound every 6 s): before its first
# play and once its second has ended.
$run "$build/bench/bare_replay.exe" "$(winepath -w "$work/player-t0.txt")" 3 6000 \
    'C:\windows\Media\Alarm1.wav' &
sleep 5
player=$(device_pid 'bare_replay.exe')
pbefore=$(private_kb "$player")
sleep 8
pafter=$(private_kb "$player")
wineserver -k; wait 2>/dev/null || true

# Replay schedule: per-series lines now, its rows in the table.
bench/replay_schedule.sh 3 >"$build/bench-replay.txt"
grep -v '^|' "$build/bench-replay.txt"

size=$(stat -c %s "$build/nudgebellplus.exe")
echo "machine: $(nproc) CPUs, load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
cpu_ms() { awk -v t="$1" 'BEGIN { printf "%.1f", t / 1e6 }'; }

echo
echo "| figure | Nudgebell+ | bare program | ratio | target |"
echo "|---|---|---|---|---|"
echo "| start-up to visible window, median of $starts each (ms) | $pstart | $bstart | $(ratio "$pstart" "$bstart") | at most 1.05x |"
echo "| times scheduled while idle, a minute, median of $rounds rounds | $pslices | $bslices | $(ratio "$pslices" "$bslices") | at most 1.05x |"
echo "| CPU time while idle, a minute, median of $rounds rounds (ms) | $pcpu | $bcpu | $(ratio "$pcpu" "$bcpu") | at most 1.10x |"
echo "| private memory while watching, median of $rounds rounds (KiB) | $pmem | $bmem | $(ratio "$pmem" "$bmem") | at most 1.05x |"
echo "| private memory a finished series leaves; bare: the player's two plays (KiB) | +$((after - before)) ($before -> $after, $threads threads) | +$((pafter - pbefore)) ($pbefore -> $pafter) | | at most +2765 |"
echo "| threads a finished series leaves; on an output that stalls every play (4 replays) | $threads; $sthreads | | | one more at most |"
echo "| a second start after a series on a stalled output, until it ends (ms) | $sanswer | | | within the start-up |"
grep '^|' "$build/bench-replay.txt"
echo "| executable size, stripped (bytes) | $size | | | at most 102400 |"
