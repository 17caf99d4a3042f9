#!/usr/bin/env bash
# The portable zip holds exactly the program, MirthStrip.exe, the two MAPI
# helpers, the help page, the readme and the licence, and its programs are the
# ones built.
#   check-zip.sh ZIP BUILT_EXE
set -euo pipefail
zip=$1
exe=$2
want=$'LICENSE.txt\nMirthMapi32.exe\nMirthMapi64.exe\nMirthStrip.exe\nMirthTool.exe\nMirthZud.htm\nREADME.txt'
got=$(unzip -Z1 "$zip" | sort)
if [ "$got" != "$want" ]; then
    printf 'zip holds:\n%s\nwant:\n%s\n' "$got" "$want" >&2
    exit 1
fi
for program in MirthTool.exe MirthStrip.exe MirthMapi64.exe MirthMapi32.exe; do
    unzip -p "$zip" "$program" | cmp - "$(dirname "$exe")/$program"
done
unzip -p "$zip" README.txt | grep -q '日本語'
unzip -p "$zip" README.txt | grep -q 'English'
unzip -p "$zip" LICENSE.txt | grep -q 'MIT License'
echo "zip ok: $(echo "$got" | tr '\n' ' ')"
