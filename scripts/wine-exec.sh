#!/bin/sh
# Runs a Windows program under Wine in the project's prefix: wine-exec.sh LOADER PROGRAM ARGS...
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${BRENNOW_WINEPREFIX:-$top/build/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
# A helper that the program starts (explorer, when the desktop is not up) inherits its output and
# can outlive it by hours, and whoever reads a pipe from here waits for the last writer. So output
# bound for a pipe goes to a file, and a tail that ends with the program copies it on. The program
# keeps this shell's process id, so callers can still signal and wait for it. Files and terminals
# are passed straight through: nobody waits on them, and their last bytes must be there on return.
piped() { [ -p "/dev/fd/$1" ] || [ -S "/dev/fd/$1" ]; }
if ! piped 1 && ! piped 2; then
    exec "$@"
fi
dir=$(mktemp -d "${TMPDIR:-/tmp}/wine-exec.XXXXXX") || exec "$@"
out=/dev/fd/1 err=/dev/fd/2
piped 1 && out=$dir/out && : >"$out"
piped 2 && err=$dir/err && : >"$err"
(
    [ "$out" = /dev/fd/1 ] || tail -q -s 0.02 --pid=$$ -c +1 -f "$out" &
    [ "$err" = /dev/fd/2 ] || tail -q -s 0.02 --pid=$$ -c +1 -f "$err" >&2 &
    wait
    rm -rf "$dir"
) </dev/null &
exec "$@" >"$out" 2>"$err"
