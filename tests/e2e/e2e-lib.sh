# shellcheck shell=bash
# End-to-end test library: drives the real programs on an X server (usually the Xvfb of
# with-xvfb.sh) with real mouse clicks and key presses through xdotool, and checks files byte for
# byte.
#
# Use:   source "$E2E_LIB"
#
# Every function fails the whole test (exit 1, with a message naming what was expected) instead of
# returning an error, so a test script is a plain sequence of steps. On exit, whatever way it comes,
# the processes the test started are ended and the temporary folders are removed.
#
# Conventions:
#   - Functions that produce a value store it in a variable whose name the caller passes
#     (e2e_make_game_folder game  ->  $game). They are never run in $(...), so that the cleanup
#     bookkeeping stays in the test's own shell. Their own locals start with _e2e_, so they never
#     hide the caller's variable; callers must not use names that start with _e2e_.
#   - Window ids are X window ids as xdotool prints them (decimal).
#   - Positions inside a window are client-area coordinates. The layout tables of the programs
#     are in twips; 15 twips are one pixel, rounded to the nearest pixel like widgets/geometry.h.
#     A test names the controls it uses by their rows in layout.sh (editor.load,
#     selector.Command1), which holds their places as those tables give them.
#   - Timeouts are in seconds; E2E_TIMEOUT (default 20) is the default for every wait.
#
# There is no window manager under plain Xvfb. So:
#   - windows have no frame: the client-area origin is the window's own position on the root;
#   - windows appear where the program places them (a centred window really is centred);
#   - nothing gives a window the keyboard focus on its own, and _NET_ACTIVE_WINDOW (xdotool
#     windowactivate) has nobody to answer it. e2e_focus sets the X input focus directly
#     (xdotool windowfocus, i.e. XSetInputFocus) and waits until it is there; Qt takes that as its
#     window becoming active. e2e_key and e2e_type focus the window first, then send real key
#     events through XTEST;
#   - there is no close box to click: e2e_close_window sends WM_DELETE_WINDOW to the window, which
#     is exactly what a window manager's close box does.
#
# Needs: xdotool, xwininfo and xprop (x11-utils), xmodmap (x11-xserver-utils), od and cmp (coreutils, diffutils), python3
# (only e2e_close_window and e2e_wait_drawn), ImageMagick's import (only e2e_capture_window and
# e2e_wait_drawn).

E2E_TIMEOUT=${E2E_TIMEOUT:-20}

# shellcheck source=layout.sh
source "$(dirname "${BASH_SOURCE[0]}")/layout.sh"

# Qt must talk to the X server, not draw offscreen; no desktop theme plugin; UTF-8 file names.
export QT_QPA_PLATFORM=xcb
export QT_QPA_PLATFORMTHEME=
export LC_ALL=C.UTF-8

_e2e_pids=()    # processes started by e2e_start
_e2e_dirs=()    # temporary folders made by e2e_make_temp_dir
_e2e_logs=()    # output files of the started processes

e2e_log() {
    printf 'e2e: %s\n' "$*" >&2
}

# e2e_fail MESSAGE...: reports the failure, shows the started programs' output, ends the test.
e2e_fail() {
    printf 'e2e: FAIL: %s\n' "$*" >&2
    local log
    for log in "${_e2e_logs[@]}"; do
        if [[ -s "$log" ]]; then
            printf 'e2e: output of %s:\n' "$(basename "$log" .log)" >&2
            sed 's/^/    /' "$log" >&2
        fi
    done
    exit 1
}

