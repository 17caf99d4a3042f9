// The display test and mail creation, driven through the real program, with
// stand-ins for Microsoft Chat, the mail programs and the script runner.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "conversation/conversation_format.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_support.h"

namespace {

const char kShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kUserShellFolders[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char kBeckyKey[] = "Software\\RIMArts\\Rebecca\\Others";

const std::string kBody = "こんにちは、ソフトの表示です\r\n>お元気ですか\r\n\r\n>\r\nC:\\temp\tおわり";
const std::string kDescription = "説明文\r\nです";

std::string ConversationFor(const std::string& body)
{
    ConversationNames defaults = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};
    return FormatConversationToString(defaults, body.data(), body.size());
}

class Handoff : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        RegDeleteTreeA(HKEY_CURRENT_USER, kBeckyKey);
        desktop_ = folder_ / "desktop";
        CreateDirectoryA(desktop_.c_str(), nullptr);
        // The shell rewrites "Shell Folders" from "User Shell Folders" when a
        // program asks it for a folder, so both point at the test's desktop.
        for (const char* key : {kShellFolders, kUserShellFolders})
            ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, key, "Desktop", REG_SZ, desktop_.c_str(),
                                      static_cast<DWORD>(desktop_.size() + 1)),
                      ERROR_SUCCESS);
        ASSERT_TRUE(PlaceStandIn(folder_ / "mtrun.exe")) << "the script runner, found in the working folder";
    }

    void TearDown() override { ClearSettings(); }

    // Starts the program with `kind` chosen, the body and description typed.
    void StartWith(DWORD kind, const std::string& conversationFolder)
    {
        StoreDword("MailSoft", kind);
        log_.reset(new StandInLog(folder_ / "log", conversationFolder + "\\Mirth.ccc"));
        ASSERT_TRUE(app_.Start(folder_.path()));
        SetText(app_.Field(IDC_BODY), kBody);
        SetText(app_.Field(IDC_DESCRIPTION), kDescription);
    }

    // Asks for mail creation and answers the confirmation.
    void CreateMail(int answer)
    {
        app_.Post(CMD_CREATE_MAIL);
        HWND box = app_.WaitForOwnedDialog();
        ASSERT_TRUE(box) << "no confirmation";
        EXPECT_EQ(WindowText(box), "MirthTool");
        EXPECT_EQ(MessageText(box), "「表示テスト」ボタンで文字化け等がないかを確認してありますか？\n\n"
                                    "(例）ソフトという文字が文字化けした場合はソ\\フトの様に\n"
                                    "文字化けした文字の前に\\を付けてください\n\n"
                                    "確認済みで本当にメールを作成して良い場合は「はい」を押してください");
        // "(例）ソフ": an ASCII bracket, then a full-width one; "ソ\フトの": one 0x5C after 83 5C.
        EXPECT_NE(MessageText(box).find("\x28\x97\xe1\x81\x6a\x83\x5c\x83\x74"), std::string::npos);
        EXPECT_NE(MessageText(box).find("\x83\x5c\x5c\x83\x74\x83\x67\x82\xcc"), std::string::npos);
        EXPECT_TRUE(PressAndClose(box, answer));
    }

    // Waits for an error box, checks it and closes it.
    void ExpectCannotWriteMessage(const std::string& path)
    {
        HWND box = app_.WaitForOwnedDialog();
        ASSERT_TRUE(box) << "no error message";
        EXPECT_EQ(WindowText(box), "MirthTool");
        // The working folder is kept in lower case.
        EXPECT_NE(Lower(MessageText(box)).find(Lower(path)), std::string::npos) << MessageText(box);
        EXPECT_TRUE(PressAndClose(box, IDOK));
    }

    // The program is still open with every field as the user left it.
    void ExpectUntouched()
    {
        EXPECT_TRUE(app_.Running());
        EXPECT_EQ(WindowText(app_.Field(IDC_BODY)), kBody);
        EXPECT_EQ(WindowText(app_.Field(IDC_DESCRIPTION)), kDescription);
    }

    std::string StoredDescription()
    {
        std::string stored;
        return StoredString("Read", stored) ? stored : "(none)";
    }

    void ExpectFile(const std::string& path, const std::string& want)
    {
        std::string got;
        ASSERT_TRUE(ReadWholeFile(path, got)) << path;
        EXPECT_EQ(got, want) << path;
    }

    TestFolder folder_;
    std::string desktop_;
    std::unique_ptr<StandInLog> log_;
    MirthApp app_;
};

