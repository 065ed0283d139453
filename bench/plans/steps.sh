#!/usr/bin/env bash
# Builds the plan-run measurement in release mode and prints its figures:
#   bench/plans/steps.sh [plans per series, default 20]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="${FERROWYND_BENCH_BUILD:-$here/../../build-r/bench-plans}"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
nice cmake --build "$build" -j2 >/dev/null
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/planbench" "$@"