_e2e_cleanup() {
    local status=$?
    local pid
    for pid in "${_e2e_pids[@]}"; do
        if kill -0 "$pid" 2>/dev/null; then
            kill -TERM "$pid" 2>/dev/null
            for _ in 1 2 3 4 5 6 7 8 9 10; do
                kill -0 "$pid" 2>/dev/null || break
                sleep 0.1
            done
            kill -KILL "$pid" 2>/dev/null
        fi
        wait "$pid" 2>/dev/null
    done
    local dir
    for dir in "${_e2e_dirs[@]}"; do
        # A test may have made files read-only; the owner can still remove them.
        [[ -d "$dir" ]] && chmod -R u+rwX "$dir" 2>/dev/null
        rm -rf -- "$dir"
    done
    return "$status"
}
trap _e2e_cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || e2e_fail "needs '$tool' (see scripts/install-deps)"
    done
}

e2e_require xdotool xwininfo xprop xmodmap od cmp
[[ -n "${DISPLAY:-}" ]] || e2e_fail "no X display: run the test under tests/e2e/with-xvfb.sh"

# e2e_make_temp_dir VAR: a new empty temporary folder, removed at exit.
e2e_make_temp_dir() {
    local _e2e_tmp
    _e2e_tmp=$(mktemp -d "${TMPDIR:-/tmp}/e2e.XXXXXXXX") || e2e_fail "cannot make a temporary folder"
    _e2e_dirs+=("$_e2e_tmp")
    printf -v "$1" '%s' "$_e2e_tmp"
}

# A private home for the programs under test: neither the user's settings nor the history that
# Qt's file dialog keeps there take part, nor the user's recovery files.
e2e_make_temp_dir _e2e_home
export HOME=$_e2e_home XDG_CONFIG_HOME=$_e2e_home/.config XDG_CACHE_HOME=$_e2e_home/.cache \
    XDG_DATA_HOME=$_e2e_home/.local/share XDG_STATE_HOME=$_e2e_home/.local/state

# e2e_make_game_folder VAR [SOURCE]: a temporary game folder with a levels/ subfolder; with
# SOURCE (for example "$EXAMPLE_GAME"), a copy of that folder's content.
e2e_make_game_folder() {
    local _e2e_source=${2:-} _e2e_dir
    e2e_make_temp_dir _e2e_dir
    _e2e_dir="$_e2e_dir/game"
    mkdir "$_e2e_dir" || e2e_fail "cannot make $_e2e_dir"
    if [[ -n "$_e2e_source" ]]; then
        [[ -d "$_e2e_source" ]] || e2e_fail "no such game folder to copy: $_e2e_source"
        cp -R -- "$_e2e_source/." "$_e2e_dir/" || e2e_fail "cannot copy $_e2e_source"
    fi
    mkdir -p "$_e2e_dir/levels" || e2e_fail "cannot make $_e2e_dir/levels"
    printf -v "$1" '%s' "$_e2e_dir"
}

# e2e_start VAR FOLDER PROGRAM [ARG...]: starts PROGRAM in the background with FOLDER as its
# working folder; VAR receives its process id. Its output goes to a log that e2e_fail shows.
e2e_start() {
    local _e2e_var=$1 _e2e_folder=$2 _e2e_program=$3
    shift 3
    [[ -x "$_e2e_program" ]] || e2e_fail "not an executable program: $_e2e_program"
    [[ -d "$_e2e_folder" ]] || e2e_fail "no such folder: $_e2e_folder"
    local _e2e_logdir _e2e_log
    e2e_make_temp_dir _e2e_logdir
    _e2e_log="$_e2e_logdir/$(basename "$_e2e_program").log"
    (cd "$_e2e_folder" && exec "$_e2e_program" "$@") >"$_e2e_log" 2>&1 &
    local _e2e_pid=$!
    _e2e_pids+=("$_e2e_pid")
    _e2e_logs+=("$_e2e_log")
    printf -v "$_e2e_var" '%s' "$_e2e_pid"
}

