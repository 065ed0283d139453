#!/usr/bin/env bash
# The real program started with the real LibreOffice: once its main window is up and it waits
# for the user, no office of its runs and none of the start check's scratch or lock files is
# left. Runs under a private X server; exits 77 when the tools are missing.
#   scripts/faults/idle_after_start.sh <path of the ferrowynd program>
set -euo pipefail
program=${1:?usage: $0 <ferrowynd program>}

fault="idle after start"
. "$(dirname "$0")/common.sh" "$@"

export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
export TEMP="$scratch/temp" TMPDIR="$scratch/tmp" XDG_RUNTIME_DIR="$scratch/runtime"
export QT_QPA_PLATFORM=xcb
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$TEMP" "$TMPDIR" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

"$program" 2>"$scratch/errors.txt" &
pid=$!

shown=
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended: $(cat "$scratch/errors.txt")"
    for id in $(xdotool search --onlyvisible --pid "$pid" --name '.' 2>/dev/null); do
        width=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^WIDTH=//p')
        [ "${width:-0}" -ge 700 ] && shown=$id
    done
    [ -n "$shown" ] && break
    sleep 0.1
done
[ -n "$shown" ] || fail "no main window within 30 seconds"

# The start check's office is asked to end before the window shows and is reaped soon after.
sleep 2
offices=$(pgrep -P "$pid" -a || true)
[ -z "$offices" ] || fail "an office still runs while the program waits: $offices"
left=$(find "$TMPDIR" "$TEMP" -mindepth 1 2>/dev/null || true)
[ -z "$left" ] || fail "files left while the program waits: $left"
kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"
echo "idle after start: main window shown, no office running, no scratch files left"
