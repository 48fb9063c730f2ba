#!/usr/bin/env bash
# The programs unpacked into a folder that others can write in, such as Downloads, beside DLLs
# planted there under the names of system DLLs they or the system's libraries could load: each
# planted DLL leaves a marker when loaded, and Wine is told to look in the program's folder first
# for those names, as Windows does for DLLs that are not KnownDLLs. No marker may appear, and the
# programs must still work: the calendar shows its window, reckon converts a date.
# Usage: planted_dll.sh OUTPUT_DIR LOADER CALENDAR_EXE RECKON_EXE PLANTED_DLL PROBE_EXE
# PROBE_EXE imports version.dll by name: its planted copy must be loaded, or this test sees nothing.
set -uo pipefail
out=$(mkdir -p "$1" && cd "$1" && pwd)
loader=$2
calendar=$3
reckon=$4
planted=$(realpath "$5")
probe=$6
source "$(dirname "$0")/outside.sh"
CALENDAR_ANY_SIZE=yes

fail() {
    echo "FAILED: $*" >&2
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null
    exit 1
}

# The names of DLLs that are no KnownDLLs (planting a KnownDLL fools Wine, not Windows): those the
# programs imported once, those the system's libraries may load for them (themes, composition,
# sound, accessibility, the random numbers of the stack protector's guard), and those seen loaded
# under Wine (WINEDEBUG=+loaddll).
names=(version msimg32 uxtheme dwmapi comctl32 winmm oleacc msctf cryptbase rsaenh bcrypt crypt32
    cryptsp zlib1 windowscodecs dbghelp propsys profapi wintrust)
# Wine resolves the imports of its own system libraries as if they were the program's, from the
# program's folder first; Windows takes a KnownDLL's imports from the system. A name that Wine's
# user32, gdi32, shell32, advapi32 or kernel32 imports would be planted into Wine itself, not into
# the program: those names are left out (the release check sees the program's own imports).
wine_dlls=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
[ "$(basename "$loader")" = wine64 ] || wine_dlls=/usr/lib/i386-linux-gnu/wine/i386-windows
wine_imports=" $(for dll in user32 gdi32 shell32 advapi32 kernel32; do
    x86_64-w64-mingw32-objdump -p "$wine_dlls/$dll.dll" 2>/dev/null | sed -n 's/^\s*DLL Name: //p'
done | tr 'A-Z\n' 'a-z ') "
planted_names=()
left_out=()
for name in "${names[@]}"; do
    if [[ $wine_imports == *" $name.dll "* ]]; then
        left_out+=("$name")
    else
        planted_names+=("$name")
    fi
done
names=("${planted_names[@]}")
top=$(cd "$(dirname "$0")/../.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$top/build/wine}" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;$(IFS=,; echo "${names[*]}")=n,b"

folder="$out/Downloads"
rm -rf "$folder"
mkdir -p "$folder"
cp "$calendar" "$reckon" "$probe" "$folder/"
for name in "${names[@]}"; do
    cp "$planted" "$folder/$name.dll"
done
markers() { (cd "$folder" && ls -- *.loaded 2>/dev/null); }

# Started from its own folder, as a double click in Explorer starts it.
cd "$folder" || fail "cannot enter $folder"
cp "$planted" "$folder/version.dll"
WINEDLLOVERRIDES="mscoree,mshtml=;version=n,b" "$loader" "$(basename "$probe")" >/dev/null 2>&1 </dev/null
markers | grep -qix version.dll.loaded || fail "the probe's planted version.dll was not loaded: the test cannot see a planted DLL"
rm -f -- *.loaded
[[ " ${names[*]} " == *" version "* ]] || rm -f version.dll

"$loader" "$(basename "$reckon")" 2026-12-09 >"$out/reckon.txt" 2>"$out/reckon.err" </dev/null ||
    fail "reckon.exe 2026-12-09 failed: $(cat "$out/reckon.err")"
[ -s "$out/reckon.txt" ] || fail "reckon.exe printed nothing for 2026-12-09"

"$loader" "$(basename "$calendar")" >/dev/null 2>&1 </dev/null &
pid=$!
poll 120 calendar_window || fail "the calendar window did not appear beside the planted DLLs"
# The tray icon and the first tick come after the window: give them their second.
sleep 1.5
kill -0 "$pid" 2>/dev/null || fail "the calendar ended by itself"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
pid=""

loaded=$(markers)
[ -z "$loaded" ] || fail "planted DLLs were loaded: $(echo $loaded | sed 's/\.loaded//g')"
echo "no planted DLL loaded (${#names[@]} names: ${names[*]}; left out as imports of Wine's own libraries: ${left_out[*]});" \
    "the window showed; reckon.exe said: $(head -1 "$out/reckon.txt")"
