#!/bin/sh
# The replay schedule, measured on the device: run by bench/measure.sh, with a display, from
# the repository's root. replay_schedule.sh SERIES (default 3)
#
# Each series: the program starts with /AUTORUN and no known language, a French reminder opens
# at a different moment of its 5-second poll, the program replays the alarm RepeatTimes 5
# times RepeatDelay 2000 ms apart and snoozes the reminder. Times come from tools/observe
# (Language and the volume mirror by change notification, windows every 10 ms) and from the
# capture of the device's sound output (each sound's onset, taken when the audio system opens
# its stream).
#
#   t0        the tick that found the reminder: when Language appears in the registry, which
#             that tick writes just before it starts the series
#   slot k    t0 + k * RepeatDelay, k = 1..5
#   onset     the captured sound's onset; its offset from its slot is what a listener gets
#   tick      the volume mirror's move to the replay's level, the start of PlayAlarm
#   detection t0 minus the reminder window's appearance; at most PollInterval
#
# Against it, bench/bare_replay plays the same sound at a plain timer of the same delay: its
# onsets from its own slots are what the device's audio path and the capture add anyway.
#
# Prints one line per series, then table rows for bench/measure.sh.
set -e
. bench/device.sh
. tools/device/env.sh
device_env "$device"
series="${1:-3}"
delay=2000
times=5
work="$build/bench-replay"
rm -rf "$work"
mkdir -p "$work"
export DEVICE_AUDIO_HOME="$work/audio"
run="tools/device/run $device"

wineserver -k 2>/dev/null || true
device_settings Play=1 RepeatTimes=$times RepeatDelay=$delay AutoSnooze=1 SnoozeChoice=0 \
    VolumeControl=4

log="$work/observed.txt"
$run "$build/tools/observe.exe" "$(winepath -w "$log")" >/dev/null 2>&1 &
sleep 2
for s in $(seq 1 "$series"); do
    wine reg delete "$settings_key" /v Language /f >/dev/null 2>&1 || true
    $run "$build/nudgebellplus.exe" /AUTORUN >/dev/null 2>&1 &
    sleep 1
    pid=$(device_pid 'nudgebellplus.exe /AUTORUN')
    # A different moment of the poll each time: 0.7 s, 2.2 s, 3.7 s, ... after the start.
    sleep "$(awk -v s="$s" 'BEGIN { print (s * 1.5 - 0.8) % 4.5 }')"
    $run "$build/tools/reminder.exe" /title:4 /close-after:30000 >/dev/null 2>&1
    sleep 0.5
    kill "$pid" 2>/dev/null || true
    sleep 1
done
wineserver -k 2>/dev/null || true
wait 2>/dev/null || true
DEVICE_AUDIO_HOME="$work/bare-audio" $run "$build/bench/bare_replay.exe" \
    "$(winepath -w "$work/bare-t0.txt")" $((times * 2)) "$delay" 'C:\windows\Media\Alarm1.wav'
wineserver -k 2>/dev/null || true

# The bare program's onsets from their slots: the first play (which sets the audio path up in
# the process) and, worst and mean, the later ones.
bare=$(for f in "$work"/bare-audio/sounds/*.wav; do basename "$f" .wav; done |
    awk -v t0="$(cat "$work/bare-t0.txt")" -v delay="$delay" '
    { d = $1 / 1e6 - (t0 + NR * delay) }
    NR == 1 { first = d }
    NR > 1 { if ((d < 0 ? -d : d) > w) w = (d < 0 ? -d : d); sum += d }
    END { if (NR > 1) printf "%.0f %.0f %+.0f", first, w, sum / (NR - 1); else print "- - -" }')

for f in "$DEVICE_AUDIO_HOME"/sounds/*.wav; do
    [ -f "$f" ] && echo "$(basename "$f" .wav) heard" | awk '{ printf "%.1f heard\n", $1 / 1e6 }'
done >"$work/heard.txt"
sort -n -s -k1,1 "$log" "$work/heard.txt" | awk -v delay="$delay" -v times="$times" -v bare="$bare" '
    function abs(x) { return x < 0 ? -x : x }
    $2 == "reminder" && $3 == "opened" { opened[++n] = $1 }
    $2 == "language" && $3 != "none" { t0[n] = $1 }
    $2 == "volume" && $3 != "0x80008000" && $3 != "none" { tick[n, ++ticks[n]] = $1 }
    $2 == "heard" { onset[n, ++heard[n]] = $1 }
    $2 == "reminder" && $3 == "closed" { closed[n] = $1 }
    END {
        for (s = 1; s <= n; ++s) {
            detect = t0[s] - opened[s]
            worstDetect = detect > worstDetect ? detect : worstDetect
            line = sprintf("series %d: found %4.0f ms after opening; replay onset - slot:", s, detect)
            for (k = 1; k <= times; ++k) {
                if (!((s, k) in onset)) { line = line " missing"; ++missing; continue }
                d = onset[s, k] - (t0[s] + k * delay)
                line = line sprintf(" %+4.0f", d)
                if (k == 1) {
                    if (abs(d) > worstFirst) worstFirst = abs(d)
                } else {
                    if (abs(d) > worstLater) worstLater = abs(d)
                    sumLater += d; ++later
                }
                if ((s, k) in tick) {
                    t = tick[s, k] - (t0[s] + k * delay)
                    if (abs(t) > worstTick) worstTick = abs(t)
                    sumTick += t; ++tickCount
                }
            }
            extra = heard[s] - times
            if (extra > 0) { line = line sprintf(" (+%d unexpected)", extra); missing += extra }
            # One delay after the last replay, and the 4 pauses of 50 ms between the keys.
            snooze = closed[s] - (t0[s] + (times + 1) * delay) - 200
            line = line sprintf(" ms; snoozed %+.0f ms from its slot", snooze)
            print line
        }
        split(bare, b, " ")
        if (!later) { print "| replay schedule | no replay heard | | | |"; exit }
        printf "| replay onset from its slot t0 + k x %d ms: first replay after start-up, worst of %d (ms) | %.0f | %s | | within 50 |\n", delay, n, worstFirst, b[1]
        printf "| replay onset from its slot: later replays, worst of %d (mean) (ms) | %.0f (%+.0f) | %s (%s) | | within 50 |\n", later, worstLater, sumLater / later, b[2], b[3]
        if (tickCount)
            printf "| the program'"'"'s tick (volume mirror moves) from its slot, worst of %d (mean) (ms) | %.0f (%+.0f) | | | within 50 |\n", tickCount, worstTick, sumTick / tickCount
        printf "| reminder found after it opened, worst of %d (ms) | %.0f | | | at most the poll, 5000 |\n", n, worstDetect
        if (missing) printf "| replays missing or extra | %d | | | 0 |\n", missing
    }'
