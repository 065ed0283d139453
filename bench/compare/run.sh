#!/usr/bin/env bash
# Builds the comparison measurement in release mode and prints its figures and the machine's load.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build="${FERROWYND_BENCH_BUILD:-$here/../../build-h/bench-compare}"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 >/dev/null
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/comparebench" "$@"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
