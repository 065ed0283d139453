#!/usr/bin/env bash
# Traces the disk syncs of the real program while digits are typed into its first field, under a
# private X server and a private settings store: how many fsync/fdatasync calls each thread makes
# while typing and while the window closes, and what the store holds after typing and after the
# close. Needs xvfb-run, xdotool, strace, python3 and the real office the program checks for at
# start; exits 77 when a tool is missing.
#   bench/startup/synctrace.sh <ferrowynd program> [digits, default 30]
set -euo pipefail
program=$(realpath "${1:?usage: $0 <ferrowynd program> [digits]}")
digits=${2:-30}

for tool in strace python3; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool is missing" >&2; exit 77; }
done
fault="sync trace"
. "$(dirname "$0")/../../scripts/faults/common.sh" "$@"
tracer=
trap '[ -z "$tracer" ] || kill "$tracer" 2>/dev/null || true; finish' EXIT

use_private_folders
export QT_QPA_PLATFORM=xcb
store="$XDG_CONFIG_HOME/Ostrivane.conf"
start_until_main_window "$program" 60
# Lets the start check's office end before counting.
sleep 2

strace -f -qq -e trace=fdatasync,fsync -p "$pid" -o "$scratch/trace.txt" &
tracer=$!
sleep 1
for task in /proc/"$pid"/task/*; do
    echo "$(basename "$task") $(cat "$task/comm")"
done >"$scratch/threads.txt"

# The first income field has the focus at start and holds "0", the cursor at its end.
xdotool windowfocus --sync "$window"
text=$(seq -s '' 1 "$digits" | tr -d '\n' | cut -c1-"$digits")
xdotool type --delay 100 "$text"
sleep 1
typed=$(wc -l <"$scratch/trace.txt")
after_typing=$(grep '^txtIncome0=' "$store" || echo "txtIncome0 absent")

# Closes the main window as a window manager would.
python3 - "$window" <<'PY'
import ctypes, sys
x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XFlush.argtypes = [ctypes.c_void_p]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.POINTER(Event)]
display = x11.XOpenDisplay(None)
if not display:
    sys.exit("no X display")
window = int(sys.argv[1])
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
x11.XSendEvent(display, window, 0, 0, ctypes.byref(event))
x11.XFlush(display)
PY
status=0
wait "$pid" || status=$?
pid=
wait "$tracer" 2>/dev/null || true
tracer=
after_close=$(grep '^txtIncome0=' "$store" || echo "txtIncome0 absent")

count() { # lines of the trace, thread by thread
    sed -n "$1" "$scratch/trace.txt" | awk '$2 ~ /^(fdatasync|fsync)\(/ { print $1 }' | sort | uniq -c |
        while read -r calls tid; do
            echo "  $calls calls by thread $tid ($(awk -v t="$tid" '$1 == t { print $2 }' "$scratch/threads.txt"))"
        done
}
main_thread=$(head -1 "$scratch/threads.txt")
echo "main window thread: $main_thread"
echo "typed $text after the \"0\" of txtIncome(0), one key every 100 ms; syncs while typing:"
count "1,${typed}p"
echo "store after typing: $after_typing"
echo "syncs while closing:"
count "$((typed + 1)),\$p"
echo "program ended with status $status; store after closing: $after_close"
