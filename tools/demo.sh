#!/bin/sh
# Plays a scripted scene on the device and prints its timeline: the program starts hidden, a
# reminder opens in a language it has not seen, the language is learned and stored, each
# replay is heard at its own volume, and the snooze keys pick the configured duration.
# Needs a display (tools/run.sh gives it a virtual one). The build folder is $NUDGEBELL_BUILD
# (default build), already built with nudgebellplus, makesounds, reminder, observe and heard_list.
set -e
cd "$(dirname "$0")/.."
build="$(realpath -m "${NUDGEBELL_BUILD:-build}")"
here="$(pwd)/tools/device"
. "$here/env.sh"
# A device of the scene's own, so that its settings never reach the device that the desktop
# run and the tests use.
device_env "$build/demo-device"
"$here/setup" "$WINEPREFIX" "$build/tools/makesounds.exe" >/dev/null
out="$build/demo"
rm -rf "$out"
mkdir -p "$out"
export DEVICE_AUDIO_HOME="$out/audio"
run="$here/run $WINEPREFIX"
log="$out/observed.txt"
report="$out/reminder.txt"

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Waits up to $2 seconds for a line matching $1 in the observer's log.
await() {
    tries=$(($2 * 20))
    until grep -q "$1" "$log" 2>/dev/null; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.05
    done
}
shot() {
    import -window root -crop 240x320+0+0 +repage "$out/$1.png"
    echo "$(now_ms) screenshot $1" >>"$out/events"
}

# The scene's settings: two replays 2 s apart at a rising volume, then the snooze keys for
# "10 minutes". Language unset: the program has never seen a reminder.
wineserver -k 2>/dev/null || true
device_settings Play=1 RepeatTimes=2 RepeatDelay=2000 AutoSnooze=1 SnoozeChoice=1 VolumeControl=4
wine reg add 'HKCU\Software\Quarnel\NudgebellPlus' /v Sound /t REG_SZ /d Alarm1 /f >/dev/null

$run "$build/tools/observe.exe" "$(winepath -w "$log")" >/dev/null 2>&1 &
await 'volume' 10
start=$(now_ms)
echo "$start start" >"$out/events"
$run "$build/nudgebellplus.exe" /AUTORUN >/dev/null 2>&1 &
await 'program hidden' 10
sleep 1
shot 1-started-hidden
$run "$build/tools/reminder.exe" /title:4 /close-after:30000 "/report:$(winepath -w "$report")" \
    >/dev/null 2>&1 &
await 'reminder opened' 10
sleep 0.5
shot 2-reminder
await 'language 4' 10 || true
await 'reminder closed' 20 || true
sleep 0.5
shot 3-snoozed
# A second start brings the hidden copy forward with its settings panel.
echo "$(now_ms) second" >>"$out/events"
$run "$build/nudgebellplus.exe" >/dev/null 2>&1 || true
await 'program visible' 10 || true
sleep 1
shot 4-panel
# What the device played, heard back from its recordings: the sound and its level.
$run "$build/tools/heard.exe" "$(winepath -w "$DEVICE_AUDIO_HOME/sounds")" 2>/dev/null |
    tr -d '\r' | awk '{ split($1, ms, "."); print ms[1], "heard", $2, $3 }' >"$out/heard"
wineserver -k 2>/dev/null || true
wait 2>/dev/null || true

# The timeline: what the observer saw, the sounds heard, the scene's own steps.
cat "$out/heard" >>"$out/events"
sed 's/^\([0-9]*\)\.[0-9]* /\1 /' "$log" >>"$out/events"
keys=$(awk '$1 == "key" { printf "%s%s", sep, ($2 == 40 ? "Down" : $2 == 38 ? "Up" : $2 == 13 ? "Enter" : $2); sep = " " }' "$report" 2>/dev/null)
outcome=$(grep -E '^(snoozed|dismissed)' "$report" 2>/dev/null || echo "no snooze")
echo
echo "Nudgebell+ on the device: 2 replays 2 s apart, volume rising, auto-snooze \"10 minutes\","
echo "no language known yet. Times from the program's launch."
echo
sort -n -s -k1,1 "$out/events" | awk -v start="$start" -v keys="$keys" -v outcome="$outcome" '
    function at(text) { printf "%7.2f s  %s\n", ($1 - start) / 1000, text }
    function level(word) {
        if (word == "0x40004000") return "to a quarter"
        if (word == "0xA000A000") return "to five eighths"
        if (word == "0xFFFFFFFF") return "to full"
        if (word == "0x80008000") return "back to half, as before"
        return "to " word
    }
    $2 == "program" && $3 == "hidden" && !hidden { hidden = 1; at("program started with /AUTORUN: window hidden, watching every 5 s") }
    $2 == "program" && $3 == "visible" && second { at("second start: the running copy comes forward with its settings panel") }
    $2 == "second" { second = 1 }
    $2 == "reminder" && $3 == "opened" { opened = $1; at("reminder opens, titled \"" $4 "\" (French)") }
    $2 == "language" && $3 != "none" {
        at(sprintf("reminder found %.1f s after it opened; Language %s learned and stored", ($1 - opened) / 1000, $3)) }
    $2 == "volume" && started { at("volume mirror " level($3)) }
    $2 == "volume" { started = 1 }
    $2 == "heard" { at(sprintf("replay %d heard: %s at %.2f of its file'"'"'s level", ++replays, $3, $4)) }
    $2 == "reminder" && $3 == "closed" { at("keys " keys ": reminder " outcome) }
    END { if (replays != 2) print "  expected 2 replays, heard " replays + 0 }
'
echo
echo "Screenshots of the device's screen in $out:"
ls "$out"/*.png | sed 's|.*/|  |'
# The scene went as it should: language stored, Alarm1 heard twice, at a quarter and at five
# eighths of its level, snoozed as configured.
awk '$3 == "Alarm1" && ($4 - (NR == 1 ? 0.25 : 0.625))^2 < 0.0016 { n++ } END { exit !(n == 2 && NR == 2) }' "$out/heard" &&
    grep -q ' language 4' "$log" && [ "$outcome" = "snoozed 10 minutes" ] || {
    echo "The scene did not go as expected." >&2
    exit 1
}