# e2e_wait_output PID PATTERN [TIMEOUT]: waits until the output of the process (started by
# e2e_start) holds a line that matches the extended regular expression PATTERN.
e2e_wait_output() {
    local pid=$1 pattern=$2 timeout=${3:-$E2E_TIMEOUT} i log=
    for i in "${!_e2e_pids[@]}"; do
        [[ ${_e2e_pids[i]} == "$pid" ]] && log=${_e2e_logs[i]}
    done
    [[ -n $log ]] || e2e_fail "no process $pid was started by e2e_start"
    local deadline=$((SECONDS + timeout))
    until grep -Eq -- "$pattern" "$log"; do
        ((SECONDS < deadline)) || e2e_fail "process $pid wrote no line like '$pattern' within ${timeout}s"
        sleep 0.1
    done
}

# e2e_is_running PID: true while the process lives.
e2e_is_running() {
    kill -0 "$1" 2>/dev/null
}

# e2e_wait_exit PID [TIMEOUT] [VAR]: waits until the process has ended; fails after TIMEOUT.
# VAR, if given, receives its exit status.
e2e_wait_exit() {
    local _e2e_pid=$1 _e2e_timeout=${2:-$E2E_TIMEOUT} _e2e_var=${3:-}
    local _e2e_deadline=$((SECONDS + _e2e_timeout))
    while e2e_is_running "$_e2e_pid"; do
        ((SECONDS < _e2e_deadline)) || e2e_fail "process $_e2e_pid still runs after ${_e2e_timeout}s"
        sleep 0.1
    done
    local _e2e_status=0
    wait "$_e2e_pid" 2>/dev/null || _e2e_status=$?
    [[ -n "$_e2e_var" ]] && printf -v "$_e2e_var" '%s' "$_e2e_status"
    return 0
}

# e2e_expect_running PID WHAT: fails with WHAT when the process has ended.
e2e_expect_running() {
    e2e_is_running "$1" || e2e_fail "process $1 has ended: $2"
}

# Escapes a text for an extended regular expression, for exact title matches.
_e2e_regex_quote() {
    # shellcheck disable=SC2001,SC2016
    sed 's/[][\.|$(){}?+*^]/\\&/g' <<<"$1"
}

# _e2e_search ARG...: xdotool search ARG... once, printing the ids found; false when none.
# xdotool gives up on an X error when a window it is looking at goes away under it (BadWindow
# while another program's windows close); such a search is run again rather than taken as "none".
_e2e_search() {
    local _e2e_out _e2e_try
    for _e2e_try in 1 2 3 4 5 6 7 8 9 10; do
        if _e2e_out=$(xdotool search "$@" 2>&1); then
            grep -E '^[0-9]+$' <<<"$_e2e_out"
            return
        fi
        [[ $_e2e_out == *"X Error"* ]] || return 1
        sleep 0.05
    done
    return 1
}

# e2e_wait_window VAR TITLE [TIMEOUT] [PID]: waits until a visible window has exactly TITLE as
# its title (and, with PID, belongs to that process); VAR receives its id. With several, the last
# mapped one wins (a message box opened over its window).
e2e_wait_window() {
    local _e2e_var=$1 _e2e_title=$2 _e2e_timeout=${3:-$E2E_TIMEOUT} _e2e_pid=${4:-}
    local _e2e_pattern _e2e_ids
    _e2e_pattern="^$(_e2e_regex_quote "$_e2e_title")\$"
    local _e2e_args=(--onlyvisible)
    # --all: the window must have the title and belong to the process (xdotool defaults to either).
    [[ -n "$_e2e_pid" ]] && _e2e_args+=(--all --pid "$_e2e_pid")
    _e2e_args+=(--name "$_e2e_pattern")
    local _e2e_deadline=$((SECONDS + _e2e_timeout))
    until _e2e_ids=$(_e2e_search "${_e2e_args[@]}"); do
        ((SECONDS < _e2e_deadline)) || e2e_fail "no window titled '$_e2e_title' within ${_e2e_timeout}s"
        sleep 0.1
    done
    printf -v "$_e2e_var" '%s' "$(tail -n 1 <<<"$_e2e_ids")"
}

