#!/usr/bin/env bash
# Wine has no "ＭＳ Ｐゴシック", the font of the program's dialogs. Maps the Windows
# Japanese fonts to IPAGothic (fonts-ipafont-gothic), in the prefix named by
# WINEPREFIX, so every machine draws the same. The width of a font's letters
# sets the dialog units; the proportional IPA and VL fonts have wider letters
# and make every dialog about 10% wider, which pushes the right-hand buttons
# out of the window's default 580 pixels. The names are
# Japanese, so they go in through a UTF-16 .reg file: Wine can't read them
# from a command line where the Unix locale isn't generated.
set -euo pipefail
reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ Ｐゴシック"="IPAGothic"
"MS PGothic"="IPAGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAGothic"
REG
} >"$reg"
LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 regedit /S "Z:${reg//\//\\}" \
    </dev/null >/dev/null 2>&1 9>&-
