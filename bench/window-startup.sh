#!/usr/bin/env bash
# Start-up of the editor's window against a bare Qt window and a window with one push button,
# alternating runs in one session, 15 runs each, medians; under Xvfb and offscreen. The goal: the
# empty editor window within 1.15 times the one-button window (a window that shows text pays
# for the font database; the bare one does not). Usage: bench/window-startup.sh [build dir]
set -euo pipefail
build=${1:-build}
bench="$build/bench/bench_window"
visible="$build/bench/bench_visible_load"
runs=15
work=$(mktemp -d)
trap 'rm -rf "$work"; [[ -n "${xvfb_pid:-}" ]] && kill "$xvfb_pid" 2>/dev/null || true' EXIT

# A 32,767-row level, rows of about 40 characters.
level="$work/big.lev"
for ((i = 0; i < 32767; i++)); do
    printf 'ADD SHIP x= %d y=-%d r=%d team=%d typ=%d\r\n' $((i % 5000)) $((i % 3000)) \
        $((i % 360)) $((i % 2 + 1)) $((i % 99 + 1))
done >"$level"

now_ns() { date +%s%N; }
calc() { awk "BEGIN { print $1 }"; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

measure() { # platform label
    local platform=$1
    : >"$work/bare"; : >"$work/button"; : >"$work/empty"; : >"$work/rows"; : >"$work/mem"
    for ((r = 0; r < runs; r++)); do
        for mode in bare button empty rows; do
            local args=("$mode")
            [[ $mode == rows ]] && args+=("$level")
            local t0 t1 out
            t0=$(now_ns)
            out=$(cd "$work" && QT_QPA_PLATFORM=$platform "$OLDPWD/$bench" "${args[@]}" 2>/dev/null)
            t1=$(now_ns)
            echo $(((t1 - t0) / 1000)) >>"$work/$mode"
            echo "$mode ${out##*maxrss_kb=}" >>"$work/mem"
        done
    done
    local bare button empty rows
    bare=$(median <"$work/bare"); button=$(median <"$work/button")
    empty=$(median <"$work/empty"); rows=$(median <"$work/rows")
    local mbare mempty mrows
    mbare=$(awk '$1=="bare"{print $2}' "$work/mem" | median)
    mempty=$(awk '$1=="empty"{print $2}' "$work/mem" | median)
    mrows=$(awk '$1=="rows"{print $2}' "$work/mem" | median)
    printf '%-9s bare %7.1f ms   one button %7.1f ms   empty %7.1f ms (%.2fx bare, %.2fx button; goal 1.15x)   32767 rows %7.1f ms (%.2fx bare)\n' "$platform" \
        "$(calc "$bare/1000")" "$(calc "$button/1000")" "$(calc "$empty/1000")" "$(calc "$empty/$bare")" \
        "$(calc "$empty/$button")" "$(calc "$rows/1000")" "$(calc "$rows/$bare")"
    printf '%-9s peak memory: bare %d KiB, empty %d KiB (+%.1f MiB), rows %d KiB (+%.1f MiB)\n' "$platform" \
        "$mbare" "$mempty" "$(calc "($mempty-$mbare)/1024")" "$mrows" "$(calc "($mrows-$mbare)/1024")"
}

measure offscreen

Xvfb :97 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
sleep 1
DISPLAY=:97 measure xcb
(cd "$work" && DISPLAY=:97 QT_QPA_PLATFORM=xcb "$OLDPWD/$visible" "$level")
