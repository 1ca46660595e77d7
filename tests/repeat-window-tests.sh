#!/usr/bin/env bash
# Runs every window test and end-to-end test many times in a row, first on an idle machine, then
# while two CPU-bound processes run, and reports for each test how often it passed and its slowest
# run. A test that does not pass every time is flaky.
#
# Use: tests/repeat-window-tests.sh [BUILD] [IDLE_ROUNDS] [LOADED_ROUNDS]   (defaults: build 30 10)
set -uo pipefail

build=${1:-build}
idle_rounds=${2:-30}
loaded_rounds=${3:-10}
jobs=${JOBS:-$(nproc)}
pattern='^(editor_|selector_|e2e_)'

[[ -f "$build/CTestTestfile.cmake" ]] || { echo "no build in $build: run make build first" >&2; exit 2; }

results=$(mktemp)
load_pids=()
stop_load() {
    ((${#load_pids[@]})) && kill "${load_pids[@]}" 2>/dev/null
    load_pids=()
}
trap 'stop_load; rm -f "$results"' EXIT

# One round: every matching test once; one line "phase name status seconds" per test.
run_round() {
    local phase=$1
    ctest --test-dir "$build" -R "$pattern" -j "$jobs" --timeout 120 2>&1 |
        awk -v phase="$phase" '
            /Test +#[0-9]+: / {
                name = $0; sub(/.*Test +#[0-9]+: /, "", name); sub(/ .*/, "", name)
                status = ($0 ~ /Passed/) ? "pass" : "fail"
                seconds = $0; sub(/ sec.*/, "", seconds); sub(/.* /, "", seconds)
                print phase, name, status, seconds
            }' >>"$results"
}

for ((i = 1; i <= idle_rounds; i++)); do
    printf 'idle round %d of %d\n' "$i" "$idle_rounds" >&2
    run_round idle
done

for _ in 1 2; do
    (while :; do :; done) &
    load_pids+=($!)
done
for ((i = 1; i <= loaded_rounds; i++)); do
    printf 'loaded round %d of %d\n' "$i" "$loaded_rounds" >&2
    run_round loaded
done
stop_load

python3 - "$results" <<'PY'
import collections, sys
runs, passes, worst = collections.Counter(), collections.Counter(), collections.defaultdict(float)
for line in open(sys.argv[1]):
    phase, name, status, seconds = line.split()
    runs[phase, name] += 1
    passes[phase, name] += status == "pass"
    worst[phase, name] = max(worst[phase, name], float(seconds))
names = sorted({name for _, name in runs})
print(f"{'test':40} {'idle passes':>13} {'slowest':>9} {'loaded passes':>14} {'slowest':>9}")
flaky = False
for name in names:
    cells = []
    for phase in ("idle", "loaded"):
        cells.append(f"{passes[phase, name]:6d} of {runs[phase, name]:3d} {worst[phase, name]:8.2f}s")
        flaky |= passes[phase, name] != runs[phase, name]
    print(f"{name:40} {cells[0]} {cells[1]}")
sys.exit(1 if flaky else 0)
PY
