#!/usr/bin/env bash
# Installs the Debian packages that a command needs: deps.sh run|test|package|wine32 [--list].
# wine32 is 32-bit Wine for the i686 build's Windows tests, where this machine runs 32-bit programs;
# the test command asks for it beside the builds.
# Touches no network when everything is there. A package index that fails to download does not stop
# it; only a package the command really needs and that cannot be installed does, with one line naming
# it. Optional packages that fail are reported in one line each and left out.
# BRENNOW_32BIT=yes|no overrides the check whether this machine can execute 32-bit programs.
set -uo pipefail

profile=${1:-test}
top=$(cd "$(dirname "$0")/.." && pwd)

# What the run command needs: the x86_64 build, Wine, and a virtual display for the screenshot.
run_needs=(
    cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wine64 fonts-wine xvfb xauth xdotool x11-utils imagemagick
)
# The test command also builds natively (sanitizers, fuzzers) and for i686, and packages the release.
test_needs=(
    "${run_needs[@]}" g++ clang libclang-rt-14-dev googletest
    g++-mingw-w64-i686-posix binutils-mingw-w64-i686
    wixl msitools osslsigncode openssl zip unzip locales
)
# The package command: the x86_64 release and what packs and signs it.
package_needs=(
    cmake ninja-build g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    wixl msitools osslsigncode zip
)
# Without these the tests still run: the benchmarks are left out, the art is not checked.
test_optional=(libbenchmark-dev python3)

case $profile in
run) required=("${run_needs[@]}") optional=() ;;
test) required=("${test_needs[@]}") optional=("${test_optional[@]}") ;;
package) required=("${package_needs[@]}") optional=() ;;
wine32) required=() optional=() ;;
*)
    echo "usage: deps.sh run|test|package|wine32" >&2
    exit 2
    ;;
esac

if [ "${2:-}" = --list ]; then
    printf '%s\n' "${required[@]}" "${optional[@]}"
    exit 0
fi

say() { echo "deps: $*"; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# Whether the kernel runs i386 programs: execute a 93-byte static ELF32 that only exits with 0.
can_run_32bit() {
    case ${BRENNOW_32BIT:-} in
    yes) return 0 ;;
    no) return 1 ;;
    esac
    local probe
    probe=$(mktemp "${TMPDIR:-/tmp}/brennow-elf32.XXXXXX") || return 1
    printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0\270\1\0\0\0\61\333\315\200' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null
    local status=$?
    rm -f "$probe"
    return $status
}

missing=()
for p in "${required[@]}"; do installed "$p" || missing+=("$p"); done
missing_optional=()
for p in "${optional[@]}"; do installed "$p" || missing_optional+=("$p"); done

# 32-bit Wine only where it can run, and only when asked for; adding the i386 architecture elsewhere
# would make every later update depend on i386 lists. Why there is none is kept for the test
# command's summary; a refusal is not retried for a day.
no32="$top/build/.deps-no-wine32"
note32() { mkdir -p "$top/build" && echo "$1" >"$no32"; }
want32=0
if [ "$profile" = wine32 ]; then
    if installed wine32:i386; then
        rm -f "$no32"
    elif ! can_run_32bit; then
        note32 "this machine cannot execute 32-bit programs${BRENNOW_32BIT:+ (BRENNOW_32BIT=$BRENNOW_32BIT)}"
    elif ! grep -qs '^wine32:i386 could not be installed' "$no32" || [ -z "$(find "$no32" -mmin -1440)" ]; then
        want32=1
    fi
fi

# A native test reads numbers under a locale whose decimal separator is a comma.
want_locale=0
if [ "$profile" = test ] && ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    want_locale=1
fi

[ ${#missing[@]} -eq 0 ] && [ ${#missing_optional[@]} -eq 0 ] && [ $want32 -eq 0 ] && [ $want_locale -eq 0 ] &&
    exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
apt_install() { $SUDO apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=120 "$@"; }
log=$(mktemp "${TMPDIR:-/tmp}/brennow-deps.XXXXXX")
trap 'rm -f "$log"' EXIT

added32=0
if [ $want32 -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386 && added32=1
fi

# One index failing (a mirror in sync, say) must not stop us: retry briefly, then use what there is.
if [ ${#missing[@]} -gt 0 ] || [ ${#missing_optional[@]} -gt 0 ] || [ $want32 -eq 1 ]; then
    updated=0
    for attempt in 1 2 3; do
        if $SUDO apt-get update -q >"$log" 2>&1; then
            updated=1
            break
        fi
        [ $attempt -lt 3 ] && sleep $((attempt * 2))
    done
    if [ $updated -eq 0 ]; then
        say "apt-get update failed ($(grep -m1 -E '^(E|W):' "$log" | cut -c1-160)); going on with the package lists there are"
    fi
fi

# The reason apt gives for a refusal, in one line.
reason() { grep -E '^E: ' "$log" | tail -1 | sed 's/^E: //' | cut -c1-200; }

status=0
if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    if ! apt_install "${missing[@]}" >"$log" 2>&1; then
        # Find the ones that cannot be had; the others go in one by one.
        for p in "${missing[@]}"; do
            installed "$p" && continue
            if ! apt_install "$p" >"$log" 2>&1; then
                say "cannot install $p, which this command needs: $(reason)"
                status=1
            fi
        done
    fi
fi

for p in "${missing_optional[@]}"; do
    if ! apt_install "$p" >"$log" 2>&1; then
        say "optional $p not installed ($(reason)); going on without it"
    fi
done

if [ $want32 -eq 1 ]; then
    # With an i386 list missing, apt refuses it as it is; the twins of the installed libraries then
    # come from the archive (scripts/deps-i386-twins.sh).
    if apt_install --no-remove wine32:i386 >"$log" 2>&1; then
        rm -f "$no32"
        say "installed wine32:i386: the i686 tests will run"
    else
        refused=$(reason)
        why=$(bash "$top/scripts/deps-i386-twins.sh" "$log")
        if installed wine32:i386; then
            rm -f "$no32"
            say "installed wine32:i386 ($why): the i686 tests will run"
        else
            note32 "wine32:i386 could not be installed: $refused; $why"
            say "optional wine32:i386 not installed ($refused; $why); the i686 build's tests will not run"
            # Leave the machine as it was: no i386 lists to depend on.
            [ $added32 -eq 1 ] && $SUDO dpkg --remove-architecture i386 2>/dev/null
        fi
    fi
fi

if [ $want_locale -eq 1 ]; then
    $SUDO localedef -i de_DE -c -f UTF-8 -A /usr/share/locale/locale.alias de_DE.UTF-8 >"$log" 2>&1
    if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
        say "optional locale de_DE.UTF-8 not made ($(tail -1 "$log" | cut -c1-160)); a native test will be skipped"
    fi
fi
exit $status
