// The real program, started and driven through its window as a user would.
#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_support.h"

namespace {

const BYTE kScanTab = 0x0F;
const BYTE kScanEnter = 0x1C;

class AppWindow : public testing::Test {
protected:
    void SetUp() override { ClearSettings(); }
    void TearDown() override { ClearSettings(); }

    void StoreRect(int x, int y, int width, int height)
    {
        StoreDword("X", static_cast<DWORD>(x));
        StoreDword("Y", static_cast<DWORD>(y));
        StoreDword("Width", static_cast<DWORD>(width));
        StoreDword("Height", static_cast<DWORD>(height));
    }

    RECT StoredRect()
    {
        DWORD x = 0, y = 0, width = 0, height = 0;
        EXPECT_TRUE(StoredDword("X", x) && StoredDword("Y", y) && StoredDword("Width", width) &&
                    StoredDword("Height", height));
        int left = static_cast<int>(x), top = static_cast<int>(y);
        return RECT{left, top, left + static_cast<int>(width), top + static_cast<int>(height)};
    }

    TestFolder folder_;
};

void ExpectRect(const RECT& got, const RECT& want, const char* what)
{
    EXPECT_TRUE(EqualRect(&got, &want)) << what << ": got " << Describe(got) << ", want " << Describe(want);
}

TEST_F(AppWindow, ASecondCopyEndsAtOnceAndLeavesTheFirstAlone)
{
    MirthApp first;
    ASSERT_TRUE(first.Start(folder_.path()));
    SetText(first.Field(IDC_BODY), "typed");
    ClearSettings();  // whatever the second copy wrote would show here

    MirthApp second;
    EXPECT_EQ(second.StartAndWait(folder_.path()), 0u);
    EXPECT_TRUE(first.Running());
    EXPECT_EQ(WindowText(first.Field(IDC_BODY)), "typed");
    EXPECT_TRUE(IsWindowVisible(first.window()));
    HKEY key;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Orrindale\\MirthZud", 0, KEY_READ, &key), ERROR_SUCCESS)
        << "the second copy wrote settings";
    EXPECT_EQ(first.Close(), 0u);
}

TEST_F(AppWindow, StartsWithTheLaunchersShowMode)
{
    {
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path(), SW_SHOWMINIMIZED));
        EXPECT_TRUE(IsIconic(app.window()));
        EXPECT_EQ(app.Close(), 0u);
    }
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path(), SW_SHOWMAXIMIZED));
    EXPECT_TRUE(IsZoomed(app.window()));
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, PlacementIsRestoredAndStoredWhenTheWindowCloses)
{
    {
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        ExpectRect(WindowRect(app.window()), RECT{50, 50, 630, 500}, "first start");
        EXPECT_EQ(app.Close(), 0u);
        ExpectRect(StoredRect(), RECT{50, 50, 630, 500}, "stored after the first start");
    }
    StoreRect(120, 80, 640, 480);
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    ExpectRect(WindowRect(app.window()), RECT{120, 80, 760, 560}, "stored rectangle");
    SetWindowPos(app.window(), nullptr, 200, 100, 600, 420, SWP_NOZORDER);
    EXPECT_EQ(app.Close(), 0u);
    ExpectRect(StoredRect(), RECT{200, 100, 800, 520}, "stored after a move");
}

