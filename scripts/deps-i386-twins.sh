#!/usr/bin/env bash
# Installs wine32:i386 when apt refuses it because an i386 package list failed to download (a mirror
# in sync): every installed amd64 library that is "Multi-Arch: same" needs an i386 twin of the same
# version, and the twins of an update suite's versions are named only in that suite's i386 list. Each
# missing twin is fetched from beside its amd64 package in the archive and offered from a local
# source for this one install. Nothing is downgraded or removed.
# The twins are not checked against a signed list (the list that names them is the one that failed):
# this is for test machines.
# Usage: deps-i386-twins.sh LOG. Prints what happened in one line; exits 1 when wine32 is not installed.
set -uo pipefail
log=${1:-/dev/null}
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
helper=$(command -v apt-helper || echo /usr/lib/apt/apt-helper)

twins=$(mktemp -d "${TMPDIR:-/tmp}/brennow-i386-twins.XXXXXX") || exit 1
trap 'rm -rf "$twins"' EXIT
# apt reads a local source as its own unprivileged user.
chmod 755 "$twins"
cd "$twins" || exit 1

# The candidates' pool files, one "PACKAGE FILE URI" line each, for the given architecture.
candidates() { # candidates ARCH PACKAGE...
    local arch=$1
    shift
    apt-get download --print-uris "${@/%/:$arch}" 2>>"$log" |
        sed -E "s/^'([^']*)' ([^ ]*) .*/\2 \1/" | awk '{ split($1, part, "_"); print part[1], $1, $2 }'
}

mapfile -t same < <(dpkg-query -W -f='${binary:Package} ${Multi-Arch} ${db:Status-Abbrev}\n' |
    awk '$2 == "same" && $3 == "ii" && sub(/:amd64$/, "", $1) { print $1 }')
declare -A i386_file
while read -r package file _; do i386_file[$package]=$file; done < <(candidates i386 "${same[@]}")

# A twin is missing where the i386 candidate is not the amd64 candidate's version. The amd64
# candidate, not the installed version: where that is older, the install upgrades it to match.
wanted=()
fetch=()
while read -r package file uri; do
    twin=${file%_amd64.deb}_i386.deb
    [ "${i386_file[$package]:-}" = "$twin" ] && continue
    wanted+=("$package $twin")
    fetch+=("${uri%_amd64.deb}_i386.deb" "$twin")
done < <(candidates amd64 "${same[@]}")
if [ ${#wanted[@]} -eq 0 ]; then
    echo "no installed library lacks its i386 twin"
    exit 1
fi
"$helper" download-file "${fetch[@]}" >>"$log" 2>&1

# Only a file that is the twin it should be goes into the local source.
missing=()
: >Packages
for entry in "${wanted[@]}"; do
    read -r package twin <<<"$entry"
    version=${twin#*_}
    version=${version%_i386.deb}
    version=${version//%3a/:}
    if [ "$(dpkg-deb -f "$twin" Package Version Architecture 2>/dev/null | tr '\n' ' ')" != \
        "Package: $package Version: $version Architecture: i386 " ]; then
        missing+=("$package")
        rm -f "$twin"
        continue
    fi
    {
        dpkg-deb -f "$twin"
        echo "Filename: ./$twin"
        echo "Size: $(stat -c %s "$twin")"
        echo "SHA256: $(sha256sum "$twin" | cut -d' ' -f1)"
        echo
    } >>Packages
done

line="deb [trusted=yes arch=i386] file:$twins ./"
echo "$line" >twins.list
eval "$(apt-config shell sourcelist Dir::Etc::sourcelist/f)"
{
    cat "${sourcelist:-/dev/null}" 2>/dev/null
    echo "$line"
} >all.list
$SUDO apt-get update -q -o Dir::Etc::sourcelist="$twins/twins.list" -o Dir::Etc::sourceparts=- \
    -o APT::Get::List-Cleanup=0 >>"$log" 2>&1
fetched=$((${#wanted[@]} - ${#missing[@]}))
if $SUDO apt-get install -y -q --no-install-recommends --no-remove -o DPkg::Lock::Timeout=120 \
    -o Dir::Etc::sourcelist="$twins/all.list" wine32:i386 >>"$log" 2>&1; then
    echo "with $fetched i386 twins from the archive, not checked against a signed list"
    exit 0
fi
because=$(grep -E '^E: ' "$log" | tail -1 | sed 's/^E: //' | cut -c1-120)
if [ ${#missing[@]} -gt 0 ]; then
    echo "$fetched i386 twins brought in, ${#missing[@]} not to be had (${missing[*]:0:3}): $because"
else
    echo "refused even with $fetched i386 twins brought in: $because"
fi
exit 1
