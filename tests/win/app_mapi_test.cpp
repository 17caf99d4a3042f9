// Mail creation through the default mail program (Simple MAPI), with a
// stand-in mail library registered as the default mail program.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "conversation/conversation_format.h"
#include "handoff/mapi_request.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_support.h"

namespace {

const char kClientsKey[] = "Software\\Clients\\Mail";
const char kTestClient[] = "MirthTest Mail";
const std::string kLibrary64 = "C:\\mirth-standins\\mirth_mapi_standin64.dll";
const std::string kLibrary32 = "C:\\mirth-standins\\mirth_mapi_standin32.dll";

// Quotes, backslashes, characters whose second byte is 5C, option-like words, line breaks.
const std::string kSubject = "件名 \"ソフト\" C:\\temp\\ -x /S 表示";
const std::string kDescription = "説明です\r\n\"引用\" \\ ソ\\フト\r\n--help";
const std::string kBody = "本文です\r\n>引用です";

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

void SetClientValue(REGSAM view, const std::string& subkey, const char* name, const std::string& value)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

std::string ClientValue(REGSAM view, const char* name)
{
    char value[MAX_PATH] = "";
    DWORD size = sizeof value;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClientsKey, 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS)
        return "";
    RegGetValueA(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size);
    RegCloseKey(key);
    return value;
}

// The default mail program, as a mail program registers itself: the default
// value of Clients\Mail names its key, whose DLLPath is its library; in the
// 64-bit and the 32-bit view of the registry.
void RegisterDefaultMailer(const std::string& library64, const std::string& library32)
{
    std::string client = std::string(kClientsKey) + "\\" + kTestClient;
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        SetClientValue(view, kClientsKey, nullptr, kTestClient);
        SetClientValue(view, client, "DLLPath", view == KEY_WOW64_64KEY ? library64 : library32);
    }
}

void UnregisterDefaultMailer()
{
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kClientsKey, 0, KEY_SET_VALUE | view, &key) != ERROR_SUCCESS)
            continue;
        RegDeleteValueA(key, nullptr);
        RegCloseKey(key);
    }
}

class MapiMail : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        // Wine's own default mail program hands mails to the Linux desktop; it
        // comes back after the test.
        wineDefault_ = ClientValue(KEY_WOW64_64KEY, nullptr);
        for (const char* bits : {"64", "32"})
            ASSERT_TRUE(CopyFileA((BuildFolder() + "\\mirth_mapi_standin" + bits + ".dll").c_str(),
                                  (std::string("C:\\mirth-standins\\mirth_mapi_standin") + bits + ".dll").c_str(),
                                  FALSE));
        RegisterDefaultMailer(kLibrary64, kLibrary32);
        CreateDirectoryA(Log().c_str(), nullptr);
        SetEnvironmentVariableA("MIRTH_MAPI_LOG", Log().c_str());
    }

    void TearDown() override
    {
        UnregisterDefaultMailer();
        if (!wineDefault_.empty())
            SetClientValue(KEY_WOW64_64KEY, kClientsKey, nullptr, wineDefault_);
        SetEnvironmentVariableA("MIRTH_MAPI_LOG", nullptr);
        SetEnvironmentVariableA("MIRTH_MAPI_RESULT", nullptr);
        ClearSettings();
    }

    std::string Log() const { return folder_ / "mapi"; }

    // Starts the program for the default mail program, its library answering
    // `result`, with the three fields typed.
    void StartWith(const char* result)
    {
        SetEnvironmentVariableA("MIRTH_MAPI_RESULT", result);
        StoreDword("MailSoft", DefaultMapiMailer);
        ASSERT_TRUE(app_.Start(folder_.path()));
        SetText(app_.Field(IDC_SUBJECT), kSubject);
        SetText(app_.Field(IDC_DESCRIPTION), kDescription);
        SetText(app_.Field(IDC_BODY), kBody);
    }

    void CreateMail()
    {
        app_.Post(CMD_CREATE_MAIL);
        HWND confirmation = app_.WaitForOwnedDialog();
        ASSERT_TRUE(confirmation);
        ASSERT_NE(MessageText(confirmation).find("はい"), std::string::npos) << "the confirmation comes first";
        EXPECT_TRUE(PressAndClose(confirmation, IDYES));
    }

    // The call the stand-in library recorded, field by field.
    std::map<std::string, std::string> Call(DWORD timeoutMs = 10000)
    {
        std::map<std::string, std::string> fields;
        std::string text;
        if (!WaitUntil([&] { return ReadWholeFile(Log() + "\\mapi-call.txt", text); }, timeoutMs))
            return fields;
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
            std::string line = text.substr(start, end - start);
            size_t tab = line.find('\t');
            fields[line.substr(0, tab)] = FromHex(line.substr(tab + 1));
        }
        return fields;
    }

    // The box that says the mail could not be made; it names the file.
    void ExpectMessage(const std::string& says)
    {
        HWND box = app_.WaitForOwnedDialog(10000);
        ASSERT_TRUE(box) << "no message";
        std::string text = MessageText(box);
        EXPECT_NE(text.find(says), std::string::npos) << text;
        EXPECT_NE(Lower(text).find(Lower(folder_ / "Mirth.ccc")), std::string::npos) << text;
        EXPECT_TRUE(PressAndClose(box, IDOK));
    }

    // Nothing lost: the program is open with every field as typed, and the file is there.
    void ExpectUntouched()
    {
        EXPECT_TRUE(app_.Running());
        EXPECT_EQ(WindowText(app_.Field(IDC_SUBJECT)), kSubject);
        EXPECT_EQ(WindowText(app_.Field(IDC_DESCRIPTION)), kDescription);
        EXPECT_EQ(WindowText(app_.Field(IDC_BODY)), kBody);
        std::string file;
        EXPECT_TRUE(ReadWholeFile(folder_ / "Mirth.ccc", file));
        EXPECT_EQ(file, Conversation());
    }

    static std::string Conversation()
    {
        ConversationNames defaults = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};
        return FormatConversationToString(defaults, kBody.data(), kBody.size());
    }

    std::string wineDefault_;
    TestFolder folder_;
    MirthApp app_;
};

