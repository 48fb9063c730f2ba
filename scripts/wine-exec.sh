#!/bin/sh
# Runs a Windows program under Wine in the project's prefix: wine-exec.sh LOADER PROGRAM ARGS...
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${BRENNOW_WINEPREFIX:-$top/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec "$@"
