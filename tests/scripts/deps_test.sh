#!/usr/bin/env bash
# scripts/deps.sh against stand-ins for apt-get, dpkg and dpkg-query: what it installs, what it
# survives (a failing index, a refused optional package, 32-bit Wine where it cannot be had) and
# where it stops, without touching the network.
set -uo pipefail
deps="$(cd "$(dirname "$0")/../.." && pwd)/scripts/deps.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
check() { # check DESCRIPTION COMMAND...
    if ! "${@:2}"; then
        echo "FAILED: $1"
        failures=$((failures + 1))
    fi
}

fake=$work/bin
mkdir -p "$fake"
cat >"$fake/dpkg-query" <<'SH'
#!/bin/sh
# dpkg-query -W -f=... [PACKAGE]; without one, the installed amd64 libraries that are Multi-Arch: same.
[ $# -eq 2 ] && exec awk -F= '{ print $1 ":amd64 same ii " }' "$FAKE/libs"
grep -qx "$3" "$FAKE/installed" && printf 'install ok installed'
SH
# The archive knows each library in $FAKE/libs (NAME=AMD64_CANDIDATE=I386_CANDIDATE) at both versions;
# the i386 list of the update suite is missing, so its i386 candidate may be an older one.
cat >"$fake/apt-cand" <<'SH'
#!/bin/bash
# apt-cand PACKAGE:ARCH: FILE and URI of the candidate, as apt-get download --print-uris gives them.
IFS=: read -r name arch <<<"$1"
IFS== read -r _ amd64 i386 < <(grep "^$name=" "$FAKE/libs")
version=$amd64
[ "$arch" = i386 ] && version=$i386
suite=debian/pool/main
case $version in *deb12u*) suite=debian-security/pool/updates/main ;; esac
echo "'http://deb.example/$suite/${name:0:1}/$name/${name}_${version#*:}_$arch.deb'" \
    "${name}_${version/:/%3a}_$arch.deb 100 SHA256:0"
SH
cat >"$fake/apt-helper" <<'SH'
#!/bin/bash
# apt-helper download-file URI FILE...: only the i386 pool files of the amd64 candidates are there.
shift
while [ $# -gt 0 ]; do
    echo "fetch $1" >>"$FAKE/calls"
    name=${2%%_*}
    IFS== read -r _ version _ < <(grep "^$name=" "$FAKE/libs")
    if [ "$1" = "$(apt-cand "$name:amd64" | sed -E "s/^'(.*)_amd64.deb' .*/\1_i386.deb/")" ] &&
        [[ " $FAKE_NO_TWIN " != *" $name "* ]]; then
        printf 'Package: %s\nVersion: %s\nArchitecture: i386\n' "$name" "$version" >"$2"
    fi
    shift 2
done
SH
cat >"$fake/dpkg-deb" <<'SH'
#!/bin/bash
# dpkg-deb -f FILE [FIELD...]
[ -f "$2" ] || exit 2
[ $# -eq 2 ] && exec cat "$2"
for f in "${@:3}"; do grep "^$f: " "$2"; done
SH
cat >"$fake/apt-config" <<'SH'
#!/bin/sh
echo "sourcelist='$FAKE/sources.list'"
SH
cat >"$fake/locale" <<'SH'
#!/bin/sh
printf 'C\nPOSIX\n'
[ -f "$FAKE/locale-made" ] && echo de_DE.utf8
true
SH
cat >"$fake/localedef" <<'SH'
#!/bin/sh
echo "localedef $*" >>"$FAKE/calls"
touch "$FAKE/locale-made"
SH
cat >"$fake/dpkg" <<'SH'
#!/bin/sh
echo "dpkg $*" >>"$FAKE/calls"
case $1 in
--print-foreign-architectures) cat "$FAKE/arch" 2>/dev/null ;;
--add-architecture) echo "$2" >>"$FAKE/arch" ;;
--remove-architecture) sed -i "/^$2\$/d" "$FAKE/arch" ;;
esac
SH
cat >"$fake/apt-get" <<'SH'
#!/bin/bash
echo "apt-get $*" >>"$FAKE/calls"
case $1 in
download)
    shift
    for p in "$@"; do [ "$p" = --print-uris ] || apt-cand "$p"; done
    exit 0 ;;
update)
    case "$*" in *"sourceparts=-"*) exit 0 ;; esac
    if [ "$FAKE_UPDATE" = fail ]; then
        echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size" >&2
        exit 100
    fi
    exit 0 ;;
esac
shift
packages=""
for a in "$@"; do
    case $a in -* | *::*) ;; *) packages="$packages $a" ;; esac
done
for p in $packages; do
    case " $FAKE_REFUSE " in *" $p "*)
        echo "E: Unable to correct problems, you have held broken packages." >&2
        exit 100 ;;
    esac
