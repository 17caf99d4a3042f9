#!/usr/bin/env bash
# The portable zip holds exactly the program, its help page, the readme and
# the licence, and its program is the one built.
#   check-zip.sh ZIP BUILT_EXE
set -euo pipefail
zip=$1
exe=$2
want=$'LICENSE.txt\nMirthTool.exe\nMirthZud.htm\nREADME.txt'
got=$(unzip -Z1 "$zip" | sort)
if [ "$got" != "$want" ]; then
    printf 'zip holds:\n%s\nwant:\n%s\n' "$got" "$want" >&2
    exit 1
fi
unzip -p "$zip" MirthTool.exe | cmp - "$exe"
unzip -p "$zip" README.txt | grep -q '日本語'
unzip -p "$zip" README.txt | grep -q 'English'
unzip -p "$zip" LICENSE.txt | grep -q 'MIT License'
echo "zip ok: $(echo "$got" | tr '\n' ' ')"
