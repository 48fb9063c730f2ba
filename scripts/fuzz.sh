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

for fuzzer in FuzzIntegerText FuzzVersionText FuzzReckonCommand; do
    mkdir -p "$scratch/$fuzzer"
    # The command fuzzer runs a whole command per input, about twenty times the cost of a number reader's
    # input: it gets a twentieth of the inputs, and inputs of a few lines.
    share=1
    options=""
    if [ "$fuzzer" = FuzzReckonCommand ]; then
        share=20
        options="-max_len=1024"
    fi
    if [ -n "${BRENNOW_FUZZ_SECONDS:-}" ]; then
        limit="-max_total_time=$BRENNOW_FUZZ_SECONDS"
    else
        limit="-runs=$((runs / share))"
    fi
    echo "== $fuzzer ($limit)"
    "$build/$fuzzer" "$limit" $options -print_final_stats=1 -artifact_prefix="$build/$fuzzer-" \
        "$scratch/$fuzzer" "$top/tests/fuzz/corpus/$fuzzer" 2>"$scratch/$fuzzer.log" || {
        cat "$scratch/$fuzzer.log" >&2
        echo "$fuzzer failed" >&2
        exit 1
    }
    grep -E '^(Done|stat::number_of_executed_units|stat::average_exec_per_sec)' "$scratch/$fuzzer.log" || true
done
echo "fuzzing passed"
