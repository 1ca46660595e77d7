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
$game/levels/bad.lev:4: error: lost.shp does not exist in the game folder" "" \
    -- --game-folder="$game" "$game/levels/bad.lev"

# Notes (the teams' ships differ) come only with --notes, and never change the exit status: a
# level with notes alone prints nothing.
printf '[winfile]\r\nwin.win\r\n[end]\r\nADD SHIP x= 0 y= 0 r=0 team=1 typ=1\r\n' >"$game/levels/unequal.lev"
expect "a level with notes alone" 0 "" "" -- --game-folder "$game" "$game/levels/unequal.lev"
expect "notes with --notes, after the level's other findings" 1 \
    "$game/levels/unequal.lev: note: team 2 has one typ 1 ship fewer than team 1
$game/levels/bad.lev: warning: the level has no [winfile] block
$game/levels/bad.lev:1: warning: cruiser.shp exists in the game folder only in other letter case
$game/levels/bad.lev:2: error: the row is neither a ship entry, a base entry, a section marker nor empty
$game/levels/bad.lev:3: error: the [shipfiles] block is not closed by [end]
$game/levels/bad.lev:4: error: lost.shp does not exist in the game folder
$game/levels/bad.lev: note: team 2 has one cruiser.shp ship fewer than team 1" "" \
    -- --notes --game-folder "$game" "$game/levels/unequal.lev" "$game/levels/bad.lev"

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
    "$game/levels/nl\\nfake.lev:9: error: injected.lev:1: error: the ship entry's x= value \" \\x1b[2J\" is not a number" \
    "" -- --game-folder "$game" "$game/levels/$forged"
# A backslash is written \\, so that a name holding \n reads apart from one holding a line end;
# a C1 control (U+0085, C2 85) and the last C0 control (1F) are escaped too, and a lone C2 stays.
for name in 'a\nb.lev' $'c1\xc2\x85.lev' $'us\x1f.lev' $'lone\xc2x.lev'; do : >"$game/levels/$name"; done
expect "a backslash, U+0085 and 1F in file names" 0 \
    "$game/levels/a\\\\nb.lev: warning: the level has no [winfile] block
$game/levels/c1\\u0085.lev: warning: the level has no [winfile] block
$game/levels/us\\x1f.lev: warning: the level has no [winfile] block
$game/levels/lone"$'\xc2'"x.lev: warning: the level has no [winfile] block" \
    "" -- --game-folder "$game" "$game/levels/a\nb.lev" "$game/levels/"$'c1\xc2\x85.lev' \
    "$game/levels/"$'us\x1f.lev' "$game/levels/"$'lone\xc2x.lev'
expect "a backslash in github's file=" 0 \
    "::warning file=$game/levels/a\\\\nb.lev,title=no-winfile::the level has no [winfile] block" \
    "" -- --format=github --game-folder "$game" "$game/levels/a\nb.lev"

# json: one document, parsed here. The example game's levels: their structure, a known rule, the
# tally. Then findings by row, and a level that cannot be read, named with a byte that is no
# UTF-8 and a quote: the document is still whole and valid, the level has its error and no
# findings, and the exit status is 2.
examples=$(cd "$(dirname "$0")/../../examples/game" && pwd)
(cd "$examples" && "$levelcheck" --format=json levels/level1.lev levels/training.lev) \
    >"$work/examples.json" 2>"$work/stderr"
status=$?
[[ $status == 0 && ! -s $work/stderr ]] || fail "json of the examples: exit status $status, $(cat "$work/stderr")"
python3 - "$work/examples.json" <<'EOF' || fail "json of the examples: $(cat "$work/examples.json")"
import json, sys
level1, training = json.load(open(sys.argv[1], encoding="utf-8"))
assert level1["path"] == "levels/level1.lev"
assert {"row": None, "severity": "note", "rule": "team-tally",
        "message": "team 2 has 2 typ 1 ships fewer than team 1"} in level1["findings"]
