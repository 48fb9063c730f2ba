#!/usr/bin/env bash
# Builds the three configurations (native, i686, x86_64) and runs every test.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
start=$(date +%s)

bash scripts/deps.sh test || exit 1
# 32-bit Wine, where this machine can run it, comes in while the trees build: only the i686 Windows
# suite needs it.
mkdir -p build
bash scripts/deps.sh wine32 >build/deps-wine32.log 2>&1 &
wine32_setup=$!

build() { # build DIR [cmake args...]
    local dir=$1
    shift
    # Configured every time: a tree configured before the set-up installed a test's tools (by the
    # run command, say) then gains that test.
    cmake -S . -B "build/$dir" -G Ninja "$@" >"build/$dir.configure.log" 2>&1 || {
        cat "build/$dir.configure.log"
        return 1
    }
    echo "== building $dir"
    cmake --build "build/$dir" -j "$(nproc)" >"build/$dir.build.log" 2>&1
    local built=$?
    grep -vE '^\[[0-9]+/[0-9]+\] ' "build/$dir.build.log"
    return $built
}

mkdir -p build
failed_build=0
build native || failed_build=1
build i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw.cmake || failed_build=1
build x86_64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw.cmake || failed_build=1
if [ $failed_build -ne 0 ]; then
    wait $wine32_setup
    echo "Build failed."
    exit 1
fi

logs=()
status=0
run_ctest() { # run_ctest NAME [ctest args...]
    local name=$1
    shift
    echo "== testing $name"
    ctest --test-dir "build/$name" --output-on-failure "$@" 2>&1 | tee "build/$name.ctest.log"
    [ "${PIPESTATUS[0]}" -eq 0 ] || status=1
    logs+=("build/$name.ctest.log")
}

run_ctest native -j "$(nproc)"

if [ -x scripts/fuzz.sh ] || [ -f scripts/fuzz.sh ]; then
    echo "== fuzzing"
    bash scripts/fuzz.sh || status=1
fi

# What did not run, and why, for the summary.
not_run=()
if command -v python3 >/dev/null 2>&1; then
    python3 app/art/draw_art.py --check || { echo "The committed art is not what app/art/draw_art.py draws."; status=1; }
else
    not_run+=("the art check: python3 is not installed")
fi

# Within a Windows suite the tests run one at a time: they share a display and its keyboard focus.
# The two suites run side by side, each with a display and a Wine prefix of its own.
wine_tests() { # wine_tests NAME PREFIX
    BRENNOW_WINEPREFIX=$2 xvfb-run -a -s "-screen 0 1024x768x24" bash scripts/wine-session.sh \
        "build/$1/tests/rig/keepalive.exe" ctest --test-dir "build/$1" --output-on-failure -j 1 2>&1
}

# The release packages, which the x86_64 tests install.
echo "== packaging"
bash scripts/package.sh || status=1

# The released .exe's header and reproducibility: a second build in another folder, in the
# background at low priority while the Windows tests (one at a time, mostly waiting) run.
nice -n 10 bash -c 'for arch in x86_64 i686; do bash tests/app/release_exe_check.sh $arch; echo "exit $arch $?"; done' \
    >build/release-exe-check.log 2>&1 &
exe_check=$!

wait $wine32_setup
cat build/deps-wine32.log
i686_suite=""
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    wine_tests i686 "$top/build/wine-i686" >build/i686.ctest.log &
    i686_suite=$!
    # xvfb-run -a takes the first free display: let this one take it first.
    sleep 5
else
    why=$(cat build/.deps-no-wine32 2>/dev/null || echo "wine32:i386 is not installed")
    echo "i686: built; its tests are not run: $why."
    not_run+=("the i686 build's Windows tests: $why")
fi
echo "== testing x86_64 under Wine"
wine_tests x86_64 "$top/build/wine" | tee build/x86_64.ctest.log
[ "${PIPESTATUS[0]}" -eq 0 ] || status=1
logs+=(build/x86_64.ctest.log)
if [ -n "$i686_suite" ]; then
    wait "$i686_suite" || status=1
    echo "== testing i686 under Wine (alongside x86_64)"
    cat build/i686.ctest.log
    logs+=(build/i686.ctest.log)
fi

echo "== checking the released .exe (header, reproducibility)"
wait $exe_check
grep -v '^exit ' build/release-exe-check.log
checks_passed=$(grep -c '^exit [a-z0-9_]* 0$' build/release-exe-check.log)
checks_failed=$((2 - checks_passed))
[ $checks_failed -eq 0 ] || status=1

passed=$checks_passed
failed=$checks_failed
skipped=0
for log in "${logs[@]}"; do
    tree=$(basename "$log" .ctest.log)
    line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
    if [ -n "$line" ]; then
        f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
        t=$(sed -E 's/.* failed out of ([0-9]+).*/\1/' <<<"$line")
        passed=$((passed + t - f))
        failed=$((failed + f))
    else
        not_run+=("the $tree suite: CTest ended without its summary (see $log)")
        failed=$((failed + 1))
    fi
    # CTest counts a skipped test as passed: it is named here instead.
    while read -r test; do
        not_run+=("$tree $test: skipped")
        passed=$((passed - 1))
        skipped=$((skipped + 1))
    done < <(sed -nE 's/^[[:space:]]*[0-9]+ - (.*) \(Skipped\)$/\1/p' "$log")
done
for what in "${not_run[@]}"; do echo "Not run: $what"; done
echo "Wall time: $(($(date +%s) - start)) s"
if [ $skipped -gt 0 ]; then
    echo "Total: $passed passed, $failed failed, $skipped skipped"
else
    echo "Total: $passed passed, $failed failed"
fi
[ $failed -eq 0 ] || status=1
exit $status
