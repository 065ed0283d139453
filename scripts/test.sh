#!/usr/bin/env bash
# Sets up the machine, builds Ferrowynd with its tests and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build="${FERROWYND_TEST_BUILD:-$root/build-tests}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFERROWYND_WERROR=ON \
    -DFERROWYND_TESTS=ON "$@" >/dev/null
cmake --build "$build"
status=0
(cd "$build" && ctest --output-on-failure) || status=$?
if pgrep -u "$(id -u)" -x soffice.bin >/dev/null; then
    echo "error: a LibreOffice process outlived the tests" >&2
    pgrep -u "$(id -u)" -a -x soffice.bin >&2 || true
    status=1
fi
exit $status
