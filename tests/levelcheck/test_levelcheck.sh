#!/usr/bin/env bash
# levelcheck on real files: its output lines and exit codes.
# Argument: the levelcheck program.
set -uo pipefail

levelcheck=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# expect NAME STATUS EXPECTED-STDOUT [STDERR-PATTERN] -- ARGUMENTS...
expect() {
    local name=$1 status=$2 out=$3 err=$4
    shift 5
    local got_out got_err got_status
    got_out=$("$levelcheck" "$@" 2>"$work/stderr")
    got_status=$?
    got_err=$(cat "$work/stderr")
    [[ $got_status == "$status" ]] || fail "$name: exit status $got_status, not $status"
    [[ $got_out == "$out" ]] || fail "$name: output was"$'\n'"$got_out"$'\n'"instead of"$'\n'"$out"
    if [[ -n $err ]]; then
        [[ $got_err == *$err* ]] || fail "$name: standard error '$got_err' lacks '$err'"
    else
        [[ -z $got_err ]] || fail "$name: unexpected standard error '$got_err'"
    fi
}

# expect_unwritten NAME REASON OUTPUT -- ARGUMENTS...: the report cannot be written to OUTPUT,
# "full" (a full disk: /dev/full) or "closed" (standard output closed); that is said, and the
# exit status is 2 whatever the levels hold.
expect_unwritten() {
    local name=$1 reason=$2 output=$3
    shift 4
    local got_status got_err
    if [[ $output == full ]]; then
        "$levelcheck" "$@" >/dev/full 2>"$work/stderr"
    else
        "$levelcheck" "$@" >&- 2>"$work/stderr"
    fi
    got_status=$?
    got_err=$(cat "$work/stderr")
    [[ $got_status == 2 ]] || fail "$name: exit status $got_status, not 2"
    [[ $got_err == "levelcheck: cannot write the report: $reason" ]] ||
        fail "$name: standard error was '$got_err'"
}

game=$work/game
mkdir -p "$game/levels"
touch "$game/fighter.shp" "$game/Cruiser.shp" "$game/base1.bs" "$game/win.win" "$game/größe.shp"
# Level files are Windows-1252 with CR LF: "größe.shp" is g r \xF6 \xDF e. The good level's
# teams are equal and mirror each other about the base, so that it has no finding at all.
printf '[shipfiles]\r\nfighter.shp\r\ngr\xf6\xdfe.shp\r\n[end]\r\n[winfile]\r\nwin.win\r\n[end]\r\nADD BASE  x=0 y=0 file=base1.bs\r\nADD SHIP x= 1 y=-2 r=0 team=1 typ=2\r\nADD SHIP x=-1 y= 2 r=180 team=2 typ=2\r\n' \
    >"$game/levels/good.lev"
printf 'ADD SHIP x= 0 y= 0 r=0 team=1 file=cruiser.shp\r\nADD SHP x= 0\r\n[shipfiles]\r\nlost.shp\r\n' \
    >"$game/levels/bad.lev"
yes '' | head -n 32768 >"$game/levels/long.lev"

expect "good level" 0 "" "" -- --game-folder "$game" "$game/levels/good.lev"

expect "level with errors, game folder given with =" 1 \
    "$game/levels/bad.lev: warning: the level has no [winfile] block
$game/levels/bad.lev:1: warning: cruiser.shp exists in the game folder only in other letter case
$game/levels/bad.lev:2: error: the row is neither a ship entry, a base entry, a section marker nor empty
$game/levels/bad.lev:3: error: the [shipfiles] block is not closed by [end]
$game/levels/bad.lev:4: error: lost.shp does not exist in the game folder
$game/levels/bad.lev: warning: team 2 has one cruiser.shp ship fewer than team 1" "" \
    -- --game-folder="$game" "$game/levels/bad.lev"

# The game folder is the current folder unless given.
(cd "$game" && expect "the current folder as game folder" 0 "" "" -- levels/good.lev && ((failures == 0))) ||
    failures=$((failures + 1))

expect "a missing level among good ones" 2 "" "cannot load $game/levels/none.lev: No such file or directory" \
    -- --game-folder "$game" "$game/levels/good.lev" "$game/levels/none.lev" "$game/levels/good.lev"
expect "a level beyond 32,767 lines" 2 "" "$game/levels/long.lev: the file has more than 32,767 lines" \
    -- --game-folder "$game" "$game/levels/long.lev"
expect "a missing game folder" 2 "" "cannot read the game folder $work/none: No such file or directory" \
    -- --game-folder "$work/none" "$game/levels/good.lev"
expect "no level" 2 "" "no level file given" -- --game-folder "$game"
expect "unknown option" 2 "" "unknown option --fast" -- --fast "$game/levels/good.lev"
expect "a file after --" 2 "" "cannot load -x.lev: No such file or directory" -- -- -x.lev
expect "option without its folder" 2 "" "--game-folder needs a folder" -- "$game/levels/good.lev" --game-folder

# Names and quoted row texts cannot end a line or reach the terminal as control characters.
forged=$'nl\nfake.lev:9: error: injected.lev'
printf 'ADD SHIP x= \x1b[2J y= 0 r=0 team=1 typ=1\r\n[winfile]\r\nwin.win\r\n[end]\r\n' \
    >"$game/levels/$forged"
expect "control characters in the file name and in a quoted value" 1 \
    "$game/levels/nl\\nfake.lev:9: error: injected.lev:1: error: the ship entry's x= value \" \\x1b[2J\" is not a number
$game/levels/nl\\nfake.lev:9: error: injected.lev: warning: team 2 has one typ 1 ship fewer than team 1" \
    "" -- --game-folder "$game" "$game/levels/$forged"

expect_unwritten "findings to a full disk" "No space left on device" full \
    -- --game-folder "$game" "$game/levels/bad.lev"
expect_unwritten "findings with standard output closed" "Bad file descriptor" closed \
    -- --game-folder "$game" "$game/levels/bad.lev"
expect_unwritten "--help to a full disk" "No space left on device" full -- --help

"$levelcheck" --help >"$work/help"
status=$?
[[ $status == 0 ]] || fail "--help: exit status $status"
grep -q '^Usage: levelcheck \[--game-folder DIR\] FILE' "$work/help" || fail "--help: no usage line"
grep -q '^  2  ' "$work/help" || fail "--help: exit codes not described"

((failures == 0)) || exit 1
echo "levelcheck: all cases passed"
