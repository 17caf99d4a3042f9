#!/usr/bin/env bash
# Starts MirthTool under Wine on a virtual display, in a Wine prefix of its
# own, and saves a screenshot of the display:
#   tools/screenshot.sh [OUT.png] [LOCALE]
# LOCALE is the Linux locale Wine runs in (ja_JP.UTF-8 by default; C shows the
# program on a non-Japanese system). Builds the program first if needed.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-build/mirthtool.png}")
locale=${2:-ja_JP.UTF-8}
tools/setup.sh run

tools/build-win.sh

session=$PWD/build/screenshot-session
trap 'cmake/wine-session.sh stop "$session"' EXIT
cmake/wine-session.sh ensure "$session"
# shellcheck disable=SC1091
. "$session/env"
(cd build/win/bin && LC_ALL=$locale /usr/lib/wine/wine64 MirthTool.exe </dev/null >/dev/null 2>&1 &)
sleep "${MIRTH_SCREENSHOT_WAIT:-4}"
import -window root "$out"
echo "Saved $out"
