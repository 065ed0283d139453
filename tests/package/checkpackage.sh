#!/usr/bin/env bash
# Packs a built tree into the Debian package with CPack and checks the package: its file list,
# its dependencies, its desktop entry, AppStream metadata, icons and changelog, the packaged
# program itself and what lintian says. Ends with 77 (skipped) when a checking tool is missing.
# Usage: checkpackage.sh <cpack> <build folder> <version> <desktop id> <office program folder>
set -euo pipefail
cpack_command=$1
build=$2
version=$3
desktop_id=$4
office_folder=$5

for tool in dpkg-deb dpkg-shlibdeps dpkg-architecture lintian appstreamcli desktop-file-validate \
    readelf update-mime-database; do
    if ! command -v "$tool" >/dev/null; then
        echo "checkpackage: skipped: $tool is missing (scripts/setup.sh installs it)"
        exit 77
    fi
done

fail() {
    echo "checkpackage: $*" >&2
    exit 1
}

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

"$cpack_command" --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
package="$scratch/out/ferrowynd_${version}_$(dpkg --print-architecture).deb"
[ -f "$package" ] || fail "no package $(basename "$package"); cpack made: $(ls "$scratch/out")"

multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
# Exactly these files and folders, nothing of the build or of the tests.
expected="./usr/
./usr/bin/
./usr/bin/ferrowynd
./usr/lib/
./usr/lib/$multiarch/
./usr/lib/$multiarch/ferrowynd/
./usr/lib/$multiarch/ferrowynd/libferrowynd_office.so
./usr/lib/$multiarch/ferrowynd/libferrowynd_pdf.so
./usr/lib/$multiarch/ferrowynd/libferrowynd_print.so
./usr/share/
./usr/share/applications/
./usr/share/applications/$desktop_id.desktop
./usr/share/doc/
./usr/share/doc/ferrowynd/
./usr/share/doc/ferrowynd/changelog.gz
./usr/share/doc/ferrowynd/copyright
./usr/share/icons/
./usr/share/icons/hicolor/
./usr/share/icons/hicolor/128x128/
./usr/share/icons/hicolor/128x128/apps/
./usr/share/icons/hicolor/128x128/apps/ferrowynd.png
./usr/share/icons/hicolor/256x256/
./usr/share/icons/hicolor/256x256/apps/
./usr/share/icons/hicolor/256x256/apps/ferrowynd.png
./usr/share/icons/hicolor/48x48/
./usr/share/icons/hicolor/48x48/apps/
./usr/share/icons/hicolor/48x48/apps/ferrowynd.png
./usr/share/icons/hicolor/64x64/
./usr/share/icons/hicolor/64x64/apps/
./usr/share/icons/hicolor/64x64/apps/ferrowynd.png
./usr/share/icons/hicolor/scalable/
./usr/share/icons/hicolor/scalable/apps/
./usr/share/icons/hicolor/scalable/apps/ferrowynd.svg
./usr/share/lintian/
./usr/share/lintian/overrides/
./usr/share/lintian/overrides/ferrowynd
./usr/share/man/
./usr/share/man/man1/
./usr/share/man/man1/ferrowynd.1.gz
./usr/share/metainfo/
./usr/share/metainfo/$desktop_id.metainfo.xml
./usr/share/mime/
./usr/share/mime/packages/
./usr/share/mime/packages/$desktop_id.xml"
actual=$(dpkg-deb -c "$package" | awk '{ print $6 }' | LC_ALL=C sort)
if [ "$actual" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual") >&2 || true
    fail "the package holds other files than expected (- expected, + packaged)"
fi

field() {
    dpkg-deb -f "$package" "$1"
}
[ "$(field Package)" = ferrowynd ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
depends=$(field Depends)
# Declared by hand, then what dpkg-shlibdeps found for the program's libraries.
for needed in "libreoffice-calc-nogui | libreoffice-calc" ure libreoffice-common libqt6svg6 \
    fonts-liberation libuno-sal3 libuno-cppu3 libuno-cppuhelpergcc3-3 libqt6widgets6 libc6; do
    grep -Eq "(^|, )$needed( \(|,|$)" <<<"$depends" || fail "Depends lacks '$needed': $depends"
done

root="$scratch/root"
dpkg-deb -x "$package" "$root"
share="$root/usr/share"

desktop-file-validate "$share/applications/$desktop_id.desktop" \
    || fail "the desktop entry does not validate"
# Plans: a MIME type of their own, known by their suffix, opened with the program.
plan_type=application/x-ferrowynd-plan
entry="$share/applications/$desktop_id.desktop"
grep -qx "MimeType=$plan_type;" "$entry" || fail "the desktop entry does not open $plan_type"
grep -qx 'Exec=ferrowynd %f' "$entry" || fail "the desktop entry passes no file to the program"
mime="$scratch/mime"
mkdir -p "$mime/packages"
cp "$share/mime/packages/$desktop_id.xml" "$mime/packages/"
update-mime-database "$mime" || fail "the MIME type file does not build a database"
grep -qx "50:$plan_type:\*.ferrowynd" "$mime/globs2" \
    || fail "*.ferrowynd is not a $plan_type: $(cat "$mime/globs2")"
grep -qx "$plan_type text/plain" "$mime/subclasses" || fail "$plan_type is not a text/plain"
grep -q '<comment>Ferrowynd plan</comment>' "$mime/application/x-ferrowynd-plan.xml" \
    || fail "$plan_type is not named \"Ferrowynd plan\""

appstreamcli validate --no-net "$share/metainfo/$desktop_id.metainfo.xml" \
    || fail "the AppStream metadata does not validate"
metainfo=$(cat "$share/metainfo/$desktop_id.metainfo.xml")
grep -q "<id>$desktop_id</id>" <<<"$metainfo" || fail "the metadata's id is not $desktop_id"
grep -q "<launchable type=\"desktop-id\">$desktop_id.desktop</launchable>" <<<"$metainfo" \
    || fail "the metadata does not launch $desktop_id.desktop"
newest_release=$(grep -o '<release version="[^"]*"' <<<"$metainfo" | head -n 1 | cut -d'"' -f2)
[ "$newest_release" = "$version" ] || fail "the newest release in the metadata is $newest_release"
newest_change=$(zcat "$share/doc/ferrowynd/changelog.gz" | sed -n '1s/^ferrowynd (\([^)]*\)).*/\1/p')
[ "$newest_change" = "$version" ] || fail "the newest changelog entry is '$newest_change'"
zcat "$share/man/man1/ferrowynd.1.gz" | grep -q "^\.TH FERROWYND 1 .*Ferrowynd $version" \
    || fail "the manual page is not the one of version $version"

for size in 48 64 128 256; do
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    read -r width height < <(od -An -tu4 --endian=big -j16 -N8 \
        "$share/icons/hicolor/${size}x$size/apps/ferrowynd.png")
    [ "$width $height" = "$size $size" ] || fail "the ${size}px icon is ${width}x$height"
done

program="$root/usr/bin/ferrowynd"
modules="$root/usr/lib/$multiarch/ferrowynd"
search_path() {
    readelf -d "$1" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p'
}
# Nothing of the build tree. The program finds its modules by their place beside it; only the
# office module searches the office's program folder.
[ -z "$(search_path "$program")" ] || fail "the program's library search path is '$(search_path "$program")'"
for module in "$modules"/*.so; do
    expected_path=
    [ "$(basename "$module")" = libferrowynd_office.so ] && expected_path=$office_folder
    [ "$(search_path "$module")" = "$expected_path" ] \
        || fail "$(basename "$module")'s library search path is '$(search_path "$module")'"
done
tests_folder=$(cd "$(dirname "$0")/.." && pwd)
"$tests_folder/app/deferredlibraries.sh" "$program" "$modules" >/dev/null \
    || fail "the packaged program links what its modules should load"

# Run from outside the build tree, with only the system's libraries.
printed=$(cd / && "$program" --version) || fail "the packaged program does not run"
[ "$(head -n 1 <<<"$printed")" = "Ferrowynd $version" ] || fail "--version printed: $printed"

lintian_log="$scratch/lintian.log"
lintian --fail-on error --display-info --tag-display-limit 0 "$package" >"$lintian_log" 2>&1 || {
    cat "$lintian_log" >&2
    fail "lintian reports errors"
}
cat "$lintian_log"
echo "checkpackage: $(basename "$package") holds what it should"
