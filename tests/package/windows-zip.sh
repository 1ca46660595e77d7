#!/usr/bin/env bash
# The Windows zip as a user gets it: unpacked into a fresh folder and run in a fresh Wine prefix
# with nothing else installed (no WINEPATH, no Qt, no compiler runtime), both programs started in
# a copy of the example game folder, each showing its window; levelcheck.exe checks a level.
# Run under Xvfb (make package-windows does, through tests/e2e/with-xvfb.sh).
#
#   tests/package/windows-zip.sh <leveltools-*-windows-x86_64.zip>
set -uo pipefail

zip=${1:?usage: $0 <zip>}
root=$(cd "$(dirname "$0")/../.." && pwd)
# shellcheck source=../e2e/e2e-lib.sh
source "$root/tests/e2e/e2e-lib.sh"
# shellcheck source=../e2e/wine-lib.sh
source "$root/tests/e2e/wine-lib.sh"
unset WINEPATH

e2e_make_temp_dir unpacked
unzip -q "$zip" -d "$unpacked" || e2e_fail "cannot unpack $zip"
folder=$(echo "$unpacked"/leveltools-*-windows-x86_64)
[[ -f "$folder/tessavor.exe" && -f "$folder/pallowick.exe" && -f "$folder/levelcheck.exe" ]] ||
    e2e_fail "the zip holds no folder with the three programs"
for text in README.txt SOURCE.txt COPYRIGHT.txt licences/Qt-LGPL-3.0-only.txt; do
    [[ -s "$folder/$text" ]] || e2e_fail "the zip has no $text"
done

e2e_wine_prefix prefix
e2e_make_game_folder game "$root/examples/game"
e2e_windows_path wgame "$game/"

e2e_start_wine pid "$game" "$prefix" "$folder/tessavor.exe"
e2e_wait_window win "Level Editor / $wgame" 60
e2e_log "tessavor.exe from the zip shows its window in $wgame"
kill "$pid"

e2e_start_wine pid "$game" "$prefix" "$folder/pallowick.exe"
e2e_wait_window win Levelselector 60
e2e_log "pallowick.exe from the zip shows its window"
kill "$pid"

report=$(cd "$game" && WINEPREFIX=$prefix WINEDEBUG=-all setarch "$(uname -m)" -R \
    /usr/lib/wine/wine64 "$folder/levelcheck.exe" 'levels\level1.lev' 2>&1)
status=$?
((status <= 1)) || e2e_fail "levelcheck.exe ended with status $status: $report"
e2e_log "levelcheck.exe from the zip checks a level (status $status)"
e2e_log "passed"
