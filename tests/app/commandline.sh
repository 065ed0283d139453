#!/usr/bin/env bash
# The real program answers --help and --version and ends: with no display to open a window on,
# and with an office program that leaves a mark when it is started.
# Usage: commandline.sh <program> <version>
set -euo pipefail
program=$1
version=$2

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
    echo "commandline: $*" >&2
    exit 1
}

office="$scratch/soffice"
printf '#!/bin/sh\ntouch "%s/office started"\n' "$scratch" >"$office"
chmod +x "$office"

answer() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb FERROWYND_SOFFICE="$office" \
        HOME="$scratch" XDG_CONFIG_HOME="$scratch/config" TEMP="$scratch/temp" \
        timeout 30 "$program" "$1"
}

for option in --version -v; do
    output=$(answer "$option") || fail "$option ended with status $?"
    [[ $output == "Ferrowynd $version"$'\n'"Office program: $office" ]] \
        || fail "$option answered: $output"
done
for option in --help -h; do
    output=$(answer "$option") || fail "$option ended with status $?"
    grep -q -- '--version' <<<"$output" || fail "$option lists no options: $output"
    for word in --plan --compare --xls --pdf --png --csv; do
        grep -q -- "$word" <<<"$output" || fail "$option does not list $word"
    done
    ! grep -q -- '--help-all' <<<"$output" || fail "$option lists an option it does not answer"
    grep -qxF "Office program: $office" <<<"$output" || fail "$option names no office: $output"
done
[[ ! -e "$scratch/office started" ]] || fail "an office was started"
[[ ! -e "$scratch/config" && ! -e "$scratch/temp" ]] || fail "settings or temporary files written"
echo "commandline: --help and --version answered without a window or an office"
