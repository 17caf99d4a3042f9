// Every Japanese text of the program that is not in the resource script:
// defaults, list entries and messages. Shift-JIS once compiled.
#pragma once

// Defaults of the text settings.
inline constexpr char kDefaultBackstr[] = "DEN.bgb";
inline constexpr char kDefaultNamestr[] = "本文";
inline constexpr char kDefaultCharstr[] = "SCOTTY";
inline constexpr char kDefaultNamestr2[] = "引用";
inline constexpr char kDefaultCharstr2[] = "LANCE";

// The description shown in the Mail pane until the user stores one of their own.
inline constexpr char kDefaultDescription[] =
    "=========================================================================\r\n"
    "添付ファイルMirth.cccをお読みください\r\n"
    "\r\n"
    "Microsoft Chatがインストールされていなくて開けない場合は\r\n"
    "https://www.microsoft.com/ja-jp/download\r\n"
    "からダウンロードしてインストールしてみてください\r\n"
    "（Microsoft ChatはMicrosoftのフリーソフトです）\r\n"
    "=========================================================================";
