# The keyboard alone: from the tab strip, Tab to the team's scroll bar and the ship level's,
# arrow keys to set team 2 and ship level 5, Return on "ADD SHIP"; then the level saved the same
# way. Arguments: <tessavor> <pallowick>; E2E_LIB and EXAMPLE_GAME come from the environment.
set -uo pipefail
# shellcheck source=e2e-lib.sh
source "$E2E_LIB"

tessavor=$1

# presses KEY COUNT times in the window.
press() {
    local key=$1 count=$2 keys=()
    for ((i = 0; i < count; i++)); do keys+=("$key"); done
    e2e_key "$win" "${keys[@]}"
}

e2e_make_game_folder game
: >"$game/new.lev"
e2e_start pid "$game" "$tessavor"
e2e_wait_window win "Level Editor / $game/" 20 "$pid"

# The focus chain from the strip (hidden panels left out): File1 Drive1 Dir1 load save inhalt add
# del up down freizeile, then the ship panel: s1 s12 s4 s5 s2 s3 s6 s7 s8 s9 s10, the option
# group (one stop), so5 so4 so7 so6.
e2e_log "team 2: Tab to s10, Down"
press Tab 22
e2e_key "$win" Down
e2e_log "ship level 5: Tab to the options, Down twice to \"ship level\", Tab to so7, Down 4 times"
press Tab 1
press Down 2
press Tab 3
press Down 4
e2e_log "back to ADD SHIP with Shift+Tab, Return"
press shift+Tab 14
e2e_key "$win" Return

e2e_log "save: Shift+Tab to File1, Space selects new.lev (its current entry), Tab to save, Return, Yes"
press shift+Tab 11
e2e_key "$win" space
press Tab 4
e2e_key "$win" Return
e2e_answer_box new.lev Return
e2e_expect_file_bytes "$game/levels/new.lev" 'ADD SHIP x= 0 y= 0 r=0 team=2 sl=16\r\n'

e2e_close_window "$win"
e2e_wait_exit "$pid" 10
e2e_log "passed"
