#!/usr/bin/env bash
# Sets up the fonts of the Wine prefix named by WINEPREFIX, so every machine
# draws the program's dialogs alike.
#
# Wine has no "ＭＳ Ｐゴシック", the font of the program's dialogs. It is mapped to
# Monapo (fonts-monapo): IPA P Gothic's letters with the character widths of
# "ＭＳ Ｐゴシック". Its narrow Latin letters give the dialog units of the original
# (7 pixels across at 10 point and 96 dpi, so the buttons fit the window's
# default 580 pixels), and its proportional kana keep every label on its
# lines. IPAGothic and IPAPGothic have wider Latin letters: dialogs grow by a
# tenth and the right-hand buttons leave the default window. The fixed-width
# Japanese fonts stay mapped to IPAGothic.
#
# Debian's Wine 8 looks for its own fonts in /usr/share/fonts instead of
# /usr/share/wine/fonts, so it never finds Marlett, which draws the caption
# buttons: they showed as the letters "0 1 r". The prefix gets Marlett in its
# Fonts folder, where Wine does look.
#
# The names are Japanese, so they go in through a UTF-16 .reg file: Wine can't
# read them from a command line where the Unix locale isn't generated.
set -euo pipefail
fonts=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$fonts"
cp /usr/share/wine/fonts/marlett.ttf "$fonts/"

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
{
    printf '\xff\xfe'
    iconv -f UTF-8 -t UTF-16LE <<'REG'
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"ＭＳ Ｐゴシック"="Monapo"
"MS PGothic"="Monapo"
"ＭＳ ゴシック"="IPAGothic"
"MS Gothic"="IPAGothic"
"MS UI Gothic"="IPAGothic"
REG
} >"$reg"
LC_ALL=ja_JP.UTF-8 /usr/lib/wine/wine64 regedit /S "Z:${reg//\//\\}" \
    </dev/null >/dev/null 2>&1 9>&-
