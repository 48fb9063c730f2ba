#!/usr/bin/env bash
# Times `reckon -` against GNU `date -f FILE +%F` on one file of 1,000,000 ISO dates, run side by side in
# turns, and prints each one's median wall time and the ratio.
# usage: tools/bench_reckon_batch.sh RECKON [RUNS]   (RECKON: a native Release build of reckon)
set -euo pipefail
reckon=$1
runs=${2:-5}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Dates in years 1000..9999, which both read; days to 28 so that every date is a real one for date(1).
awk 'BEGIN { srand(1); for (i = 0; i < 1000000; ++i)
             printf "%04d-%02d-%02d\n", 1000 + int(rand() * 9000), 1 + int(rand() * 12), 1 + int(rand() * 28) }' \
    >"$dir/dates.txt"

run() { # run COMMAND...: appends "wall cpu" in ms of one run to $dir/times, output to $dir/out
    local TIMEFORMAT='%R %U %S'
    { time "$@" <"$dir/dates.txt" >"$dir/out"; } 2>"$dir/time"
    awk '{ printf "%d %d\n", $1 * 1000, ($2 + $3) * 1000 }' "$dir/time"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

: >"$dir/reckon.times"
: >"$dir/date.times"
for ((i = 0; i < runs; ++i)); do
    run "$reckon" - >>"$dir/reckon.times"
    [ "$(wc -l <"$dir/out")" -eq 1000000 ] || { echo "reckon did not print 1,000,000 lines" >&2; exit 1; }
    run env TZ=UTC0 date -f - +%F >>"$dir/date.times"
    cmp -s "$dir/out" "$dir/dates.txt" || { echo "date did not print the dates back" >&2; exit 1; }
done
rw=$(cut -d' ' -f1 <"$dir/reckon.times" | median)
rc=$(cut -d' ' -f2 <"$dir/reckon.times" | median)
dw=$(cut -d' ' -f1 <"$dir/date.times" | median)
dc=$(cut -d' ' -f2 <"$dir/date.times" | median)
echo "medians of $runs runs each, in turns; 1,000,000 ISO dates"
echo "reckon -:       wall $rw ms, CPU $rc ms"
echo "date -f - +%F:  wall $dw ms, CPU $dc ms"
awk -v rw="$rw" -v rc="$rc" -v dw="$dw" -v dc="$dc" \
    'BEGIN { printf "reckon is %.1f times as fast by wall time, %.1f by CPU time\n", dw / rw, dc / (rc > 0 ? rc : 1) }'