TEST_F(Handoff, TheDisplayTestWritesTheFileAndOpensItInChat)
{
    StartWith(OutlookExpress501, folder_.path());
    ULONGLONG asked = GetTickCount64();
    app_.Post(CMD_DISPLAY_TEST);
    ASSERT_TRUE(log_->WaitForStarts(1));
    Sleep(300);
    std::vector<StandInStart> starts = log_->Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].name, "chat");
    EXPECT_NE(Lower(starts[0].commandLine).find(Lower(folder_ / "Mirth.ccc")), std::string::npos)
        << starts[0].commandLine;
    EXPECT_GE(starts[0].tick - asked, 1400u) << "500 ms in the writer and 1000 ms before the shell request";
    ExpectFile(starts[0].copy, ConversationFor(kBody));
    ExpectFile(folder_ / "Mirth.ccc", ConversationFor(kBody));
    EXPECT_EQ(StoredDescription(), "(none)");
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

// 1,000 lines of 50 bytes and CR LF, a third of them quoted: 52,000 bytes and
// 47,000 characters, more than an edit field takes by default (32,767
// characters on Windows, 30,000 under Wine).
std::string LongMail()
{
    std::string mail;
    for (int line = 0; line < 1000; ++line) {
        std::string text = std::string(line % 3 == 0 ? ">" : "") + "ソフト表示" + std::to_string(line) + " ";
        text.resize(50, 'a');
        mail += text + "\r\n";
    }
    return mail;
}

bool PutOnClipboard(const std::string& text)
{
    int length = MultiByteToWideChar(932, 0, text.c_str(), -1, nullptr, 0);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, length * sizeof(WCHAR));
    if (!memory || !OpenClipboard(nullptr))
        return false;
    MultiByteToWideChar(932, 0, text.c_str(), -1, static_cast<WCHAR*>(GlobalLock(memory)), length);
    GlobalUnlock(memory);
    EmptyClipboard();
    bool put = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    return put;
}

