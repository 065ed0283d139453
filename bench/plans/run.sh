#!/usr/bin/env bash
# Throughput without a window: 100 plans in one call of the Release program
#   ferrowynd --plan <folder> --xls <folder>
# against one bare `soffice --headless --convert-to xls` of 100 copies of the template in one
# call, on a private profile seeded like the program's own. Both run in the same rounds, one after
# the other (FERROWYND_BENCH_ROUNDS, 2 by default, after one uncounted warm-up of each), so both
# see the same machine load; the load is printed with every round. Printed: the time per file of
# both, their ratio (target <= 1.0), and the peak resident memory of the program, of each worker it
# started (a large batch runs on two offices, each driven by a worker) and of each office process
# (each warm office is renewed between plans above 180 MB), sampled from /proc.
# Usage: bench/plans/run.sh [plan count]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build="${FERROWYND_BENCH_BUILD:-$root/build-h/bench}"
rounds="${FERROWYND_BENCH_ROUNDS:-2}"
count="${1:-100}"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build/program" -G Ninja -DCMAKE_BUILD_TYPE=Release -DFERROWYND_TESTS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$build/program" --target ferrowynd -j2 >/dev/null
program="$build/program/src/ferrowynd"
cmake -S "$root/bench/run" -B "$build/run" -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" \
    >/dev/null
cmake --build "$build/run" --target seedprofile -j2 >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" TEMP="$work/temp"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
mkdir -p "$TEMP" "$work/plans" "$work/xlt"
"$build/run/seedprofile" "$work/profile"
template="$build/program/src/workbook/template/template.xlt"

# Households that differ in every amount, so that no two runs compute the same sheet.
for plan in $(seq -w 1 "$count"); do
    n=$((10#$plan))
    {
        printf '[Plan]\nFormatVersion=1\n\n[Ferrowynd]\n'
        printf 'txtIncome0=%d\ntxtIncome1=%d\n' $((3000 + n * 25)) $((2500 + n * 10))
        for expense in 0 4 9 12 21 50; do printf 'txtExpense%d=%d\n' $expense $((100 + n + expense)); done
        printf 'txtOther0=7\ntxtOther1=5\ntxtOther2=3\ntxtOther5=80\n'
        printf 'txtOther8=%d\ntxtOther9=%d\ntxtOther12=90\ntxtOther13=92\n' $((60 + n % 8)) $((62 + n % 6))
        for savings in 0 1 6 8 9; do printf 'txtSavings%d=%d\n' $savings $((10000 + n * 300 + savings)); done
        printf 'txtRetirementIncome0=1800\ntxtRetirementIncome1=1400\n'
    } >"$work/plans/plan-$plan.ferrowynd"
    cp "$template" "$work/xlt/plan-$plan.xlt"
done

# Runs a command, sampling its process tree every 0.2 s; prints "<ms> <program MB> <workers>
# <offices>": <workers> lists the peak of each worker the program started for a large batch
# ("-" when none), <offices> the peak of each office process (soffice.bin, each renewal of a
# warm office counted as one more), both comma-separated in the order they started.
measure() {
    local start end pid
    start=$(date +%s%N)
    "$@" >/dev/null 2>"$work/stderr" &
    pid=$!
    local -A peak=()
    while kill -0 "$pid" 2>/dev/null; do
        for p in $(ps -e -o pid=,ppid= | awk -v root="$pid" '
            { parent[$1] = $2 } END {
                keep[root] = 1; changed = 1
                while (changed) { changed = 0
                    for (p in parent) if (!(p in keep) && (parent[p] in keep)) { keep[p] = 1; changed = 1 } }
                for (p in keep) print p }'); do
            local hwm name key
            hwm=$(awk '/^VmHWM/ { print $2 }' "/proc/$p/status" 2>/dev/null) || continue
            name=$(cat "/proc/$p/comm" 2>/dev/null) || continue
            [ -n "$hwm" ] || continue
            case $name in
            soffice.bin) key="office $p" ;;
            ferrowynd) key="worker $p" ;;
            *) continue ;;
            esac
            [ "$p" = "$pid" ] && key=main
            if [ "${peak[$key]:-0}" -lt "$hwm" ]; then peak[$key]=$hwm; fi
        done
        sleep 0.2
    done
    local status=0
    wait "$pid" || status=$?
    end=$(date +%s%N)
    if [ "$status" -ne 0 ]; then
        echo "failed with status $status:" >&2
        tail -5 "$work/stderr" >&2
        exit 1
    fi
    local workers="" offices=""
    for key in $(printf '%s\n' "${!peak[@]}" | sort -k2n | tr ' ' ':'); do
        local mb=$(( ${peak[${key/:/ }]} / 1024 ))
        case $key in
        worker:*) workers="${workers:+$workers,}$mb" ;;
        office:*) offices="${offices:+$offices,}$mb" ;;
        esac
    done
    echo "$(( (end - start) / 1000000 )) $(( ${peak[main]:-0} / 1024 )) ${workers:--} ${offices:--}"
}

bare() {
    rm -rf "$work/converted"
    measure soffice "-env:UserInstallation=file://$work/profile" --headless --convert-to xls \
        --outdir "$work/converted" "$work"/xlt/*.xlt
    [ "$(ls "$work/converted" | wc -l)" -eq "$count" ] || { echo "bare conversion incomplete" >&2; exit 1; }
}

ours() {
    rm -rf "$work/out"
    measure "$program" --plan "$work/plans" --xls "$work/out"
    [ "$(ls "$work/out" | wc -l)" -eq "$count" ] || { echo "plan outputs incomplete" >&2; exit 1; }
}

echo "== $count plans, $(nproc) cores, $(date -u +%H:%M) UTC; program $(git -C "$root" log -1 --format='%h %s')"
echo "warm-up (not counted): load $(cut -d' ' -f1-3 /proc/loadavg)"
bare >/dev/null
ours >/dev/null
for round in $(seq "$rounds"); do
    echo "round $round: load $(cut -d' ' -f1-3 /proc/loadavg)"
    read -r bareMs _ _ bareOffices <<<"$(bare)"
    read -r oursMs oursProgram oursWorkers oursOffices <<<"$(ours)"
    awk -v b="$bareMs" -v o="$oursMs" -v n="$count" -v bo="$bareOffices" -v op="$oursProgram" \
        -v ow="$oursWorkers" -v oo="$oursOffices" 'BEGIN {
        printf "  bare conversion: %.0f ms per file (%.1f s in all), office peak %s MB\n", b / n, b / 1000, bo
        printf "  ferrowynd --plan: %.0f ms per plan (%.1f s in all)\n", o / n, o / 1000
        printf "    peak MB: program %d, workers %s, offices %s (%d office process(es))\n", op, ow, oo, split(oo, a, ",")
        printf "  ratio: %.2f (target <= 1.0)\n", o / b }'
done
echo "load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
