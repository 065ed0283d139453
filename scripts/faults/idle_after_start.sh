#!/usr/bin/env bash
# The real program started with the real LibreOffice: once its main window is up, the one office
# started ahead for its runs waits with it; after the idle time (FERROWYND_OFFICE_IDLE_S, 3 s
# here) the office ends and leaves no scratch or lock files; a key typed into the main window
# starts it again, and killing the program takes the office with it. Runs under a private X
# server; exits 77 when the tools are missing.
#   scripts/faults/idle_after_start.sh <path of the ferrowynd program>
set -euo pipefail
program=${1:?usage: $0 <ferrowynd program>}

fault="idle after start"
. "$(dirname "$0")/common.sh" "$@"

use_private_folders
export QT_QPA_PLATFORM=xcb FERROWYND_OFFICE_IDLE_S=3
start_until_main_window "$program" 30

offices() { pgrep -P "$pid" -x soffice.bin || true; }
sleep 1
[ "$(offices | wc -l)" -eq 1 ] || fail "not one office waits with the program: $(offices)"
for _ in $(seq 100); do
    [ -z "$(offices)" ] && break
    sleep 0.1
done
[ -z "$(offices)" ] || fail "an office still runs after the idle time: $(offices)"
left=$(find "$TMPDIR" "$TEMP" -mindepth 1 2>/dev/null || true)
[ -z "$left" ] || fail "files left while the program waits: $left"
kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"

xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool key --window "$window" 5
for _ in $(seq 50); do
    [ -n "$(offices)" ] && break
    sleep 0.1
done
office=$(offices)
[ -n "$office" ] || fail "typing in the main window started no office"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
pid=
for _ in $(seq 50); do
    kill -0 "$office" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$office" 2>/dev/null && fail "the office outlived the killed program"
echo "idle after start: office kept warm, ended after the idle time, started again on typing, gone with the program"
