#!/usr/bin/env bash
# The built BrennowCalendar.exe as Windows and its users get it: the header carries the expected
# security flags and no link time, and the same commit built again in another folder gives the
# same bytes.
# Usage: release_exe_check.sh ARCH   (i686 or x86_64; the build is build/ARCH of this tree)
set -uo pipefail
arch=$1
top=$(cd "$(dirname "$0")/../.." && pwd)
exe="$top/build/$arch/app/BrennowCalendar.exe"
objdump="$arch-w64-mingw32-objdump"
failures=0
fail() {
    echo "FAILED ($arch): $*"
    failures=$((failures + 1))
}

header=$("$objdump" -p "$exe") || {
    echo "FAILED ($arch): cannot read $exe"
    exit 1
}
flags=(DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
[ "$arch" = x86_64 ] && flags+=(HIGH_ENTROPY_VA)
for flag in "${flags[@]}"; do
    grep -qw "$flag" <<<"$header" || fail "the header lacks $flag"
done
grep -q 'Time/Date.*1970' <<<"$header" || fail "the header carries a link time: $(grep Time/Date <<<"$header")"

# A second build of the same sources, in a folder of another name and depth.
second=$(mktemp -d "$top/build/reproduce-$arch.XXXXXX")
trap 'rm -rf "$second"' EXIT
src="$second/a/longer/path/to/the/sources"
mkdir -p "$src"
if git -C "$top" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$top" ls-files -z --cached --others --exclude-standard | (cd "$top" && xargs -0 cp --parents -t "$src")
else
    tar -C "$top" --exclude=./build -cf - . | tar -C "$src" -xf -
fi
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$top/build/$arch/CMakeCache.txt")
if ! cmake -S "$src" -B "$src/build/$arch" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
    -DCMAKE_TOOLCHAIN_FILE="$src/cmake/toolchain-$arch-mingw.cmake" >"$second/log" 2>&1 ||
    ! cmake --build "$src/build/$arch" --target BrennowCalendar >>"$second/log" 2>&1; then
    tail -20 "$second/log"
    fail "the second build failed"
elif ! cmp -s "$exe" "$src/build/$arch/app/BrennowCalendar.exe"; then
    fail "built again in another folder, BrennowCalendar.exe differs: $(cmp "$exe" "$src/build/$arch/app/BrennowCalendar.exe" | head -1)"
fi

if [ $failures -ne 0 ]; then
    exit 1
fi
echo "$arch: BrennowCalendar.exe has ${flags[*]}, no link time, and the same bytes built elsewhere"
