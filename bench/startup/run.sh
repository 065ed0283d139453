#!/usr/bin/env bash
# Start-up to the main window's first paint (median of 5 runs) and the time of a keystroke
# with and without waiting for its settings write, under a private X server and a private filled
# settings store.
# Usage: bench/startup/run.sh [screenshot-folder]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="${FERROWYND_BENCH_BUILD:-$root/build-b/bench}"
cmake -S "$root/bench/startup" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" >/dev/null
bench="$build/startupbench"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" TEMP="$work/temp"
mkdir -p "$TEMP"
shots="${1:-}"

xvfb-run -a -s "-screen 0 1280x1024x24" bash -s "$bench" "$shots" <<'INNER'
set -euo pipefail
bench=$1
shots=$2
"$bench" --fill 2>/dev/null
times=()
for run in 1 2 3 4 5; do
    start=$(date +%s%N)
    shown=$("$bench" 2>/dev/null | awk '/^shown/ { print $2 }')
    times+=($(( (shown - start) / 1000000 )))
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
echo "start-up to first paint: runs ${times[*]} ms, median ${sorted[2]} ms"
"$bench" --keystrokes 200 2>/dev/null
if [ -n "$shots" ]; then
    mkdir -p "$shots"
    "$bench" --shot "$shots/top.png" 2>/dev/null
    "$bench" --shot "$shots/end.png" --scroll 14500 2>/dev/null
    echo "screenshots in $shots"
fi
INNER