# e2e_expect_no_window TITLE: fails when a visible window has exactly TITLE as its title.
e2e_expect_no_window() {
    local pattern
    pattern="^$(_e2e_regex_quote "$1")\$"
    if _e2e_search --onlyvisible --name "$pattern" >/dev/null; then
        e2e_fail "unexpected window titled '$1'"
    fi
}

# e2e_window_title ID: prints the window's title.
e2e_window_title() {
    xdotool getwindowname "$1" 2>/dev/null || e2e_fail "window $1 is gone"
}

# e2e_start_window_manager: starts openbox, ended with the test's processes; from then on windows
# have frames and are placed by it. Returns once it announces itself.
e2e_start_window_manager() {
    e2e_require openbox
    local home deadline=$((SECONDS + E2E_TIMEOUT))
    e2e_make_temp_dir home
    HOME=$home openbox --sm-disable >/dev/null 2>&1 &
    _e2e_pids+=($!)
    _e2e_logs+=(/dev/null) # one log for each process
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        ((SECONDS < deadline)) || e2e_fail "openbox did not start"
        sleep 0.1
    done
}

# e2e_window_geometry ID XVAR YVAR WVAR HVAR: the client area's position on the screen and its
# size in pixels. xwininfo reports the absolute position also when a window manager has put a
# frame around the window.
e2e_window_geometry() {
    local _e2e_info _e2e_x _e2e_y _e2e_w _e2e_h
    _e2e_info=$(xwininfo -id "$1" 2>/dev/null) || e2e_fail "window $1 is gone"
    _e2e_x=$(awk -F: '/Absolute upper-left X/ {gsub(/ /, "", $2); print $2}' <<<"$_e2e_info")
    _e2e_y=$(awk -F: '/Absolute upper-left Y/ {gsub(/ /, "", $2); print $2}' <<<"$_e2e_info")
    _e2e_w=$(awk -F: '/^ *Width/ {gsub(/ /, "", $2); print $2}' <<<"$_e2e_info")
    _e2e_h=$(awk -F: '/^ *Height/ {gsub(/ /, "", $2); print $2}' <<<"$_e2e_info")
    [[ -n "$_e2e_x" && -n "$_e2e_y" && -n "$_e2e_w" && -n "$_e2e_h" ]] ||
        e2e_fail "cannot read the geometry of window $1"
    printf -v "$2" '%s' "$_e2e_x"
    printf -v "$3" '%s' "$_e2e_y"
    printf -v "$4" '%s' "$_e2e_w"
    printf -v "$5" '%s' "$_e2e_h"
}

# e2e_px TWIPS: prints the pixels for TWIPS, rounded to the nearest pixel as the programs do.
e2e_px() {
    local t=$1
    if ((t >= 0)); then echo $(((t + 7) / 15)); else echo $(((t - 7) / 15)); fi
}

# e2e_expect_window_size ID NAME: the client area has exactly the size of the layout's row NAME
# (editor.Form1, selector.Form1).
e2e_expect_window_size() {
    local x y w h place
    e2e_window_geometry "$1" x y w h
    e2e_control place "$2"
    local ew eh
    ew=$(e2e_px "${place[2]}")
    eh=$(e2e_px "${place[3]}")
    [[ "$w" == "$ew" && "$h" == "$eh" ]] || e2e_fail "window $1 is ${w}x${h} pixels, expected" \
        "${ew}x${eh} (${place[2]} x ${place[3]} twips)"
}

# e2e_expect_centred ID: the window lies in the middle of the screen (to one pixel).
e2e_expect_centred() {
    local x y w h sw sh
    e2e_window_geometry "$1" x y w h
    read -r sw sh < <(xdotool getdisplaygeometry)
    local dx=$((2 * x + w - sw)) dy=$((2 * y + h - sh))
    ((dx >= -2 && dx <= 2 && dy >= -2 && dy <= 2)) ||
        e2e_fail "window $1 at $x,$y size ${w}x${h} is not centred on the ${sw}x${sh} screen"
}

