#!/usr/bin/env bash
# Kills a process that saves an 8 MB level file over and over at random moments, N times, and
# checks after each kill that the target is one complete version, never a mix or a part, and
# counts the temporary files a kill left beside it: with unnamed temporary files (Linux) only a kill
# in the instant between naming the file and the rename leaves one; with named ones, as on
# systems without unnamed files, any kill while the file is written. The next save must remove
# every one of them.
#
# Use: bench/crash-save.sh [BUILD] [N]     (defaults: build 200)
set -uo pipefail

build=${1:-build}
runs=${2:-200}
saver=$build/bench/crash_saver
[[ -x $saver ]] || { echo "no $saver: build the benchmarks first (make build)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$saver" versions "$work" || { echo "cannot write the versions" >&2; exit 2; }
mkdir "$work/game"
cp "$work/a.lev" "$work/game/level.lev"

failures=0
for mode in unnamed named; do
    flag=()
    [[ $mode == named ]] && flag=(--named)
    complete=0 mixed=0 leftovers=0
    for ((i = 0; i < runs; i++)); do
        "$saver" loop "$work/game/level.lev" "${flag[@]}" &
        pid=$!
        # A random moment within some ten saves.
        sleep "0.$(printf '%03d' $((RANDOM % 400)))"
        kill -KILL "$pid" 2>/dev/null
        wait "$pid" 2>/dev/null
        if cmp -s "$work/game/level.lev" "$work/a.lev" || cmp -s "$work/game/level.lev" "$work/b.lev"; then
            ((complete++))
        else
            ((mixed++))
        fi
        left=$(find "$work/game" -name '.level.lev.part-*' | wc -l)
        ((leftovers += left))
    done
    "$saver" once "$work/game/level.lev" "${flag[@]}" || failures=1
    remaining=$(find "$work/game" -name '.level.lev.part-*' | wc -l)
    printf '%-8s temporary files: %d kills, target complete %d, mixed or cut %d, temporary files left %d, left after the next save %d\n' \
        "$mode" "$runs" "$complete" "$mixed" "$leftovers" "$remaining"
    ((mixed == 0 && remaining == 0)) || failures=1
done
exit $failures
