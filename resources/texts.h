// Every Japanese text of the program that is not in the resource script:
// defaults, list entries and messages. Shift-JIS once compiled.
#pragma once

// Where Microsoft publishes Microsoft Chat today.
#define MIRTH_CHAT_HOME "https://github.com/microsoft/comic-chat"

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
    MIRTH_CHAT_HOME "\r\n"
    "からダウンロードしてインストールしてみてください\r\n"
    "（Microsoft ChatはMicrosoftのフリーソフトです）\r\n"
    "=========================================================================";

// The mail software list of the settings dialog; an entry's position is its MailSoftKind.
inline constexpr const char* kMailSoftLabels[] = {
    "その他のメールソフト",
    "Outlook Express 5.01",
    "Outlook Express 5.0",
    "Becky! 1.25.x/1.24.x",
    "既定のメールソフト (MAPI)",
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

// Followed by the conversation file's full path.
inline constexpr char kConversationWrittenTo[] = "会話ファイルは次の場所に書き込みました。\n";

// Asked when no program is associated with the conversation file and no Chat
// program has been chosen yet.
inline constexpr char kAskForChatProgram[] =
    "会話ファイル (.ccc) を開くプログラムが登録されていません。\n"
    "\n"
    "Microsoft Chat のプログラム (CChat.exe) を選びますか？\n"
    "選んだプログラムは次からも使われます。";

// The file-open dialog for choosing Chat: its title and its filter (pairs of
// label and pattern).
inline constexpr char kChooseChatTitle[] = "Microsoft Chat のプログラム (CChat.exe) を選んでください";
inline constexpr char kChatProgramFilter[] = "Microsoft Chat (CChat.exe)\0CChat.exe\0プログラム (*.exe)\0*.exe\0";

// Shown when the display test finds no Chat to open the conversation file:
// kChatNeeded, kConversationWrittenTo, the file's full path, kWhereChatIs.
inline constexpr char kChatNeeded[] = "漫画を表示するには Microsoft Chat が必要です。\n";
inline constexpr char kWhereChatIs[] =
    "\n\n"
    "Microsoft Chat は Microsoft が次のページで公開しています。\n"
    "zip を展開するだけで使えます (インストールは不要です)。\n" MIRTH_CHAT_HOME "\n"
    "\n"
    "Microsoft Chat がなくても、「ﾌｧｲﾙ」メニューの「画像で表示」で、\n"
    "MirthTool が描いた漫画を画像で見ることができます。";

// Shown when the chosen Chat program can't be started: followed by its path,
// a line break, kConversationWrittenTo and the file's full path.
inline constexpr char kCannotStartChat[] = "Microsoft Chat を起動できませんでした。\n";

// Mail creation through the default mail program (Simple MAPI). Each of the
// first two is followed by kAttachByHand and the conversation file's full path.
inline constexpr char kNoDefaultMailer[] =
    "既定のメールソフトが設定されていないため、メールを作成できませんでした。\n"
    "Thunderbird、Outlook、Becky! 2 などを Windows の既定のメールソフトにしてください。\n"
    "\n";
// A printf format: %s is the error number.
inline constexpr char kMailerFailed[] =
    "既定のメールソフトでメールを作成できませんでした (エラー %s)。\n"
    "\n";
inline constexpr char kAttachByHand[] = "会話ファイルは次の場所にあります。メールに手作業で添付してください。\n";
inline constexpr char kMailStillOpen[] =
    "前のメールをまだメールソフトで作成中です。\n"
    "メールソフトの作成画面を閉じてから、もう一度「メール作成」を押してください。";

// Fetching the characters and backdrops Chat lacks. The question lists the
// missing files between its two parts, a line each.
inline constexpr char kAskToFetchArt[] =
    "次のキャラクター画像が見つかりません。\n"
    "\n";
inline constexpr char kAskToFetchArtSource[] =
    "\n"
    "Microsoft が github.com/microsoft/comic-chat で公開しているものを取得しますか？\n"
    "取得した画像は Microsoft Chat の ComicArt フォルダー (書き込めない場合は MirthTool のフォルダー) に置きます。\n"
    "\n"
    "この答えは次からも使われます (「基本設定」で変えられます)。";
// The progress window's line for the file under way (printf: the file's name,
// the kilobytes so far).
inline constexpr char kFetchingArtFile[] = "%s (%lu KB)";
// The message after a fetch that left files out; each file follows on a line
// of its own with its reason.
inline constexpr char kArtNotFetched[] =
    "次のキャラクター画像を取得できませんでした。\n"
    "\n";
inline constexpr char kArtNotFetchedEnd[] =
    "\n"
    "この画像なしで続けます。";
// Reasons, some with a printf number.
inline constexpr char kArtFetchCancelled[] = "キャンセルしました";
inline constexpr char kArtFetchTimedOut[] = "15 秒以内に届きませんでした";
inline constexpr char kArtFetchNetworkError[] = "接続できませんでした (エラー %lu)";
inline constexpr char kArtFetchHttpStatus[] = "サーバーが HTTP %lu を返しました";
inline constexpr char kArtFetchTooLarge[] = "2 MB を超えています";
inline constexpr char kArtFetchBadAddress[] = "取得先のアドレス (ArtURL) が正しくありません";
inline constexpr char kArtFetchBroken[] = "画像ファイルとして読めません: ";
inline constexpr char kArtFetchCannotWrite[] = "保存できませんでした (エラー %lu)";
inline constexpr char kArtFetchNoFolder[] = "保存できるフォルダーがありません";

// The settings dialog's picture of the characters, when their art is not at hand.
inline constexpr char kArtPreviewMissing[] = "画像が見つかりません";

// The strip as pictures. Followed by the picture's path and the error.
inline constexpr char kCannotWritePicture[] = "漫画の画像を書き込めませんでした。\n";
// Added to the attach-it-yourself notice when pictures were made; followed by
// their names.
inline constexpr char kAttachPicturesToo[] = "\n漫画の画像も添付してください: ";
// "画像で表示" without the art: the missing files follow, a line each.
inline constexpr char kPicturesNeedArt[] =
    "次のキャラクター画像が見つからないため、漫画の画像を作れませんでした。\n"
    "\n";
inline constexpr char kPicturesNeedArtEnd[] =
    "\n"
    "「基本設定」の「不足するキャラクター画像を Microsoft の公開場所から取得する」を\n"
    "選ぶと、次の「画像で表示」で取得します。";
// Followed by the picture's path: the shell found no program for pictures.
inline constexpr char kCannotShowPicture[] = "漫画の画像を開くプログラムが見つかりませんでした。\n";
