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
    /usr/lib/wine/wine64 "$keepalive" >/dev/null 2>&1 </dev/null &
    keeper=$!
fi
"$@"
status=$?
[ -n "$keeper" ] && kill "$keeper" 2>/dev/null
/usr/lib/wine/wineserver -k 2>/dev/null
exit $status
