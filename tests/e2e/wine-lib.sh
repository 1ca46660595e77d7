# shellcheck shell=bash
# The end-to-end library's part for Windows programs under Wine (sourced after e2e-lib.sh).
#
# Wine makes its own windows on the X server: a top-level window's X window is its client area,
# while a window Wine draws the frame of itself (a tool window, a dialog) holds its frame, so its
# client area is found from the frame's sides (e2e_wine_client_offset).

# e2e_wine_prefix VAR: a fresh Wine prefix, removed at exit, with Wine's services running (they
# are stopped at exit).
e2e_wine_prefix() {
    local _e2e_prefix
    e2e_make_temp_dir _e2e_prefix
    WINEPREFIX=$_e2e_prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
        setarch "$(uname -m)" -R /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 ||
        e2e_fail "wineboot failed in $_e2e_prefix"
    _e2e_wine_prefixes+=("$_e2e_prefix")
    printf -v "$1" '%s' "$_e2e_prefix"
}
_e2e_wine_prefixes=()
_e2e_wine_stop() {
    local prefix
    for prefix in "${_e2e_wine_prefixes[@]}"; do
        WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null
    done
}
trap '_e2e_status=$?; _e2e_wine_stop; (exit $_e2e_status); _e2e_cleanup' EXIT

# e2e_windows_path VAR PATH: the path as a Windows program under Wine sees it (Z:\tmp\...).
e2e_windows_path() {
    printf -v "$1" 'Z:%s' "${2//\//\\}"
}

# e2e_start_wine VAR FOLDER PREFIX PROGRAM.exe [ARG...]: starts a Windows program under Wine in
# the prefix, with FOLDER as its working folder (see e2e_start), on Qt's windows platform. With
# E2E_WINE_RUN (cmake/wine-run) the program finds the compiler's runtime and the DLLs of
# WINE_DLL_DIRS (a build's programs); without it only what lies beside it (an unpacked zip).
e2e_start_wine() {
    local _e2e_var=$1 _e2e_folder=$2 _e2e_prefix=$3
    shift 3
    if [[ -n "${E2E_WINE_RUN:-}" ]]; then
        e2e_start "$_e2e_var" "$_e2e_folder" /usr/bin/env QT_QPA_PLATFORM=windows \
            "$E2E_WINE_RUN" "$_e2e_prefix" "$@"
    else
        # Wine hands WINEQT_… to the program as QT_… (it keeps Unix's own QT_ variables from it).
        e2e_start "$_e2e_var" "$_e2e_folder" /usr/bin/env WINEPREFIX="$_e2e_prefix" WINEDEBUG=-all \
            WINEDLLOVERRIDES="mscoree,mshtml=" WINEPATH= WINEQT_QPA_PLATFORM=windows \
            setarch "$(uname -m)" -R /usr/lib/wine/wine64 "$@"
    fi
}

# e2e_wine_client_offset ID NAME XVAR YVAR: where the client area of the window (the layout
# table's row NAME, e.g. selector.Form1) starts inside its X window: nothing for a window without
# a frame, else the frame's side and the side plus the caption.
e2e_wine_client_offset() {
    local _e2e_wx _e2e_wy _e2e_ww _e2e_wh _e2e_wplace _e2e_cw _e2e_ch _e2e_side
    e2e_window_geometry "$1" _e2e_wx _e2e_wy _e2e_ww _e2e_wh
    e2e_control _e2e_wplace "$2"
    _e2e_cw=$(e2e_px "${_e2e_wplace[2]}")
    _e2e_ch=$(e2e_px "${_e2e_wplace[3]}")
    _e2e_side=$(((_e2e_ww - _e2e_cw) / 2))
    printf -v "$3" '%s' "$_e2e_side"
    printf -v "$4" '%s' "$((_e2e_wh - _e2e_ch - _e2e_side))"
}

# e2e_wine_click_control ID WINDOW NAME: clicks the middle of the control of the layout's row NAME
# in the window whose client area is the layout's row WINDOW (e.g. selector.Form1).
e2e_wine_click_control() {
    local _e2e_dx _e2e_dy _e2e_cplace
    e2e_wine_client_offset "$1" "$2" _e2e_dx _e2e_dy
    e2e_control _e2e_cplace "$3"
    e2e_click "$1" $((_e2e_dx + $(e2e_px "${_e2e_cplace[0]}") + $(e2e_px "${_e2e_cplace[2]}") / 2)) \
        $((_e2e_dy + $(e2e_px "${_e2e_cplace[1]}") + $(e2e_px "${_e2e_cplace[3]}") / 2))
}
