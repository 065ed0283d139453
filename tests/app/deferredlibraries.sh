#!/usr/bin/env bash
# The program links none of the libraries its modules load when first needed (the UNO bridge,
# print support and CUPS, the PDF renderer) and has no library search path of its own; each
# module links its own libraries, and finds all.
# Usage: deferredlibraries.sh <program> <module folder>
set -euo pipefail
program=$1
modules=$2

fail() {
    echo "deferredlibraries: $*" >&2
    exit 1
}

needed() {
    readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p'
}

# A search path of the program's own would have the loader look through it, and through the
# current folder for an empty entry, for every library before the system's.
search_path=$(readelf -d "$program" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p')
[ -z "$search_path" ] || fail "the program's library search path is '$search_path'"

deferred='^lib(Qt6PrintSupport|Qt6Pdf|cups|uno_)'
early=$(needed "$program" | grep -E "$deferred" || true)
[ -z "$early" ] || fail "the program links at start: $early"

while read -r module library; do
    file="$modules/lib$module.so"
    [ -f "$file" ] || fail "no module $file"
    needed "$file" | grep -q "^$library" || fail "$module does not link $library"
    missing=$(ldd "$file" | grep 'not found' || true)
    [ -z "$missing" ] || fail "$module misses: $missing"
done <<'MODULES'
ferrowynd_office libuno_cppu
ferrowynd_print libQt6PrintSupport
ferrowynd_print libcups
ferrowynd_pdf libQt6Pdf
MODULES
echo "deferredlibraries: the program loads UNO, printing and PDF only through its modules"
