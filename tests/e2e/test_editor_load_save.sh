# The level editor, driven like a user: a level is loaded, edited, saved, and its bytes checked.
# Arguments: <tessavor> <pallowick>; E2E_LIB and EXAMPLE_GAME come from the environment.
set -uo pipefail
# shellcheck source=e2e-lib.sh
source "$E2E_LIB"

tessavor=$1

e2e_log "start in a copy of the example game: caption, size, not resizable"
e2e_make_game_folder game "${EXAMPLE_GAME:-}"
# A level beside the program, with the line forms a level holds: commas, quotes, blanks,
# an empty line, umlauts and a euro sign (Windows-1252), and LF-only line ends.
printf 'ADD SHIP x= 0 y= 0 r=22,5 team=1 typ=1\n[shipfiles]\n  f\xfchrer.shp \n\n"quoted"\nprice \x80\n' \
    >"$game/mission.lev"
e2e_start pid "$game" "$tessavor"
e2e_wait_window win "Level Editor / $game/" 20 "$pid"
e2e_expect_window_size "$win" editor.Form1
e2e_expect_fixed_size "$win"

e2e_log "load the level from the start folder"
e2e_click_in_control "$win" editor.File1 30 8 # its first entry
e2e_click_control "$win" editor.load
e2e_answer_box mission.lev Return

e2e_log "remove the empty row with Backspace, then save into the levels folder"
# The rows are about 15 pixels high at the layout font: the fourth row is the empty one.
row_height=15
e2e_click_in_control "$win" editor.inhalt 40 $((3 * row_height + row_height / 2))
e2e_key "$win" BackSpace
e2e_click_control "$win" editor.save
e2e_answer_box mission.lev Return
e2e_expect_file_bytes "$game/levels/mission.lev" \
    'ADD SHIP x= 0 y= 0 r=22,5 team=1 typ=1\r\n[shipfiles]\r\n  f\xfchrer.shp \r\n"quoted"\r\nprice \x80\r\n'
e2e_expect_file_bytes "$game/mission.lev" \
    'ADD SHIP x= 0 y= 0 r=22,5 team=1 typ=1\n[shipfiles]\n  f\xfchrer.shp \n\n"quoted"\nprice \x80\n'

e2e_log "answering No to a save leaves the file"
e2e_click_control "$win" editor.save
e2e_answer_box mission.lev n
e2e_expect_file_bytes "$game/levels/mission.lev" \
    'ADD SHIP x= 0 y= 0 r=22,5 team=1 typ=1\r\n[shipfiles]\r\n  f\xfchrer.shp \r\n"quoted"\r\nprice \x80\r\n'

e2e_log "a new level file: add file, a name, Escape"
e2e_click_control "$win" editor.add
e2e_wait_window dialog "add new file ?" 20 "$pid"
e2e_type "$dialog" "fresh"
e2e_key "$dialog" Return
e2e_expect_no_file "$game/fresh.lev"
e2e_key "$dialog" Escape
e2e_wait_window_gone "$dialog"
e2e_expect_file_bytes "$game/fresh.lev" ''

e2e_log "closing the window ends the editor"
e2e_close_window "$win"
e2e_wait_exit "$pid" 10 status
[[ "$status" == 0 ]] || e2e_fail "tessavor ended with status $status"
e2e_log "passed"
