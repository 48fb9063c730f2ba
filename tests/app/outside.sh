# Sourced by the tests that drive the real program from outside: waiting, and the program's windows
# as xdotool sees them.

# poll SECONDS COMMAND...: runs the command every 50 ms until it succeeds, for at most SECONDS.
poll() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        [ $SECONDS -ge $deadline ] && return 1
        sleep 0.05
    done
}

# The calendar window, in WINDOW, among those titled "Brennow Calendar": the application window
# has the same title but no size. It is 322 x 267 at 96 dpi; a test at another resolution sets
# CALENDAR_ANY_SIZE=yes.
calendar_window() {
    local w
    for w in $(xdotool search --onlyvisible --name '^Brennow Calendar$' 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if { [ "${CALENDAR_ANY_SIZE:-}" = yes ] && [ "$WIDTH" -gt 100 ]; } ||
            { [ "$WIDTH" = 322 ] && [ "$HEIGHT" = 267 ]; }; then
            WINDOW=$w
            return 0
        fi
    done
    return 1
}
calendar_hidden() { ! calendar_window; }
# Wine's tray, in TRAY; it is shown while it holds an icon.
tray_window() {
    TRAY=$(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -1)
    [ -n "$TRAY" ]
}
