#!/usr/bin/env bash
# Office start-up figures (median of 5): our private instance create -> connected -> quit, next to
# a bare `soffice --headless --convert-to xls` of the same file with a seeded and a fresh profile.
# Usage: bench/office_start.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="${FERROWYND_BENCH_BUILD:-$root/build-a/bench-office}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERROWYND_TESTS=OFF >/dev/null
cmake --build "$build" --target bench_office_start -j2 >/dev/null
exec "$build/src/workbook/libreoffice/bench_office_start"
