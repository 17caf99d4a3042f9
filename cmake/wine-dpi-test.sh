#!/usr/bin/env bash
# Runs a Windows test program in the test run's session at another display
# scaling, then puts the session back to 96 dpi:
#   wine-dpi-test.sh SESSION_DIR DPI PROGRAM [ARGS...]
# The program finds the scaling it should see in MIRTH_TEST_DPI.
set -euo pipefail
here=$(dirname "$0")
session=$1
dpi=$2
shift 2
trap '"$here/wine-session.sh" dpi "$session" 96' EXIT
"$here/wine-session.sh" dpi "$session" "$dpi"
MIRTH_TEST_DPI=$dpi "$here/wine-exec.sh" "$session" "$@"
