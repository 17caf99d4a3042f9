#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds MirthTool and starts it under Wine with a
# Japanese code page. Settings persist in the prefix build/run-prefix. Without
# a display, the program runs on a virtual one (see tools/screenshot.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh run

tools/build-win.sh

export WINEPREFIX=$PWD/build/run-prefix WINEDEBUG=-all WINELOADER=/usr/lib/wine/wine64
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
if [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display number and writes it to descriptor 5.
    rm -f build/run-display
    Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>build/run-display </dev/null >/dev/null 2>&1 &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null || true' EXIT
    for _ in $(seq 100); do
        [ -s build/run-display ] && break
        sleep 0.1
    done
    export DISPLAY=:$(cat build/run-display)
    echo "No display: MirthTool runs on the virtual display $DISPLAY."
fi
# Wine has no Japanese dialog font of its own; map it as the tests do.
cmake/wine-fonts.sh
# The help page lies next to the program; the program finds it in its working folder.
cd build/win/bin
echo "Starting MirthTool (prefix $WINEPREFIX)..."
status=0
LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 MirthTool.exe || status=$?
echo "MirthTool ended with exit code $status."
exit "$status"
