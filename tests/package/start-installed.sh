#!/usr/bin/env bash
# Starts the installed level editor and level selector in a temporary copy of the example game
# folder, waits until each shows its window, closes it as its user would and expects the program
# to end with status 0. Run under Xvfb (tests/package/roundtrip.sh does, through tests/e2e/with-xvfb.sh).
#
#   tests/package/start-installed.sh <bin folder>      for example /usr/bin
set -uo pipefail

bin=${1:?usage: $0 <bin folder>}
root=$(cd "$(dirname "$0")/../.." && pwd)

# shellcheck source=../e2e/e2e-lib.sh
source "$root/tests/e2e/e2e-lib.sh"

e2e_make_game_folder game "$root/examples/game"

# expect_window PROGRAM TITLE: the program, started in the game folder, shows a window of that
# title and ends with status 0 when it is closed.
expect_window() {
    local program=$1 title=$2 pid win status
    e2e_start pid "$game" "$program"
    e2e_wait_window win "$title" "$E2E_TIMEOUT" "$pid"
    e2e_log "$program shows its window '$title'"
    e2e_close_window "$win"
    e2e_wait_exit "$pid" 10 status
    [[ "$status" == 0 ]] || e2e_fail "$program ended with status $status after its window was closed"
}

expect_window "$bin/tessavor" "Level Editor / $game/"
expect_window "$bin/pallowick" "Levelselector"
e2e_log "the installed programs start in a game folder and end cleanly"
