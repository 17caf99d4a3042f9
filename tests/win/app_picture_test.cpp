// The strip as pictures through the real program: beside Mirth.ccc after the
// display test, and opened by the picture command.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "resources/resource.h"
#include "strip/strip_layout.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_art.h"
#include "tests/win/test_support.h"

namespace {

class StripPictures : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        log_.reset(new StandInLog(folder_ / "log", folder_ / "Mirth.png"));
    }
    void TearDown() override { ClearSettings(); }

    void Start()
    {
        ASSERT_TRUE(app_.Start(folder_.path()));
        SetText(app_.Field(IDC_BODY), "こんにちは\r\n>お元気ですか");
    }

    // Mirth.png beside Mirth.ccc: the title panel and one content panel, a row.
    void ExpectPicture()
    {
        Picture picture;
        std::string error;
        ASSERT_TRUE(Decode(folder_ / "Mirth.png", picture, error)) << error;
        EXPECT_EQ(picture.width, kPictureWidth);
        EXPECT_EQ(picture.height, kPanelSide + 2 * kGutter);
    }

    TestFolder folder_;
    std::unique_ptr<StandInLog> log_;
    MirthApp app_;
};

TEST_F(StripPictures, TheDisplayTestDrawsThePictureBesideTheConversationBeforeChatOpens)
{
    Start();
    app_.Post(CMD_DISPLAY_TEST);
    ASSERT_TRUE(log_->WaitForStarts(1));
    EXPECT_EQ(log_->Starts()[0].name, "chat");
    EXPECT_FALSE(log_->Starts()[0].copy.empty()) << "no picture when Chat opened";
    ExpectPicture();
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(StripPictures, ThePictureCommandOpensThePictureWithTheProgramForPictures)
{
    // The menu item, read from the program's resources: Wine gives no other
    // process the text of a window's menu.
    HMODULE program = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(program);
    HMENU menu = LoadMenuA(program, MAKEINTRESOURCEA(IDM_MAIN_MENU));
    char caption[64] = "";
    GetMenuStringA(menu, CMD_SHOW_PICTURE, caption, sizeof caption, MF_BYCOMMAND);
    EXPECT_EQ(std::string(caption), "画像で表示(&P)");
    DestroyMenu(menu);
    FreeLibrary(program);
    Start();
    app_.Post(CMD_SHOW_PICTURE);
    ASSERT_TRUE(log_->WaitForStarts(1));
    StandInStart start = log_->Starts()[0];
    EXPECT_EQ(start.name, "viewer");
    EXPECT_NE(Lower(start.commandLine).find(Lower(folder_ / "Mirth.png")), std::string::npos) << start.commandLine;
    ExpectPicture();
    EXPECT_TRUE(Exists(folder_ / "Mirth.ccc"));
    EXPECT_FALSE(app_.WaitForOwnedDialog(300)) << "nothing to say";
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(StripPictures, WithoutTheArtThePictureCommandNamesWhatIsMissing)
{
    StoreDword("ArtFetch", 0);
    StoreString("charstr", "KEVIN");  // Art Pack 1: not in the stand-in Chat's art
    ASSERT_TRUE(WriteWholeFile(folder_ / "Mirth-3.png", "an older picture"));
    Start();
    app_.Post(CMD_SHOW_PICTURE);
    HWND box = app_.WaitForOwnedDialog();
    ASSERT_TRUE(box);
    std::string text = MessageText(box);
    EXPECT_NE(text.find("KEVIN.avb"), std::string::npos) << text;
    EXPECT_TRUE(PressAndClose(box, IDOK));
    EXPECT_TRUE(log_->Starts().empty()) << "nothing to open";
    EXPECT_FALSE(Exists(folder_ / "Mirth.png"));
    EXPECT_FALSE(Exists(folder_ / "Mirth-3.png")) << "a stale picture stayed";
    EXPECT_TRUE(app_.Running());
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(StripPictures, APictureThatCantBeWrittenIsNamedAndTheDisplayTestGoesOn)
{
    ASSERT_TRUE(CreateDirectoryA((folder_ / "Mirth.png").c_str(), nullptr));  // in the picture's way
    Start();
    app_.Post(CMD_DISPLAY_TEST);
    HWND box = app_.WaitForOwnedDialog();
    ASSERT_TRUE(box);
    std::string text = MessageText(box);
    EXPECT_NE(text.find("漫画の画像を書き込めませんでした"), std::string::npos) << text;
    EXPECT_NE(Lower(text).find(Lower(folder_ / "Mirth.png")), std::string::npos) << text;
    EXPECT_TRUE(PressAndClose(box, IDOK));
    ASSERT_TRUE(log_->WaitForStarts(1)) << "Chat was not opened";
    EXPECT_EQ(log_->Starts()[0].name, "chat");
    EXPECT_EQ(app_.Close(), 0u);
}

}  // namespace
