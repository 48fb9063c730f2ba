#!/usr/bin/env bash
# Start-up to window shown, and memory after start-up: the calendar against a minimal Win32
# window program (and against the same with the one tray icon added before the show, the least
# the calendar must do), all started the same way (the same loader and prefix, the Wine session
# already up) in the same run. Then the calendar's own start-up phase by phase, timed from inside
# (bench_startup_phases.exe runs the very same start-up code). Figures are medians of RUNS.
# Run it inside a Wine session on an X display, for example:
#   xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/wine-session.sh "" \
#       bash tools/bench_startup.sh build/x86_64 /usr/lib/wine/wine64 [RUNS]
set -uo pipefail
build=$1
loader=$2
runs=${3:-7}
calendar="$build/app/BrennowCalendar.exe"
minimal="$build/tools/minimal_window.exe"
minimal_tray="$build/tools/minimal_tray_window.exe"
phases="$build/app/bench_startup_phases.exe"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Launches EXE and waits until a visible window of TITLE has the size 322x267. Sets SHOWN_MS,
# the milliseconds from launch until then, and, read a quarter second later, RESIDENT_KB and
# PRIVATE_KB: the process's resident size and its anonymous (private) resident memory, the
# figures Wine itself reports as working set and private bytes.
launch_to_shown() { # launch_to_shown EXE TITLE
    local start pid w shown=""
    start=$(date +%s%N)
    "$loader" "$1" >/dev/null 2>&1 &
    pid=$!
    for _ in $(seq 1 4000); do
        for w in $(xdotool search --onlyvisible --name "^$2\$" 2>/dev/null); do
            eval "$(xdotool getwindowgeometry --shell "$w")"
            if [ "$WIDTH" = 322 ] && [ "$HEIGHT" = 267 ]; then
                shown=$(date +%s%N)
                break 2
            fi
        done
        sleep 0.005
    done
    sleep 0.25
    RESIDENT_KB=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    PRIVATE_KB=$(awk '/^RssAnon:/ {print $2}' "/proc/$pid/status" 2>/dev/null)
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    [ -n "$shown" ] && [ -n "$RESIDENT_KB" ] && [ -n "$PRIVATE_KB" ] || return 1
    SHOWN_MS=$(((shown - start) / 1000000))
}

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

calendar_times=()
minimal_times=()
minimal_tray_times=()
for _ in $(seq 1 "$runs"); do
    # Interleaved, so a change of load on the machine falls on both.
    launch_to_shown "$calendar" "Brennow Calendar" || exit 1
    calendar_times+=("$SHOWN_MS")
    echo "$RESIDENT_KB" >>"$work/calendar.resident"
    echo "$PRIVATE_KB" >>"$work/calendar.private"
    launch_to_shown "$minimal" "Minimal Window" || exit 1
    minimal_times+=("$SHOWN_MS")
    echo "$RESIDENT_KB" >>"$work/minimal.resident"
    echo "$PRIVATE_KB" >>"$work/minimal.private"
    launch_to_shown "$minimal_tray" "Minimal Window" || exit 1
    minimal_tray_times+=("$SHOWN_MS")
done
c=$(printf '%s\n' "${calendar_times[@]}" | median)
m=$(printf '%s\n' "${minimal_times[@]}" | median)
echo "calendar: ${calendar_times[*]} ms (median $c)"
echo "minimal:  ${minimal_times[*]} ms (median $m)"
awk -v c="$c" -v m="$m" 'BEGIN {printf "ratio calendar / minimal: %.2f\n", c / m}'
t=$(printf '%s\n' "${minimal_tray_times[@]}" | median)
echo "minimal with its tray icon: ${minimal_tray_times[*]} ms (median $t)"
awk -v c="$c" -v m="$m" -v t="$t" \
    'BEGIN {printf "ratio minimal with tray icon / minimal: %.2f; calendar / minimal with tray icon: %.2f\n", t / m, c / t}'
for figure in resident private; do
    c=$(median <"$work/calendar.$figure")
    m=$(median <"$work/minimal.$figure")
    awk -v f="$figure" -v c="$c" -v m="$m" \
        'BEGIN {printf "%s after start-up: calendar %.1f MB, minimal %.1f MB, ratio %.2f\n", f, c / 1024, m / 1024, c / m}'
done

# The phases, timed inside the calendar's own start-up.
[ -f "$phases" ] || exit 0
for run in $(seq 1 "$runs"); do
    # Never through a pipe: Wine's helpers would hold it open.
    "$loader" "$phases" >"$work/phases.$run" 2>/dev/null </dev/null || exit 1
done
echo "phases of the calendar's start-up (median ms of $runs runs):"
awk -F '\t' '
    !($1 in seen) { seen[$1] = 1; order[++n] = $1 }
    { values[$1] = values[$1] " " $2 }
    END {
        for (i = 1; i <= n; ++i) {
            k = split(values[order[i]], v, " ")
            # insertion sort; k is small
            for (a = 2; a <= k; ++a) { x = v[a]; for (b = a - 1; b >= 1 && v[b] + 0 > x + 0; --b) v[b + 1] = v[b]; v[b + 1] = x }
            printf "  %-32s %8.1f\n", order[i], v[int((k + 1) / 2)]
        }
    }' "$work"/phases.*
