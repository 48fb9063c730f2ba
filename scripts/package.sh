#!/usr/bin/env bash
# Builds the x86_64 release and writes the installable packages to dist/:
#   BrennowCalendar-<version>-x64.msi   per-user installer (wixl)
#   BrennowCalendar-<version>-x64.zip   the portable program and a short README.txt
#   SHA256SUMS                          for both
# Environment:
#   BRENNOW_SIGN_PFX, BRENNOW_SIGN_PASSWORD   a code-signing certificate (.pfx) and its password: the .exe
#                                             and the .msi are then signed with osslsigncode
#   BRENNOW_SIGN_TIMESTAMP_URL                an RFC 3161 time-stamp server: signatures then stay valid
#                                             after the certificate expires
#   BRENNOW_VERSION   MAJOR.MINOR.PATCH to build instead of the project version (packaging tests)
#   BRENNOW_DIST      the output folder instead of dist/
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash scripts/deps.sh package || exit 1
build=build/release-x86_64
dist=${BRENNOW_DIST:-dist}

# The version comes from the project (or the override) through the configure step, like the .exe's.
mkdir -p build
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw.cmake \
    -DCMAKE_BUILD_TYPE=Release -DBRENNOW_VERSION_OVERRIDE="${BRENNOW_VERSION:-}" >"$build.configure.log" 2>&1 || {
    cat "$build.configure.log"
    exit 1
}
cmake --build "$build" --target BrennowCalendar -j "$(nproc)" >"$build.build.log" 2>&1 || {
    cat "$build.build.log"
    exit 1
}
version=$(cat "$build/app/BrennowVersion.txt")
name=BrennowCalendar-$version-x64

mkdir -p "$dist"
dist=$(cd "$dist" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# Everything packed carries the last commit's time, so that the same tree gives the same files.
stamp=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}
# strip writes a PE time stamp: this one.
SOURCE_DATE_EPOCH=$stamp x86_64-w64-mingw32-strip -o "$stage/BrennowCalendar.exe" "$build/app/BrennowCalendar.exe"

signing=0
if [ -n "${BRENNOW_SIGN_PFX:-}" ]; then
    [ -f "$BRENNOW_SIGN_PFX" ] || { echo "BRENNOW_SIGN_PFX: no such file: $BRENNOW_SIGN_PFX" >&2; exit 1; }
    signing=1
fi
timestamp=()
[ -n "${BRENNOW_SIGN_TIMESTAMP_URL:-}" ] && timestamp=(-ts "$BRENNOW_SIGN_TIMESTAMP_URL")
sign() { # sign FILE: signs it in place; the password goes through a pipe, not the command line
    osslsigncode sign -pkcs12 "$BRENNOW_SIGN_PFX" -readpass /dev/stdin -n "Brennow Calendar" "${timestamp[@]}" \
        -in "$1" -out "$1.signed" <<<"${BRENNOW_SIGN_PASSWORD:-}" >"$stage/sign.log" 2>&1 || {
        cat "$stage/sign.log" >&2
        exit 1
    }
    mv "$1.signed" "$1"
}
[ $signing -eq 1 ] && sign "$stage/BrennowCalendar.exe"

# A GUID made from a text (version 5 layout): the same text gives the same GUID.
guid_of() {
    local h
    h=$(printf '%s' "$1" | sha1sum)
    printf '%s-%s-5%s-%x%s-%s\n' "${h:0:8}" "${h:8:4}" "${h:13:3}" $((0x${h:16:1} & 3 | 8)) "${h:17:3}" "${h:20:12}" |
        tr a-f A-F
}
# The installer: one product code per version, so that each version is its own product and
# installing a newer one is a major upgrade. (wixl makes a new package code and dates every time:
# the .msi is the one file that differs between two builds of the same tree.)
upgrade_code=70198E5A-2C75-42E4-8A96-18DA212CCFC2
product_code=$(guid_of "$upgrade_code/$version")
grep -q "UpgradeCode=\"$upgrade_code\"" app/package/BrennowCalendar.wxs || {
    echo "app/package/BrennowCalendar.wxs has another UpgradeCode than scripts/package.sh" >&2
    exit 1
}
cp app/art/MainIcon.ico "$stage/"
# wixl finds the files relative to the folder it runs in.
(cd "$stage" && wixl -a x64 -D Version="$version" -D ProductCode="$product_code" \
    -D ExeFile=BrennowCalendar.exe -D IconFile=MainIcon.ico \
    -o "$name.msi" "$top/app/package/BrennowCalendar.wxs")
# The Startup shortcut runs minimised (SW_SHOWMINNOACTIVE), as Show="minimized" would give.
mkdir -p "$stage/tables"
msiinfo export "$stage/$name.msi" Shortcut |
    awk 'BEGIN { FS = OFS = "\t" } NR > 3 && $1 == "StartupShortcut" { $11 = 7 } { print }' \
        >"$stage/tables/Shortcut.idt"
grep -q "^StartupShortcut	.*	7	" "$stage/tables/Shortcut.idt" || {
    echo "no Startup shortcut in the package's Shortcut table" >&2
    exit 1
}
msibuild "$stage/$name.msi" -i "$stage/tables/Shortcut.idt"
[ $signing -eq 1 ] && sign "$stage/$name.msi"

# The portable copy: the program and how to start it, with Windows line ends.
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' app/package/README.txt >"$stage/README.txt"
touch -d "@$stamp" "$stage/BrennowCalendar.exe" "$stage/README.txt"
(cd "$stage" && zip -q -X "$name.zip" BrennowCalendar.exe README.txt)

rm -f "$dist/$name.msi" "$dist/$name.zip" "$dist/SHA256SUMS"
mv "$stage/$name.msi" "$stage/$name.zip" "$dist/"
(cd "$dist" && sha256sum "$name.msi" "$name.zip" >SHA256SUMS)
if [ $signing -eq 1 ]; then
    if [ ${#timestamp[@]} -ne 0 ]; then
        echo "Signed the .exe and the .msi with $BRENNOW_SIGN_PFX, time-stamped by $BRENNOW_SIGN_TIMESTAMP_URL."
    else
        echo "Signed the .exe and the .msi with $BRENNOW_SIGN_PFX, without a time stamp: the signatures stop validating when the certificate expires (set BRENNOW_SIGN_TIMESTAMP_URL)."
    fi
else
    echo "Unsigned: set BRENNOW_SIGN_PFX and BRENNOW_SIGN_PASSWORD to sign the .exe and the .msi."
fi
ls -l "$dist/$name.msi" "$dist/$name.zip" "$dist/SHA256SUMS" | awk '{print $5, $NF}'