TEST_F(MapiMail, TheDefaultMailProgramOpensTheMailWithTheFileAttached)
{
    StartWith("success");
    CreateMail();
    std::map<std::string, std::string> call = Call();
    ASSERT_FALSE(call.empty()) << "the mail library was not called";
    EXPECT_EQ(call["bits"], "64");
    EXPECT_EQ(call["entry"], "W") << "the Unicode entry, so the texts survive any code page";
    EXPECT_EQ(Hex(call["subject"]), Hex(kSubject));
    EXPECT_EQ(Hex(call["text"]), Hex(kDescription));
    EXPECT_EQ(call["recipients"], "0");
    EXPECT_EQ(call["files"], "2") << "the conversation file, then its picture";
    EXPECT_EQ(Lower(call["path"]), Lower(folder_ / "Mirth.ccc"));
    EXPECT_EQ(call["name"], "Mirth.ccc");
    EXPECT_EQ(call["position"], "4294967295") << "no position in the text";
    EXPECT_EQ(Lower(call["path2"]), Lower(folder_ / "Mirth.png"));
    EXPECT_EQ(call["name2"], "Mirth.png");
    EXPECT_EQ(call["position2"], "4294967295");
    EXPECT_EQ(call["attachment2"].substr(0, 4), "\x89PNG") << "the picture is complete when the mail program gets it";
    EXPECT_EQ(call["flags"], "9") << "MAPI_DIALOG | MAPI_LOGON_UI";
    EXPECT_EQ(call["owner"], std::to_string(reinterpret_cast<ULONG_PTR>(app_.window())));
    EXPECT_EQ(call["session"], "0");
    EXPECT_EQ(call["attachment"], Conversation()) << "the file is complete when the mail program gets it";

    std::string stored;
    EXPECT_TRUE(WaitUntil([&] { return StoredString("Read", stored); }));
    EXPECT_EQ(stored, kDescription);
    EXPECT_FALSE(app_.WaitForOwnedDialog(1500)) << "success says nothing";
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(MapiMail, ALongerMailCarriesEveryPictureInOrderAfterTheConversationFile)
{
    // Each line of one speaker opens a panel: 30 panels and the title panel
    // take two pictures of eight rows of three.
    std::string body;
    for (int line = 1; line <= 30; ++line)
        body += "行 " + std::to_string(line) + "\r\n";
    StartWith("success");
    SetText(app_.Field(IDC_BODY), body);
    CreateMail();
    std::map<std::string, std::string> call = Call();
    ASSERT_EQ(call["files"], "3");
    EXPECT_EQ(call["name"], "Mirth.ccc");
    EXPECT_EQ(call["name2"], "Mirth.png");
    EXPECT_EQ(call["name3"], "Mirth-2.png");
    EXPECT_EQ(Lower(call["path3"]), Lower(folder_ / "Mirth-2.png"));
    EXPECT_EQ(call["attachment3"].substr(0, 4), "\x89PNG");
    EXPECT_EQ(app_.Close(), 0u);
}

struct Outcome {
    const char* result;
    const char* message;  // what the message says, or nullptr for none
};

class MapiMailOutcome : public MapiMail, public testing::WithParamInterface<Outcome> {};

TEST_P(MapiMailOutcome, IsReportedOnlyWhenTheMailCouldNotBeMade)
{
    StartWith(GetParam().result);
    CreateMail();
    ASSERT_FALSE(Call().empty());
    if (GetParam().message)
        ExpectMessage(GetParam().message);
    else
        EXPECT_FALSE(app_.WaitForOwnedDialog(1500)) << "the user cancelled: nothing to say";
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Library, MapiMailOutcome,
                         testing::Values(Outcome{"abort", nullptr}, Outcome{"failure", "(エラー 2)"},
                                         Outcome{"crash", "(エラー 0xC0000005)"}),
                         [](const testing::TestParamInfo<Outcome>& info) { return std::string(info.param.result); });

TEST_F(MapiMail, WithoutADefaultMailProgramTheUserIsToldToAttachTheFileByHand)
{
    UnregisterDefaultMailer();
    StartWith("success");
    CreateMail();
    ExpectMessage("既定のメールソフトが設定されていない");
    EXPECT_TRUE(Call(500).empty());
    std::string stored;
    EXPECT_FALSE(StoredString("Read", stored));
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(MapiMail, TheWindowKeepsAnsweringWhileTheMailProgramHoldsTheCall)
{
    StartWith("block");
    CreateMail();
    ASSERT_FALSE(Call().empty());
    DWORD_PTR answer;
    EXPECT_TRUE(SendMessageTimeoutA(app_.window(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer));
    HWND body = app_.Field(IDC_BODY);
    SendMessageA(body, EM_SETSEL, 0, -1);
    app_.PressKey(body, 'A', 0x1E);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(body) == "a"; })) << "typing in the body";
    SetText(body, kBody);

    // A second mail would rewrite the file the mail program is attaching.
    app_.Post(CMD_CREATE_MAIL);
    HWND box = app_.WaitForOwnedDialog();
    ASSERT_TRUE(box);
    EXPECT_NE(MessageText(box).find("作成中"), std::string::npos) << MessageText(box);
    EXPECT_TRUE(PressAndClose(box, IDOK));

    ASSERT_TRUE(WriteWholeFile(Log() + "\\release", ""));
    EXPECT_FALSE(app_.WaitForOwnedDialog(2000)) << "the mail was made: nothing to say";
    ExpectUntouched();
    app_.Post(CMD_CREATE_MAIL);
    box = app_.WaitForOwnedDialog();
    ASSERT_TRUE(box);
    EXPECT_NE(MessageText(box).find("はい"), std::string::npos) << "once the mail is done, the next one can start";
    PressButton(box, IDNO);
    EXPECT_EQ(app_.Close(), 0u);
}

