# Shared start of the fault scripts, sourced with the script's own arguments:
#   fault="what the script checks"; . "$(dirname "$0")/common.sh" "$@"
# Runs the script again under a private X server (exits 77 when the tools are missing), then
# gives it a scratch folder and fail(). Whatever the script started as $pid is killed at exit.

if [ -z "${FERROWYND_FAULT_X:-}" ]; then
    for tool in xvfb-run xdotool; do
        command -v "$tool" >/dev/null || { echo "skipped: $tool is missing" >&2; exit 77; }
    done
    export FERROWYND_FAULT_X=1
    exec timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

scratch=$(mktemp -d)
pid=
finish() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid" 2>/dev/null || true
        { wait "$pid"; } 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap finish EXIT
fail() {
    echo "$fault: $*" >&2
    exit 1
}
