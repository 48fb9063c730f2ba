#!/usr/bin/env bash
# The packages of scripts/package.sh, installed, upgraded and removed with msiexec in a fresh Wine
# prefix of their own, as a user would: the MSI's files, shortcuts (the Startup one minimised) and
# installed-programs entry; "Start at sign-in" left out; a newer signed package replacing this one
# and this one refused over it; nothing of ours left after uninstalling; the zip's program run from
# another folder.
# Usage: package_program.sh OUTPUT_DIR MSI ZIP PACKAGE_SCRIPT KEEPALIVE_EXE
# Runs on an X display (the test command's Xvfb); MSI and ZIP come from the package script's dist/.
# KEEPALIVE_EXE keeps the prefix's desktop up: without it every Wine command waits seconds for it.
set -uo pipefail
out=$1
msi=$2
zip=$3
package_script=$4
keepalive=$5

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
[ -f "$msi" ] && [ -f "$zip" ] || fail "no $msi or $zip: run scripts/package.sh before the tests"
out=$(mkdir -p "$out" && cd "$out" && pwd)
dist=$(cd "$(dirname "$msi")" && pwd)
msi=$dist/$(basename "$msi")
zip=$(cd "$(dirname "$zip")" && pwd)/$(basename "$zip")

source "$(dirname "$0")/outside.sh"

# --- A newer package, signed with a throwaway certificate, made while the prefix is created.
version=$(sed -E 's/.*BrennowCalendar-([0-9]+\.[0-9]+\.[0-9]+)-x64\.msi$/\1/' <<<"$msi")
IFS=. read -r major minor patch <<<"$version"
newer=$major.$minor.$((patch + 1))
rm -rf "$out/newer" "$out/signing"
mkdir -p "$out/signing"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Brennow Calendar test signing" \
    -addext extendedKeyUsage=codeSigning -keyout "$out/signing/key.pem" -out "$out/signing/cert.pem" \
    >"$out/signing/openssl.log" 2>&1 || fail "openssl could not make a certificate"
openssl pkcs12 -export -inkey "$out/signing/key.pem" -in "$out/signing/cert.pem" -passout pass:throw-away \
    -out "$out/signing/test.pfx" >>"$out/signing/openssl.log" 2>&1 || fail "openssl could not make a .pfx"
BRENNOW_VERSION=$newer BRENNOW_DIST="$out/newer" BRENNOW_SIGN_PFX="$out/signing/test.pfx" \
    BRENNOW_SIGN_PASSWORD=throw-away bash "$package_script" >"$out/package-newer.log" 2>&1 &
packaging=$!

export WINEPREFIX="$out/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
rm -rf "$WINEPREFIX"
trap '$wineserver -k 2>/dev/null' EXIT
$wine wineboot -i >/dev/null 2>&1
$wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
$wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
$wineserver -w
$wineserver -p
$wine cmd /c exit >/dev/null 2>&1 </dev/null
$wine "$keepalive" >/dev/null 2>&1 </dev/null &

wait $packaging || fail "scripts/package.sh BRENNOW_VERSION=$newer: $(tail -5 "$out/package-newer.log")"
newer_msi=$out/newer/BrennowCalendar-$newer-x64.msi
newer_zip=$out/newer/BrennowCalendar-$newer-x64.zip
grep -q "^Unsigned" "$out/package-newer.log" && fail "the package script did not sign with a certificate"
grep -q "without a time stamp" "$out/package-newer.log" ||
    fail "signed without BRENNOW_SIGN_TIMESTAMP_URL, the package script's note does not say there is no time stamp"
# Every per-user folder the installer makes has its removal entry (the Windows Installer's ICE64).
for folder in UserProgramsFolder INSTALLDIR; do
    msiinfo export "$msi" RemoveFile | tr -d '\r' | grep -qP "\t$folder\t2$" ||
        fail "the .msi has no removal entry for the folder $folder"
done

# --- The downloads: checksums match; the newer ones are signed, the .exe inside too, and carry the version.
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match $dist"
(cd "$out/newer" && sha256sum --quiet -c SHA256SUMS) || fail "SHA256SUMS does not match the newer package"
mkdir -p "$out/newer/unpacked"
unzip -q -o "$newer_zip" -d "$out/newer/unpacked" || fail "cannot unpack $newer_zip"
for signed in "$newer_msi" "$out/newer/unpacked/BrennowCalendar.exe"; do
    osslsigncode verify -CAfile "$out/signing/cert.pem" -in "$signed" >"$out/verify.log" 2>&1 ||
        fail "osslsigncode verify refuses $signed: $(tail -3 "$out/verify.log")"