// Run under LC_ALL=C as part of the CTest test wine.non_japanese_system: the
// test program's own code page is 1252 there, so it types through the
// Unicode messages.
using NonJapaneseSystemMapi = MapiMail;

TEST_F(NonJapaneseSystemMapi, TheTextsReachTheMailProgramUnchanged)
{
    if (GetACP() == 932)
        GTEST_SKIP() << "runs as wine.non_japanese_system, under LC_ALL=C";
    SetEnvironmentVariableA("MIRTH_MAPI_RESULT", "success");
    StoreDword("MailSoft", DefaultMapiMailer);
    ASSERT_TRUE(app_.Start(folder_.path()));
    // "件名ソフト" and "表示\r\n説明"
    SendMessageW(app_.Field(IDC_SUBJECT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u4ef6\u540d\u30bd\u30d5\u30c8"));
    SendMessageW(app_.Field(IDC_DESCRIPTION), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"\u8868\u793a\r\n\u8aac\u660e"));
    app_.Post(CMD_CREATE_MAIL);
    HWND confirmation = app_.WaitForOwnedDialog();
    ASSERT_TRUE(confirmation);
    PressButton(confirmation, IDYES);
    std::map<std::string, std::string> call = Call();
    ASSERT_FALSE(call.empty());
    EXPECT_EQ(Hex(call["subject"]), Hex("件名ソフト"));
    EXPECT_EQ(Hex(call["text"]), Hex("表示\r\n説明"));
    EXPECT_EQ(app_.Close(), 0u);
}

// Which helper starts is read from the library's PE header. The helpers are
// stand-in programs here, so this holds on any machine.
TEST_F(MapiMail, TheHelperOfTheLibrarysBitnessIsStarted)
{
    const std::string folder = "C:\\mirth-bitness";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA(ProgramPath().c_str(), (folder + "\\MirthTool.exe").c_str(), FALSE));
    for (const char* helper : {"MirthMapi64", "MirthMapi32"})
        ASSERT_TRUE(PlaceStandIn(folder + "\\" + helper + ".exe"));
    StandInLog log(folder_ / "log", "");
    for (const std::string& library : {kLibrary32, kLibrary64}) {
        RegisterDefaultMailer(library, library);
        std::string helper = library == kLibrary32 ? "MirthMapi32" : "MirthMapi64";
        MirthApp app;
        app.UseProgram(folder + "\\MirthTool.exe");
        StoreDword("MailSoft", DefaultMapiMailer);
        ASSERT_TRUE(app.Start(folder_.path()));
        size_t before = log.Starts().size();
        app.Post(CMD_CREATE_MAIL);
        HWND confirmation = app.WaitForOwnedDialog();
        ASSERT_TRUE(confirmation);
        PressButton(confirmation, IDYES);
        ASSERT_TRUE(log.WaitForStarts(before + 1)) << helper;
        StandInStart start = log.Starts()[before];
        EXPECT_EQ(start.name, helper);
        EXPECT_EQ(Lower(start.commandLine), Lower("\"" + folder + "\\" + helper + ".exe\" " +
                                                  std::to_string(reinterpret_cast<ULONG_PTR>(app.window()))));
        EXPECT_EQ(Lower(start.folder), Lower(folder)) << "not the working folder";
        EXPECT_EQ(app.Close(), 0u);
    }
    DeleteTree(folder);
}

