#!/usr/bin/env bash
# Installs a built tree into a scratch prefix and checks the desktop layout: the program in bin,
# the icon under hicolor, a valid desktop entry whose Exec and Icon resolve there.
# Usage: checkinstall.sh <cmake> <build folder>
set -euo pipefail
cmake_command=$1
build=$2

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

fail() {
    echo "checkinstall: $*" >&2
    exit 1
}

"$cmake_command" --install "$build" --prefix "$prefix" >/dev/null

program="$prefix/bin/ferrowynd"
icon="$prefix/share/icons/hicolor/scalable/apps/ferrowynd.svg"
entry="$prefix/share/applications/example.ostrivane.ferrowynd.desktop"
source_dir=$(cd "$(dirname "$0")/../.." && pwd)

[ -x "$program" ] || fail "no executable program at $program"
# The installed copy loses the build tree's library paths; everything must resolve without them.
missing=$(cd / && ldd "$program" | grep 'not found' || true)
[ -z "$missing" ] || fail "the installed program lacks libraries: $missing"
# Its modules, which it loads from a folder beside it, as well.
modules=$(ls "$prefix"/lib/*/ferrowynd/*.so "$prefix"/lib/ferrowynd/*.so 2>/dev/null || true)
[ "$(wc -w <<<"$modules")" = 3 ] || fail "not the program's three modules: $modules"
for module in $modules; do
    missing=$(cd / && ldd "$module" | grep 'not found' || true)
    [ -z "$missing" ] || fail "the installed $(basename "$module") lacks libraries: $missing"
done
[ -f "$icon" ] || fail "no icon at $icon"
cmp -s "$icon" "$source_dir/data/ferrowynd.svg" || fail "the installed icon differs from data/ferrowynd.svg"
grep -q '<svg' "$icon" || fail "the icon is not an SVG drawing"
[ -f "$entry" ] || fail "no desktop entry at $entry"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || fail "the desktop entry does not validate"
fi

value() {
    sed -n "s/^$1=//p" "$entry" | head -n 1
}
[ "$(value Name)" = Ferrowynd ] || fail "Name is '$(value Name)'"
[ "$(value Type)" = Application ] || fail "Type is '$(value Type)'"
[ "$(value Categories)" = "Office;Finance;" ] || fail "Categories is '$(value Categories)'"
# The program name, without the file argument the desktop passes.
exec_name=$(value Exec | cut -d" " -f1)
[ -x "$prefix/bin/$exec_name" ] || fail "Exec=$exec_name is not a program in bin"
icon_name=$(value Icon)
[ -f "$prefix/share/icons/hicolor/scalable/apps/$icon_name.svg" ] || fail "Icon=$icon_name has no icon file"
echo "checkinstall: $prefix laid out as expected"