# e2e_expect_fixed_size ID: the window tells the window manager that it cannot be resized: its
# WM_NORMAL_HINTS minimum and maximum sizes are both its current size. (Without a window manager
# nobody enforces the hints, so resizing the X window from outside would prove nothing.)
e2e_expect_fixed_size() {
    local x y w h hints
    e2e_window_geometry "$1" x y w h
    hints=$(xprop -id "$1" WM_NORMAL_HINTS 2>/dev/null) || e2e_fail "window $1 is gone"
    if ! grep -q "minimum size: $w by $h" <<<"$hints" ||
        ! grep -q "maximum size: $w by $h" <<<"$hints"; then
        e2e_fail "window $1 (${w}x${h}) can be resized; its hints are:
$hints"
    fi
}

# e2e_focus ID: gives the window the keyboard focus and waits until it has it.
e2e_focus() {
    local id=$1
    xdotool windowraise "$id" 2>/dev/null
    timeout "$E2E_TIMEOUT" xdotool windowfocus --sync "$id" 2>/dev/null ||
        e2e_fail "window $id did not take the keyboard focus"
    local focused
    focused=$(xdotool getwindowfocus 2>/dev/null)
    [[ "$focused" == "$id" ]] || e2e_fail "focus is on window $focused, not $id"
    # Qt activates its window when the FocusIn event arrives; the X server delivers that event
    # before any key pressed from now on, so nothing needs to wait here.
}

# e2e_click ID X Y [BUTTON]: clicks at pixel X,Y of the window's client area.
e2e_click() {
    local id=$1 cx=$2 cy=$3 button=${4:-1}
    local x y w h
    e2e_window_geometry "$id" x y w h
    ((cx >= 0 && cy >= 0 && cx < w && cy < h)) ||
        e2e_fail "click at $cx,$cy lies outside window $id (${w}x${h})"
    # "mousemove --sync" waits for the pointer to move, which it never does when it is there
    # already (the same button clicked twice in a row): move only when it is elsewhere.
    local X Y SCREEN WINDOW
    eval "$(xdotool getmouselocation --shell 2>/dev/null)"
    if [[ "${X:-}" != $((x + cx)) || "${Y:-}" != $((y + cy)) ]]; then
        xdotool mousemove --sync $((x + cx)) $((y + cy)) || e2e_fail "cannot move the mouse"
    fi
    xdotool click "$button" || e2e_fail "cannot click"
}

# e2e_click_twips ID LEFT TOP WIDTH HEIGHT: clicks the middle of a control given as in the
# layout tables (twips, relative to the client area).
e2e_click_twips() {
    local id=$1 left top width height
    left=$(e2e_px "$2")
    top=$(e2e_px "$3")
    width=$(e2e_px "$4")
    height=$(e2e_px "$5")
    e2e_click "$id" $((left + width / 2)) $((top + height / 2))
}

# e2e_click_control ID NAME: clicks the middle of the control of the layout's row NAME.
e2e_click_control() {
    local place
    e2e_control place "$2"
    e2e_click_twips "$1" "${place[@]}"
}

# e2e_click_in_control ID NAME X Y: clicks X,Y pixels from the top-left corner of the control of
# the layout's row NAME (a row of a list, say).
e2e_click_in_control() {
    local place
    e2e_control place "$2"
    e2e_click "$1" $(($(e2e_px "${place[0]}") + $3)) $(($(e2e_px "${place[1]}") + $4))
}

# e2e_key ID KEY...: presses keys (xdotool names: Return, Escape, Tab, alt+F4, ...) in the window.
e2e_key() {
    local id=$1
    shift
    e2e_focus "$id"
    xdotool key --delay 50 "$@" || e2e_fail "cannot press $*"
}

