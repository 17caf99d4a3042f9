#!/usr/bin/env bash
# Starts MirthTool under Wine on a virtual display, in a Wine prefix of its
# own, and saves a picture of its window:
#   tools/screenshot.sh [--dpi N] [--dialog settings|about] [--art DIR] [OUT.png] [LOCALE]
# --dpi sets the display scaling (96 = 100 %, 120, 144, 192 = 200 %; the
# desktop grows with it); --dialog opens the settings dialog or the About box
# and shows that instead of the main window; --art puts the Chat art files of
# DIR (*.avb, *.bgb, such as ../shared/chat-art) into MirthTool's own art
# folder of the prefix, so the settings dialog shows the characters. LOCALE is the Linux locale Wine
# runs in (ja_JP.UTF-8 by default; C shows the program on a non-Japanese
# system). Builds the program first if needed.
set -euo pipefail
cd "$(dirname "$0")/.."
dpi=96
command=
art=
while [ $# -gt 0 ]; do
    case $1 in
    --dpi) dpi=$2; shift 2 ;;
    --dialog)
        case $2 in
        settings) command=5 ;;
        about) command=3 ;;
        *) echo "unknown dialog: $2" >&2; exit 2 ;;
        esac
        shift 2
        ;;
    --art) art=$(realpath "$2"); shift 2 ;;
    *) break ;;
    esac
done
out=$(realpath -m "${1:-build/mirthtool.png}")
locale=${2:-ja_JP.UTF-8}
tools/setup.sh run

tools/build-win.sh MirthTool mirth_screenshot_window

session=$PWD/build/screenshot-session
trap 'cmake/wine-session.sh stop "$session"' EXIT
cmake/wine-session.sh dpi "$session" "$dpi"
# shellcheck disable=SC1091
. "$session/env"
if [ -n "$art" ]; then
    own=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Orrindale/MirthZud/ComicArt
    mkdir -p "$own"
    cp "$art"/*.avb "$art"/*.bgb "$own/"
fi
(cd build/win/bin && LC_ALL=$locale /usr/lib/wine/wine64 MirthTool.exe </dev/null >/dev/null 2>&1 &)
geometry=$(LC_ALL=$locale /usr/lib/wine/wine64 build/win/bin/mirth_screenshot_window.exe $command </dev/null |
    tr -d '\r')
import -window root -crop "$geometry" +repage "$out"
echo "Saved $out"
