// Fetching the art that Chat lacks, through the real program, from a stand-in
// web server, into a stand-in Chat whose ComicArt folder lacks Art Pack 1.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <memory>
#include <string>

#include "resources/resource.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_art.h"
#include "tests/win/test_support.h"

namespace {

const std::string kChatFolder = "C:\\mirth-art-chat";
const std::string kChatArt = kChatFolder + "\\ComicArt";

std::string OwnArtFolder()
{
    char local[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local);
    return std::string(local) + "\\Orrindale\\MirthZud\\ComicArt";
}

class ArtFetch : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        DeleteTree(kChatFolder);
        DeleteTree(OwnArtFolder());
        CreateDirectoryA(kChatFolder.c_str(), nullptr);
        CreateDirectoryA(kChatArt.c_str(), nullptr);
        ASSERT_TRUE(PlaceStandIn(kChatFolder + "\\CChat.exe"));
        ASSERT_TRUE(WriteWholeFile(kChatArt + "\\lance.avb", TestArt("lance.avb")));
        ASSERT_TRUE(Associate("MirthTest.artchat", "\"" + kChatFolder + "\\CChat.exe\" \"%1\""));
        // The server's files, where Microsoft publishes them.
        std::string root = ArtServerFolder() + "\\root";
        for (const char* folder : {"", "\\artpack1", "\\comicart"})
            CreateDirectoryA((root + folder).c_str(), nullptr);
        ASSERT_TRUE(WriteWholeFile(root + "\\artpack1\\scotty.avb", TestArt("scotty.avb")));
        ASSERT_TRUE(WriteWholeFile(root + "\\artpack1\\den.bgb", TestArt("den.bgb")));
        ArtServerRequests();
        log_.reset(new StandInLog(folder_ / "log", ""));
    }

    void TearDown() override
    {
        Associate("MirthTest.ccc", "");
        ClearSettings();
        DeleteTree(kChatFolder);
        DeleteTree(OwnArtFolder());
    }

    // Associates ".ccc" with a ProgID, given the command that opens it.
    bool Associate(const std::string& progId, const std::string& command)
    {
        if (!command.empty() &&
            RegSetKeyValueA(HKEY_CLASSES_ROOT, (progId + "\\shell\\open\\command").c_str(), nullptr, REG_SZ,
                            command.c_str(), static_cast<DWORD>(command.size() + 1)) != ERROR_SUCCESS)
            return false;
        return RegSetKeyValueA(HKEY_CLASSES_ROOT, ".ccc", nullptr, REG_SZ, progId.c_str(),
                               static_cast<DWORD>(progId.size() + 1)) == ERROR_SUCCESS;
    }

    void Start(const std::string& mode)
    {
        StoreString("ArtURL", ArtServerAddress(mode));
        ASSERT_TRUE(app_.Start(folder_.path()));
        SetText(app_.Field(IDC_BODY), "こんにちは\r\n>お元気ですか");
    }

    HWND DisplayTestBox()
    {
        app_.Post(CMD_DISPLAY_TEST);
        return app_.WaitForOwnedDialog();
    }

    // Chat was opened after the art step, whatever it did.
    void ExpectChatOpened()
    {
        ASSERT_TRUE(log_->WaitForStarts(1)) << "Chat was not opened";
        EXPECT_EQ(log_->Starts()[0].name, "CChat");
        EXPECT_TRUE(app_.Running());
    }

    // The message after a failed fetch names each file with its reason.
    void ExpectNotFetched(HWND box, const std::string& reason)
    {
        ASSERT_TRUE(box) << "no message";
        std::string text = MessageText(box);
        EXPECT_NE(text.find("取得できませんでした"), std::string::npos) << text;
        EXPECT_NE(text.find("SCOTTY.avb: " + reason), std::string::npos) << text;
        EXPECT_NE(text.find("DEN.bgb: " + reason), std::string::npos) << text;
        EXPECT_TRUE(PressAndClose(box, IDOK));
        ExpectChatOpened();
        EXPECT_FALSE(Exists(kChatArt + "\\SCOTTY.avb"));
        EXPECT_FALSE(Exists(kChatArt + "\\DEN.bgb"));
        EXPECT_FALSE(Exists(OwnArtFolder() + "\\SCOTTY.avb"));
    }

    TestFolder folder_;
    std::unique_ptr<StandInLog> log_;
    MirthApp app_;
};

