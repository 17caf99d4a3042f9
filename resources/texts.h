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

// The mail software list of the settings dialog; an entry's position is its MailSoftKind.
inline constexpr const char* kMailSoftLabels[] = {
    "その他のメールソフト",
    "Outlook Express 5.01",
    "Outlook Express 5.0",
    "Becky! 1.25.x/1.24.x",
};

// Caption of every message box.
inline constexpr char kMessageCaption[] = "MirthTool";

// Asked before a mail is created. The backslash after "ソ" and the one in the
// next line are single 0x5C bytes: the user's manual escape for such characters.
inline constexpr char kConfirmCreateMail[] =
    "「表示テスト」ボタンで文字化け等がないかを確認してありますか？\n"
    "\n"
    "(例）ソフトという文字が文字化けした場合はソ\\フトの様に\n"
    "文字化けした文字の前に\\を付けてください\n"
    "\n"
    "確認済みで本当にメールを作成して良い場合は「はい」を押してください";

// Shown for a mail program that the program can't prepare a mail for.
inline constexpr char kAttachYourselfNotice[] =
    "ﾃﾞｽｸﾄｯﾌﾟ上のMirth.cccﾌｧｲﾙを\n"
    "ﾄﾞﾗｯｸﾞ&ﾄﾞﾛｯﾌﾟなどの操作で添付ﾌｧｲﾙとしてﾒｰﾙ送信画面に貼り付けてください";

// Shown when the conversation file can't be written (or its path or the mail
// program's command line doesn't fit); followed by the file's full path.
inline constexpr char kCannotWriteConversation[] = "Mirth.cccを作成できませんでした。\n";

// Shown when the display test finds no program that opens the conversation
// file; followed by the file's full path.
inline constexpr char kChatNeeded[] =
    "漫画を表示するには Microsoft Chat が必要です。\n"
    "会話ファイルは次の場所に書き込みました。\n";
