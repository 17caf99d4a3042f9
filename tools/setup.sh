#!/usr/bin/env bash
# Installs, with apt-get, whatever of the given package groups is missing on a
# Debian 12 machine:  setup.sh run|test
set -euo pipefail

run_packages="cmake make g++-mingw-w64-x86-64-posix mingw-w64-tools wine wine64 xvfb
    fonts-ipafont-gothic imagemagick util-linux procps"
test_packages="$run_packages g++ googletest libgtest-dev libbenchmark-dev clang
    libclang-rt-14-dev nsis zip unzip"

case ${1:-test} in
run) wanted=$run_packages ;;
test) wanted=$test_packages ;;
*) echo "usage: $0 run|test" >&2; exit 2 ;;
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
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
