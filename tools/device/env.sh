# Sourced by the device scripts: the environment of the Wine device whose prefix is $1.
device_env() {
    export WINEPREFIX="$(realpath -m "$1")"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko prompts, no entries in the desktop's own menus.
    export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
    export WINEARCH=win64
}

# Starts the program's settings on the device afresh with the REG_DWORD values NAME=VALUE
# given, and puts the system's volume mirror at half, as a handheld keeps it: the level that
# a play which changes the volume puts back on Wine.
device_settings() {
    key='HKCU\Software\Quarnel\NudgebellPlus'
    wine reg delete "$key" /f >/dev/null 2>&1 || true
    for pair in "$@"; do
        wine reg add "$key" /v "${pair%=*}" /t REG_DWORD /d "${pair#*=}" /f >/dev/null
    done
    wine reg add 'HKCU\ControlPanel\Volume' /v Volume /t REG_DWORD /d 0x80008000 /f >/dev/null
}
