#include "tests/win/standins.h"

#include <gtest/gtest.h>

#include "settings/settings.h"
#include "tests/win/app_driver.h"
#include "tests/win/test_art.h"
#include "tests/win/test_support.h"

namespace {

const char kStandInFolder[] = "C:\\mirth-standins";

bool SetDefault(const std::string& key, const std::string& value)
{
    return RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                           static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

// Wine 8 ignores associations under HKCU\Software\Classes; HKEY_CLASSES_ROOT
// is the place. The prefix is the test run's own, so nothing real is touched.
void Associate(const std::string& key, const std::string& program)
{
    std::string command = "\"" + StandInPath(program) + "\" \"%1\"";
    ASSERT_TRUE(SetDefault(key + "\\shell\\open\\command", command)) << key;
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

}  // namespace

void InstallStandIns()
{
    CreateDirectoryA(kStandInFolder, nullptr);
    for (const char* name : {"chat", "mailer", "browser", "viewer"})
        ASSERT_TRUE(PlaceStandIn(StandInPath(name))) << name;
    ASSERT_TRUE(SetDefault(".ccc", "MirthTest.ccc"));
    Associate("MirthTest.ccc", "chat");
    ASSERT_TRUE(SetDefault(".htm", "MirthTest.htm"));
    Associate("MirthTest.htm", "browser");
    ASSERT_TRUE(SetDefault(".png", "MirthTest.png"));
    Associate("MirthTest.png", "viewer");
    ASSERT_TRUE(SetDefault("mailto", "URL:MailTo Protocol"));
    ASSERT_EQ(RegSetKeyValueA(HKEY_CLASSES_ROOT, "mailto", "URL Protocol", REG_SZ, "", 1), ERROR_SUCCESS);
    Associate("mailto", "mailer");
    // The stand-in Chat's art: the tests' settings find their characters.
    InstallTestArt(std::string(kStandInFolder) + "\\ComicArt");
}

std::string StandInPath(const std::string& name)
{
    return std::string(kStandInFolder) + "\\" + name + ".exe";
}

bool PlaceStandIn(const std::string& path)
{
    return CopyFileA((BuildFolder() + "\\mirth_standin.exe").c_str(), path.c_str(), FALSE) != 0;
}

StandInLog::StandInLog(const std::string& logFolder, const std::string& watched, const char* watchedValue)
    : folder_(logFolder)
{
    CreateDirectoryA(folder_.c_str(), nullptr);
    DeleteFileA((folder_ + "\\starts.txt").c_str());
    SetEnvironmentVariableA("MIRTH_STANDIN_LOG", folder_.c_str());
    SetEnvironmentVariableA("MIRTH_STANDIN_WATCH", watched.c_str());
    SetEnvironmentVariableA("MIRTH_STANDIN_WATCH_KEY", kSettingsKey);
    SetEnvironmentVariableA("MIRTH_STANDIN_WATCH_VALUE", watchedValue);
}

StandInLog::~StandInLog()
{
    for (const char* name : {"MIRTH_STANDIN_LOG", "MIRTH_STANDIN_WATCH", "MIRTH_STANDIN_WATCH_KEY",
                             "MIRTH_STANDIN_WATCH_VALUE"})
        SetEnvironmentVariableA(name, nullptr);
}

std::vector<StandInStart> StandInLog::Starts() const
{
    std::vector<StandInStart> starts;
    std::string text;
    if (!ReadWholeFile(folder_ + "\\starts.txt", text))
        return starts;
    for (const std::string& line : Split(text, '\n')) {
        std::vector<std::string> fields = Split(line.substr(0, line.find('\r')), '\t');
        if (fields.size() != 7)
            continue;
        std::string copy = fields[4] == "-" ? "" : folder_ + "\\" + fields[4];
        starts.push_back({fields[0], std::stoull(fields[1]), fields[2], fields[3], copy, fields[5] == "+",
                          static_cast<unsigned>(std::stoul(fields[6]))});
    }
    return starts;
}

bool StandInLog::WaitForStarts(size_t count, DWORD timeoutMs) const
{
    return WaitUntil([&] { return Starts().size() >= count; }, timeoutMs);
}
