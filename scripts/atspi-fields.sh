#!/usr/bin/env bash
# Reads the main window's fields over the accessibility bus, as a screen reader does: the real
# program under a private X server, D-Bus session and accessibility bus, read with pyatspi.
# Prints each field's name and description and fails when a name repeats or one is missing.
# Usage: scripts/atspi-fields.sh [program file]      (default: build/src/ferrowynd)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "${1:-$root/build/src/ferrowynd}")

if [ -z "${FERROWYND_ATSPI_X:-}" ]; then
    "$root/scripts/setup.sh"
    export FERROWYND_ATSPI_X=1
    exec timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- "$0" "$program"
fi

scratch=$(mktemp -d)
pid= bus=
finish() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -TERM "$pid" 2>/dev/null || true
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
        kill -KILL "$pid" 2>/dev/null || true
    fi
    [ -n "$bus" ] && kill -TERM "$bus" 2>/dev/null || true
    rm -rf "$scratch"
}
trap finish EXIT
trap 'exit 1' INT TERM

# Fresh settings and temporary files: the figures of a developer's own run stay out of it.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" TEMP="$scratch/temp"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$TEMP"

/usr/libexec/at-spi-bus-launcher --launch-immediately &
bus=$!
QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" &
pid=$!

/usr/bin/python3 - <<'EOF'
import sys, time
import pyatspi

FIELD_ROLES = {pyatspi.ROLE_TEXT, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_CHECK_BOX}

def window():
    # The start check runs an office first; the window comes after it.
    for _ in range(600):
        for app in pyatspi.Registry.getDesktop(0):
            if app is None:
                continue
            for frame in app:
                if frame is not None and frame.name == "Ferrowynd":
                    return frame
        time.sleep(0.2)
    sys.exit("atspi-fields: no window named Ferrowynd on the accessibility bus")

def walk(node):
    for child in node:
        if child is None:
            continue
        yield child
        yield from walk(child)

fields, buttons, hidden = [], [], 0
for node in walk(window()):
    if not node.getState().contains(pyatspi.STATE_SHOWING):
        hidden += node.getRole() == pyatspi.ROLE_TEXT
        continue
    if node.getRole() in FIELD_ROLES:
        fields.append(node)
    elif node.getRole() == pyatspi.ROLE_PUSH_BUTTON:
        buttons.append(node)

for node in fields:
    print("%-14s %-50s | %s" % (node.getRoleName(), node.name,
                                node.description.replace("\n", " / ")))
for node in buttons:
    print("%-14s %s" % (node.getRoleName(), node.name))
names = [node.name for node in fields]
distinct = len(set(names))
print("%d fields and picker parts, %d distinct names, %d with a description, %d buttons, "
      "%d hidden text boxes" % (len(fields), distinct,
                                sum(1 for node in fields if node.description), len(buttons), hidden))
if distinct != len(names) or not all(names) or not all(node.description for node in fields):
    sys.exit("atspi-fields: a name repeats, or a field has no name or description")
EOF
