# The clipboard between levels and programs: three ships of one level copied on the map with
# Ctrl+A and Ctrl+C, another level loaded, Ctrl+V in the map (they land where they stood, the
# pointer being off the map), saved; then a line put on the clipboard by another program (xclip)
# pasted into the list after its first row, saved again.
# Arguments: <tessavor> <pallowick>; E2E_LIB comes from the environment.
set -uo pipefail
# shellcheck source=e2e-lib.sh
source "$E2E_LIB"
e2e_require xclip

tessavor=$1
ships=('ADD SHIP x= 0 y= 0 r=0 team=1 typ=1' 'ADD SHIP x= 100 y=-40 r=90 team=1 typ=2'
    'ADD SHIP x= 300 y= 20 r=180 team=1 sl=4')

e2e_make_game_folder game
printf '%s\r\n' '[end]' >"$game/a-target.lev"
printf '%s\r\n' '[winfile]' "${ships[0]}" 'conquest.win' "${ships[1]}" '[end]' "${ships[2]}" \
    >"$game/b-source.lev"
e2e_start pid "$game" "$tessavor"
e2e_wait_window win "Level Editor / $game/" 20 "$pid"

e2e_log "load b-source.lev, open the map, Ctrl+A and Ctrl+C there"
e2e_click_in_control "$win" editor.File1 30 8 # the first entry, a-target.lev
e2e_key "$win" Down                          # b-source.lev
e2e_click_control "$win" editor.load
e2e_answer_box b-source.lev Return
e2e_click_control "$win" editor.mapButton
e2e_wait_window map "Level Map" 20 "$pid"
e2e_key "$map" ctrl+a ctrl+c

e2e_log "load a-target.lev, Ctrl+V in the map with the pointer off it, save"
e2e_focus "$win" # raised over the map
e2e_click_in_control "$win" editor.File1 30 8
e2e_click_control "$win" editor.load
e2e_answer_box a-target.lev Return
xdotool mousemove --sync 1279 1023 || e2e_fail "cannot move the mouse"
e2e_key "$map" ctrl+v
e2e_focus "$win"
e2e_click_in_control "$win" editor.File1 30 8
e2e_click_control "$win" editor.save
e2e_answer_box a-target.lev Return
e2e_expect_file_bytes "$game/levels/a-target.lev" '[end]\r\n%s\r\n%s\r\n%s\r\n' "${ships[@]}"

e2e_log "a line from another program, pasted after the list's first row"
printf 'ADD BASE  x=5 y=6 file=b.bs\n' | xclip -selection clipboard || e2e_fail "xclip failed"
e2e_focus "$win"
e2e_click_in_control "$win" editor.inhalt 30 8 # the first row
e2e_key "$win" ctrl+v
e2e_click_in_control "$win" editor.File1 30 8
e2e_click_control "$win" editor.save
e2e_answer_box a-target.lev Return
e2e_expect_file_bytes "$game/levels/a-target.lev" \
    '[end]\r\nADD BASE  x=5 y=6 file=b.bs\r\n%s\r\n%s\r\n%s\r\n' "${ships[@]}"

e2e_close_window "$win"
e2e_wait_exit "$pid" 10
e2e_log "passed"