assert level1["tally"] == {"1": {"ships": 3, "kinds": {"typ=1": 2, "file=fighter.shp": 1}},
                           "2": {"ships": 2, "kinds": {"typ=2": 1, "sl=4": 1}}, "bases": 2}
assert [(f["row"], f["rule"]) for f in training["findings"]] == [(None, "no-winfile")]
EOF
unreadable=$'none\xff".lev'
"$levelcheck" --format=json --game-folder "$game" "$game/levels/bad.lev" "$game/levels/$unreadable" \
    "$game/levels/good.lev" >"$work/levels.json" 2>"$work/stderr"
status=$?
[[ $status == 2 ]] || fail "json with a level that cannot be read: exit status $status, not 2"
grep -q 'cannot load .*none' "$work/stderr" || fail "json: standard error was '$(cat "$work/stderr")'"
python3 - "$work/levels.json" "$game/levels/" <<'EOF' || fail "json by row: $(cat "$work/levels.json")"
import json, sys
bad, none, good = json.load(open(sys.argv[1], encoding="utf-8"))
levels = sys.argv[2]
assert [(f["row"], f["severity"], f["rule"]) for f in bad["findings"]] == [
    (None, "warning", "no-winfile"), (1, "warning", "file-case"), (2, "error", "unknown-row"),
    (3, "error", "open-block"), (4, "error", "missing-file"), (None, "note", "team-tally")]
assert bad["findings"][4]["message"] == "lost.shp does not exist in the game folder"
assert none == {"path": levels + 'none\ufffd".lev',
                "error": "cannot load " + levels + 'none\ufffd".lev: No such file or directory'}
assert good["findings"] == [] and good["tally"]["bases"] == 1
EOF

# sarif: one SARIF 2.1.0 log of one run, parsed here: the rules, a result for every finding (notes
# too), on its row or on row 1 for the level as a whole; a level inside the working folder by its
# relative URI, one outside by its file URI, percent-encoded; a level that cannot be read as the
# invocation's notification, with exit status 2.
mkdir -p "$work/out side"
: >"$game/levels/a:b.lev"
: >"$work/out side/a b%ö.lev"
(cd "$game" && "$levelcheck" --format=sarif levels/bad.lev "levels/$unreadable" levels/a:b.lev \
    "$work/out side/a b%ö.lev") >"$work/levels.sarif" 2>"$work/stderr"
status=$?
[[ $status == 2 ]] || fail "sarif with a level that cannot be read: exit status $status, not 2"
python3 - "$work/levels.sarif" "$game" "$work" <<'EOF' || fail "sarif: $(cat "$work/levels.sarif")"
import json, sys
from urllib.parse import quote
log = json.load(open(sys.argv[1], encoding="utf-8"))
game, work = sys.argv[2], sys.argv[3]
assert log["version"] == "2.1.0" and log["$schema"].endswith("sarif-schema-2.1.0.json")
(run,) = log["runs"]
driver = run["tool"]["driver"]
assert driver["name"] == "levelcheck"
rules = [rule["id"] for rule in driver["rules"]]
assert rules == ["open-block", "stray-end", "no-file-name", "missing-file", "file-case",
                 "blank-row", "unknown-row", "missing-field", "field-order", "text-before-x",
                 "not-a-number", "unknown-team", "type-beyond", "no-winfile", "far-off",
                 "team-tally", "no-mirror"], rules
assert all(rule["shortDescription"]["text"] for rule in driver["rules"])
assert run["originalUriBaseIds"]["%SRCROOT%"]["uri"] == "file://" + quote(game) + "/"
found = []
for result in run["results"]:
    assert rules[result["ruleIndex"]] == result["ruleId"]
    (location,) = result["locations"]
    artifact = location["physicalLocation"]["artifactLocation"]
    found.append((artifact["uri"], artifact.get("uriBaseId"), result["ruleId"], result["level"],
                  location["physicalLocation"]["region"]["startLine"]))