done
strings -el "$out/newer/unpacked/BrennowCalendar.exe" | grep -qx "$newer.0" ||
    fail "the newer .exe's version resource does not say $newer.0"

# --- Where things land.
user_dir=$WINEPREFIX/drive_c/users/$(id -un)
install_dir=$user_dir/AppData/Local/Programs/Brennow\ Calendar
exe_windows='C:\users\'$(id -un)'\AppData\Local\Programs\Brennow Calendar\BrennowCalendar.exe'
start_menu_link=$user_dir/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/Brennow\ Calendar.lnk
startup_link=$user_dir/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/StartUp/Brennow\ Calendar.lnk
start_menu_link_windows='C:\users\'$(id -un)'\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Brennow Calendar.lnk'

msiexec() { # msiexec LOG ARGS...: runs it with a verbose log; returns its exit code
    local log=$1
    shift
    $wine msiexec "$@" /qn /l*v "$(winpath "$log")" >/dev/null 2>&1
}
winpath() { echo "Z:${1//\//\\}"; }

product_code() { # product_code MSI
    msiinfo export "$1" Property | sed -nE 's/^ProductCode\t(.*)\r?$/\1/p' | tr -d '\r'
}
# The installed-programs entry of a product: its values in uninstall_entry.txt; fails when there is none.
uninstall_entry() {
    rm -f "$out/uninstall_entry.txt"
    $wine reg query "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\$1" \
        >"$out/uninstall_entry.txt" 2>/dev/null </dev/null && grep -q DisplayName "$out/uninstall_entry.txt"
}
entry_says() { grep -qE "^\s+$1\s+REG_\w+\s+$2\s*$" "$out/uninstall_entry.txt"; }
# A shortcut points at the installed program when it holds the program's full path.
points_at_program() { [ -f "$1" ] && grep -aqF "$exe_windows" "$1"; }

