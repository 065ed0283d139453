#!/usr/bin/env bash
# Speed as the user sees it, on a private X server (Xvfb) with a window manager (openbox), timed
# by one process that waits on the server's events (screenbench):
#   start: program start to the main window viewable and painted, alternating with a plain Qt
#          window of the same size and fields (plainwindow);
#   run:   click on "Start Creating Template" to the preview viewable and painted, alternating
#          with a bare `soffice --headless --convert-to xls` of the template on a profile seeded
#          like the program's own.
# Median of 7 rounds (FERROWYND_BENCH_ROUNDS) after one uncounted round; the machine's load is
# printed before and after each series. The real Release program is measured; with --against,
# the program as of that commit is measured in the same rounds. bench/speed.sh has the in-process
# figures call by call.
# Usage: bench/screen/run.sh [--against <commit>] [start|run]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="${FERROWYND_BENCH_BUILD:-$root/build-h/bench}"
rounds="${FERROWYND_BENCH_ROUNDS:-7}"

against=
if [ "${1:-}" = "--against" ]; then
    against=$2
    shift 2
fi
series="${1:-start run}"

if ! command -v openbox >/dev/null || ! command -v xvfb-run >/dev/null \
    || [ ! -f /usr/include/X11/extensions/Xdamage.h ] || [ ! -f /usr/include/X11/extensions/XTest.h ]; then
    "$root/scripts/setup.sh"
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# The program as users run it: a Release build of the tree's own project.
build_program() { # tree, build folder
    cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERROWYND_TESTS=OFF \
        "${launcher[@]}" >/dev/null
    cmake --build "$2" --target ferrowynd -j2 >/dev/null
}
build_program "$root" "$build/program"
program="$build/program/src/ferrowynd"
earlier=
label_earlier=
if [ -n "$against" ]; then
    tree="$build/program-$(git -C "$root" rev-parse --short "$against")/tree"
    if [ ! -d "$tree" ]; then
        mkdir -p "$tree"
        git -C "$root" archive "$against" src cmake data CMakeLists.txt | tar -x -C "$tree"
    fi
    build_program "$tree" "$(dirname "$tree")/build"
    earlier="$(dirname "$tree")/build/src/ferrowynd"
    label_earlier="as of $(git -C "$root" rev-parse --short "$against")"
fi
cmake -S "$root/bench/screen" -B "$build/screen" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/screen" -j2 >/dev/null
cmake -S "$root/bench/run" -B "$build/run" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    >/dev/null
cmake --build "$build/run" --target seedprofile -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" TEMP="$work/temp"
mkdir -p "$TEMP" "$work/converted"
cp "$build/program/src/workbook/template/template.xlt" "$work/template.xlt"
"$build/run/seedprofile" "$work/profile"

echo "== $(nproc) cores, $(date -u +%H:%M) UTC; program $(git -C "$root" log -1 --format='%h %s')"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -s <<INNER
set -euo pipefail
export QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &
manager=\$!
trap 'kill \$manager 2>/dev/null || true' EXIT
# The window manager is up once it names itself on the root window.
for attempt in \$(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done
subjects=("ferrowynd|Ferrowynd|$program")
programs=("ferrowynd|$program")
if [ -n "$earlier" ]; then
    subjects+=("ferrowynd $label_earlier|Ferrowynd|$earlier")
    programs+=("ferrowynd $label_earlier|$earlier")
fi
for part in $series; do
    echo "load before the \$part series: \$(cut -d' ' -f1-3 /proc/loadavg)"
    case \$part in
    start)
        "$build/screen/screenbench" start "$rounds" "\${subjects[@]}" \
            "plain Qt window|Plain window|$build/screen/plainwindow"
        ;;
    run)
        "$build/screen/screenbench" run "$rounds" \
            "bare conversion|soffice -env:UserInstallation=file://$work/profile --headless --convert-to xls --outdir $work/converted $work/template.xlt" \
            "\${programs[@]}"
        ;;
    esac
    echo "load after the \$part series: \$(cut -d' ' -f1-3 /proc/loadavg)"
done
INNER