# Characters that the X keyboard map has no key for get a free key code of their own, once.
# (Left to itself, xdotool maps such a character to a spare key for each key press and maps it
# back at once; a program that reads the map a little later then sees another character.)
declare -A _e2e_mapped_characters=()
_e2e_map_characters() {
    local text=$1 i c code
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        [[ $c == [[:ascii:]] || -n ${_e2e_mapped_characters[$c]:-} ]] && continue
        code=$(xmodmap -pke | awk '$1 == "keycode" && $2 > 8 && NF == 3 { print $2; exit }')
        [[ -n $code ]] || e2e_fail "no free key code for '$c'"
        xmodmap -e "keycode $code = $(printf 'U%04X' "'$c")" || e2e_fail "cannot map a key to '$c'"
        _e2e_mapped_characters[$c]=$code
    done
}

# e2e_type ID TEXT: types TEXT into the window's focused control.
e2e_type() {
    _e2e_map_characters "$2"
    e2e_focus "$1"
    xdotool type --delay 30 -- "$2" || e2e_fail "cannot type '$2'"
}

# _e2e_popup_shown CLASS: true while a program of that window class shows a pop-up (an
# override-redirect window, such as the completion list under a name field).
_e2e_popup_shown() {
    local id
    for id in $(_e2e_search --onlyvisible --classname "^$1\$"); do
        xwininfo -id "$id" 2>/dev/null | grep -q 'Override Redirect State: yes' && return 0
    done
    return 1
}

# e2e_wait_popup CLASS shown|gone [TIMEOUT]: waits until the program shows a pop-up, or none.
e2e_wait_popup() {
    local class=$1 state=$2 timeout=${3:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + timeout))
    while :; do
        if _e2e_popup_shown "$class"; then [[ $state == shown ]] && return; else [[ $state == gone ]] && return; fi
        ((SECONDS < deadline)) || e2e_fail "$class's pop-up not $state after ${timeout}s"
        sleep 0.1
    done
}

# e2e_choose_file DIALOG NAME CLASS: in Qt's open-file dialog (window DIALOG of a program of
# window class CLASS), types NAME into the focused name field and opens that file with Return.
# The name field completes what is typed: the list of matching names it shows once the dialog has
# read its folder is the sign that the whole name arrived and names a file there, so Return waits
# for it; and the next step waits until the list has closed too.
e2e_choose_file() {
    local dialog=$1 name=$2 class=$3
    e2e_type "$dialog" "$name"
    e2e_wait_popup "$class" shown
    xdotool key Return || e2e_fail "cannot press Return"
    e2e_wait_window_gone "$dialog"
    # The list may close after the dialog; while it shows, it would take the next click.
    e2e_wait_popup "$class" gone
}

# e2e_answer_box TITLE KEY [TIMEOUT] [VAR]: waits for a window (a message box) titled TITLE,
# presses KEY in it and waits until it has gone. VAR, if given, receives the box's window id.
e2e_answer_box() {
    local _e2e_title=$1 _e2e_key=$2 _e2e_timeout=${3:-$E2E_TIMEOUT} _e2e_var=${4:-} _e2e_id
    e2e_wait_window _e2e_id "$_e2e_title" "$_e2e_timeout"
    [[ -n "$_e2e_var" ]] && printf -v "$_e2e_var" '%s' "$_e2e_id"
    e2e_key "$_e2e_id" "$_e2e_key"
    e2e_wait_window_gone "$_e2e_id" "$_e2e_timeout"
}

# e2e_wait_window_gone ID [TIMEOUT]: waits until the window is no longer shown.
e2e_wait_window_gone() {
    local id=$1 timeout=${2:-$E2E_TIMEOUT}
    local deadline=$((SECONDS + timeout))
    while xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; do
        ((SECONDS < deadline)) || e2e_fail "window $id still shown after ${timeout}s"
        sleep 0.1
    done
}

