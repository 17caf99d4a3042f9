// The display test with no program associated with ".ccc": the Chat program
// the user chose once, the question that chooses it, and the message that says
// where Chat is to be had.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "conversation/conversation_format.h"
#include "resources/resource.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_support.h"

namespace {

// Chat unpacked from its zip, in a folder with a blank in its name.
const std::string kChatFolder = "C:\\mirth-chat\\Comic Chat";
const std::string kChat = kChatFolder + "\\CChat.exe";
const int kFileNameBox = 1148;  // cmb13 of the Explorer-style file-open dialog

class ChatProgram : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        // This Chat has no art of its own; fetching it is the art tests' subject.
        StoreDword("ArtFetch", 0);
        CreateDirectoryA("C:\\mirth-chat", nullptr);
        CreateDirectoryA(kChatFolder.c_str(), nullptr);
        ASSERT_TRUE(PlaceStandIn(kChat));
        SetAssociation("MirthTest.none");
        log_.reset(new StandInLog(folder_ / "log", folder_ / "Mirth.ccc"));
    }

    void TearDown() override
    {
        SetAssociation("MirthTest.ccc");  // the stand-in Chat, for the tests that follow
        ClearSettings();
    }

    void SetAssociation(const std::string& progId)
    {
        ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, ".ccc", nullptr, REG_SZ, progId.c_str(),
                                  static_cast<DWORD>(progId.size() + 1)),
                  ERROR_SUCCESS);
    }

    void Start()
    {
        ASSERT_TRUE(app_.Start(folder_.path()));
        SetText(app_.Field(IDC_BODY), kBody);
    }

    // Runs the display test and returns the box it shows.
    HWND DisplayTestBox()
    {
        app_.Post(CMD_DISPLAY_TEST);
        HWND box = app_.WaitForOwnedDialog();
        EXPECT_TRUE(box) << "no message";
        return box;
    }

    // The question whether to choose CChat.exe.
    void ExpectQuestion(HWND box)
    {
        ASSERT_TRUE(box);
        EXPECT_EQ(WindowText(box), "MirthTool");
        EXPECT_NE(MessageText(box).find("(CChat.exe) を選びますか"), std::string::npos) << MessageText(box);
        EXPECT_TRUE(GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO)) << "a Yes/No question";
    }

    void ExpectChatNeeded(HWND box)
    {
        ASSERT_TRUE(box);
        std::string text = MessageText(box);
        EXPECT_NE(text.find("Microsoft Chat が必要です"), std::string::npos) << text;
        EXPECT_NE(Lower(text).find(Lower(folder_ / "Mirth.ccc")), std::string::npos) << text;
        EXPECT_NE(text.find("https://github.com/microsoft/comic-chat"), std::string::npos) << text;
        EXPECT_NE(text.find("「画像で表示」"), std::string::npos) << "the picture command: " << text;
        EXPECT_TRUE(PressAndClose(box, IDOK));
        EXPECT_TRUE(log_->Starts().empty());
        EXPECT_TRUE(app_.Running());
    }

    // Chat started with the file's full path as its one argument, in its own
    // folder, with the complete file there.
    void ExpectChatStarted(size_t count = 1)
    {
        ASSERT_TRUE(log_->WaitForStarts(count));
        StandInStart start = log_->Starts()[count - 1];
        EXPECT_EQ(start.name, "CChat");
        EXPECT_EQ(Lower(start.commandLine), Lower("\"" + kChat + "\" \"" + folder_ / "Mirth.ccc" + "\""));
        EXPECT_EQ(Lower(start.folder), Lower(kChatFolder));
        std::string copy;
        ASSERT_TRUE(ReadWholeFile(start.copy, copy));
        ConversationNames defaults = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};
        EXPECT_EQ(copy, FormatConversationToString(defaults, kBody.data(), kBody.size()));
    }

    const std::string kBody = "ソフトの表示\r\n>引用です";
    TestFolder folder_;
    std::unique_ptr<StandInLog> log_;
    MirthApp app_;
};

TEST_F(ChatProgram, TheChosenChatOpensTheFileWithoutAsking)
{
    StoreString("ChatPath", kChat);
    Start();
    app_.Post(CMD_DISPLAY_TEST);
    ExpectChatStarted();
    EXPECT_FALSE(app_.WaitForOwnedDialog(500)) << "nothing to ask or tell";
    EXPECT_EQ(app_.Close(), 0u);
}

// No stored program, one that names no file, one stored as another type; and
// an associated viewer that can't start, with nothing stored.
class ChatProgramMissing : public ChatProgram, public testing::WithParamInterface<int> {};

TEST_P(ChatProgramMissing, LeadsToTheQuestionAndNoToWhereChatIs)
{
    if (GetParam() == 1)
        StoreString("ChatPath", kChatFolder + "\\gone.exe");
    if (GetParam() == 2)
        RegSetKeyValueA(HKEY_CURRENT_USER, "Software\\Orrindale\\MirthZud", "ChatPath", REG_EXPAND_SZ, kChat.c_str(),
                        static_cast<DWORD>(kChat.size() + 1));
    if (GetParam() == 3) {
        SetAssociation("MirthTest.missing");
        const char command[] = "\"C:\\no such folder\\chat.exe\" \"%1\"";
        ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, "MirthTest.missing\\shell\\open\\command", nullptr, REG_SZ,
                                  command, sizeof command),
                  ERROR_SUCCESS);
    }
    Start();
    HWND question = DisplayTestBox();
    ExpectQuestion(question);
    EXPECT_TRUE(PressAndClose(question, IDNO));
    ExpectChatNeeded(app_.WaitForOwnedDialog());
    EXPECT_EQ(app_.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Stored, ChatProgramMissing, testing::Values(0, 1, 2, 3));

TEST_F(ChatProgram, ChosenInTheFileDialogItIsStoredStartedAndUsedFromThenOn)
{
    Start();
    HWND question = DisplayTestBox();
    ExpectQuestion(question);
    EXPECT_TRUE(PressAndClose(question, IDYES));

    HWND dialog = app_.WaitForOwnedDialog();
    ASSERT_TRUE(dialog) << "no file-open dialog";
    ASSERT_TRUE(GetDlgItem(dialog, kFileNameBox));
    SetText(GetDlgItem(dialog, kFileNameBox), kChat);
    EXPECT_TRUE(PressAndClose(dialog, IDOK));
    ExpectChatStarted();
    std::string stored;
    EXPECT_TRUE(StoredString("ChatPath", stored));
    EXPECT_EQ(Lower(stored), Lower(kChat));

    app_.Post(CMD_DISPLAY_TEST);
    ExpectChatStarted(2);
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(ChatProgram, WithAnAssociationTheShellIsUsedAndTheStoredProgramIgnored)
{
    SetAssociation("MirthTest.ccc");
    StoreString("ChatPath", kChat);
    Start();
    app_.Post(CMD_DISPLAY_TEST);
    ASSERT_TRUE(log_->WaitForStarts(1));
    Sleep(500);
    ASSERT_EQ(log_->Starts().size(), 1u);
    EXPECT_EQ(log_->Starts()[0].name, "chat");
    EXPECT_EQ(app_.Close(), 0u);
}

}  // namespace
