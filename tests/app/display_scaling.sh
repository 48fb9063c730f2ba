#!/usr/bin/env bash
# The real program at 96, 120, 144 and 192 pixels per inch under Wine, in a prefix of its own
# (HKCU\Control Panel\Desktop "LogPixels"): the hide button must be drawn from the image of the
# icon file nearest to its scaled size (32 px scaled as the window is), and the tray icon from the
# image of the system's small icon size, each exactly as drawn, not another image stretched.
# Usage: display_scaling.sh OUTPUT_DIR CALENDAR_EXE ART_DIR KEEPALIVE_EXE
# Leaves OUTPUT_DIR/calendar-DPIdpi.png, the window at each resolution.
set -uo pipefail
out=$(mkdir -p "$1" && cd "$1" && pwd)
calendar=$2
art=$3
keepalive=$4
top=$(cd "$(dirname "$0")/../.." && pwd)
source "$(dirname "$0")/outside.sh"
CALENDAR_ANY_SIZE=yes

fail() {
    echo "FAILED: $*" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    /usr/lib/wine/wineserver -k 2>/dev/null
    exit 1
}

export BRENNOW_WINEPREFIX="$out/prefix" WINEPREFIX="$out/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
bash "$top/scripts/wine-prefix.sh" || fail "cannot make a Wine prefix in $out/prefix"
trap '$wineserver -k 2>/dev/null' EXIT

background='srgb(79,176,147)'
hide_sizes=(32 40 48 64)
tray_sizes=(16 20 24 32 40 48 64 256)
# The index of the size nearest to SIZE in an ascending list (the larger of two as near).
nearest() { # nearest SIZE LIST...
    local want=$1 best=-1 best_distance=100000 i=0 size distance
    shift
    for size; do
        distance=$((size > want ? size - want : want - size))
        [ $distance -le $best_distance ] && best=$i best_distance=$distance
        i=$((i + 1))
    done
    echo $best
}

# Where in the picture REGION the icon image ICO[INDEX] (SIZE px) lies, as drawn: every pixel the
# image covers wholly has its colour there (within a few steps), and on BACKGROUND (a colour) the
# partly covered ones too. Prints "X Y"; fails when it is nowhere. (The tray paints a changed icon
# over the old one, so there only the wholly covered pixels count.)
find_image() { # find_image REGION ICO INDEX SIZE [BACKGROUND]
    convert "$2[$3]" -depth 8 "rgba:$out/image.rgba" || return 1
    convert "$1" -depth 8 "rgb:$out/region.rgb" || return 1
    python3 - "$out/region.rgb" "$(identify -format %w "$1")" "$out/image.rgba" "$4" "${5:-}" <<'PY'
import sys
region, width, image, size, background = sys.argv[1], int(sys.argv[2]), sys.argv[3], int(sys.argv[4]), sys.argv[5]
shot = open(region, "rb").read()
height = len(shot) // (3 * width)
rgba = open(image, "rb").read()
back = [int(v) for v in background[5:-1].split(",")] if background else None
want = []
for i in range(size * size):
    r, g, b, a = rgba[4 * i:4 * i + 4]
    if a == 255 or (back and a > 0):
        colour = [(c * a + k * (255 - a) + 127) // 255 for c, k in zip((r, g, b), back or (0, 0, 0))]
        want.append((i % size, i // size, colour))
for y in range(height - size + 1):
    for x in range(width - size + 1):
        if all(max(abs(shot[3 * ((y + py) * width + x + px) + c] - colour[c]) for c in range(3)) <= 6
               for px, py, colour in want):
            print(x, y)
            sys.exit(0)
sys.exit(1)
PY
}

report=()
for dpi in 96 120 144 192; do
    $wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $dpi /f >/dev/null 2>&1
    $wineserver -k 2>/dev/null
    $wineserver -w
    $wineserver -p
    $wine cmd /c exit >/dev/null 2>&1 </dev/null
    $wine "$keepalive" >/dev/null 2>&1 </dev/null &

    $wine "$calendar" >/dev/null 2>&1 </dev/null &
    pid=$!
    poll 120 calendar_window || fail "$dpi dpi: the calendar window did not appear"
    # It hides after its first second; a double click on the tray icon brings it back to stay.
    poll 30 calendar_hidden || fail "$dpi dpi: the window did not hide after its first second"
    poll 60 tray_window || fail "$dpi dpi: no tray window"
    sleep 0.5
    eval "$(xdotool getwindowgeometry --shell "$TRAY")"
    import -window root "$out/screen.png"
    convert "$out/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/tray.png"

    # The tray icon: the system's small icon size.
    small=$(nearest $(((16 * dpi + 48) / 96)) "${tray_sizes[@]}")
    tray_size=${tray_sizes[$small]}
    at=$(find_image "$out/tray.png" "$art/TrayClock.ico" "$small" "$tray_size") ||
        fail "$dpi dpi: the tray (${WIDTH}x${HEIGHT}) does not show the ${tray_size} px tray icon as drawn"
    read -r icon_x icon_y <<<"$at"
    xdotool mousemove --window "$TRAY" $((icon_x + tray_size / 2)) $((icon_y + tray_size / 2)) \
        click --repeat 2 --delay 80 1
    poll 30 calendar_window || fail "$dpi dpi: a double click on the tray icon did not bring the window back"
    sleep 0.5
    calendar_window
    import -window root "$out/screen.png"
    convert "$out/screen.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$out/calendar-${dpi}dpi.png"
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""

    # The hide button: 32 px scaled as the window is, in the window's top right corner.
    hide=$(nearest $(((32 * WIDTH + 161) / 322)) "${hide_sizes[@]}")
    size=${hide_sizes[$hide]}
    corner=$((WIDTH / 5))
    convert "$out/calendar-${dpi}dpi.png" -crop "${corner}x${corner}+$((WIDTH - corner))+0" +repage "$out/corner.png"
    find_image "$out/corner.png" "$art/HideButton.ico" "$hide" "$size" "$background" >/dev/null ||
        fail "$dpi dpi: the window (${WIDTH}x${HEIGHT}) does not show the ${size} px hide button as drawn"
    report+=("$dpi dpi: window ${WIDTH}x${HEIGHT}, hide button ${size} px, tray icon ${tray_size} px")
done
printf '%s\n' "${report[@]}"
