#!/usr/bin/env bash
# The Windows programs' runner, with shell commands standing in for Wine programs: a reader of its
# output is not held up by a helper that outlives the program, and nothing of the program is lost.
set -uo pipefail
exec_sh=$(cd "$(dirname "$0")/../.." && pwd)/scripts/wine-exec.sh
out=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$out"' EXIT
failures=0
check() { # check WHAT CONDITION...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

# A program that starts a helper living on with its output, as explorer does, then ends.
started=$(date +%s)
timeout 20 sh "$exec_sh" sh -c 'sleep 9 & echo to-out; echo to-err >&2; exit 3' 2>&1 | cat >"$out/read.txt"
status=${PIPESTATUS[0]}
check "the program's exit status comes through" [ "$status" = 3 ]
check "the reader gets the end of output with the program, not the helper" [ $(($(date +%s) - started)) -lt 5 ]
check "both streams are read" [ "$(sort "$out/read.txt" | tr '\n' ' ')" = "to-err to-out " ]
# Through a pipe, both streams, whole: a burst just before the end included.
sh "$exec_sh" sh -c 'seq 20000; echo last >&2' 2>&1 | sort >"$out/burst.txt"
check "a burst before the end arrives whole" [ "$(wc -l <"$out/burst.txt")" = 20001 ]
check "standard error arrives too" grep -qx last "$out/burst.txt"
# To a file, it is all there when the runner returns.
sh "$exec_sh" sh -c 'seq 20000' >"$out/file.txt"
check "output to a file is complete on return" [ "$(tail -1 "$out/file.txt")" = 20000 ]
# The program keeps the runner's process id, output piped or not: a caller's kill reaches it.
sh "$exec_sh" sleep 30 > >(cat >"$out/killed.txt") &
runner=$!
sleep 1
check "the program runs as the runner's process" [ "$(cat /proc/"$runner"/comm 2>/dev/null)" = sleep ]
kill "$runner"
wait "$runner" 2>/dev/null
ended() { ! kill -0 "$1" 2>/dev/null; }
check "a kill of that process ends the program" ended "$runner"

[ $failures -eq 0 ]