# e2e_close_window ID: asks the window to close, as a window manager's close box does (a
# WM_DELETE_WINDOW message).
e2e_close_window() {
    e2e_require python3
    python3 - "$1" <<'PY' || e2e_fail "cannot send WM_DELETE_WINDOW to window $1"
import ctypes, ctypes.util, sys

x11 = ctypes.cdll.LoadLibrary(ctypes.util.find_library("X11") or "libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]

class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]

class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]

x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                           ctypes.POINTER(Event)]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

display = x11.XOpenDisplay(None)
if not display:
    sys.exit("cannot open the display")
window = int(sys.argv[1], 0)
event = Event()
event.xclient.type = 33  # ClientMessage
event.xclient.window = window
event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
event.xclient.format = 32
event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
event.xclient.data[1] = 0  # CurrentTime
if not x11.XSendEvent(display, window, 0, 0, ctypes.byref(event)):
    sys.exit("XSendEvent failed")
x11.XFlush(display)
x11.XCloseDisplay(display)
PY
}

# e2e_capture_window ID FILE.png: writes a picture of the window.
e2e_capture_window() {
    e2e_require import
    # Give the program a moment to finish painting.
    sleep 0.5
    import -window "$1" "$2" 2>/dev/null || e2e_fail "cannot capture window $1 into $2"
}

