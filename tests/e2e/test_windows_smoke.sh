# The Windows programs under Wine, driven with real clicks: the editor adds a ship and saves it,
# the selector saves its level choice. Arguments: <tessavor.exe> <pallowick.exe>; E2E_LIB,
# E2E_WINE_LIB, E2E_WINE_RUN, E2E_WINE_PREFIX and EXAMPLE_GAME come from the environment.
# shellcheck shell=bash disable=SC2154 # the library's functions set the variables named to them
set -uo pipefail
# shellcheck source=e2e-lib.sh
source "$E2E_LIB"
# shellcheck source=wine-lib.sh
source "$E2E_WINE_LIB"

tessavor=$1
pallowick=$2
prefix=${E2E_WINE_PREFIX:-}
[[ -n "$prefix" ]] || e2e_wine_prefix prefix

e2e_log "tessavor.exe: ADD SHIP, then save into an empty level"
e2e_make_game_folder game
: >"$game/new.lev"
e2e_windows_path wgame "$game/"
e2e_start_wine pid "$game" "$prefix" "$tessavor"
e2e_wait_window win "Level Editor / $wgame" 60
e2e_click_control "$win" editor.s1
e2e_click_in_control "$win" editor.File1 30 8 # its first entry
e2e_click_control "$win" editor.save
e2e_answer_box new.lev Return
e2e_expect_file_bytes "$game/levels/new.lev" 'ADD SHIP x= 0 y= 0 r=0 team=1 typ=1\r\n'
e2e_close_window "$win"
e2e_wait_exit "$pid" 20

e2e_log "pallowick.exe: save the level shown at start into levels\\uselev.lst"
e2e_make_game_folder game "${EXAMPLE_GAME:-}"
printf 'other.lev\r\n' >"$game/levels/uselev.lst"
e2e_start_wine pid "$game" "$prefix" "$pallowick"
e2e_wait_window win Levelselector 60
e2e_wine_click_control "$win" selector.Form1 selector.Command1 # save
e2e_answer_box uselev.lst Return
e2e_wait_exit "$pid" 20 status
[[ "$status" == 0 ]] || e2e_fail "pallowick.exe ended with status $status"
e2e_expect_file_bytes "$game/levels/uselev.lst" 'level1.lev\r\n'

e2e_log "passed"
