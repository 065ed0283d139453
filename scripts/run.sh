#!/usr/bin/env bash
# Sets up the machine, builds Ferrowynd and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build="$root/build"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFERROWYND_TESTS=OFF >/dev/null
cmake --build "$build" --target ferrowynd
exec "$build/src/ferrowynd" "$@"