end_calendar() {
    $wine taskkill /f /im BrennowCalendar.exe >/dev/null 2>&1 </dev/null
    poll 30 eval '! calendar_window' || fail "the program did not end"
}
# Everything of ours in the prefix's files and where the registry keeps it; empty once uninstalled.
traces() {
    (cd "$WINEPREFIX/drive_c" && find . -iname '*brennow*')
    local key
    for key in 'HKCU\Software' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
        'HKLM\Software\Microsoft\Windows\CurrentVersion\Installer' 'HKLM\Software\Classes\Installer'; do
        rm -f "$out/registry.reg"
        # A key that does not exist holds nothing of ours.
        $wine reg export "$key" "$(winpath "$out/registry.reg")" >/dev/null 2>&1 </dev/null || continue
        iconv -f UTF-16 -t UTF-8 "$out/registry.reg" | tr -d '\r' |
            grep -F -e 'Brennow Calendar' -e '\Software\Brennow' -e "$code" -e "$newer_code" \
                -e "$code_packed" -e "$newer_code_packed"
    done
}
# Windows Installer keys its registrations by the product code with each part's digits reversed.
packed_code() {
    local c=${1//[\{\}-]/}
    local out="" i
    out+=$(rev <<<"${c:0:8}")$(rev <<<"${c:8:4}")$(rev <<<"${c:12:4}")
    for ((i = 16; i < 32; i += 2)); do out+=${c:i+1:1}${c:i:1}; done
    echo "$out"
}

code=$(product_code "$msi")
newer_code=$(product_code "$newer_msi")
code_packed=$(packed_code "$code")
newer_code_packed=$(packed_code "$newer_code")
[ ${#code_packed} = 32 ] || fail "cannot pack the product code $code"
[ -n "$code" ] && [ -n "$newer_code" ] && [ "$code" != "$newer_code" ] ||
    fail "product codes '$code' and '$newer_code' must be two different ones"

# --- Install: the program, both shortcuts and the entry; started from the Start menu it shows its window.
msiexec "$out/install.log" /i "$(winpath "$msi")" || fail "msiexec /i $msi failed (see $out/install.log)"
cmp -s "$install_dir/BrennowCalendar.exe" <(unzip -p "$zip" BrennowCalendar.exe) ||
    fail "the installed program is not the packaged one"
points_at_program "$start_menu_link" || fail "no Start-menu shortcut to the installed program"
points_at_program "$startup_link" || fail "no Startup shortcut to the installed program"
# A shell link keeps its show command at byte 60: the Startup one runs minimised (SW_SHOWMINNOACTIVE),
# straight to the tray at sign-in; the Start-menu one normally.
show_command() { od -An -tu4 -j60 -N4 "$1" | tr -d ' '; }
[ "$(show_command "$startup_link")" = 7 ] || fail "the Startup shortcut shows as $(show_command "$startup_link"), not minimised"
[ "$(show_command "$start_menu_link")" = 1 ] || fail "the Start-menu shortcut shows as $(show_command "$start_menu_link")"
uninstall_entry "$code" || fail "no installed-programs entry"
entry_says DisplayName "Brennow Calendar" && entry_says DisplayVersion "$version" && entry_says Publisher Brennow ||
    fail "installed-programs entry: $(cat "$out/uninstall_entry.txt")"
$wine reg query "HKCU\\Software\\Microsoft\\Installer\\Products\\$code_packed" /v ProductIcon \
    >"$out/icon.txt" 2>/dev/null </dev/null || fail "no product icon registered"
icon=$(sed -nE 's/.*ProductIcon\s+REG_SZ\s+C:(.*\.ico)\s*$/\1/p' "$out/icon.txt" | tr '\\' /)
[ -n "$icon" ] && [ -s "$WINEPREFIX/drive_c$icon" ] || fail "product icon missing: $(cat "$out/icon.txt")"

$wine start "$start_menu_link_windows" >/dev/null 2>&1 </dev/null
poll 60 calendar_window || fail "started from its Start-menu shortcut, the program showed no window"
end_calendar

# --- A newer package replaces it in place: one entry, the newer (signed) program.
msiexec "$out/upgrade.log" /i "$(winpath "$newer_msi")" || fail "msiexec /i $newer_msi failed (see $out/upgrade.log)"
uninstall_entry "$code" && fail "the older version's entry is still there after the upgrade"
uninstall_entry "$newer_code" && entry_says DisplayVersion "$newer" || fail "no entry for version $newer"
[ "$(ls "$install_dir")" = BrennowCalendar.exe ] || fail "after the upgrade the folder holds: $(ls "$install_dir")"
cmp -s "$install_dir/BrennowCalendar.exe" "$out/newer/unpacked/BrennowCalendar.exe" ||
    fail "the upgrade did not install the newer program"
points_at_program "$start_menu_link" && points_at_program "$startup_link" || fail "shortcuts lost in the upgrade"

# --- The older package is refused over the newer one with a message box, and changes nothing.
# With the basic interface the refusal shows the package's message in a box titled "Install Failed";
# Windows Installer's exit code 1603 reaches us as 1603 mod 256.
$wine msiexec /i "$(winpath "$msi")" /qb /l*v "$(winpath "$out/downgrade.log")" >/dev/null 2>&1 </dev/null &
downgrade=$!
refusal_box() { REFUSAL=$(xdotool search --onlyvisible --name '^Install Failed$' 2>/dev/null | head -1) && [ -n "$REFUSAL" ]; }
poll 60 refusal_box || fail "installing $version over $newer showed no refusal"
dismissed() { ! kill -0 $downgrade 2>/dev/null || { refusal_box && xdotool key --window "$REFUSAL" Return 2>/dev/null && false; }; }
poll 30 dismissed || fail "the refusal's box did not close on Enter"
wait $downgrade
[ $? = $((1603 % 256)) ] || fail "installing $version over $newer did not fail with 1603"
grep -aq "WIX_DOWNGRADE_DETECTED = $newer_code" "$out/downgrade.log" ||
    fail "the refusal was not for the newer version (see $out/downgrade.log)"
cmp -s "$install_dir/BrennowCalendar.exe" "$out/newer/unpacked/BrennowCalendar.exe" &&
    uninstall_entry "$newer_code" || fail "the refused downgrade changed the installation"

# --- Uninstall leaves nothing of ours.
msiexec "$out/uninstall.log" /x "$(winpath "$newer_msi")" || fail "msiexec /x failed (see $out/uninstall.log)"
left=$(traces)
[ -z "$left" ] || fail "left after uninstalling: $left"

# --- "Start at sign-in" left out: the Start-menu shortcut only.
msiexec "$out/install-without-startup.log" /i "$(winpath "$msi")" ADDLOCAL=Program ||
    fail "msiexec /i ADDLOCAL=Program failed"
points_at_program "$start_menu_link" || fail "no Start-menu shortcut without \"Start at sign-in\""
[ -e "$startup_link" ] && fail "a Startup shortcut although \"Start at sign-in\" was left out"

# --- The portable copy runs from any folder.
portable=$WINEPREFIX/drive_c/Some\ other\ place
mkdir -p "$portable"
unzip -q "$zip" -d "$portable" || fail "cannot unpack $zip"
grep -q "Brennow Calendar $version" "$portable/README.txt" || fail "README.txt does not name the version"
(cd / && exec $wine 'C:\Some other place\BrennowCalendar.exe' >/dev/null 2>&1 </dev/null) &
portable_run=$!
poll 60 calendar_window || fail "the program unpacked from the zip showed no window"
end_calendar
wait $portable_run

echo "passed"
