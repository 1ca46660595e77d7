# shellcheck shell=bash
# What the screenshot scripts share. The README's pictures show the game folder's path in the
# folder list, so the programs run in a game folder at a neutral path, /home/player/game, instead
# of a temporary folder with a random name. That folder lies in a private mount namespace (made
# with unshare; in a user namespace of its own where the script does not run as root): a fresh,
# empty /home that nothing outside the script sees and that goes away when the script ends.
#
# Use in a screenshot script, in this order:
#   source "$root/scripts/screenshot-lib.sh"
#   shot_enter "$0" "$@"                 # runs the script again under Xvfb and in the namespace
#   source "$root/tests/e2e/e2e-lib.sh"
#   shot_game_folder game program "$program" "$root/examples/game"
#       # $game: /home/player/game, a copy of the example game folder; $program: a copy of the
#       # program that stays reachable while /home is replaced
#   ... start "$program" in "$game", e2e_capture_window "$win" "$SHOT_PICTURE", close it ...
#   shot_write "$output"                 # gives /home back and writes the picture to $output
# A script that takes several pictures captures them into files in "$SHOT_DIR" and names each in
# its own shot_write call: shot_write "$output" "$SHOT_DIR/second.png".

SHOT_HOME=/home
SHOT_GAME=$SHOT_HOME/player/game

# shot_enter SCRIPT ARG...: runs SCRIPT again under a private Xvfb server when there is no
# display, and in the private mount namespace when it is not in it yet; returns only there.
shot_enter() {
    local script=$1
    shift
    if [[ -z "${DISPLAY:-}" ]]; then
        exec "$(dirname "${BASH_SOURCE[0]}")/../tests/e2e/with-xvfb.sh" "$script" "$@"
    fi
    if [[ -z "${LEVELTOOLS_SHOT_NAMESPACE:-}" ]]; then
        if ! unshare --user --map-root-user --mount true 2>/dev/null; then
            echo "$script: cannot make a private mount namespace (unshare --user --mount), so the" \
                 "pictures cannot show the neutral game folder $SHOT_GAME" >&2
            exit 1
        fi
        LEVELTOOLS_SHOT_NAMESPACE=1 exec unshare --user --map-root-user --mount "$script" "$@"
    fi
}

# shot_game_folder GAMEVAR PROGRAMVAR PROGRAM SOURCE: replaces /home (in the namespace only) by an
# empty folder holding player/game, a copy of SOURCE; GAMEVAR receives its path. PROGRAM is copied
# first, as it may lie under /home; PROGRAMVAR receives the copy's path. SHOT_DIR is a temporary
# folder outside /home for the pictures; SHOT_PICTURE names the file for a script's one picture.
shot_game_folder() {
    e2e_make_temp_dir SHOT_DIR
    cp -- "$3" "$SHOT_DIR/" || e2e_fail "cannot copy $3"
    cp -R -- "$4" "$SHOT_DIR/game" || e2e_fail "cannot copy $4"
    mount -t tmpfs -o mode=0755 leveltools-screenshot "$SHOT_HOME" || e2e_fail "cannot mount a fresh $SHOT_HOME"
    _shot_mounted=yes
    mkdir -p -- "$SHOT_GAME" && cp -R -- "$SHOT_DIR/game/." "$SHOT_GAME/" ||
        e2e_fail "cannot make $SHOT_GAME"
    mkdir -p -- "$SHOT_GAME/levels" || e2e_fail "cannot make $SHOT_GAME/levels"
    SHOT_PICTURE="$SHOT_DIR/picture.png"
    printf -v "$1" '%s' "$SHOT_GAME"
    printf -v "$2" '%s' "$SHOT_DIR/$(basename -- "$3")"
}

# shot_write OUTPUT [PICTURE]: gives the real /home back (the program must have ended) and writes
# the captured PICTURE ($SHOT_PICTURE when not given) to OUTPUT.
shot_write() {
    local picture=${2:-$SHOT_PICTURE}
    if [[ -n "${_shot_mounted:-}" ]]; then
        umount -l "$SHOT_HOME" || e2e_fail "cannot unmount the private $SHOT_HOME"
        _shot_mounted=
    fi
    [[ -s "$picture" ]] || e2e_fail "no picture was captured into $picture"
    mkdir -p -- "$(dirname -- "$1")" && cp -- "$picture" "$1" || e2e_fail "cannot write $1"
    e2e_log "wrote $1"
}
