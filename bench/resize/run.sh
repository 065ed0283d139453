#!/usr/bin/env bash
# Builds the resize measurements in release mode and prints their figures; on the offscreen
# platform unless QT_QPA_PLATFORM says otherwise. "run.sh show preview|main [zoom] [max]" shows a
# window instead, for a look at it on a real X server.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="${FERROWYND_BENCH_BUILD:-$here/../../build-d/bench-resize}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 >/dev/null
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/resizebench" "$@"