TEST_F(AppWindow, AWindowPartlyOffScreenStaysWhereItWas)
{
    StoreRect(-100, -20, 580, 450);
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    ExpectRect(WindowRect(app.window()), RECT{-100, -20, 480, 430}, "partly visible window");
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, AWindowOffEveryMonitorComesBackOntoTheScreen)
{
    StoreRect(-5000, 3000, 580, 450);
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    RECT shown = WindowRect(app.window());
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(shown.right - shown.left, 580);
    EXPECT_EQ(shown.bottom - shown.top, 450);
    RECT inside;
    EXPECT_TRUE(IntersectRect(&inside, &shown, &work) && EqualRect(&inside, &shown))
        << Describe(shown) << " is not inside the work area " << Describe(work);
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, AWindowClosedWhileMinimisedComesBackAtItsNormalRectangle)
{
    StoreRect(150, 90, 600, 440);
    {
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        ShowWindow(app.window(), SW_MINIMIZE);
        ASSERT_TRUE(WaitUntil([&] { return IsIconic(app.window()) != 0; }));
        EXPECT_EQ(app.Close(), 0u);
    }
    ExpectRect(StoredRect(), RECT{150, 90, 750, 530}, "stored while minimised");
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    EXPECT_FALSE(IsIconic(app.window()));
    ExpectRect(WindowRect(app.window()), RECT{150, 90, 750, 530}, "restarted");
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, AWindowClosedWhileMaximisedComesBackNormalAtThatSize)
{
    RECT maximised;
    {
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        ShowWindow(app.window(), SW_MAXIMIZE);
        ASSERT_TRUE(WaitUntil([&] { return IsZoomed(app.window()) != 0; }));
        maximised = WindowRect(app.window());
        EXPECT_EQ(app.Close(), 0u);
    }
    ExpectRect(StoredRect(), maximised, "stored while maximised");
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    EXPECT_FALSE(IsZoomed(app.window()));
    RECT shown = WindowRect(app.window());
    EXPECT_EQ(shown.right - shown.left, maximised.right - maximised.left);
    EXPECT_EQ(shown.bottom - shown.top, maximised.bottom - maximised.top);
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, LateInitialisationShowsTheDefaultDescriptionAndFocusesTheSubject)
{
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    std::string description = WindowText(app.Field(IDC_DESCRIPTION));
    std::string rule(73, '=');
    EXPECT_EQ(description.substr(0, 75), rule + "\r\n");
    EXPECT_EQ(description.substr(description.size() - 73), rule);
    // "添付ファイル" in Shift-JIS.
    EXPECT_EQ(Hex(description.substr(75, 12)), "93 59 95 74 83 74 83 40 83 43 83 8B");
    size_t lineBreaks = 0;
    for (size_t at = description.find("\r\n"); at != std::string::npos; at = description.find("\r\n", at + 2))
        ++lineBreaks;
    EXPECT_EQ(lineBreaks, 7u);
    EXPECT_NE(description.find("場合は\r\nhttps://github.com/microsoft/comic-chat\r\nから"), std::string::npos)
        << "line 5: where Microsoft publishes Chat today";
    EXPECT_EQ(app.FocusedControl(), app.Field(IDC_SUBJECT));
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, TheDescriptionIsStoredByExitButNotByClosingTheFrame)
{
    {
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        SetText(app.Field(IDC_DESCRIPTION), "閉じるだけ");
        EXPECT_EQ(app.Close(), 0u);
        std::string stored;
        EXPECT_FALSE(StoredString("Read", stored)) << stored;
    }
    {
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        SetText(app.Field(IDC_DESCRIPTION), "説明ソフト\r\n2行目");
        app.Post(CMD_EXIT);
        EXPECT_EQ(app.WaitForExit(), 0u);
        std::string stored;
        EXPECT_TRUE(StoredString("Read", stored));
        EXPECT_EQ(Hex(stored), Hex("説明ソフト\r\n2行目"));
    }
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    EXPECT_EQ(WindowText(app.Field(IDC_DESCRIPTION)), "説明ソフト\r\n2行目");
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, TabAndEnterMoveFromSubjectToBodyAndAreTypedInTheBody)
{
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    HWND subject = app.Field(IDC_SUBJECT), body = app.Field(IDC_BODY);

    app.PressKey(subject, VK_TAB, kScanTab);
    EXPECT_TRUE(WaitUntil([&] { return app.FocusedControl() == body; })) << "Tab in the subject";
    EXPECT_EQ(WindowText(subject), "");

    app.Click(subject);
    EXPECT_TRUE(WaitUntil([&] { return app.FocusedControl() == subject; }));
    SetText(subject, "件名");
    app.PressKey(subject, VK_RETURN, kScanEnter);
    EXPECT_TRUE(WaitUntil([&] { return app.FocusedControl() == body; })) << "Enter in the subject";
    EXPECT_EQ(WindowText(subject), "件名");

    app.PressKey(body, 'A', 0x1E);
    app.PressKey(body, VK_RETURN, kScanEnter);
    app.PressKey(body, VK_TAB, kScanTab);
    app.PressKey(body, 'A', 0x1E);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(body).size() >= 5; }));
    EXPECT_EQ(WindowText(body), "a\r\n\ta");
    EXPECT_EQ(app.FocusedControl(), body);
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, ThePanesFollowTheWindowSize)
{
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    const int panelHeight = WindowRect(app.panel()).bottom - WindowRect(app.panel()).top;
    const int bodyTop = 5 * GetSystemMetrics(SM_CYMENU) - 15;
    for (SIZE size : {SIZE{580, 450}, SIZE{900, 700}, SIZE{420, 200}, SIZE{300, 120}}) {
        SetWindowPos(app.window(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        RECT client;
        GetClientRect(app.window(), &client);
        std::string at = "window " + std::to_string(size.cx) + " x " + std::to_string(size.cy);
        ExpectRect(RectInParent(app.panel()), RECT{0, 0, client.right, panelHeight}, ("panel, " + at).c_str());
        int mailHeight = client.bottom - panelHeight - 5;
        ExpectRect(RectInParent(app.mail()),
                   RECT{0, panelHeight + 5, client.right, panelHeight + 5 + (mailHeight > 0 ? mailHeight : 0)},
                   ("mail pane, " + at).c_str());
        RECT mailClient;
        GetClientRect(app.mail(), &mailClient);
        int bodyHeight = mailClient.bottom - bodyTop;
        ExpectRect(RectInParent(app.Field(IDC_BODY)),
                   RECT{0, bodyTop, mailClient.right, bodyTop + (bodyHeight > 0 ? bodyHeight : 0)},
                   ("body, " + at).c_str());
    }
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, EditingCommandsActOnTheBodyWhileTheSubjectHasTheFocus)
{
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    HWND body = app.Field(IDC_BODY), subject = app.Field(IDC_SUBJECT);
    SetText(subject, "件名のまま");
    SetText(body, "本文テキスト");
    ASSERT_EQ(app.FocusedControl(), subject);

    app.Send(CMD_SELECT_ALL);
    // Positions in characters, as the Unicode messages count them.
    LRESULT selection = SendMessageW(body, EM_GETSEL, 0, 0);
    EXPECT_EQ(LOWORD(selection), 0);
    EXPECT_EQ(HIWORD(selection), SendMessageW(body, WM_GETTEXTLENGTH, 0, 0)) << "the whole body is selected";

    app.Send(CMD_CUT);
    EXPECT_EQ(WindowText(body), "");
    app.Send(CMD_UNDO);
    EXPECT_EQ(WindowText(body), "本文テキスト");
    app.Send(CMD_SELECT_ALL);
    app.Send(CMD_COPY);
    app.Send(CMD_DELETE);
    EXPECT_EQ(WindowText(body), "");
    app.Send(CMD_PASTE);
    app.Send(CMD_PASTE);
    EXPECT_EQ(WindowText(body), "本文テキスト本文テキスト");

    EXPECT_EQ(WindowText(subject), "件名のまま");
    EXPECT_EQ(app.FocusedControl(), subject);
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, TheAboutBoxShowsItsTextsAndClosesWithOkOrEscape)
{
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    for (int button : {IDOK, IDCANCEL}) {
        app.Post(CMD_ABOUT);
        HWND box = app.WaitForOwnedDialog();
        ASSERT_TRUE(box);
        EXPECT_EQ(WindowText(box), "ﾊﾞｰｼﾞｮﾝ情報");
        EXPECT_EQ(Hex(WindowText(box)), "CA DE B0 BC DE AE DD 8F EE 95 F1");
        EXPECT_EQ(WindowText(GetDlgItem(box, IDC_ABOUT_SUMMARY)), "漫画／アニメの様なメールを簡単に作れます・・・");
        EXPECT_EQ(WindowText(GetDlgItem(box, IDC_ABOUT_LINE1)).rfind("MirthTool ", 0), 0u);
        EXPECT_TRUE(GetDlgItem(box, IDC_ABOUT_ICON));
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "button " << button;
    }
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, TheHelpCommandOpensTheHelpPageOfTheWorkingFolder)
{
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\MirthZud.htm").c_str(), (folder_ / "MirthZud.htm").c_str(), FALSE));
    StandInLog log(folder_ / "log", "");
    MirthApp app;
    ASSERT_TRUE(app.Start(folder_.path()));
    app.Post(CMD_HOWTO);
    ASSERT_TRUE(log.WaitForStarts(1));
    StandInStart start = log.Starts()[0];
    EXPECT_EQ(start.name, "browser");
    EXPECT_NE(start.commandLine.find("MirthZud.htm"), std::string::npos) << start.commandLine;
    std::string opened = start.commandLine.substr(start.commandLine.rfind(' ') + 1);
    EXPECT_EQ(Lower(opened), Lower("\"" + folder_ / "MirthZud.htm" + "\""));
    EXPECT_TRUE(app.Running());
    EXPECT_EQ(app.Close(), 0u);
}

TEST_F(AppWindow, AnUnfitFolderGivesWayToTheRememberedOne)
{
    ASSERT_TRUE(CopyFileA((BuildFolder() + "\\MirthZud.htm").c_str(), (folder_ / "MirthZud.htm").c_str(), FALSE));
    {
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        EXPECT_EQ(app.Close(), 0u);
    }
    std::string remembered;
    ASSERT_TRUE(StoredString("curpath", remembered));
    std::string folded = Lower(folder_.path());
    EXPECT_EQ(remembered, folded);

    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    StandInLog log(folder_ / "log", "");
    MirthApp app;
    ASSERT_TRUE(app.Start(windows));
    app.Post(CMD_HOWTO);
    ASSERT_TRUE(log.WaitForStarts(1)) << "the help page was not found in the remembered folder";
    EXPECT_NE(Lower(log.Starts()[0].commandLine).find(remembered + "\\mirthzud.htm"), std::string::npos)
        << log.Starts()[0].commandLine;
    EXPECT_TRUE(StoredString("curpath", remembered));
    EXPECT_EQ(remembered, folded) << "an unfit folder must not be remembered";
    EXPECT_EQ(app.Close(), 0u);
}

}  // namespace
