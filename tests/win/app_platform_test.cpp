// The program on a Windows that is not set to Japanese, its version and its
// visual styles.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include <memory>
#include <string>

#include "conversation/conversation_format.h"
#include "resources/resource.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_support.h"
#include "version.h"

namespace {

class Platform : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        log_.reset(new StandInLog(folder_ / "log", folder_ / "Mirth.ccc"));
    }
    void TearDown() override { ClearSettings(); }

    TestFolder folder_;
    std::unique_ptr<StandInLog> log_;
    MirthApp app_;
};

// Wine gives a program started from another the locale of its parent, so this
// test runs in a test program of its own started under LC_ALL=C (the CTest
// test wine.non_japanese_system); there its texts go through the Unicode
// functions, as the test program's own code page is 1252.
using NonJapaneseSystem = Platform;

TEST_F(NonJapaneseSystem, EveryTextStaysShiftJis)
{
    if (GetACP() == 932)
        GTEST_SKIP() << "runs as wine.non_japanese_system, under LC_ALL=C";
    ASSERT_TRUE(app_.Start(folder_.path()));
    SendMessageW(app_.Field(IDC_BODY), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"\u672c\u6587\u30c6\u30b9\u30c8\r\n>\u30bd\u30d5\u30c8\u8868\u793a \\1,000"));
    SendMessageW(app_.Field(IDC_DESCRIPTION), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u8aac\u660e\u3067\u3059"));
    app_.Post(CMD_DISPLAY_TEST);
    ASSERT_TRUE(log_->WaitForStarts(1));
    EXPECT_EQ(log_->Starts()[0].codePage, 1252u) << "the system is not set to another locale";

    // The body as the program wrote it: "本文テスト", ">ソフト表示 \1,000" in Shift-JIS.
    const std::string body = "本文テスト\r\n>ソフト表示 \\1,000";
    std::string file;
    ASSERT_TRUE(ReadWholeFile(folder_ / "Mirth.ccc", file));
    ConversationNames defaults = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};
    EXPECT_EQ(Hex(file), Hex(FormatConversationToString(defaults, body.data(), body.size())));
    EXPECT_NE(file.find("join\t\x96\x7B\x95\xB6\r\n"), std::string::npos) << "本文 as 96 7B 95 B6";

    app_.Post(CMD_EXIT);
    EXPECT_EQ(app_.WaitForExit(), 0u);
    WCHAR stored[16] = L"";
    DWORD size = sizeof stored;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, L"Software\\Orrindale\\MirthZud", L"Read", RRF_RT_REG_SZ, nullptr,
                           stored, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(stored), L"\u8aac\u660e\u3067\u3059") << "説明です";
}

std::string VersionValue(const std::string& exe, const std::string& block, const char* name)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &handle);
    std::string data(size, '\0');
    if (!size || !GetFileVersionInfoA(exe.c_str(), 0, size, &data[0]))
        return "(no version resource)";
    char* value = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\" + block + "\\" + name;
    if (!VerQueryValueA(data.data(), path.c_str(), reinterpret_cast<void**>(&value), &length))
        return "(missing)";
    return value;
}

TEST_F(Platform, TheVersionIsOneNumberInTheResourceAndTheAboutBox)
{
    std::string exe = ProgramPath();
    for (const char* block : {"041104b0", "040904b0"}) {
        EXPECT_EQ(VersionValue(exe, block, "ProductName"), "MirthTool") << block;
        EXPECT_EQ(VersionValue(exe, block, "FileVersion"), MIRTH_VERSION_TEXT) << block;
        EXPECT_EQ(VersionValue(exe, block, "ProductVersion"), MIRTH_VERSION_TEXT) << block;
        EXPECT_NE(VersionValue(exe, block, "FileDescription").find("Microsoft Chat"), std::string::npos) << block;
        EXPECT_NE(VersionValue(exe, block, "LegalCopyright").find("Copyright"), std::string::npos) << block;
    }
    ASSERT_TRUE(app_.Start(folder_.path()));
    app_.Post(CMD_ABOUT);
    HWND box = app_.WaitForOwnedDialog();
    ASSERT_TRUE(box);
    EXPECT_EQ(WindowText(GetDlgItem(box, IDC_ABOUT_LINE1)), std::string("MirthTool ") + MIRTH_VERSION_TEXT);
    EXPECT_TRUE(PressAndClose(box, IDOK));
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(Platform, VisualStylesComeFromVersionSixOfTheCommonControls)
{
    ASSERT_TRUE(app_.Start(folder_.path()));
    // Wine reports version 5.81 for both; the loaded module's folder tells.
    HMODULE modules[512];
    DWORD needed = 0;
    ASSERT_TRUE(EnumProcessModules(app_.Process(), modules, sizeof modules, &needed));
    std::string comctl;
    for (DWORD i = 0; i < needed / sizeof(HMODULE); ++i) {
        char path[MAX_PATH] = "";
        GetModuleFileNameExA(app_.Process(), modules[i], path, MAX_PATH);
        if (Lower(path).find("comctl32.dll") != std::string::npos)
            comctl = Lower(path);
    }
    EXPECT_NE(comctl.find("common-controls_6595b64144ccf1df_6.0"), std::string::npos) << comctl;
    EXPECT_EQ(app_.Close(), 0u);
}

}  // namespace
