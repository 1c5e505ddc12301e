#!/bin/sh
# Keeps the real program watching on the device for MINUTES (default 10) while reminders open
# and close every few seconds, and prints what it holds of the system at the start, after its
# first series and at the end: bench/soak.sh [MINUTES]
# Not part of the test run. See bench/device.sh for the build folder and device it uses.
set -e
cd "$(dirname "$0")/.."
. bench/device.sh
if [ "$1" != "--inside" ]; then
    bench_build reminder process_stats
    exec xvfb-run -a -s "-screen 0 640x480x24" "$0" --inside "${1:-10}"
fi
minutes="$2"
. tools/device/env.sh
device_env "$device"
work="$build/soak"
rm -rf "$work"
mkdir -p "$work"
export DEVICE_AUDIO_HOME="$work/audio"
run="tools/device/run $device"
wineserver -k 2>/dev/null || true

# Short series with every feature on: two replays 2 s apart at a rising volume, then the
# snooze keys. Language unset, so the first reminder is also learned.
device_settings Play=1 RepeatTimes=2 RepeatDelay=2000 AutoSnooze=1 SnoozeChoice=1 VolumeControl=4

# One row of figures: handles, windows, GDI and USER objects (as the system reports them to
# another process), private memory and open file descriptors (Linux side).
sample() {
    stats=$($run "$build/bench/process_stats.exe" nudgebellplus.exe | tr -d '\r')
    for field in handles gdi user windows; do
        eval "$field=\$(echo \"\$stats\" | sed -n 's/.* $field=\([-0-9]*\).*/\1/p')"
    done
    echo "$1 $handles $windows $gdi $user $(private_kb "$pid") $(ls "/proc/$pid/fd" | wc -l)" \
        >>"$work/samples"
}

$run "$build/nudgebellplus.exe" /AUTORUN &
sleep 5
pid=$(device_pid 'nudgebellplus.exe /AUTORUN')
sample start

# Reminders in turn: most stay until the series snoozes them; every third closes after 3 s,
# before or just after the program has seen it. Between two, the program sees none. A sample
# each minute shows the trend.
begin=$(date +%s)
end=$((begin + minutes * 60))
n=0
minute=1
while [ "$(date +%s)" -lt "$end" ]; do
    n=$((n + 1))
    close=20000
    [ $((n % 3)) -ne 0 ] || close=3000
    $run "$build/tools/reminder.exe" /title:4 "/close-after:$close" \
        "/report:$(winepath -w "$work/report")" >/dev/null 2>&1
    sleep 6
    [ "$n" -ne 1 ] || sample after-first-series
    rm -f "$DEVICE_AUDIO_HOME"/sounds/*.wav
    if [ "$(date +%s)" -ge $((begin + minute * 60)) ] && [ "$(date +%s)" -lt "$end" ]; then
        sample "minute-$minute"
        minute=$((minute + 1))
    fi
done
sample end
alive=yes
kill -0 "$pid" 2>/dev/null || alive=no
wineserver -k 2>/dev/null || true
wait 2>/dev/null || true

snoozed=$(grep -c '^snoozed' "$work/report" || true)
echo
echo "Soak: $minutes min, $n reminders, $snoozed snoozed by the program," \
    "still running at the end: $alive"
echo
echo "| when | handles | windows | GDI objects | USER objects | private memory (KiB) | open fds |"
echo "|---|---|---|---|---|---|---|"
awk '$1 !~ /^minute/ { gsub("-", " ", $1); printf "| %s | %s | %s | %s | %s | %s | %s |\n", $1, $2, $3, $4, $5, $6, $7 }' \
    "$work/samples"
echo
awk '$1 != "start" { printf "%s%s", (n++ ? " " : "private memory (KiB) from the first series on: "), $6 }
     END { print "" }' "$work/samples"
# Flat: from the first series (the sound system and its buffers are in place by then) to the
# end the counts do not change, and memory ends no higher than 2 % above the highest it
# reached in the first half of the run: a leak grows all along, the heap only moves.
awk '$1 != "start" { row[++n] = $0 }
     END { split(row[1], first); split(row[n], last); peak = 0
           for (i = 1; i <= (n + 1) / 2; ++i) { split(row[i], r); if (r[6] > peak) peak = r[6] }
           verdict = "flat"
           for (i = 2; i <= 7; ++i)
               if (i != 6 && last[i] != first[i]) verdict = "NOT FLAT"
           if (last[6] > 1.02 * peak) verdict = "NOT FLAT"
           printf "handles %+d, windows %+d, open fds %+d; memory at the end %d KiB, highest in the first half %d KiB => %s\n",
                  last[2] - first[2], last[3] - first[3], last[7] - first[7], last[6], peak, verdict }' \
    "$work/samples"
awk 'NR == 1 && ($4 == 0 || $5 == 0) { print "GDI and USER objects read 0: the system does not report them to another process." }' \
    "$work/samples"
