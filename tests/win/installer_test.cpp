// The installer and uninstaller of the release, run silently.
#include <gtest/gtest.h>
#include <windows.h>

#include <shlobj.h>

#include <set>
#include <string>

#include "conversation/conversation_format.h"
#include "resources/resource.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_support.h"
#include "version.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MirthTool";

std::string SetupProgram()
{
    return BuildFolder() + "\\..\\release\\MirthTool-" MIRTH_VERSION_TEXT "-setup.exe";
}

DWORD RunAndWait(std::string commandLine)
{
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return GetLastError() | 0x80000000;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return code;
}

std::set<std::string> FilesIn(const std::string& folder)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.insert(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

std::string Shortcut()
{
    char programs[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, programs);
    return std::string(programs) + "\\MirthTool.lnk";
}

std::string UninstallValue(const char* name)
{
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return "(missing)";
    return value;
}

// The uninstaller copies itself to the temporary folder and returns at once;
// it is done when its registration is gone.
void Uninstall(const std::string& folder)
{
    ASSERT_EQ(RunAndWait("\"" + folder + "\\Uninstall.exe\" /S"), 0u);
    EXPECT_TRUE(WaitUntil([] { return UninstallValue("DisplayName") == "(missing)"; }, 30000));
    EXPECT_TRUE(WaitUntil([&] { return !Exists(folder + "\\Uninstall.exe"); }, 10000));
}

const std::set<std::string> kInstalledFiles = {"MirthTool.exe", "MirthStrip.exe", "MirthMapi64.exe",
                                               "MirthMapi32.exe", "MirthZud.htm", "Uninstall.exe"};

class Installer : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        RegDeleteTreeA(HKEY_CURRENT_USER, kUninstallKey);
        DeleteTree(kFolder);
        ASSERT_TRUE(Exists(SetupProgram())) << SetupProgram();
    }
    void TearDown() override
    {
        ClearSettings();
        DeleteTree("C:\\mirth-install");
    }

    const std::string kFolder = "C:\\mirth-install\\MirthTool";
};

TEST_F(Installer, PutsDownTheProgramAndTakesAwayOnlyThatAgain)
{
    CreateDirectoryA("C:\\mirth-install", nullptr);
    ASSERT_EQ(RunAndWait("\"" + SetupProgram() + "\" /S /D=" + kFolder), 0u);
    EXPECT_EQ(FilesIn(kFolder), kInstalledFiles);
    EXPECT_TRUE(Exists(Shortcut())) << Shortcut();
    std::string installed, built;
    ASSERT_TRUE(ReadWholeFile(kFolder + "\\MirthStrip.exe", installed));
    ASSERT_TRUE(ReadWholeFile(BuildFolder() + "\\MirthStrip.exe", built));
    EXPECT_TRUE(installed == built) << "the installed MirthStrip.exe is the one built";
    EXPECT_EQ(UninstallValue("DisplayName"), "MirthTool");
    EXPECT_EQ(UninstallValue("DisplayVersion"), MIRTH_VERSION_TEXT);
    EXPECT_EQ(Lower(UninstallValue("InstallLocation")), Lower(kFolder));
    EXPECT_EQ(Lower(UninstallValue("UninstallString")), Lower("\"" + kFolder + "\\Uninstall.exe\""));

    // The installed program, started in its folder as the shortcut starts it,
    // writes its conversation file there.
    {
        StandInLog log(kFolder + "\\log", "");
        MirthApp app;
        app.UseProgram(kFolder + "\\MirthTool.exe");
        ASSERT_TRUE(app.Start(kFolder));
        const std::string body = "インストール版\r\n>動きますか";
        SetText(app.Field(IDC_BODY), body);
        app.Post(CMD_DISPLAY_TEST);
        ASSERT_TRUE(log.WaitForStarts(1));
        std::string file;
        ASSERT_TRUE(ReadWholeFile(kFolder + "\\Mirth.ccc", file));
        ConversationNames defaults = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};
        EXPECT_EQ(file, FormatConversationToString(defaults, body.data(), body.size()));
        app.Post(CMD_EXIT);
        EXPECT_EQ(app.WaitForExit(), 0u);
    }
    DeleteTree(kFolder + "\\log");

    Uninstall(kFolder);
    EXPECT_EQ(FilesIn(kFolder), (std::set<std::string>{"Mirth.ccc", "Mirth.png"}))
        << "the user's files stay, and only they";
    EXPECT_FALSE(Exists(Shortcut()));
    std::string remembered;
    EXPECT_TRUE(StoredString("curpath", remembered)) << "the settings key stays";
}

TEST_F(Installer, InstallsForTheUserIntoTheirProgramsFolderByDefault)
{
    char local[MAX_PATH] = "";
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local), S_OK);
    std::string folder = std::string(local) + "\\Programs\\MirthTool";
    ASSERT_EQ(RunAndWait("\"" + SetupProgram() + "\" /S"), 0u);
    EXPECT_EQ(FilesIn(folder), kInstalledFiles);
    EXPECT_EQ(Lower(UninstallValue("InstallLocation")), Lower(folder));
    Uninstall(folder);
    EXPECT_FALSE(Exists(folder));
    EXPECT_FALSE(Exists(Shortcut()));
}

}  // namespace
