#!/usr/bin/env bash
# Creates the project's Wine prefix once: no dialogs, no window manager stalls, fonts found.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${BRENNOW_WINEPREFIX:-$top/build/wine}"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stamp="$WINEPREFIX/.brennow-ready"
# A prefix made before 32-bit Wine was installed has no 32-bit system and cannot start 32-bit
# programs: it is made again once 32-bit Wine is there.
if [ -f "$stamp" ]; then
    if [ -f "$WINEPREFIX/drive_c/windows/syswow64/kernel32.dll" ] ||
        ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        exit 0
    fi
    /usr/lib/wine/wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
fi

mkdir -p "$WINEPREFIX"
/usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
/usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
/usr/lib/wine/wineserver -w
mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
cp -n /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
touch "$stamp"