TEST_F(ArtFetch, YesFetchesArtPackOneIntoChatsFolderByteForByteAndIsRemembered)
{
    Start("ok");
    HWND question = DisplayTestBox();
    ASSERT_TRUE(question) << "no question";
    std::string text = MessageText(question);
    EXPECT_NE(text.find("SCOTTY.avb"), std::string::npos) << text;
    EXPECT_NE(text.find("DEN.bgb"), std::string::npos) << text;
    EXPECT_EQ(text.find("LANCE"), std::string::npos) << "LANCE is in Chat's folder: " << text;
    EXPECT_NE(text.find("github.com/microsoft/comic-chat"), std::string::npos) << text;
    EXPECT_TRUE(GetDlgItem(question, IDYES) && GetDlgItem(question, IDNO)) << "a Yes/No question";
    EXPECT_TRUE(PressAndClose(question, IDYES));
    ExpectChatOpened();
    std::string scotty, den;
    EXPECT_TRUE(ReadWholeFile(kChatArt + "\\SCOTTY.avb", scotty));
    EXPECT_TRUE(ReadWholeFile(kChatArt + "\\DEN.bgb", den));
    EXPECT_TRUE(scotty == TestArt("scotty.avb")) << "SCOTTY.avb differs: " << scotty.size() << " bytes";
    EXPECT_TRUE(den == TestArt("den.bgb")) << "DEN.bgb differs: " << den.size() << " bytes";
    EXPECT_EQ(ArtServerRequests(), "/ok/artpack1/scotty.avb\n/ok/artpack1/den.bgb\n");
    DWORD answer = 99;
    EXPECT_TRUE(StoredDword("ArtFetch", answer));
    EXPECT_EQ(answer, 1u);
    EXPECT_FALSE(app_.WaitForOwnedDialog(300)) << "no message after a fetch that worked";

    // From then on nothing is missing, so nothing is asked or fetched.
    app_.Post(CMD_DISPLAY_TEST);
    ASSERT_TRUE(log_->WaitForStarts(2));
    EXPECT_EQ(ArtServerRequests(), "");
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(ArtFetch, NoStoresZeroFetchesNothingAndIsNotAskedAgain)
{
    Start("ok");
    HWND question = DisplayTestBox();
    ASSERT_TRUE(question);
    EXPECT_TRUE(PressAndClose(question, IDNO));
    ExpectChatOpened();
    DWORD answer = 99;
    EXPECT_TRUE(StoredDword("ArtFetch", answer));
    EXPECT_EQ(answer, 0u);
    app_.Post(CMD_DISPLAY_TEST);
    ASSERT_TRUE(log_->WaitForStarts(2));
    EXPECT_FALSE(app_.WaitForOwnedDialog(300)) << "asked again";
    EXPECT_EQ(ArtServerRequests(), "");
    EXPECT_FALSE(Exists(kChatArt + "\\SCOTTY.avb"));
    EXPECT_EQ(app_.Close(), 0u);
}

// With "ArtFetch" 1 nothing is asked; a file that is not art, or not whole,
// never lands, and one message names each file and why.
struct BadAnswer {
    const char* mode;
    const char* reason;
};

class ArtFetchFailure : public ArtFetch, public testing::WithParamInterface<BadAnswer> {};

TEST_P(ArtFetchFailure, NamesEachFileAndLandsNothing)
{
    StoreDword("ArtFetch", 1);
    Start(GetParam().mode);
    ExpectNotFetched(DisplayTestBox(), GetParam().reason);
    EXPECT_EQ(app_.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Server, ArtFetchFailure,
                         testing::Values(BadAnswer{"html", "画像ファイルとして読めません"},
                                         BadAnswer{"half", "画像ファイルとして読めません"},
                                         BadAnswer{"cut", ""},
                                         BadAnswer{"missing", "サーバーが HTTP 404 を返しました"}),
                         [](const testing::TestParamInfo<BadAnswer>& info) { return std::string(info.param.mode); });

TEST_F(ArtFetch, AFileThereUnderAnyCaseIsLeftAloneAndOnlyTheRestIsFetched)
{
    const std::string mine = "not Microsoft's scotty";
    ASSERT_TRUE(WriteWholeFile(kChatArt + "\\scotty.AVB", mine));
    StoreDword("ArtFetch", 1);
    Start("ok");
    app_.Post(CMD_DISPLAY_TEST);
    ExpectChatOpened();
    EXPECT_EQ(ArtServerRequests(), "/ok/artpack1/den.bgb\n");
    std::string scotty;
    EXPECT_TRUE(ReadWholeFile(kChatArt + "\\scotty.AVB", scotty));
    EXPECT_EQ(scotty, mine);
    EXPECT_TRUE(Exists(kChatArt + "\\DEN.bgb"));
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(ArtFetch, WithoutAKnownChatTheFilesGoToMirthToolsOwnFolder)
{
    ASSERT_TRUE(Associate("MirthTest.none", ""));
    StoreDword("ArtFetch", 1);
    Start("ok");
    app_.Post(CMD_DISPLAY_TEST);
    HWND box = app_.WaitForOwnedDialog();  // the question for CChat.exe
    ASSERT_TRUE(box);
    EXPECT_TRUE(Exists(OwnArtFolder() + "\\SCOTTY.avb"));
    EXPECT_TRUE(Exists(OwnArtFolder() + "\\DEN.bgb"));
    EXPECT_TRUE(PressAndClose(box, IDNO));
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(ArtFetch, ASlowFetchShowsItsProgressWithTheWindowAnsweringAndCancelGoesOn)
{
    StoreDword("ArtFetch", 1);
    Start("hang");
    app_.Post(CMD_DISPLAY_TEST);
    HWND progress = app_.WaitForOwnedDialog();
    ASSERT_TRUE(progress) << "no progress window";
    ASSERT_TRUE(GetDlgItem(progress, IDC_FETCH_BAR)) << "not the progress window: " << MessageText(progress);
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(app_.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result))
        << "the main window does not answer";
    EXPECT_FALSE(IsWindowEnabled(app_.window())) << "the main window takes input during the fetch";
    EXPECT_TRUE(PressAndClose(progress, IDCANCEL));
    ExpectNotFetched(app_.WaitForOwnedDialog(), "キャンセルしました");
    EXPECT_TRUE(IsWindowEnabled(app_.window()));
    EXPECT_EQ(app_.Close(), 0u);
}

// Names Microsoft does not publish, and names that are not plain file names,
// are neither asked about nor fetched.
TEST_F(ArtFetch, NamesMicrosoftDoesNotPublishOrThatAreNoPlainFileNamesAreNotAskedFor)
{
    StoreString("charstr", "GUEST");
    StoreString("charstr2", "..\\..\\LANCE");
    StoreString("backstr", "C:\\DEN.bgb");
    Start("ok");
    app_.Post(CMD_DISPLAY_TEST);
    ExpectChatOpened();
    EXPECT_FALSE(app_.WaitForOwnedDialog(300)) << "asked";
    EXPECT_EQ(ArtServerRequests(), "");
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(ArtFetch, TheSettingsBoxShowsAndChangesTheStoredAnswerOnlyWhenTouched)
{
    struct Case {
        bool stored;
        DWORD value;
        bool checked;
    };
    for (Case c : {Case{false, 0, false}, Case{true, 0, false}, Case{true, 1, true}, Case{true, 7, false}}) {
        ClearSettings();
        if (c.stored)
            StoreDword("ArtFetch", c.value);
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        app.Post(CMD_SETTINGS);
        HWND dialog = app.WaitForOwnedDialog();
        ASSERT_TRUE(dialog);
        HWND box = GetDlgItem(dialog, IDC_CONFIG_ART_FETCH);
        ASSERT_TRUE(box);
        EXPECT_EQ(WindowText(box), "不足するキャラクター画像を Microsoft の公開場所から取得する");
        EXPECT_EQ(SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED, c.checked) << "value " << c.value;
        EXPECT_TRUE(PressAndClose(dialog, IDOK));
        DWORD value = 99;
        EXPECT_EQ(StoredDword("ArtFetch", value), c.stored) << "an untouched box stores nothing";
        if (c.stored) {
            EXPECT_EQ(value, c.value);
        }

        app.Post(CMD_SETTINGS);
        dialog = app.WaitForOwnedDialog();
        ASSERT_TRUE(dialog);
        SendMessageA(GetDlgItem(dialog, IDC_CONFIG_ART_FETCH), BM_CLICK, 0, 0);
        EXPECT_TRUE(PressAndClose(dialog, IDOK));
        EXPECT_TRUE(StoredDword("ArtFetch", value));
        EXPECT_EQ(value, c.checked ? 0u : 1u) << "a changed box stores what it shows";
        EXPECT_EQ(app.Close(), 0u);
    }
}

}  // namespace
