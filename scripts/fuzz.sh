#!/bin/sh
# Builds the fuzzers with clang and libFuzzer into build/fuzz and runs each for a bounded number of inputs.
# Exits non-zero when a build fails or a fuzzer finds a fault (its input is left in build/fuzz/).
# BRENNOW_FUZZ_RUNS sets the inputs per fuzzer (default 1000000); BRENNOW_FUZZ_SECONDS, when set, runs each
# fuzzer for that long instead.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build/fuzz"
runs="${BRENNOW_FUZZ_RUNS:-1000000}"
compiler="${BRENNOW_FUZZ_CXX:-clang++}"

cmake -S "$top/tests/fuzz" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER="$compiler" >/dev/null
cmake --build "$build"

# New inputs go to a scratch directory; the seeds in the tree stay as they are.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT INT TERM

for fuzzer in FuzzIntegerText FuzzVersionText; do
    mkdir -p "$scratch/$fuzzer"
    if [ -n "${BRENNOW_FUZZ_SECONDS:-}" ]; then
        limit="-max_total_time=$BRENNOW_FUZZ_SECONDS"
    else
        limit="-runs=$runs"
    fi
    echo "== $fuzzer ($limit)"
    "$build/$fuzzer" "$limit" -print_final_stats=1 -artifact_prefix="$build/$fuzzer-" \
        "$scratch/$fuzzer" "$top/tests/fuzz/corpus/$fuzzer" 2>"$scratch/$fuzzer.log" || {
        cat "$scratch/$fuzzer.log" >&2
        echo "$fuzzer failed" >&2
        exit 1
    }
    grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' "$scratch/$fuzzer.log" || true
done
echo "fuzzing passed"
