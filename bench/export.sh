#!/usr/bin/env bash
# "Export as PDF…" of the preview: the menu command until the PDF is in place, with the program's
# warm office, median of 7 (or of FERROWYND_BENCH_ROUNDS).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${FERROWYND_BENCH_BUILD:-$root/build-h/bench}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$root/bench/run" -B "$build/run" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/run" --target exportbench -j2 >/dev/null
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work"
echo "== export as PDF ($(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg))"
QT_QPA_PLATFORM=offscreen "$build/run/exportbench" 2> >(grep -v XDG_RUNTIME_DIR >&2)
