#!/usr/bin/env bash
# Builds the calendar and starts it under Wine on the current display. Without a display it
# starts it in a virtual one just long enough to save a screenshot of the window.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

bash scripts/deps.sh run || exit 1

# The x86_64 build is the one every test, screenshot and measurement uses.
arch=x86_64
loader=/usr/lib/wine/wine64
if [ ! -f "build/$arch/build.ninja" ]; then
    cmake -S . -B "build/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch-mingw.cmake" >/dev/null
fi
cmake --build "build/$arch" --target BrennowCalendar -j "$(nproc)" >/dev/null
exe="build/$arch/app/BrennowCalendar.exe"

export BRENNOW_WINEPREFIX="${BRENNOW_WINEPREFIX:-$top/build/wine}"
if [ -n "${DISPLAY:-}" ]; then
    bash scripts/wine-prefix.sh
    WINEPREFIX="$BRENNOW_WINEPREFIX" WINEDEBUG=-all exec "$loader" "$exe"
fi

echo "No display: starting the calendar in a virtual display to save a screenshot of its window."
shot="$top/build/calendar-screenshot.png"
rm -f "$shot"
xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/wine-session.sh "" bash -c '
    "$1" "$2" >/dev/null 2>&1 &
    pid=$!
    # The window hides itself after its first second: take pictures while it is shown.
    seen=0
    for _ in $(seq 1 300); do
        shown=""
        for w in $(xdotool search --name "^Brennow Calendar$" 2>/dev/null); do
            eval "$(xdotool getwindowgeometry --shell "$w")"
            if [ "$WIDTH" = 322 ] && [ "$HEIGHT" = 267 ] && xwininfo -id "$w" | grep -q IsViewable; then
                shown=$w
                # A busy machine may show the window before it has painted all of it: prefer a
                # picture that two in a row agree on, else the last one that is not blank.
                import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$3.new.png" &&
                    [ "$(convert "$3.new.png" -format %k info:)" -gt 2 ] || continue
                [ -f "$3.last.png" ] && [ "$(compare -metric AE "$3.new.png" "$3.last.png" null: 2>&1)" = 0 ] &&
                    cp "$3.new.png" "$3"
                mv "$3.new.png" "$3.last.png"
            fi
        done
        [ -n "$shown" ] && seen=1
        [ -z "$shown" ] && [ $seen = 1 ] && break
        sleep 0.1
    done
    kill $pid 2>/dev/null
    [ -f "$3" ] || { [ -f "$3.last.png" ] && cp "$3.last.png" "$3"; }
    rm -f "$3.new.png" "$3.last.png"
    [ $seen = 1 ]
' _ "$loader" "$exe" "$shot" || true
if [ -f "$shot" ]; then
    echo "Screenshot: $shot"
else
    echo "The calendar window did not appear." >&2
    exit 1
fi
