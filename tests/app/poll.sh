# Sourced by the tests that drive the real program from outside.
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
