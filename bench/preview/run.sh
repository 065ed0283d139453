#!/usr/bin/env bash
# Builds the preview measurements in release mode and prints their figures.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="${FERROWYND_BENCH_BUILD:-$here/../../build-d/bench-preview}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 >/dev/null
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/previewbench" "$@"
