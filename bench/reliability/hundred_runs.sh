#!/usr/bin/env bash
# A hundred generation runs in a row through the real windows and a real LibreOffice, each
# followed by "< Back". Prints every run's resident memory and heap of the program, the offices
# and temporary files left after it, and a summary with the growth from run 10 to the last run.
#   bench/reliability/hundred_runs.sh [build folder, default build-tests] [runs, default 100]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="${1:-$root/build-tests}"
runs="${2:-100}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFERROWYND_TESTS=ON >/dev/null
fi
cmake --build "$build" --target reliability_tst_repeatedruns -j2 >/dev/null
test="$build/tests/reliability/reliability_tst_repeatedruns"

# A private TMPDIR makes this run's offices and profiles easy to tell from anyone else's.
scratch=$(mktemp -d)
log="$scratch/output.txt"
trap 'rm -rf "$scratch"' EXIT
status=0
# A hundred runs outlast QtTest's five minutes for one test function on a busy machine.
TMPDIR="$scratch" QT_QPA_PLATFORM=offscreen FERROWYND_RUNS="$runs" QTEST_FUNCTION_TIMEOUT=7200000 \
    "$test" runsInARow >"$log" 2>&1 &
pid=$!
wait "$pid" || status=$?
grep -o 'run [0-9]* rss.*' "$log" || true
offices_left=$(pgrep -f -- "$scratch" | wc -l || true)
# The offices' pipe names start with fw and the program's process id.
pipes_left=$(find /tmp "$scratch" -maxdepth 1 -name "OSL_PIPE_*_fw${pid}_*" 2>/dev/null | wc -l)

awk -v runs="$runs" '
    /run [0-9]+ rss/ {
        for (i = 1; i <= NF; ++i) {
            if ($i == "run") n = $(i + 1)
            if ($i == "rss") rss[n] = $(i + 1)
            if ($i == "heap") heap[n] = $(i + 1)
        }
        last = n
    }
    END {
        if (last == "") { print "no runs completed"; exit }
        from = last >= 10 ? 10 : 1
        min = max = rss[from]
        for (r = from; r <= last; ++r) { if (rss[r] < min) min = rss[r]; if (rss[r] > max) max = rss[r] }
        printf "runs completed: %d of %d\n", last, runs
        printf "rss: run 1 %d KiB, run %d %d KiB, run %d %d KiB (from run %d: min %d, max %d)\n", \
            rss[1], from, rss[from], last, rss[last], from, min, max
        growth = heap[last] - heap[from]
        per = last > from ? growth / (last - from) : 0
        printf "heap: run %d %d KiB, run %d %d KiB, growth %d KiB (%.1f KiB per run)\n", \
            from, heap[from], last, heap[last], growth, per
    }' "$log"
echo "offices left running: $offices_left"
echo "office pipe sockets left: $pipes_left"
grep -E '^(FAIL|Totals)' "$log" || true
if [ "$status" -ne 0 ]; then
    echo "the runs failed; the test's output follows" >&2
    cat "$log" >&2
fi
exit "$status"
