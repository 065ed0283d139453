#!/usr/bin/env bash
# Every speed figure of the main road in one run:
#   (a) the generation run from the click to the preview shown, median of 7 (or of
#       FERROWYND_BENCH_ROUNDS),
#   (b) one bare `soffice --headless --convert-to xls` of the template with a private profile
#       seeded like the program's own, alternating with (a) so both see the same machine load,
#   the ratio a/b, peak memory of the program and of each office process,
#   (c) program start to the main window painted, start check included, median of 5,
#   the preview's repaint at every zoom step.
# These are timed inside the program (offscreen); bench/screen/run.sh times the same roads as the
# user sees them, through a real X server and window manager.
# Usage: bench/speed.sh [--against <commit>] [--calls]
#   --against measures the program as it was at that commit, with today's benchmarks
#   --calls adds one run timed call by call
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${FERROWYND_BENCH_BUILD:-$root/build-h/bench}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

tree=$root
if [ "${1:-}" = "--against" ]; then
    commit=$2
    shift 2
    build="$build-$(git -C "$root" rev-parse --short "$commit")"
    tree="$build/tree"
    if [ ! -d "$tree" ]; then
        mkdir -p "$tree"
        git -C "$root" archive "$commit" src cmake data CMakeLists.txt | tar -x -C "$tree"
    fi
    echo "== measuring the program as of $(git -C "$root" log -1 --format='%h %s' "$commit")"
fi
cmake -S "$root/bench/run" -B "$build/run" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DFERROWYND_BENCH_ROOT="$tree" >/dev/null
cmake --build "$build/run" -j2 >/dev/null
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" TEMP="$work/temp"
mkdir -p "$TEMP"

echo "== generation run against a bare conversion ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
QT_QPA_PLATFORM=offscreen "$build/run/runbench" "$@" 2> >(grep -v XDG_RUNTIME_DIR >&2)

echo "== program start to main window painted, LibreOffice start check included"
xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$build/run/startbench" <<'INNER'
set -euo pipefail
bench=$1
# The first start seeds the office profile and is not counted.
"$bench" >/dev/null 2>&1
times=()
for run in 1 2 3 4 5; do
    start=$(date +%s%N)
    shown=$("$bench" 2>/dev/null | awk '/^shown/ { print $2 }')
    times+=($(( (shown - start) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "(c) start to main window painted: runs ${times[*]} ms, median ${sorted[2]} ms"
peakFile=$(mktemp)
/usr/bin/time -f '%M' -o "$peakFile" "$bench" >/dev/null 2>&1
echo "program at start-up: peak resident $(( $(tail -1 "$peakFile") / 1024 )) MB"
rm -f "$peakFile"
INNER

echo "== preview repaint per zoom step"
FERROWYND_BENCH_BUILD="$build/preview" "$root/bench/preview/run.sh"