done
# wine32 needs the i386 twin of every library at its amd64 version: from the lists or a local source.
case " $packages " in *" wine32:i386 "*)
    twins=$(printf '%s\n' "$@" | sed -n 's/^Dir::Etc::sourcelist=//p')
    twins=$(sed -n 's/^deb .* file:\(.*\) .*/\1/p' "${twins:-/dev/null}" 2>/dev/null)
    while IFS== read -r name amd64 i386; do
        [ "$amd64" = "$i386" ] && continue
        grep -qx "Package: $name" "${twins:-/dev/null}/Packages" 2>/dev/null || {
            echo "E: Error, pkgProblemResolver::Resolve generated breaks, this may be caused by held packages." >&2
            exit 100
        }
    done <"$FAKE/libs" ;;
esac
for p in $packages; do echo "$p" >>"$FAKE/installed"; done
SH
printf '#!/bin/sh\necho 0\n' >"$fake/id"
printf '#!/bin/sh\n' >"$fake/sleep"
chmod +x "$fake"/*

# Runs deps.sh PROFILE in a fresh fake machine that has every package except those named.
# Sets out (what it printed), rc and calls (what it asked of apt and dpkg). Set libs to the installed
# amd64 libraries (NAME=AMD64_CANDIDATE=I386_CANDIDATE ...), nolocale to leave out the German locale.
scenario() { # scenario PROFILE "MISSING..." [VAR=VALUE...]
    local profile=$1 missing=$2
    shift 2
    export FAKE=$work/machine
    rm -rf "$FAKE" && mkdir -p "$FAKE/top/scripts" && : >"$FAKE/calls"
    cp "$deps" "$FAKE/top/scripts/deps.sh"
    cp "$(dirname "$deps")/deps-i386-twins.sh" "$FAKE/top/scripts/"
    bash "$deps" test --list | grep -vxE "$(echo "${missing:-NONE}" | tr ' ' '|')" >"$FAKE/installed"
    tr ' ' '\n' <<<"${libs:-}" | grep . >"$FAKE/libs"
    [ -n "${nolocale:-}" ] || touch "$FAKE/locale-made"
    mkdir -p "$FAKE/tmp"
    out=$(env PATH="$fake:$PATH" TMPDIR="$FAKE/tmp" FAKE_UPDATE=ok FAKE_REFUSE= FAKE_NO_TWIN= BRENNOW_32BIT=no \
        "$@" bash "$FAKE/top/scripts/deps.sh" "$profile" 2>&1)
    rc=$?
    calls=$(cat "$FAKE/calls")
}
has() { grep -q -- "$2" <<<"$1"; }
lines() { grep -c -- "$2" <<<"$1"; }

# Everything there: no network, nothing said.
scenario test ""
check "all installed: exit 0" [ $rc -eq 0 ]
check "all installed: no apt or dpkg call" [ -z "$calls" ]
check "all installed: silent" [ -z "$out" ]

# Every index fails: retried, reported once, and the packages still come from the lists there are.
scenario test "wixl zip" FAKE_UPDATE=fail
check "failing update: exit 0" [ $rc -eq 0 ]
check "failing update: tried three times" [ "$(lines "$calls" 'apt-get update')" -eq 3 ]
check "failing update: one line" [ "$(lines "$out" 'apt-get update failed')" -eq 1 ]
check "failing update: packages installed" grep -qx wixl "$FAKE/installed"

# A needed package that cannot be had stops the command, naming it; the rest are installed.
scenario test "wixl zip" FAKE_REFUSE=wixl
check "refused needed package: exit 1" [ $rc -eq 1 ]
check "refused needed package: named with apt's reason" \
    has "$out" "cannot install wixl, which this command needs: Unable to correct problems"
check "refused needed package: the others installed" grep -qx zip "$FAKE/installed"

# The run command needs less: a missing test-only package is not its business, even when refused.
scenario run "clang wixl" FAKE_REFUSE=wixl
check "run profile: exit 0" [ $rc -eq 0 ]
check "run profile: nothing asked" [ -z "$calls" ]

# An optional package that is refused is reported and left out.
scenario test "libbenchmark-dev" FAKE_REFUSE=libbenchmark-dev
check "refused optional package: exit 0" [ $rc -eq 0 ]
check "refused optional package: one line" [ "$(lines "$out" 'optional libbenchmark-dev not installed')" -eq 1 ]

# 32-bit Wine: never asked for, nor the i386 architecture added, where 32-bit programs cannot run,
# nor by the other profiles.
scenario wine32 "wixl" FAKE_UPDATE=fail
check "no 32-bit: nothing asked" [ -z "$calls" ]
scenario test "wixl" FAKE_UPDATE=fail BRENNOW_32BIT=yes
check "test profile: no i386 architecture" bash -c "! grep -q 'add-architecture' <<<\"\$0\"" "$calls"
check "test profile: wine32 not asked for" bash -c "! grep -q 'wine32' <<<\"\$0\"" "$calls"

# Where they can run, it is an optional step: a refusal is reported, the architecture taken back,
# and not retried on the next run.
scenario wine32 "" BRENNOW_32BIT=yes FAKE_REFUSE=wine32:i386
check "refused wine32: exit 0" [ $rc -eq 0 ]
check "refused wine32: one line" [ "$(lines "$out" 'optional wine32:i386 not installed')" -eq 1 ]
check "refused wine32: i386 added then removed" \
    has "$calls" "dpkg --add-architecture i386"
check "refused wine32: no i386 left" bash -c "! grep -q i386 \"\$0\"/arch" "$FAKE"
: >"$FAKE/calls"
env PATH="$fake:$PATH" FAKE_UPDATE=ok FAKE_REFUSE=wine32:i386 BRENNOW_32BIT=yes \
    bash "$FAKE/top/scripts/deps.sh" wine32 >/dev/null 2>&1
check "refused wine32: not retried at once" [ ! -s "$FAKE/calls" ]

scenario wine32 "" BRENNOW_32BIT=yes
check "wine32 where it runs: installed" grep -qx wine32:i386 "$FAKE/installed"
check "wine32 where it runs: i386 kept" grep -qx i386 "$FAKE/arch"

# The package command on a fresh machine: its tools, not the test command's.
scenario package "cmake wixl zip clang"
check "package profile: its tools installed" grep -qx wixl "$FAKE/installed"
check "package profile: no test tool" bash -c "! grep -qx clang \"\$0\"/installed" "$FAKE"

# The German locale a native test needs is made by the set-up of the test command only.
nolocale=1 scenario run ""
check "locale: not the run command's business" [ -z "$calls" ]
nolocale=1 scenario test ""
check "locale: made for the tests" has "$calls" "localedef -i de_DE -c -f UTF-8"
check "locale: silent" [ -z "$out" ]

# Where 32-bit programs do not run, the test command is told why.
scenario wine32 ""
check "no 32-bit: the reason kept" grep -q "cannot execute 32-bit programs" "$FAKE/top/build/.deps-no-wine32"

# The i386 list of the updates failing: wine32 is refused as it is, and comes in with the twins of
# exactly the libraries whose twin the lists lack, fetched from beside their amd64 package.
twin_libs="libssl3=3.0.22-1~deb12u2=3.0.15-1~deb12u1 zlib1g=1:1.2.13.dfsg-1+deb12u1=1:1.2.13.dfsg-1 libfoo=2.0-1=2.0-1"
libs=$twin_libs scenario wine32 "" BRENNOW_32BIT=yes FAKE_UPDATE=fail
check "failing i386 list: exit 0" [ $rc -eq 0 ]
check "failing i386 list: wine32 installed" grep -qx wine32:i386 "$FAKE/installed"
check "failing i386 list: twins from the security archive" [ "$(grep '^fetch' <<<"$calls" | sort)" = "$(printf '%s\n' \
    "fetch http://deb.example/debian-security/pool/updates/main/l/libssl3/libssl3_3.0.22-1~deb12u2_i386.deb" \
    "fetch http://deb.example/debian-security/pool/updates/main/z/zlib1g/zlib1g_1.2.13.dfsg-1+deb12u1_i386.deb")" ]
check "failing i386 list: one line, that the twins are unchecked" \
    [ "$(lines "$out" 'installed wine32:i386 (with 2 i386 twins from the archive, not checked against a signed list)')" -eq 1 ]
check "failing i386 list: nothing downgraded or removed" has "$calls" "install .*--no-remove.*wine32:i386"
check "failing i386 list: the local source gone" [ -z "$(ls -A "$FAKE/tmp")" ]
check "failing i386 list: i386 kept, no reason left" bash -c "grep -qx i386 \"\$0\"/arch && [ ! -e \"\$0\"/top/build/.deps-no-wine32 ]" "$FAKE"

# A twin that cannot be had: one line with the reason, the machine as it was, the reason kept.
libs=$twin_libs scenario wine32 "" BRENNOW_32BIT=yes FAKE_UPDATE=fail FAKE_NO_TWIN=libssl3
check "missing twin: exit 0" [ $rc -eq 0 ]
check "missing twin: one line naming it" \
    [ "$(lines "$out" "optional wine32:i386 not installed (.*generated breaks.*1 not to be had (libssl3)")" -eq 1 ]
check "missing twin: no i386 left" bash -c "! grep -q i386 \"\$0\"/arch" "$FAKE"
check "missing twin: the reason kept" grep -q "^wine32:i386 could not be installed: .*libssl3" \
    "$FAKE/top/build/.deps-no-wine32"

if [ $failures -ne 0 ]; then
    echo "$failures checks failed"
    exit 1
fi
echo "deps.sh: all checks passed"
