#!/usr/bin/env bash
# The real program started where LibreOffice cannot be found: it restores its inputs, shows the
# start check's message (and never its main window), and ends with a failure status once the
# message is answered. Runs under a private X server; exits 77 when the tools are missing.
#   scripts/faults/office_missing_at_start.sh <path of the ferrowynd program>
set -euo pipefail
program=${1:?usage: $0 <ferrowynd program>}

fault="office missing at start"
. "$(dirname "$0")/common.sh" "$@"

export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" TEMP="$scratch/temp"
export QT_QPA_PLATFORM=xcb FERROWYND_SOFFICE="$scratch/no-office/soffice.bin"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$TEMP"
# A stored input proves the restore ran before the check.
printf '[Ferrowynd]\ntxtIncome0=4500\n' >"$XDG_CONFIG_HOME/Ostrivane.conf"

"$program" 2>"$scratch/errors.txt" &
pid=$!

# The message box carries the application title; the main window, were it shown, would be far
# wider (752 pixels) than this message box.
message=
for _ in $(seq 150); do
    kill -0 "$pid" 2>/dev/null || fail "the program ended without showing the start check's message"
    for id in $(xdotool search --onlyvisible --pid "$pid" --name '.' 2>/dev/null); do
        width=$(xdotool getwindowgeometry --shell "$id" | sed -n 's/^WIDTH=//p')
        [ "${width:-0}" -ge 700 ] && fail "the main window was shown (${width} pixels wide)"
        message=$id
    done
    [ -n "$message" ] && break
    sleep 0.2
done
[ -n "$message" ] || fail "no message within 30 seconds"
title=$(xdotool getwindowname "$message")
[ "$title" = "Ferrowynd" ] || fail "the message's title is \"$title\""

# The message goes as soon as the key is down, so xdotool may find its window gone.
xdotool key --window "$message" Return 2>/dev/null || true
status=
for _ in $(seq 50); do
    if ! kill -0 "$pid" 2>/dev/null; then
        wait "$pid" && status=0 || status=$?
        break
    fi
    sleep 0.2
done
[ -n "$status" ] || fail "the program did not end after the message was answered"
pid=
[ "$status" -eq 1 ] || fail "the program ended with status $status, not 1"
grep -q "LibreOffice" "$scratch/errors.txt" || fail "nothing on standard error names LibreOffice"
grep -q '^txtIncome0=4500$' "$XDG_CONFIG_HOME/Ostrivane.conf" || fail "the stored input was lost"
echo "office missing at start: message shown, main window never shown, status $status"
