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
# dpkg-query -W -f=... PACKAGE
grep -qx "$3" "$FAKE/installed" && printf 'install ok installed'
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
#!/bin/sh
echo "apt-get $*" >>"$FAKE/calls"
case $1 in
update)
    if [ "$FAKE_UPDATE" = fail ]; then
        echo "E: Failed to fetch .../binary-i386/Packages.xz  File has unexpected size" >&2
        exit 100
    fi
    exit 0 ;;
esac
shift
packages=""
for a in "$@"; do
    case $a in -*|DPkg::*) ;; *) packages="$packages $a" ;; esac
done
for p in $packages; do
    case " $FAKE_REFUSE " in *" $p "*)
        echo "E: Unable to correct problems, you have held broken packages." >&2
        exit 100 ;;
    esac
done
for p in $packages; do echo "$p" >>"$FAKE/installed"; done
SH
printf '#!/bin/sh\necho 0\n' >"$fake/id"
printf '#!/bin/sh\n' >"$fake/sleep"
chmod +x "$fake"/*

# Runs deps.sh PROFILE in a fresh fake machine that has every package except those named.
# Sets out (what it printed), rc and calls (what it asked of apt and dpkg).
scenario() { # scenario PROFILE "MISSING..." [VAR=VALUE...]
    local profile=$1 missing=$2
    shift 2
    export FAKE=$work/machine
    rm -rf "$FAKE" && mkdir -p "$FAKE/top/scripts" && : >"$FAKE/calls"
    cp "$deps" "$FAKE/top/scripts/deps.sh"
    bash "$deps" test --list | grep -vxE "$(echo "${missing:-NONE}" | tr ' ' '|')" >"$FAKE/installed"
    out=$(env PATH="$fake:$PATH" FAKE_UPDATE=ok FAKE_REFUSE= BRENNOW_32BIT=no "$@" \
        bash "$FAKE/top/scripts/deps.sh" "$profile" 2>&1)
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

# 32-bit Wine: never asked for, nor the i386 architecture added, where 32-bit programs cannot run.
scenario test "wixl" FAKE_UPDATE=fail
check "no 32-bit: no i386 architecture" bash -c "! grep -q 'add-architecture' <<<\"\$0\"" "$calls"
check "no 32-bit: wine32 not asked for" bash -c "! grep -q 'wine32' <<<\"\$0\"" "$calls"

# Where they can run, it is an optional step: a refusal is reported, the architecture taken back,
# and not retried on the next run.
scenario test "" BRENNOW_32BIT=yes FAKE_REFUSE=wine32:i386
check "refused wine32: exit 0" [ $rc -eq 0 ]
check "refused wine32: one line" [ "$(lines "$out" 'optional wine32:i386 not installed')" -eq 1 ]
check "refused wine32: i386 added then removed" \
    has "$calls" "dpkg --add-architecture i386"
check "refused wine32: no i386 left" bash -c "! grep -q i386 \"\$0\"/arch" "$FAKE"
: >"$FAKE/calls"
env PATH="$fake:$PATH" FAKE_UPDATE=ok FAKE_REFUSE=wine32:i386 BRENNOW_32BIT=yes \
    bash "$FAKE/top/scripts/deps.sh" test >/dev/null 2>&1
check "refused wine32: not retried at once" [ ! -s "$FAKE/calls" ]

scenario test "" BRENNOW_32BIT=yes
check "wine32 where it runs: installed" grep -qx wine32:i386 "$FAKE/installed"
check "wine32 where it runs: i386 kept" grep -qx i386 "$FAKE/arch"

if [ $failures -ne 0 ]; then
    echo "$failures checks failed"
    exit 1
fi
echo "deps.sh: all checks passed"
