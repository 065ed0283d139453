#!/usr/bin/env bash
# Regenerates docs/screenshots/*.png by running the real program under a private X server:
# the main window with the sample data at its top, the same window scrolled down, and the
# preview window after a generation run (which needs LibreOffice).
# Usage: scripts/screenshots.sh [build folder]      (default: build, as scripts/run.sh uses)
# FERROWYND_PROGRAM=<path> runs that program file instead of building one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [ -z "${FERROWYND_SCREENSHOT_X:-}" ]; then
    program=${FERROWYND_PROGRAM:-}
    if [ -z "$program" ]; then
        "$root/scripts/setup.sh"
        build=${1:-$root/build}
        cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DFERROWYND_TESTS=OFF >/dev/null
        cmake --build "$build" --target ferrowynd
        program="$build/src/ferrowynd"
    fi
    for tool in xvfb-run xdotool import; do
        command -v "$tool" >/dev/null || { echo "screenshots: $tool is missing; run scripts/setup.sh" >&2; exit 1; }
    done
    export FERROWYND_SCREENSHOT_X=1 FERROWYND_PROGRAM="$program"
    exec timeout 600 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

# From here on we run inside the private X server.
out="$root/docs/screenshots"
scratch=$(mktemp -d)
pid=
finish() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
        kill -KILL "$pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap finish EXIT
trap 'exit 1' INT TERM

fail() {
    echo "screenshots: $*" >&2
    # Whatever message box stands in the way is the likeliest explanation.
    for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
        echo "  window open: $(xdotool getwindowname "$id" 2>/dev/null)" >&2
    done
    exit 1
}

# Fresh settings and temporary files, so the pictures never show a developer's own figures.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" TEMP="$scratch/temp"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$TEMP"
export QT_QPA_PLATFORM=xcb

# Visible windows titled exactly "Ferrowynd", other than the one given.
program_window() {
    local except=${1:-}
    for id in $(xdotool search --onlyvisible --name '^Ferrowynd$' 2>/dev/null); do
        [ "$id" != "$except" ] && { echo "$id"; return 0; }
    done
    return 1
}

# Waits up to $1 seconds for a program window other than $2; prints its id.
wait_for_window() {
    local seconds=$1 except=${2:-} id
    for _ in $(seq $((seconds * 5))); do
        kill -0 "$pid" 2>/dev/null || fail "the program ended before its window showed"
        if xdotool search --onlyvisible --name '^Application Error$' >/dev/null 2>&1; then
            fail "the program reported an error"
        fi
        if id=$(program_window "$except"); then
            echo "$id"
            return 0
        fi
        sleep 0.2
    done
    fail "no window within $seconds seconds"
}

# Clicks at a point given in twips inside the window's client area (15 twips to a pixel).
click_twips() {
    local id=$1 x=$(( $2 / 15 )) y=$(( $3 / 15 ))
    xdotool mousemove --window "$id" "$x" "$y" click 1
}

frame() {
    import -window "$1" rgb:- 2>/dev/null | md5sum
}

# The program's window thread: its state letter and the CPU time it has used.
activity() {
    awk '{ print $3, $14 + $15 }' "/proc/$pid/stat" 2>/dev/null
}

# Waits up to a minute for the window to differ from the frame given and then hold still while
# the program sleeps in its event loop: a click's work blocks repainting, so a still picture
# alone does not mean the work is done.
settle_after() {
    local id=$1 before=$2 now previous= busy previous_busy= still=0 changed=0
    for _ in $(seq 120); do
        now=$(frame "$id")
        busy=$(activity)
        [ "$now" != "$before" ] && changed=1
        if [ "$now" = "$previous" ] && [ "$busy" = "$previous_busy" ] && [ "${busy%% *}" = S ]; then
            still=$((still + 1))
        else
            still=0
        fi
        [ "$changed" = 1 ] && [ "$still" -ge 3 ] && return 0
        previous=$now
        previous_busy=$busy
        sleep 0.5
    done
    fail "the window did not settle"
}

shoot() {
    import -window "$1" -strip "$out/$2"
    echo "screenshots: wrote docs/screenshots/$2"
}

mkdir -p "$out"
"$FERROWYND_PROGRAM" &
pid=$!

# The start check starts LibreOffice once before the window shows.
main=$(wait_for_window 120)
# The main window's client area starts below its menu bar: what the window is taller than its
# designed 631 pixels when it starts.
main_height=$(xdotool getwindowgeometry --shell "$main" | sed -n 's/^HEIGHT=//p')
menu_bar=$(( (main_height > 631 ? main_height - 631 : 0) * 15 ))

# "Load Sample/Example Data", in the middle of PushButton7.
settle_after "$main" none
before=$(frame "$main")
click_twips "$main" $((5760 + 5400 / 2)) $((menu_bar + 630 + 405 / 2))
settle_after "$main" "$before"
shoot "$main" main-window.png

# Page the input panel down: clicks on VScroll1's track above its lower arrow.
before=$(frame "$main")
for _ in $(seq 8); do
    click_twips "$main" $((120 + 10695 + 285 / 2)) $((menu_bar + 1180 + 8100 - 900))
done
settle_after "$main" "$before"
shoot "$main" main-window-scrolled.png

# "Start Creating Template", then wait for the preview window to replace the main window.
click_twips "$main" $((120 + 11040 / 2)) $((menu_bar + 120 + 400 / 2))
preview=$(wait_for_window 300 "$main")
settle_after "$preview" none
shoot "$preview" preview-window.png