bad = ("levels/bad.lev", "%SRCROOT%")
outside = ("file://" + quote(work + "/out side/a b%ö.lev"), None)
assert found == [bad + ("no-winfile", "warning", 1), bad + ("file-case", "warning", 1),
                 bad + ("unknown-row", "error", 2), bad + ("open-block", "error", 3),
                 bad + ("missing-file", "error", 4), bad + ("team-tally", "note", 1),
                 ("levels/a%3Ab.lev", "%SRCROOT%", "no-winfile", "warning", 1),
                 outside + ("no-winfile", "warning", 1)], found
assert run["results"][4]["message"]["text"] == "lost.shp does not exist in the game folder"
(invocation,) = run["invocations"]
assert invocation["executionSuccessful"] is False
(unreadable,) = invocation["toolExecutionNotifications"]
assert unreadable["level"] == "error" and "none\ufffd" in unreadable["message"]["text"]
assert (unreadable["locations"][0]["physicalLocation"]["artifactLocation"]["uri"] ==
        "levels/none%FF%22.lev")
EOF
"$levelcheck" --format sarif --game-folder "$game" "$game/levels/good.lev" >"$work/good.sarif"
status=$?
python3 -c 'import json, sys; (run,) = json.load(open(sys.argv[1]))["runs"]
assert run["results"] == [] and run["invocations"][0]["executionSuccessful"] is True' \
    "$work/good.sarif" && [[ $status == 0 ]] || fail "sarif of a good level: $(cat "$work/good.sarif")"

# github: workflow commands, "," ":" and "%" of the path escaped in file=, "%" in the message;
# a finding on the level as a whole has no line=; a note is a ::notice.
printf 'ADD SHIP x= 0 y= 0 r=0 team=1 file=cruiser.shp\r\n[winfile]\r\n100%%.shp\r\n[end]\r\n' \
    >"$game/levels/a,b:c%.lev"
expect "github workflow commands with --notes and --summary" 1 \
    "::warning file=$game/levels/a%2Cb%3Ac%25.lev,line=1,title=file-case::cruiser.shp exists in the game folder only in other letter case
::error file=$game/levels/a%2Cb%3Ac%25.lev,line=3,title=missing-file::100%25.shp does not exist in the game folder
::notice file=$game/levels/a%2Cb%3Ac%25.lev,title=team-tally::team 2 has one cruiser.shp ship fewer than team 1
::notice file=$game/levels/a%2Cb%3Ac%25.lev,title=team tally::team 1: 1 ship (cruiser.shp ×1) · team 2: 0 ships · 0 bases" \
    "" -- --format github --notes --summary --game-folder "$game" "$game/levels/a,b:c%.lev"
expect "github without --notes" 0 "" "" -- --format=github --game-folder "$game" "$game/levels/unequal.lev"

expect "text with --summary" 0 \
    "$game/levels/good.lev: team 1: 1 ship (typ 2 ×1) · team 2: 1 ship (typ 2 ×1) · 1 base" "" \
    -- --summary --game-folder "$game" "$game/levels/good.lev"
expect "unknown format" 2 "" 'unknown format "xml" (text, json, github or sarif)' \
    -- --format=xml "$game/levels/good.lev"

expect_unwritten "findings to a full disk" "No space left on device" full \
    -- --game-folder "$game" "$game/levels/bad.lev"
expect_unwritten "findings with standard output closed" "Bad file descriptor" closed \
    -- --game-folder "$game" "$game/levels/bad.lev"
expect_unwritten "--help to a full disk" "No space left on device" full -- --help

"$levelcheck" --help >"$work/help"
status=$?
[[ $status == 0 ]] || fail "--help: exit status $status"
grep -q '^Usage: levelcheck \[--game-folder DIR\] \[--format FORMAT\] \[--notes\] \[--summary\] FILE' "$work/help" ||
    fail "--help: no usage line"
grep -q '^  2  ' "$work/help" || fail "--help: exit codes not described"

((failures == 0)) || exit 1
echo "levelcheck: all cases passed"
