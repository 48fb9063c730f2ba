#!/usr/bin/env bash
# The built BrennowCalendar.exe as Windows and its users get it: the header carries the expected
# security flags and no link time, and the same commit built again in another folder gives the
# same bytes. Both it and reckon.exe import by name only KnownDLLs (which Windows never looks for
# in the program's folder) and are built with the stack protector and the C library's checked
# copies, as their symbols show; the calendar's icons hold an image for every size.
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

# The DLLs Windows loads from its own list (HKLM\System\CurrentControlSet\Control\Session
# Manager\KnownDLLs) and never from the program's folder.
known_dlls=" advapi32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll "
known_dlls+="shell32.dll shlwapi.dll user32.dll "
for program in "$exe" "$top/build/$arch/tools/reckon.exe"; do
    name=$(basename "$program")
    imports=$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
    [ -n "$imports" ] || fail "cannot read the imports of $name"
    for dll in $imports; do
        [[ "$known_dlls" == *" $dll "* ]] || fail "$name imports $dll, which is no KnownDLL"
    done
    # The symbols and the compile units' options are in the debug file where there is one.
    symbols=$program
    [ -f "$program.debug" ] && symbols=$program.debug
    defined=$("$arch-w64-mingw32-nm" --defined-only "$symbols" 2>/dev/null)
    for symbol in __stack_chk_fail __stack_chk_guard; do
        grep -qE " _?$symbol\$" <<<"$defined" || fail "$name has no $symbol: not built with the stack protector"
    done
    dwarf=$("$objdump" --dwarf=info "$symbols" 2>/dev/null)
    unprotected=$(grep 'DW_AT_producer.*GNU C++' <<<"$dwarf" | grep -vc -- '-fstack-protector-strong')
    [ "$unprotected" -eq 0 ] || fail "$name has $unprotected C++ compile units built without -fstack-protector-strong"
    # With _FORTIFY_SOURCE the C library's memcpy is its own checking inline wrapper. reckon calls
    # none of the functions it wraps, so only the calendar can show it.
    if [ "$program" = "$exe" ]; then
        grep -A8 'DW_AT_name *: memcpy$' <<<"$dwarf" | grep -q DW_AT_artificial ||
            fail "$name was not built with _FORTIFY_SOURCE (no checking memcpy)"
    fi
done

# The icon groups of the built program: every size the system asks for, as 32-bit images with
# alpha, besides the 16-colour 32 and 16 px ones (window/ResourceIds.h: 1 main, 2 hide button,
# 3 tray).
icon_groups=$("$arch-w64-mingw32-windres" -i "$exe" -J coff -O rc 2>/dev/null | awk '
    / RT_GROUP_ICON / { id = $1; next }
    id != "" && /Element no/ {
        split($0, field, ",")
        width = substr(field[1], index(field[1], "\\") + 1, 3)
        gsub(/ /, "", field[3])
        images[id] = images[id] " " width "/" field[3]
    }
    /^END/ { id = "" }
    END { for (g in images) print g ":" images[g] }')
expected_icons=([1]="16 20 24 32 40 48 64 256" [2]="32 40 48 64" [3]="16 20 24 32 40 48 64 256")
for group in 1 2 3; do
    held=" "
    for image in $(sed -n "s/^$group://p" <<<"$icon_groups"); do
        width=$((8#${image%/*}))
        held+="$((width == 0 ? 256 : width))/${image#*/} "
    done
    for size in ${expected_icons[$group]}; do
        [[ $held == *" $size/32 "* ]] || fail "icon $group has no 32-bit $size px image (it has:$held)"
    done
    for size in 32 16; do
        [[ $held == *" $size/4 "* ]] || fail "icon $group has no 16-colour $size px image (it has:$held)"
    done
done

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
echo "$arch: BrennowCalendar.exe has ${flags[*]}, no link time, and the same bytes built elsewhere;" \
    "it and reckon.exe import only KnownDLLs and carry the stack protector and the checked copies;" \
    "its icons hold 32-bit images at every size"
