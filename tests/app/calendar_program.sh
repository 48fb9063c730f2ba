#!/usr/bin/env bash
# The real program under Wine, driven from outside as a user would through X: it shows its
# window centred, hides after its first second, comes back on a double click of its tray icon
# and ends through the tray menu's "Close".
# Usage: calendar_program.sh OUTPUT_DIR LOADER... PROGRAM   (LOADER: the emulator command line)
set -uo pipefail
out=$1
shift
program=${*: -1}
loader=("${@:1:$#-1}")
mkdir -p "$out"

fail() {
    echo "FAILED: $*" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

source "$(dirname "$0")/outside.sh"

process_ended() { ! kill -0 "$pid" 2>/dev/null; }

# Pixel "srgb(r,g,b)" of a screenshot at x,y.
pixel() { convert "$1" -format "%[pixel:p{$2,$3}]" info:; }

# Frames and background of a screenshot of the client area; prints what differs.
check_pixels() {
    local shot=$1 ok=0 expected actual
    while read -r x y expected; do
        actual=$(pixel "$shot" "$x" "$y")
        if [ "$actual" != "$expected" ]; then
            echo "  pixel $x,$y is $actual, expected $expected"
            ok=1
        fi
    done <<'PIXELS'
0 0 srgb(114,81,65)
1 1 srgb(163,120,92)
320 265 srgb(114,81,65)
321 266 srgb(163,120,92)
45 20 srgb(128,64,64)
46 21 srgb(87,41,40)
275 65 srgb(87,41,40)
20 100 srgb(79,176,147)
300 150 srgb(79,176,147)
PIXELS
    return $ok
}

screenshot() { # screenshot FILE: the calendar window's area of the screen
    import -window root -crop "322x267+${X}+${Y}" +repage "$1"
}

"${loader[@]}" "$program" &
pid=$!

# Shown centred, before the first tick hides it.
poll 120 calendar_window || fail "the calendar window did not appear"
echo "window $WINDOW at $X,$Y"
[ "$X" = $(((1024 - 322) / 2)) ] && [ "$Y" = $(((768 - 267) / 2)) ] || fail "not centred on a 1024x768 screen"
# Pictures of the window while it is shown: one taken while it was shown both before and after is
# of the window itself, and the window must show its frames in one of them. When the first second
# has passed before any such picture, the restored window below is checked instead.
first_ok=1
caught=0
while calendar_window; do
    screenshot "$out/first-shown.png"
    calendar_window || break
    caught=1
    if check_pixels "$out/first-shown.png" >/dev/null; then
        first_ok=0
        break
    fi
done
if [ $caught -ne 0 ] && [ $first_ok -ne 0 ]; then
    check_pixels "$out/first-shown.png"
    fail "frames or background wrong in the window as first shown"
fi

# Hides itself after about a second.
poll 60 calendar_hidden || fail "the window did not hide itself"
kill -0 "$pid" 2>/dev/null || fail "the program ended when it hid"

# A double click on the tray icon brings it back; its icon sits in the tray window's
# bottom-left cell.
poll 60 tray_window || fail "no tray window"
eval "$(xdotool getwindowgeometry --shell "$TRAY")"
icon_x=13
icon_y=$((HEIGHT - 12))
xdotool mousemove --window "$TRAY" $icon_x $icon_y click --repeat 2 --delay 80 1
poll 30 calendar_window || fail "a double click on the tray icon did not bring the window back"
# Ticks no longer hide it: wait past two of them.
sleep 2.5
calendar_window || fail "the window hid again after it was restored"
screenshot "$out/calendar.png"
if [ $first_ok -ne 0 ]; then
    # On a loaded machine the first second may pass before the first screenshot is taken.
    echo "no screenshot caught the window as first shown; checking the restored one"
    check_pixels "$out/calendar.png" || fail "frames or background wrong"
else
    check_pixels "$out/calendar.png" || fail "frames or background wrong after the restore"
fi

# "Close" is the first item of the tray icon's menu.
poll 60 tray_window || fail "no tray window"
eval "$(xdotool getwindowgeometry --shell "$TRAY")"
xdotool mousemove --window "$TRAY" $icon_x $((HEIGHT - 12)) click 3
sleep 1
eval "$(xdotool getmouselocation --shell)"
xdotool mousemove $((X + 20)) $((Y + 8)) click 1
poll 60 process_ended || fail "the program did not end through the tray menu's Close"
wait "$pid"
status=$?
[ $status -eq 0 ] || fail "exit code $status"
echo "passed"
