# A clear taken back: three ships added, "clear" clicked, Ctrl+Z pressed, the level saved; the
# file holds the three rows. Arguments: <tessavor> <pallowick>; E2E_LIB and EXAMPLE_GAME come from
# the environment.
set -uo pipefail
# shellcheck source=e2e-lib.sh
source "$E2E_LIB"

tessavor=$1

e2e_make_game_folder game
: >"$game/new.lev"
e2e_start pid "$game" "$tessavor"
e2e_wait_window win "Level Editor / $game/" 20 "$pid"

e2e_log "ADD SHIP three times, clear, Ctrl+Z"
e2e_click_control "$win" editor.s1
e2e_click_control "$win" editor.s1
e2e_click_control "$win" editor.s1
e2e_click_control "$win" editor.clear
e2e_key "$win" ctrl+z

e2e_log "save"
e2e_click_in_control "$win" editor.File1 30 8 # its first entry
e2e_click_control "$win" editor.save
e2e_answer_box new.lev Return
ship='ADD SHIP x= 0 y= 0 r=0 team=1 typ=1\r\n'
e2e_expect_file_bytes "$game/levels/new.lev" "$ship$ship$ship"

e2e_close_window "$win"
e2e_wait_exit "$pid" 10
e2e_log "passed"
