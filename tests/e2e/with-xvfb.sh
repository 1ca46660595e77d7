#!/usr/bin/env bash
# Runs a command on a private Xvfb server, for the end-to-end tests and the packages' checks.
#
#   tests/e2e/with-xvfb.sh [--screen WxHxD] COMMAND [ARG...]
#
# Unlike xvfb-run -a, which picks a display number from the lock files in /tmp and does not wait
# for its server to end, this lets Xvfb pick a free display itself (-displayfd, under Xvfb's own
# lock), and waits until the server has ended before it returns. So tests run back to back never
# meet a server that is still going down on the number they took, and none is left behind. The
# server does not reset when its last client leaves (-noreset): a test that starts one program
# after another would otherwise connect while it resets. Access needs the cookie in a private
# XAUTHORITY. Ends with the command's status, or 2 when the server cannot be started.
set -uo pipefail

screen=1280x1024x24
if [[ ${1:-} == --screen ]]; then
    screen=${2:?usage: $0 [--screen WxHxD] COMMAND [ARG...]}
    shift 2
fi
(($#)) || { echo "usage: $0 [--screen WxHxD] COMMAND [ARG...]" >&2; exit 2; }
for tool in Xvfb xauth od; do
    command -v "$tool" >/dev/null || { echo "$0: needs $tool (scripts/install-deps)" >&2; exit 2; }
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/with-xvfb.XXXXXXXX") || exit 2
server=
finish() {
    local status=$?
    if [[ -n "$server" ]]; then
        kill "$server" 2>/dev/null
        wait "$server" 2>/dev/null
    fi
    rm -rf -- "$dir"
    exit "$status"
}
trap finish EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The server takes every entry of its -auth file whatever its display, the clients only the one
# for the display they connect to: so one entry now and one once the number is known.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
auth=$dir/Xauthority
xauth -q -f "$auth" add :0 . "$cookie" 2>/dev/null || { echo "$0: xauth failed" >&2; exit 2; }

: >"$dir/display"
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset -auth "$auth" \
    3>"$dir/display" >"$dir/server.log" 2>&1 &
server=$!

# Xvfb writes the display's number and a newline once it takes connections.
deadline=$((SECONDS + 60))
until read -r number <"$dir/display" && [[ $number =~ ^[0-9]+$ ]]; do
    if ! kill -0 "$server" 2>/dev/null || ((SECONDS >= deadline)); then
        echo "$0: Xvfb did not start:" >&2
        sed 's/^/    /' "$dir/server.log" >&2
        exit 2
    fi
    sleep 0.05
done
xauth -q -f "$auth" add ":$number" . "$cookie" 2>/dev/null || { echo "$0: xauth failed" >&2; exit 2; }

DISPLAY=:$number XAUTHORITY=$auth "$@"
