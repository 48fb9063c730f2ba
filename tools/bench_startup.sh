#!/usr/bin/env bash
# Start-up to window shown: the calendar against a minimal Win32 window program, both started
# the same way (the same loader and prefix, the Wine session already up) in the same run.
# Run it inside a Wine session on an X display, for example:
#   xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/wine-session.sh "" \
#       bash tools/bench_startup.sh build/x86_64 /usr/lib/wine/wine64 [RUNS]
set -uo pipefail
build=$1
loader=$2
runs=${3:-7}
calendar="$build/app/BrennowCalendar.exe"
minimal="$build/tools/minimal_window.exe"

# Milliseconds from launch until a visible window of the title has the size 322x267.
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
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    [ -n "$shown" ] || return 1
    echo $(((shown - start) / 1000000))
}

median() { sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

calendar_times=()
minimal_times=()
for _ in $(seq 1 "$runs"); do
    # Interleaved, so a change of load on the machine falls on both.
    calendar_times+=("$(launch_to_shown "$calendar" "Brennow Calendar")") || exit 1
    minimal_times+=("$(launch_to_shown "$minimal" "Minimal Window")") || exit 1
done
c=$(printf '%s\n' "${calendar_times[@]}" | median)
m=$(printf '%s\n' "${minimal_times[@]}" | median)
echo "calendar: ${calendar_times[*]} ms (median $c)"
echo "minimal:  ${minimal_times[*]} ms (median $m)"
awk -v c="$c" -v m="$m" 'BEGIN {printf "ratio calendar / minimal: %.2f\n", c / m}'
