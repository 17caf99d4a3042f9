#!/usr/bin/env bash
# A Wine session for one test run: its own prefix, its own virtual X display and
# a persistent wineserver, all under the given folder.
#   wine-session.sh ensure DIR   start the session unless it is running
#   wine-session.sh dpi DIR N    (start it and) set the display scaling to N dpi
#   wine-session.sh stop DIR     stop it and remove the prefix
set -euo pipefail

action=$1
dir=$(realpath -m "$2")
env_file=$dir/env

wine_env() {
    export HOME=$dir/home WINEPREFIX=$dir/prefix DISPLAY=$1
    export WINEDEBUG=-all WINELOADER=/usr/lib/wine/wine64
    # No menu entries written into a home folder, no Mono or Gecko prompts, and
    # no crash dialog of Wine's debugger left on the display by a program that
    # crashes on purpose.
    export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml=;winedbg.exe=d"
}

# Runs a Wine command detached from the caller's output and from the lock.
quietly() {
    LC_ALL=ja_JP.UTF-8 "$@" </dev/null >/dev/null 2>&1 9>&-
}

# The display scaling, and a desktop of the size a screen has at that scaling:
# 1024 x 768 at 96 dpi, grown with the DPI (Windows offers 200 % only on
# screens of 2048 x 1536 and more). Both take effect with a new wineserver.
set_scaling() {
    local dpi=$1
    quietly /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f
    quietly /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default \
        /d "$((1024 * dpi / 96))x$((768 * dpi / 96))" /f
}

restart_server() {
    quietly /usr/lib/wine/wineserver -k
    quietly /usr/lib/wine/wineserver -w
    quietly /usr/lib/wine/wineserver -p
    quietly /usr/lib/wine/wine64 wineboot
}

running() {
    [ -f "$env_file" ] || return 1
    # shellcheck disable=SC1090
    . "$env_file"
    kill -0 "$XVFB_PID" 2>/dev/null && [ -d "$WINEPREFIX" ]
}

stop() {
    if [ -f "$env_file" ]; then
        # shellcheck disable=SC1090
        . "$env_file"
        WINEPREFIX=$WINEPREFIX quietly /usr/lib/wine/wineserver -k || true
        kill "$XVFB_PID" 2>/dev/null || true
    fi
    rm -rf "$dir"
}

start() {
    stop
    mkdir -p "$dir/home"
    # Xvfb picks a free display number and writes it to descriptor 5. Its
    # screen holds the desktop of the largest scaling, 200 %.
    setsid Xvfb -displayfd 5 -screen 0 2048x1536x24 -nolisten tcp 5>"$dir/display" \
        </dev/null >/dev/null 2>&1 9>&- &
    local xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$dir/display" ] && break
        sleep 0.1
    done
    local n
    n=$(cat "$dir/display")
    wine_env ":$n"
    # The server and the services that wineboot starts must not hold the
    # caller's output open, or CTest waits for them.
    mkdir -p "$WINEPREFIX"
    quietly /usr/lib/wine/wineserver -p
    quietly /usr/lib/wine/wine64 wineboot -i
    # A virtual desktop: without a window manager, windows get no frame or
    # caption and each hide or destroy of a top-level window costs about two
    # seconds. It takes effect when the desktop process starts, so the server
    # and its services start again after the setting.
    quietly /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f
    set_scaling 96
    "$(dirname "$0")/wine-fonts.sh"
    restart_server
    cat >"$env_file" <<ENV
export HOME='$HOME' WINEPREFIX='$WINEPREFIX' DISPLAY='$DISPLAY' XVFB_PID=$xvfb_pid
export WINEDEBUG=-all WINELOADER=/usr/lib/wine/wine64
export WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
ENV
}

case $action in
ensure)
    mkdir -p "$(dirname "$dir")"
    exec 9>"$dir.lock"
    flock 9
    running || start
    ;;
dpi)
    mkdir -p "$(dirname "$dir")"
    exec 9>"$dir.lock"
    flock 9
    running || start
    set_scaling "$3"
    restart_server
    ;;
stop)
    exec 9>"$dir.lock"
    flock 9
    stop
    ;;
*)
    echo "usage: $0 ensure|stop DIR, or $0 dpi DIR N" >&2
    exit 2
    ;;
esac
