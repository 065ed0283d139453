# Shared start of the fault scripts, sourced with the script's own arguments:
#   fault="what the script checks"; . "$(dirname "$0")/common.sh" "$@"
# Runs the script again under a private X server (exits 77 when the tools are missing), then
# gives it a scratch folder, fail(), use_private_folders() and start_until_main_window().
# Whatever the script started as $pid is killed at exit.

if [ -z "${FERROWYND_FAULT_X:-}" ]; then
    for tool in xvfb-run xdotool; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is missing" >&2; exit 77; }
    done
    export FERROWYND_FAULT_X=1
    exec timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

scratch=$(mktemp -d)
pid=
finish() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null || true
        { wait "$pid"; } 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap finish EXIT
fail() {
    echo "$fault: $*" >&2
    exit 1
}

# A private home, settings store, data folder, temporary and runtime folders in the scratch
# folder: nothing of the user's own is read, and whatever is left there can be seen.
use_private_folders() {
    export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
    export TEMP="$scratch/temp" TMPDIR="$scratch/tmp" XDG_RUNTIME_DIR="$scratch/runtime"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$TEMP" "$TMPDIR" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
}

# Starts the program ($1) as $pid and waits up to $2 seconds for its main window, the only one
# wider than 700 pixels: its id in $window. Fails when the program ends first.
start_until_main_window() {
    "$1" 2>"$scratch/errors.txt" &
    pid=$!
    window=
    for _ in $(seq $(($2 * 10))); do
        kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$scratch/errors.txt")"
        for id in $(xdotool search --onlyvisible --pid "$pid" --name '.' 2>/dev/null); do
            width=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^WIDTH=//p')
            [ "${width:-0}" -ge 700 ] && window=$id
        done
        [ -n "$window" ] && break
        sleep 0.1
    done
    [ -n "$window" ] || fail "no main window within $2 seconds"
}
