# The level selector, driven like a user: real clicks and keys on the real program.
# Arguments: <tessavor> <pallowick>; E2E_LIB and EXAMPLE_GAME come from the environment.
# shellcheck shell=bash disable=SC2154 # the library's functions set the variables named to them
set -uo pipefail
# shellcheck source=e2e-lib.sh
source "$E2E_LIB"

pallowick=$2

e2e_log "save right after start, in a copy of the example game"
e2e_make_game_folder game "${EXAMPLE_GAME:-}"
printf 'a-longer-previous-choice.lev\r\nstray line\r\n' >"$game/levels/uselev.lst"
e2e_start pid "$game" "$pallowick"
e2e_wait_window win Levelselector 20 "$pid"
e2e_expect_window_size "$win" selector.Form1
e2e_expect_fixed_size "$win"
e2e_expect_centred "$win"
e2e_click_control "$win" selector.Command1 # save
e2e_answer_box uselev.lst Return
e2e_wait_exit "$pid" 10 status
[[ "$status" == 0 ]] || e2e_fail "pallowick ended with status $status"
e2e_expect_file_bytes "$game/levels/uselev.lst" 'level1.lev\r\n'

e2e_log "a level chosen in the open-file dialog, its name with umlauts"
e2e_make_game_folder game
: >"$game/levels/wüste-ä.lev"
: >"$game/levels/other.lev"
e2e_start pid "$game" "$pallowick"
e2e_wait_window win Levelselector 20 "$pid"
e2e_click_control "$win" selector.Command3 # "..."
# The dialog opens in the levels folder with its file name field focused.
e2e_wait_window dialog Open 20 "$pid"
e2e_choose_file "$dialog" 'wüste-ä.lev' pallowick
e2e_click_control "$win" selector.Command1 # save
e2e_answer_box uselev.lst space
e2e_wait_exit "$pid" 10
e2e_expect_file_bytes "$game/levels/uselev.lst" 'w\xfcste-\xe4.lev\r\n'

e2e_log "no levels folder: a failure message, nothing written, the window stays"
e2e_make_temp_dir bare
e2e_start pid "$bare" "$pallowick"
e2e_wait_window win Levelselector 20 "$pid"
e2e_click_control "$win" selector.Command1 # save
e2e_answer_box pallowick Return
# The selector still answers: "..." opens its dialog (which Escape closes again).
e2e_click_control "$win" selector.Command3 # "..."
e2e_wait_window dialog Open 20 "$pid"
e2e_answer_box Open Escape
e2e_expect_running "$pid" "a failed save must not end the selector"
e2e_expect_no_window uselev.lst
e2e_expect_no_file "$bare/levels"

e2e_log "closing the window ends the selector and writes nothing"
e2e_close_window "$win"
e2e_wait_exit "$pid" 10 status
[[ "$status" == 0 ]] || e2e_fail "pallowick ended with status $status after its window closed"
e2e_expect_no_file "$bare/levels"

e2e_log "passed"
