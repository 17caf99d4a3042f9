#!/usr/bin/env bash
# Installs, with apt-get, whatever of the given package groups is missing on a
# Debian 12 machine:  setup.sh run|release|test
set -euo pipefail

run_packages="cmake make g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
    wine wine64 xvfb fonts-ipafont-gothic fonts-monapo imagemagick util-linux procps"
release_packages="$run_packages nsis zip unzip"
# wine32:i386 runs the 32-bit MAPI helper with a 32-bit mail library.
test_packages="$release_packages g++ googletest libgtest-dev libbenchmark-dev clang
    libclang-rt-14-dev wine32:i386"

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
$sudo apt-get update -qq
# With recommends: Wine needs several of its recommended X libraries (monitors,
# rendering) and its own fonts to behave as the tests expect.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
