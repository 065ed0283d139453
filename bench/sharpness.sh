#!/usr/bin/env bash
# The preview's sharper master: fetch time after the preview shows, memory, and the viewport's
# sharpness against the stretched picture and the office's PDF, on a screen of device pixel
# ratio 2 (or QT_SCALE_FACTOR), median of 7 (or FERROWYND_BENCH_ROUNDS). FERROWYND_BENCH_KEEP=dir
# keeps the viewports compared as PNG files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${FERROWYND_BENCH_BUILD:-$root/build-h/bench}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake -S "$root/bench/run" -B "$build/run" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/run" --target masterbench -j2 >/dev/null
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" HOME="$work"
QT_SCALE_FACTOR="${QT_SCALE_FACTOR:-2}" QT_QPA_PLATFORM=offscreen "$build/run/masterbench" \
    2> >(grep -v XDG_RUNTIME_DIR >&2)
