#!/usr/bin/env bash
# Runs a Windows program of the build under Wine, in the test run's session
# (started on first use): wine-exec.sh SESSION_DIR PROGRAM [ARGS...]
set -euo pipefail
session=$1
shift
"$(dirname "$0")/wine-session.sh" ensure "$session"
# shellcheck disable=SC1090
. "$session/env"
# A Japanese system by default; MIRTH_WINE_LOCALE=C runs a program as on any other.
exec env LC_ALL="${MIRTH_WINE_LOCALE:-ja_JP.UTF-8}" /usr/lib/wine/wine64 "$@"
