#!/usr/bin/env bash
# Creates the project's Wine prefix once: no dialogs, no window manager stalls, fonts found.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${BRENNOW_WINEPREFIX:-$top/build/wine}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stamp="$WINEPREFIX/.brennow-ready"
[ -f "$stamp" ] && exit 0

mkdir -p "$WINEPREFIX"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
touch "$stamp"