# e2e_wait_drawn ID DX DY TIMEOUT NAME[:CAPTIONS]...: waits until a picture of the window, taken
# from the screen, shows every control of the layout's rows NAME drawn, with the window's client
# area starting DX,DY pixels into its X window (e2e_wine_client_offset). A control is drawn when
# its rectangle holds more than one colour, 20 pixels at least differing from the commonest. A row
# with :CAPTIONS is a tab strip: the row of its tabs, the strip's top 400 twips (its panels lie
# below), shows CAPTIONS separate captions, blots of dark letter strokes with clear space between.
# On failure the last picture is kept and named.
e2e_wait_drawn() {
    e2e_require import python3
    local id=$1 dx=$2 dy=$3 timeout=$4
    shift 4
    local wanted=() entry name captions place
    for entry in "$@"; do
        name=${entry%%:*}
        captions=
        [[ $entry == *:* ]] && captions=${entry#*:}
        e2e_control place "$name"
        local left=$((dx + $(e2e_px "${place[0]}"))) top=$((dy + $(e2e_px "${place[1]}")))
        local width height
        width=$(e2e_px "${place[2]}")
        height=$(e2e_px "${place[3]}")
        [[ -n $captions ]] && height=$(e2e_px 400)
        wanted+=("$name:$left:$top:$width:$height:$captions")
    done
    local dir report
    e2e_make_temp_dir dir
    local deadline=$((SECONDS + timeout))
    while :; do
        if import -window "$id" -depth 8 "ppm:$dir/window.ppm" 2>/dev/null; then
            report=$(python3 - "$dir/window.ppm" "${wanted[@]}" <<'PY'
import sys

def read_ppm(path):
    data = open(path, "rb").read()
    fields, i = [], 0
    while len(fields) < 4:
        while data[i:i + 1].isspace():
            i += 1
        j = i
        while not data[j:j + 1].isspace():
            j += 1
        fields.append(data[i:j])
        i = j
    if fields[0] != b"P6" or fields[3] != b"255":
        sys.exit("not a picture of 8-bit colours")
    return int(fields[1]), int(fields[2]), data[i + 1:]

width, height, pixels = read_ppm(sys.argv[1])

def region(x, y, w, h):
    if x < 0 or y < 0 or x + w > width or y + h > height:
        return None
    return [[pixels[3 * ((y + r) * width + x + c):3 * ((y + r) * width + x + c) + 3]
             for c in range(w)] for r in range(h)]

def differing(rows):
    counts = {}
    for row in rows:
        for p in row:
            counts[p] = counts.get(p, 0) + 1
    return sum(counts.values()) - max(counts.values())

LONGEST_STROKE = 12  # pixels: a longer straight run of dark pixels is a border, not a letter
LETTER_GAP = 8       # pixels: letters of one caption stand closer than that (tabs 17 apart)

def captions(rows):
    h, w = len(rows), len(rows[0])
    ink = [[p[0] * 299 + p[1] * 587 + p[2] * 114 < 100 * 1000 for p in row] for row in rows]
    border = [[False] * w for _ in range(h)]
    lines = [[(r, c) for c in range(w)] for r in range(h)] + \
            [[(r, c) for r in range(h)] for c in range(w)]
    for cells in lines:
        run = []
        for cell in cells + [None]:
            if cell is not None and ink[cell[0]][cell[1]]:
                run.append(cell)
                continue
            if len(run) > LONGEST_STROKE:
                for r, c in run:
                    border[r][c] = True
            run = []
    columns = [sum(ink[r][c] and not border[r][c] for r in range(h)) for c in range(w)]
    blots, start, last, amount = [], None, None, 0
    for c, n in enumerate(columns):
        if not n:
            continue
        if start is not None and c - last > LETTER_GAP:
            blots.append((start, last, amount))
            start = None
        if start is None:
            start, amount = c, 0
        last = c
        amount += n
    if start is not None:
        blots.append((start, last, amount))
    # Whole captions only: a stray dot or two is no caption.
    return [(a, b) for a, b, n in blots if b - a >= 5 and n >= 12]

faults = []
for entry in sys.argv[2:]:
    name, x, y, w, h, expected = entry.split(":")
    rows = region(int(x), int(y), int(w), int(h))
    if rows is None:
        faults.append(f"{name} at {x},{y} size {w}x{h} lies outside the {width}x{height} window")
    elif expected:
        found = captions(rows)
        if len(found) != int(expected):
            spans = ", ".join(f"{int(x) + a}..{int(x) + b}" for a, b in found) or "none"
            faults.append(f"{name} shows {len(found)} captions in its row of tabs at {x},{y} "
                          f"size {w}x{h}, not {expected} (x: {spans})")
    elif differing(rows) < 20:
        faults.append(f"{name} at {x},{y} size {w}x{h} is blank")
print("\n".join(faults))
PY
            ) && [[ -z $report ]] && return 0
        else
            report="cannot take a picture of window $id"
        fi
        if ((SECONDS >= deadline)); then
            local kept
            kept=$(mktemp "${TMPDIR:-/tmp}/e2e-window.XXXXXXXX.ppm") && cp -- "$dir/window.ppm" "$kept" 2>/dev/null
            e2e_fail "window $id not drawn within ${timeout}s (picture kept as $kept):
$report"
        fi
        sleep 0.2
    done
}

# e2e_expect_file_bytes FILE FORMAT [ARG...]: the file's bytes are, or within E2E_TIMEOUT come to
# be, exactly those that printf FORMAT ARG... produces (for example 'level1.lev\r\n' or
# '\xe4.lev\r\n'). A program writes after the message box that asked has gone from the screen,
# so the check waits for the file instead of reading it once. On a difference both are shown in
# hex.
e2e_expect_file_bytes() {
    local file=$1 format=$2
    shift 2
    local expected
    e2e_make_temp_dir expected
    expected="$expected/expected"
    # shellcheck disable=SC2059
    printf -- "$format" "$@" >"$expected"
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until [[ -f "$file" ]] && cmp -s "$expected" "$file"; do
        if ((SECONDS >= deadline)); then
            [[ -f "$file" ]] || e2e_fail "no file $file"
            e2e_fail "$file differs from the expected bytes
expected:
$(od -A d -t x1z -v "$expected")
actual:
$(od -A d -t x1z -v "$file")"
        fi
        sleep 0.1
    done
}

# e2e_expect_no_file PATH: nothing exists at PATH.
e2e_expect_no_file() {
    [[ ! -e "$1" && ! -L "$1" ]] || e2e_fail "$1 exists but should not"
}
