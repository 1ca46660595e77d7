# Unsaved rows after a crash: a level loaded, two ships added, the editor killed (kill -9) once
# the recovery file is written; started again in the same folder, it offers the rows, Yes puts
# them back without touching the level file, and a save writes them. A second editor running
# meanwhile never takes the first one's rows. Arguments: <tessavor> <pallowick>; E2E_LIB comes
# from the environment.
set -uo pipefail
# shellcheck source=e2e-lib.sh
source "$E2E_LIB"

tessavor=$1
recoveries=$XDG_STATE_HOME/leveltools/recovery
ship='ADD SHIP x= 0 y= 0 r=0 team=1 typ=1\r\n'

# e2e_wait_recovery TIMEOUT: waits until the recovery folder holds a recovery file.
wait_recovery() {
    local deadline=$((SECONDS + $1))
    until compgen -G "$recoveries/*.lev-recovery" >/dev/null; do
        ((SECONDS < deadline)) || e2e_fail "no recovery file in $recoveries after ${1}s"
        sleep 0.1
    done
}

e2e_make_game_folder game
printf '[winfile]\r\nconquest.win\r\n[end]\r\n' >"$game/base.lev"
before=$(od -An -tx1 "$game/base.lev")

e2e_start pid "$game" "$tessavor"
e2e_wait_window win "Level Editor / $game/" 20 "$pid"
e2e_log "load base.lev, ADD SHIP twice, kill -9 once the recovery is written"
e2e_click_in_control "$win" editor.File1 30 8 # its first entry
e2e_click_control "$win" editor.load
e2e_answer_box base.lev Return
e2e_click_control "$win" editor.s1
e2e_click_control "$win" editor.s1
wait_recovery 10
kill -9 "$pid"
e2e_wait_exit "$pid" 10

e2e_log "a second editor in another folder leaves it alone"
e2e_make_game_folder other
e2e_start otherpid "$other" "$tessavor"
e2e_wait_window otherwin "Level Editor / $other/" 20 "$otherpid"
# A key typed into its file list sets its title (97 for a): it has looked at the recoveries
# before it takes a key, and let go of the one it does not own.
e2e_click_in_control "$otherwin" editor.File1 30 60
e2e_key "$otherwin" a
e2e_wait_window otherwin 97 10 "$otherpid"

e2e_log "started again: the rows are offered; Yes restores them, the file stays as it was"
# Under a window manager, which places the window only once it is shown.
e2e_start_window_manager
e2e_start pid "$game" "$tessavor"
e2e_wait_window box base.lev 20
e2e_wait_window win "Level Editor / $game/" 20 "$pid"
# The question opens over the editor's window, not where the window stood before it was placed.
e2e_window_geometry "$box" bx by bw bh
e2e_window_geometry "$win" wx wy ww wh
((bx >= wx && by >= wy && bx + bw <= wx + ww && by + bh <= wy + wh)) ||
    e2e_fail "the question at $bx,$by (${bw}x$bh) is not over the window at $wx,$wy (${ww}x$wh)"
e2e_key "$box" y
e2e_wait_window_gone "$box"
[[ $(od -An -tx1 "$game/base.lev") == "$before" ]] || e2e_fail "the restore wrote base.lev"
[[ ! -e "$game/levels/base.lev" ]] || e2e_fail "the restore wrote levels/base.lev"

e2e_log "save: the rows before the kill"
e2e_click_in_control "$win" editor.File1 30 8
e2e_click_control "$win" editor.save
e2e_answer_box base.lev Return
e2e_expect_file_bytes "$game/levels/base.lev" "[winfile]\r\nconquest.win\r\n[end]\r\n$ship$ship"

e2e_close_window "$win"
e2e_wait_exit "$pid" 10
e2e_close_window "$otherwin"
e2e_wait_exit "$otherpid" 10
! compgen -G "$recoveries/*.lev-recovery" >/dev/null || e2e_fail "recovery files stayed behind"
e2e_log "passed"
