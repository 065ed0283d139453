#!/usr/bin/env bash
# The real program started with the real LibreOffice, driven through its windows: once its main
# window is up, the one office started ahead for its runs waits with it; a run with the sample
# data gives the reference workbook; after the idle time (FERROWYND_OFFICE_IDLE_S, 3 s here) the
# office ends and leaves no scratch or lock files; a key typed into the main window starts it
# again; a run then, and a run after the office was killed with SIGKILL, give the same workbook
# as the first, and the first agrees with the sheet's arithmetic; killing the program takes the
# office with it. Prints the time from start to the main window and of each run. Runs under a
# private X server; exits 77 when the tools are missing.
#   scripts/faults/idle_after_start.sh <path of the ferrowynd program>
set -euo pipefail
program=${1:?usage: $0 <ferrowynd program>}

fault="idle after start"
. "$(dirname "$0")/common.sh" "$@"

# The system's Python, where python3-xlrd is installed.
/usr/bin/python3 -c 'import xlrd' 2>/dev/null \
    || { echo "skipped: python3 with xlrd is missing" >&2; exit 77; }

use_private_folders
export QT_QPA_PLATFORM=xcb FERROWYND_OFFICE_IDLE_S=3
started=$(date +%s%N)
start_until_main_window "$program" 30
echo "start to main window: $(( ($(date +%s%N) - started) / 1000000 )) ms"

offices() { pgrep -P "$pid" -x soffice.bin || true; }
# A window position in twips, as the forms lay out their controls, clicked.
click() { xdotool mousemove --window "$1" $(($2 / 15)) $(($3 / 15)) click 1; }
# The main window's client area starts below its menu bar: what the window is taller than its
# designed 631 pixels when it starts.
main_height=$(xdotool getwindowgeometry --shell "$window" | sed -n 's/^HEIGHT=//p')
menu_bar=$(( (main_height > 631 ? main_height - 631 : 0) * 15 ))
click_main() { click "$window" "$1" $(($2 + menu_bar)); }

# "Load Sample/Example Data", then "Start Creating Template" until the preview shows; the result
# workbook is copied to $1, then "< Back".
run_with_sample_data() {
    click_main 8460 830
    local clicked preview=
    clicked=$(date +%s%N)
    click_main 5640 320
    for _ in $(seq 300); do
        preview=$(xdotool search --onlyvisible --pid "$pid" --name '.' 2>/dev/null \
            | grep -vx "$window" | head -1 || true)
        [ -n "$preview" ] && break
        sleep 0.05
    done
    [ -n "$preview" ] || fail "$2: no preview within 15 seconds"
    echo "$2: click to preview $(( ($(date +%s%N) - clicked) / 1000000 )) ms"
    local results=("$TEMP"/ferrowynd-run-*/varnok*.xls)
    [ -f "${results[0]}" ] || fail "$2: no result workbook in $TEMP"
    cp "${results[0]}" "$1"
    sleep 0.3
    click "$preview" 2460 9050
    for _ in $(seq 100); do
        xdotool search --onlyvisible --pid "$pid" --name '.' 2>/dev/null | grep -qvx "$window" \
            || return 0
        sleep 0.05
    done
    fail "$2: the preview did not give way to the main window"
}

sleep 1
[ "$(offices | wc -l)" -eq 1 ] || fail "not one office waits with the program: $(offices)"
run_with_sample_data "$scratch/first.xls" "first run"
for _ in $(seq 100); do
    [ -z "$(offices)" ] && break
    sleep 0.1
done
[ -z "$(offices)" ] || fail "an office still runs after the idle time: $(offices)"
# The program's own run folder, empty but for the lock that marks it, stays while it lives.
left=$(find "$TMPDIR" "$TEMP" -mindepth 1 ! -regex "$TEMP/ferrowynd-run-[^/]*\\(/owner\\.lock\\)?" \
    2>/dev/null || true)
[ -z "$left" ] || fail "files left while the program waits: $left"
kill -0 "$pid" 2>/dev/null || fail "the program ended by itself"

xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool key --window "$window" 5
for _ in $(seq 50); do
    [ -n "$(offices)" ] && break
    sleep 0.1
done
[ -n "$(offices)" ] || fail "typing in the main window started no office"
# The key went into whichever field had the focus; the sample data replaces it.
run_with_sample_data "$scratch/after-idle.xls" "run after the idle end"
kill -KILL $(offices)
run_with_sample_data "$scratch/after-kill.xls" "run after the office was killed"
office=$(offices)
[ -n "$office" ] || fail "no office waits after the runs"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
pid=
for _ in $(seq 50); do
    kill -0 "$office" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$office" 2>/dev/null && fail "the office outlived the killed program"

/usr/bin/python3 - "$scratch/first.xls" "$scratch/after-idle.xls" "$scratch/after-kill.xls" <<'EOF' \
    || fail "the workbooks are not right"
import sys, xlrd

def cells(path):
    sheets = xlrd.open_workbook(path).sheets()
    return {(s.name, r, c): s.cell_value(r, c)
            for s in sheets for r in range(s.nrows) for c in range(s.ncols)}

first = cells(sys.argv[1])
for other in sys.argv[2:]:
    theirs = cells(other)
    differing = [key for key in first.keys() | theirs.keys() if first.get(key) != theirs.get(key)]
    if differing:
        sys.exit(f"{other} differs from the first run's workbook at {sorted(differing)[:5]}")

# The sheet's arithmetic on the sample data, from the inputs it holds.
sheet = xlrd.open_workbook(sys.argv[1]).sheet_by_index(0)
def at(address):
    column, row = ord(address[0]) - ord("A"), int(address[1:]) - 1
    value = sheet.cell_value(row, column)
    return 0.0 if value == "" else value
def near(a, b):
    return abs(a - b) <= 1e-6 * max(1.0, abs(a), abs(b))
problems = []
def expect(address, value):
    if not near(at(address), value):
        problems.append(f"{address} is {at(address)}, not {value}")

income = sum(at(f"D{r}") for r in range(4, 11))
expect("D11", income)
expect("D56", at("C56") * income)
expect("D57", at("C57") * income)
expense = sum(at(f"D{r}") for r in range(14, 76))
expect("D76", expense)
expect("D78", income - expense)
for r in list(range(4, 12)) + [r for r in range(14, 77) if sheet.cell_value(r - 1, 3) != ""]:
    expect(f"E{r}", 12 * at(f"D{r}"))
expect("M6", 12 * income)
expect("M7", 12 * expense)
expect("M9", 12 * (income - expense))
expect("M13", at("K13") * 12 * expense)
retirement_income = sum(12 * at(f"L{r}") for r in (16, 17)) + at("M18") + at("M19")
expect("M20", retirement_income)
expect("M22", at("M13") - retirement_income)
expect("M28", sum(at(f"I{r}") for r in range(39, 55)))
expect("M39", at("M13"))
expect("M42", at("M34"))
expect("M45", at("M9"))
expect("M48", at("M9") - at("M34"))
if problems:
    sys.exit("; ".join(problems))
EOF

echo "idle after start: office kept warm, ended after the idle time, started again on typing," \
    "replaced after a kill with the same workbook, gone with the program"
