#!/usr/bin/env bash
# Installs, with apt-get, whatever of the given package groups is missing on a
# Debian 12 machine:  setup.sh run|release|test
set -euo pipefail

run_packages="cmake make g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
    libz-mingw-w64-dev wine wine64 xvfb fonts-ipafont-gothic fonts-monapo imagemagick util-linux procps"
release_packages="$run_packages nsis zip unzip"
# wine32:i386 runs the 32-bit MAPI helper with a 32-bit mail library; python3
# serves the art to the fetch tests and runs the reference reader of Chat's art.
test_packages="$release_packages g++ googletest libgtest-dev libbenchmark-dev clang
    libclang-rt-14-dev zlib1g-dev python3 wine32:i386"
# What the tests can do without: the one test that needs it says it is skipped.
optional_packages="wine32:i386"

case ${1:-test} in
run) wanted=$run_packages ;;
release) wanted=$release_packages ;;
test) wanted=$test_packages ;;
*) echo "usage: $0 run|release|test" >&2; exit 2 ;;
esac

missing=()
for package in $wanted; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing: ${missing[*]}"
case " ${missing[*]} " in
*:i386*) $sudo dpkg --add-architecture i386 ;;
esac
# A mirror in the middle of a sync fails some index files; the lists at hand
# usually still serve, so a failed update is reported and the install tried.
for attempt in 1 2 3; do
    $sudo apt-get update -qq && break
    echo "apt-get update failed (attempt $attempt)" >&2
    sleep 5
done
required=() optional=()
for package in "${missing[@]}"; do
    case " $optional_packages " in
    *" $package "*) optional+=("$package") ;;
    *) required+=("$package") ;;
    esac
done
# With recommends: Wine needs several of its recommended X libraries (monitors,
# rendering) and its own fonts to behave as the tests expect.
install() { $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$@" >/dev/null; }
[ ${#required[@]} -eq 0 ] || install "${required[@]}"
if [ ${#optional[@]} -gt 0 ] && ! install "${optional[@]}"; then
    echo "Could not install ${optional[*]}; the tests that need it will say they are skipped." >&2
fi
