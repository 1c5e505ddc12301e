# Sourced by the device scripts: the environment of the Wine device whose prefix is $1.
device_env() {
    export WINEPREFIX="$(realpath -m "$1")"
    export WINEDEBUG="${WINEDEBUG:--all}"
    # No Mono or Gecko prompts, no entries in the desktop's own menus.
    export WINEDLLOVERRIDES="mscoree=d;mshtml=d;winemenubuilder.exe=d"
    export WINEARCH=win64
}