TEST_F(Handoff, ALongPastedMailReachesTheFileWhole)
{
    const std::string mail = LongMail();
    ASSERT_EQ(mail.size(), 52000u);
    StartWith(OutlookExpress501, folder_.path());
    SetText(app_.Field(IDC_BODY), "");
    ASSERT_TRUE(PutOnClipboard(mail));
    app_.Send(CMD_PASTE);
    EXPECT_EQ(WindowText(app_.Field(IDC_BODY)).size(), mail.size()) << "the body after the paste";
    app_.Post(CMD_DISPLAY_TEST);
    ASSERT_TRUE(log_->WaitForStarts(1));
    std::string file, want = ConversationFor(mail);
    ASSERT_TRUE(ReadWholeFile(folder_ / "Mirth.ccc", file));
    EXPECT_EQ(file.size(), want.size());
    EXPECT_TRUE(file == want) << "the file is not the conversation of the whole mail";
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(Handoff, TheDisplayTestForOtherMailersWritesToTheDesktop)
{
    StartWith(OtherMailer, desktop_);
    app_.Post(CMD_DISPLAY_TEST);
    ASSERT_TRUE(log_->WaitForStarts(1));
    EXPECT_NE(Lower(log_->Starts()[0].commandLine).find(Lower(desktop_ + "\\Mirth.ccc")), std::string::npos)
        << log_->Starts()[0].commandLine;
    ExpectFile(desktop_ + "\\Mirth.ccc", ConversationFor(kBody));
    EXPECT_EQ(GetFileAttributesA((folder_ / "Mirth.ccc").c_str()), INVALID_FILE_ATTRIBUTES);
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(Handoff, AnsweringNoDoesNothing)
{
    StartWith(OutlookExpress501, folder_.path());
    CreateMail(IDNO);
    Sleep(1500);
    EXPECT_EQ(GetFileAttributesA((folder_ / "Mirth.ccc").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(log_->Starts().empty());
    EXPECT_EQ(StoredDescription(), "(none)");
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

struct OutlookCase {
    DWORD kind;
    const char* script;
};

class OutlookExpress : public Handoff, public testing::WithParamInterface<OutlookCase> {};

TEST_P(OutlookExpress, MailCreationOpensMailtoThenStartsTheScriptRunner)
{
    StartWith(GetParam().kind, folder_.path());
    CreateMail(IDYES);
    ASSERT_TRUE(log_->WaitForStarts(2));
    ASSERT_TRUE(WaitUntil([&] { return StoredDescription() != "(none)"; }));
    std::vector<StandInStart> starts = log_->Starts();
    ASSERT_EQ(starts.size(), 2u);

    EXPECT_EQ(starts[0].name, "mailer");
    EXPECT_NE(starts[0].commandLine.find("mailto:"), std::string::npos) << starts[0].commandLine;
    ExpectFile(starts[0].copy, ConversationFor(kBody));
    EXPECT_FALSE(starts[0].valueExisted) << "the description was stored before the mail program started";

    EXPECT_EQ(starts[1].name, "mtrun");
    EXPECT_EQ(starts[1].commandLine, std::string("mtrun ") + GetParam().script);
    EXPECT_EQ(Lower(starts[1].folder), Lower(folder_.path())) << "the script is found in the working folder";
    EXPECT_GE(starts[1].tick - starts[0].tick, 400u) << "500 ms between the two starts";

    EXPECT_EQ(StoredDescription(), kDescription);
    ExpectFile(folder_ / "Mirth.ccc", ConversationFor(kBody));
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, OutlookExpress,
                         testing::Values(OutlookCase{OutlookExpress501, "oe501.pcd"},
                                         OutlookCase{OutlookExpress50, "oe5x.pcd"}),
                         [](const testing::TestParamInfo<OutlookCase>& info) {
                             return info.param.kind == OutlookExpress501 ? "OutlookExpress501" : "OutlookExpress50";
                         });

TEST_F(Handoff, BeckyIsStartedFromItsInstallFolderEvenWithBlanksInIt)
{
    std::string install = "C:\\Program Files\\RIMArts\\Becky Test\\";
    CreateDirectoryA("C:\\Program Files\\RIMArts", nullptr);
    CreateDirectoryA(install.c_str(), nullptr);
    ASSERT_TRUE(PlaceStandIn(install + "rebecca.exe"));
    // What an unquoted command line would start instead.
    ASSERT_TRUE(PlaceStandIn("C:\\Program.exe"));
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kBeckyKey, "InstallPath", REG_SZ, install.c_str(),
                              static_cast<DWORD>(install.size() + 1)),
              ERROR_SUCCESS);

    StartWith(Becky124, folder_.path());
    CreateMail(IDYES);
    ASSERT_TRUE(log_->WaitForStarts(2));
    ASSERT_TRUE(WaitUntil([&] { return StoredDescription() != "(none)"; }));
    std::vector<StandInStart> starts = log_->Starts();
    DeleteFileA("C:\\Program.exe");
    ASSERT_EQ(starts.size(), 2u);
    EXPECT_EQ(starts[0].name, "rebecca");
    EXPECT_EQ(starts[0].commandLine, "\"" + install + "rebecca.exe\" mailto:");
    ExpectFile(starts[0].copy, ConversationFor(kBody));
    EXPECT_FALSE(starts[0].valueExisted);
    EXPECT_EQ(starts[1].name, "mtrun");
    EXPECT_EQ(starts[1].commandLine, "mtrun b1x.pcd");
    EXPECT_GE(starts[1].tick - starts[0].tick, 400u);
    EXPECT_EQ(StoredDescription(), kDescription);
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(Handoff, OtherMailersGetTheFileOnTheDesktopAndTheProgramEnds)
{
    StartWith(OtherMailer, desktop_);
    CreateMail(IDYES);
    HWND notice = app_.WaitForOwnedDialog();
    ASSERT_TRUE(notice);
    EXPECT_EQ(WindowText(notice), "MirthTool");
    // The notice's own text, then a line for the picture drawn beside the file.
    EXPECT_EQ(MessageText(notice), "ﾃﾞｽｸﾄｯﾌﾟ上のMirth.cccﾌｧｲﾙを\n"
                                   "ﾄﾞﾗｯｸﾞ&ﾄﾞﾛｯﾌﾟなどの操作で添付ﾌｧｲﾙとしてﾒｰﾙ送信画面に貼り付けてください\n"
                                   "漫画の画像も添付してください: Mirth.png");
    EXPECT_NE(GetFileAttributesA((desktop_ + "\\Mirth.png").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Hex(MessageText(notice).substr(0, 6)), "C3 DE BD B8 C4 AF");  // ﾃﾞｽｸﾄｯ: half-width
    ExpectFile(desktop_ + "\\Mirth.ccc", ConversationFor(kBody));
    EXPECT_EQ(StoredDescription(), "(none)") << "stored only after the notice";
    PressButton(notice, IDOK);
    EXPECT_EQ(app_.WaitForExit(), 0u);
    EXPECT_EQ(StoredDescription(), kDescription);
    EXPECT_TRUE(log_->Starts().empty());
}

class UnknownKind : public Handoff, public testing::WithParamInterface<DWORD> {};

TEST_P(UnknownKind, WritesTheFileAndStartsNothing)
{
    StartWith(GetParam(), folder_.path());
    CreateMail(IDYES);
    ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesA((folder_ / "Mirth.ccc").c_str()) != INVALID_FILE_ATTRIBUTES; }));
    Sleep(1000);
    ExpectFile(folder_ / "Mirth.ccc", ConversationFor(kBody));
    EXPECT_TRUE(log_->Starts().empty());
    EXPECT_EQ(StoredDescription(), "(none)");
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

// 0xFFFFFFFF is what the settings dialog stores for an empty selection.
INSTANTIATE_TEST_SUITE_P(Kinds, UnknownKind, testing::Values(DWORD{5}, DWORD{0xFFFFFFFF}));

// A folder named Mirth.ccc stands where the file should go: nothing can be
// written, and no command may act as if it had been.
class WriteFailure : public Handoff, public testing::WithParamInterface<DWORD> {};

TEST_P(WriteFailure, IsReportedAndNothingElseHappens)
{
    DWORD kind = GetParam();
    std::string folder = kind == OtherMailer ? desktop_ : folder_.path();
    ASSERT_TRUE(CreateDirectoryA((folder + "\\Mirth.ccc").c_str(), nullptr));
    StartWith(kind, folder);

    app_.Post(CMD_DISPLAY_TEST);
    ExpectCannotWriteMessage(folder + "\\Mirth.ccc");
    CreateMail(IDYES);
    ExpectCannotWriteMessage(folder + "\\Mirth.ccc");
    Sleep(1000);
    EXPECT_TRUE(log_->Starts().empty());
    EXPECT_EQ(StoredDescription(), "(none)");
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Kinds, WriteFailure,
                         testing::Values(OtherMailer, OutlookExpress501, Becky124));

TEST_F(Handoff, ABeckyFolderTooLongForTheCommandLineIsRefusedNotCut)
{
    std::string install = "C:\\" + std::string(236, 'b') + "\\";
    ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kBeckyKey, "InstallPath", REG_SZ, install.c_str(),
                              static_cast<DWORD>(install.size() + 1)),
              ERROR_SUCCESS);
    StartWith(Becky124, folder_.path());
    CreateMail(IDYES);
    ExpectCannotWriteMessage(folder_ / "Mirth.ccc");
    Sleep(1000);
    EXPECT_TRUE(log_->Starts().empty());
    EXPECT_EQ(StoredDescription(), "(none)");
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(Handoff, AWorkingFolderTooLongForTheDisplayTestIsRefusedNotCut)
{
    // A folder of 250 bytes: it fits the working folder's 255, but
    // "<folder>\Mirth.ccc" needs 261 bytes with its terminator.
    std::string deep = "C:\\mirth-deep";
    CreateDirectoryA(deep.c_str(), nullptr);
    for (size_t length : {60, 60, 60, 53}) {
        deep += "\\" + std::string(length, 'd');
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    ASSERT_EQ(deep.size(), 250u);
    PlaceStandIn(deep + "\\mtrun.exe");
    StoreDword("MailSoft", OutlookExpress501);
    StandInLog log(folder_ / "log", "");
    ASSERT_TRUE(app_.Start(deep));
    SetText(app_.Field(IDC_BODY), kBody);
    app_.Post(CMD_DISPLAY_TEST);
    ExpectCannotWriteMessage(Lower(deep) + "\\Mirth.ccc");
    Sleep(500);
    EXPECT_TRUE(log.Starts().empty());
    EXPECT_EQ(GetFileAttributesA((deep + "\\Mirth.ccc").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(app_.Running());
    EXPECT_EQ(app_.Close(), 0u);
    DeleteTree("C:\\mirth-deep");
}

}  // namespace