// The whole way with a 32-bit library: needs Wine's 32-bit part, and a
// kernel that runs 32-bit programs.
TEST_F(MapiMail, AThirtyTwoBitLibraryGetsTheMailThroughTheThirtyTwoBitHelper)
{
    std::string helper = "C:\\mirth-program\\MirthMapi32.exe";
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION probe;
    std::string commandLine = "\"" + helper + "\" 0";
    // Without its 32-bit part, Wine 8 still starts the program (in its
    // experimental wow64 mode), which then dies at once: only the helper's
    // own answer to an empty request shows that 32-bit programs run.
    DWORD probed = 0;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE emptyInput = nullptr, writeEnd = nullptr;
    ASSERT_TRUE(CreatePipe(&emptyInput, &writeEnd, &inherited, 0));
    CloseHandle(writeEnd);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = emptyInput;
    bool started = CreateProcessA(helper.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &probe);
    CloseHandle(emptyInput);
    if (started) {
        WaitForSingleObject(probe.hProcess, 10000);
        GetExitCodeProcess(probe.hProcess, &probed);
        CloseHandle(probe.hProcess);
        CloseHandle(probe.hThread);
    }
    if (probed != kHelperBadRequest)
        GTEST_SKIP() << "32-bit programs can't run here (Wine's 32-bit part, or the kernel's 32-bit support, is "
                        "missing): the helper's probe ended with "
                     << probed;

    RegisterDefaultMailer(kLibrary32, kLibrary32);
    StartWith("success");
    CreateMail();
    std::map<std::string, std::string> call = Call();
    ASSERT_FALSE(call.empty()) << "the 32-bit library was not called";
    EXPECT_EQ(call["bits"], "32");
    EXPECT_EQ(Hex(call["subject"]), Hex(kSubject));
    EXPECT_EQ(Hex(call["text"]), Hex(kDescription));
    EXPECT_EQ(call["owner"], std::to_string(reinterpret_cast<ULONG_PTR>(app_.window())));
    EXPECT_EQ(call["attachment"], Conversation());
    EXPECT_FALSE(app_.WaitForOwnedDialog(1500)) << "no box of the platform's nor of the program's";
    ExpectUntouched();
    EXPECT_EQ(app_.Close(), 0u);
}

}  // namespace
