# Both Windows programs as a Windows user starts them, on the platform and in the style Qt takes
# by itself (the windows platform, the windowsvista style), under Wine on Xvfb: every control of
# their windows, as the screen shows it, is drawn, and the editor's tab strip shows its four
# captions. Arguments: <tessavor.exe> <pallowick.exe>; E2E_LIB, E2E_WINE_LIB, E2E_WINE_RUN,
# E2E_WINE_PREFIX and EXAMPLE_GAME come from the environment.
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

# No platform and no style chosen for the programs; Wine names each DLL they load, so that the
# style's own is seen loaded (without it, Qt would fall back to the windows style unnoticed).
unset QT_QPA_PLATFORM QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE
export WINE_RUN_DEBUG=+loaddll
vista='Loaded L".*\\qwindowsvistastyle\.dll"'

# window_controls WINDOW: prints the layout's rows of the window's controls, one a line.
window_controls() {
    local name rest
    while read -r name rest; do
        [[ $name == "$1".* && $name != "$1.Form1" ]] && echo "$name"
    done <<<"$e2e_layout"
}

e2e_log "tessavor.exe: every control drawn, the tab strip with its four captions"
e2e_make_game_folder game "${EXAMPLE_GAME:-}"
e2e_windows_path wgame "$game/"
e2e_start pid "$game" "$E2E_WINE_RUN" "$prefix" "$tessavor"
e2e_wait_window win "Level Editor / $wgame" 60
e2e_wait_output "$pid" "$vista"
mapfile -t controls < <(window_controls editor | sed 's/^editor\.TabStrip1$/&:4/')
e2e_wine_client_offset "$win" editor.Form1 dx dy
e2e_wait_drawn "$win" "$dx" "$dy" 60 "${controls[@]}"
e2e_close_window "$win"
e2e_wait_exit "$pid" 20

e2e_log "pallowick.exe: every control drawn"
e2e_start pid "$game" "$E2E_WINE_RUN" "$prefix" "$pallowick"
e2e_wait_window win Levelselector 60
e2e_wait_output "$pid" "$vista"
mapfile -t controls < <(window_controls selector)
e2e_wine_client_offset "$win" selector.Form1 dx dy
e2e_wait_drawn "$win" "$dx" "$dy" 60 "${controls[@]}"
e2e_close_window "$win"
e2e_wait_exit "$pid" 20

e2e_log "passed"
