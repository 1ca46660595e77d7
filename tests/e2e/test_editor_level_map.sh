# The Level Map of a loaded level in the real window: each team's colour is painted on its own
# side of the map, where its ships stand, and nowhere else on the map. Then a ship chosen in the
# content list is mirrored for the other team with M in the map, saved, undone with Ctrl+Z in the
# map and saved again.
# Arguments: <tessavor> <pallowick>; E2E_LIB and EXAMPLE_GAME come from the environment.
set -uo pipefail
# shellcheck source=e2e-lib.sh
source "$E2E_LIB"
e2e_require convert

tessavor=$1

# The markers' fill colours.
team1='#1F5FD0'
team2='#D03030'

# count_colour FILE LEFT TOP WIDTH HEIGHT COLOUR: how many pixels of the region have the colour.
count_colour() {
    convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -format %c histogram:info:- |
        awk -v colour="$6" 'toupper($0) ~ colour { sub(":", "", $1); n += $1 } END { print n + 0 }'
}

e2e_make_game_folder game "${EXAMPLE_GAME:-}"
# Team 1 on the left (x 0), team 2 on the right (x 2000), each in two rows.
printf '%s\r\n' '[winfile]' 'conquest.win' '[end]' \
    'ADD SHIP x= 0 y= 0 r=270 team=1 typ=1' 'ADD SHIP x= 0 y= 600 r=270 team=1 typ=1' \
    'ADD SHIP x= 2000 y= 0 r=90 team=2 typ=1' 'ADD SHIP x= 2000 y= 600 r=90 team=2 typ=1' \
    >"$game/teams.lev"
e2e_start pid "$game" "$tessavor"
e2e_wait_window win "Level Editor / $game/" 20 "$pid"

e2e_log "load the level, open the map"
e2e_click_in_control "$win" editor.File1 30 8 # its first entry
e2e_click_control "$win" editor.load
e2e_answer_box teams.lev Return
e2e_click_control "$win" editor.mapButton
e2e_wait_window map "Level Map" 20 "$pid"

e2e_log "each team's colour on its side of the map"
e2e_make_temp_dir shots
e2e_capture_window "$map" "$shots/map.png"
e2e_window_geometry "$map" x y w h
# The map fills the upper part of the window, the legend and the findings lie below 60 %.
half=$((w / 2))
upper=$((h * 60 / 100))
left_blue=$(count_colour "$shots/map.png" 0 0 "$half" "$upper" "$team1")
left_red=$(count_colour "$shots/map.png" 0 0 "$half" "$upper" "$team2")
right_blue=$(count_colour "$shots/map.png" "$half" 0 $((w - half)) "$upper" "$team1")
right_red=$(count_colour "$shots/map.png" "$half" 0 $((w - half)) "$upper" "$team2")
e2e_log "team 1 pixels: $left_blue left, $right_blue right; team 2 pixels: $left_red left, $right_red right"
((left_blue >= 50 && right_blue == 0)) || e2e_fail "team 1's colour is not (only) on the left"
((right_red >= 50 && left_red == 0)) || e2e_fail "team 2's colour is not (only) on the right"
# Both ships of a team: its colour in the upper and in the lower of the two rows.
split=$((upper * 55 / 100))
upper_blue=$(count_colour "$shots/map.png" 0 0 "$half" "$split" "$team1")
lower_blue=$(count_colour "$shots/map.png" 0 "$split" "$half" $((upper - split)) "$team1")
((upper_blue >= 25 && lower_blue >= 25)) ||
    e2e_fail "team 1's two ships are not both shown ($upper_blue and $lower_blue pixels)"

e2e_log "M mirrors the chosen ship about the middle (1000, 300); Ctrl+Z takes the copy back"
rows='[winfile]\r\nconquest.win\r\n[end]\r\nADD SHIP x= 0 y= 0 r=270 team=1 typ=1\r\nADD SHIP x= 0 y= 600 r=270 team=1 typ=1\r\nADD SHIP x= 2000 y= 0 r=90 team=2 typ=1\r\nADD SHIP x= 2000 y= 600 r=90 team=2 typ=1\r\n'
row_height=15 # at the layout font
e2e_focus "$win" # raised above the map for the clicks
e2e_click_in_control "$win" editor.inhalt 40 $((3 * row_height + row_height / 2))
e2e_key "$map" m
e2e_focus "$win"
e2e_click_control "$win" editor.save
e2e_answer_box teams.lev Return
e2e_expect_file_bytes "$game/levels/teams.lev" "${rows}ADD SHIP x= 2000 y= 600 r=90 team=2 typ=1\r\n"
e2e_key "$map" ctrl+z
e2e_focus "$win"
e2e_click_control "$win" editor.save
e2e_answer_box teams.lev Return
e2e_expect_file_bytes "$game/levels/teams.lev" "$rows"

e2e_log "closing the editor closes the map"
e2e_close_window "$win"
e2e_wait_exit "$pid" 10 status
[[ "$status" == 0 ]] || e2e_fail "tessavor ended with status $status"
e2e_log "passed"
