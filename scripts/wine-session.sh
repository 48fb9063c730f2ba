#!/usr/bin/env bash
# Runs a command inside a Wine session on the current X display: a persistent wineserver, the
# desktop brought up, and a keep-alive process so explorer (and its tray) stays between tests.
# Usage: wine-session.sh KEEPALIVE_EXE COMMAND [ARGS...]
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${BRENNOW_WINEPREFIX:-$top/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml="
keepalive=$1
shift

bash "$top/scripts/wine-prefix.sh"
/usr/lib/wine/wineserver -k 2>/dev/null
/usr/lib/wine/wineserver -p
# The first program of a new session brings up the desktop; windows need it.
/usr/lib/wine/wine64 cmd /c exit >/dev/null 2>&1 </dev/null
keeper=""
if [ -n "$keepalive" ] && [ -f "$keepalive" ]; then
    said=$(mktemp)
    /usr/lib/wine/wine64 "$keepalive" >"$said" 2>/dev/null </dev/null &
    keeper=$!
    # Until it holds the desktop, explorer may end for want of windows, and the first test to
    # need it again would start it with the test's own output.
    for _ in $(seq 600); do
        grep -q ready "$said" 2>/dev/null && break
        kill -0 "$keeper" 2>/dev/null || break
        sleep 0.1
    done
    grep -q ready "$said" 2>/dev/null || echo "wine-session: the keep-alive did not come up; going on without it" >&2
    rm -f "$said"
fi
"$@"
status=$?
[ -n "$keeper" ] && kill "$keeper" 2>/dev/null
/usr/lib/wine/wineserver -k 2>/dev/null
exit $status
