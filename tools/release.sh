#!/usr/bin/env bash
# Sets up a Debian 12 machine and makes the release in dist/: the portable zip
# (MirthTool.exe, MirthStrip.exe, the MAPI helpers, MirthZud.htm, README.txt,
# LICENSE.txt) and the installer.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh release
tools/build-win.sh release
mkdir -p dist
cp build/win/release/MirthTool-*-portable.zip build/win/release/MirthTool-*-setup.exe dist/
ls -l dist
