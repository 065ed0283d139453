#!/usr/bin/env bash
# Builds the Debian package ferrowynd_<version>_<arch>.deb from a Release build in build-package/
# (or the folder FERROWYND_PACKAGE_BUILD names) and prints its path. Extra arguments go to cmake.
# The package holds the program and, in /usr/lib/<multiarch>/ferrowynd, the modules it loads when
# first needed (the office bridge, printing, the PDF drawing); tests/package/checkpackage.sh
# checks both.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build="${FERROWYND_PACKAGE_BUILD:-$root/build-package}"

# Debian's hardening flags (stack protector, fortified functions, read-only relocations).
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERROWYND_TESTS=OFF \
    "${launcher[@]}" "$@" >/dev/null
cmake --build "$build"
rm -f "$build"/ferrowynd_*.deb
cpack --config "$build/CPackConfig.cmake" -B "$build" >/dev/null
rm -rf "$build/_CPack_Packages"
ls "$build"/ferrowynd_*.deb
