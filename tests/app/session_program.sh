#!/usr/bin/env bash
# The real program in a desktop session, as Windows starts, restarts and ends it: a maximising
# shortcut still shows the plain window; the session's end for an update closes it with 0; a
# minimised start goes straight to the tray without ever mapping its window; a second start brings
# the running calendar back, converter fields and all, and ends; after a shell restart it is still
# in reach.
# Usage: session_program.sh OUTPUT_DIR PROBE_EXE LOADER... PROGRAM   (LOADER: the emulator command line)
set -uo pipefail
out=$1
probe=$2
shift 2
program=${*: -1}
loader=("${@:1:$#-1}")
mkdir -p "$out"

fail() {
    echo "FAILED: $*" >&2
    [ -n "${xev_pid:-}" ] && kill "$xev_pid" 2>/dev/null
    [ -n "${first:-}" ] && "${loader[@]}" taskkill /f /im BrennowCalendar.exe >/dev/null 2>&1 </dev/null
    exit 1
}

source "$(dirname "$0")/outside.sh"

no_tray_window() { ! tray_window; }
ended() { ! kill -0 "$1" 2>/dev/null; }
probe() { # probe COMMAND: runs the probe, its output in $out/probe.txt
    "${loader[@]}" "$probe" "$1" >"$out/probe.txt" 2>/dev/null </dev/null
}
click() { xdotool mousemove --window "$WINDOW" "$1" "$2" click 1; sleep 0.3; }
# Starts the program as Wine's start command does, showing as $1 asks; its exit code is the program's.
start_program() {
    "${loader[@]}" start /wait "$1" /unix "$program" >/dev/null 2>&1 </dev/null &
    started=$!
}

# --- "Run: Maximized" cannot maximise it; the session's end for an update ends it with 0, icon gone.
start_program /max
poll 120 calendar_window || fail "started maximised, the program showed no plain window"
[ "$X" = $(((1024 - 322) / 2)) ] && [ "$Y" = $(((768 - 267) / 2)) ] || fail "started maximised: at $X,$Y"
poll 30 tray_window || fail "no tray icon"
probe end-session || fail "the calendar refused the end of the session: $(cat "$out/probe.txt")"
poll 30 ended $started || fail "the program lived on after the session's end"
wait $started
status=$?
[ $status -eq 0 ] || fail "after the session's end: exit code $status"
poll 30 no_tray_window || fail "its tray icon outlived it"

# --- Started minimised: the icon, and the window never once mapped.
stdbuf -oL xev -root -event substructure >"$out/xev.log" 2>&1 &
xev_pid=$!
sleep 0.5
start_program /min
first=$started
poll 120 tray_window || fail "started minimised, the program showed no tray icon"
sleep 2.5
kill "$xev_pid" 2>/dev/null
xev_pid=""
calendar_hidden || fail "started minimised, the window is shown"
# xev names the mapped window on the line after "MapNotify".
grep -A1 '^MapNotify' "$out/xev.log" | grep -oE 'event 0x[0-9a-f]+, window 0x[0-9a-f]+' |
    sed 's/.*window //' >"$out/mapped.txt"
[ -s "$out/mapped.txt" ] || fail "xev saw nothing mapped, not even the tray"
for w in $(xdotool search --name '^Brennow Calendar$' 2>/dev/null); do
    grep -qx "$(printf '0x%x' "$w")" "$out/mapped.txt" && fail "started minimised, window $w was mapped"
done
echo "minimised start: nothing mapped"

# --- A second start brings the window back and ends with 0 (it has ended: one calendar runs).
"${loader[@]}" "$program" >/dev/null 2>&1 </dev/null
status=$?
[ $status -eq 0 ] || fail "the second start ended with $status"
poll 30 calendar_window || fail "a second start did not bring the window back"
kill -0 $first 2>/dev/null || fail "the first calendar ended"

# --- The converter's fields survive it: "Converter", 9 in the day field, hidden, started again.
click 20 226
click 55 244
xdotool key End BackSpace 9
sleep 0.3
click 300 20
poll 30 calendar_hidden || fail "the hide button did not hide the window"
"${loader[@]}" "$program" >/dev/null 2>&1 </dev/null || fail "the second start in converter mode failed"
poll 30 calendar_window || fail "in converter mode, a second start did not bring the window back"
probe fields || fail "cannot read the converter fields"
[ "$(tr -d '\r' <"$out/probe.txt" | paste -sd,)" = 9,1,1 ] ||
    fail "the converter fields are $(tr -d '\r' <"$out/probe.txt" | paste -sd,), expected 9,1,1"

# --- The shell restarts: the calendar stays in reach, its icon added again or, refused (as 64-bit
# Wine refuses every add of a process that outlived its shell), its hidden window shown again.
click 300 20
poll 30 calendar_hidden || fail "the hide button did not hide the window"
"${loader[@]}" taskkill /f /im explorer.exe >/dev/null 2>&1 </dev/null
"${loader[@]}" explorer.exe /desktop >/dev/null 2>&1 </dev/null &
sleep 2
probe taskbar-created || fail "cannot broadcast TaskbarCreated"
reachable() { calendar_window || tray_window; }
poll 30 reachable || fail "after the shell restarted, neither the icon nor the window is there"
calendar_window && echo "shell restart: icon refused, window shown" || echo "shell restart: icon added again"
kill -0 $first 2>/dev/null || fail "the calendar ended at the shell's restart"

probe end-session || fail "the calendar refused the end of the session: $(cat "$out/probe.txt")"
poll 30 ended $first || fail "the program lived on after the session's end"
wait $first
status=$?
[ $status -eq 0 ] || fail "after the session's end: exit code $status"
echo "passed"
