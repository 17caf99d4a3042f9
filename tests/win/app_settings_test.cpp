// The settings dialog, opened and filled in through the real program.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/win/app_driver.h"
#include "tests/win/standins.h"
#include "tests/win/test_art.h"
#include "tests/win/test_support.h"

namespace {

const std::vector<std::string> kCharacters = {
    "ANNA", "ARMANDO", "BOLO", "DENISE", "HUGH", "JORDAN", "KEVIN", "KWENSA", "LANCE", "LYNNEA",
    "MARGARET", "MAYNARD", "MIKE", "REBECCA", "SAGE", "SCOTTY", "SUSAN", "TIKI", "TONGTYED", "XENO",
};

// The entries of a list, as Shift-JIS. Wine hands CB_GETLBTEXT from another
// process over without the ANSI conversion, so the entries are read as
// Unicode and converted here.
std::vector<std::string> Items(HWND box)
{
    std::vector<std::string> items;
    LRESULT count = SendMessageW(box, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        WCHAR item[256] = L"";
        SendMessageW(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        char bytes[512] = "";
        WideCharToMultiByte(932, 0, item, -1, bytes, sizeof bytes, nullptr, nullptr);
        items.push_back(bytes);
    }
    return items;
}

class SettingsDialog : public testing::Test {
protected:
    void SetUp() override
    {
        ClearSettings();
        ASSERT_TRUE(PlaceStandIn(folder_ / "mtrun.exe"));
        log_.reset(new StandInLog(folder_ / "log", ""));
    }
    void TearDown() override { ClearSettings(); }

    void Start()
    {
        ASSERT_TRUE(app_.Start(folder_.path()));
    }

    HWND Open()
    {
        app_.Post(CMD_SETTINGS);
        HWND dialog = app_.WaitForOwnedDialog();
        EXPECT_TRUE(dialog) << "no settings dialog";
        return dialog;
    }

    // Writes the conversation file with the display test and returns it.
    std::string Conversation(const std::string& body)
    {
        size_t before = log_->Starts().size();
        SetText(app_.Field(IDC_BODY), body);
        app_.Post(CMD_DISPLAY_TEST);
        EXPECT_TRUE(log_->WaitForStarts(before + 1));
        std::string file;
        ReadWholeFile(folder_ / "Mirth.ccc", file);
        return file;
    }

    TestFolder folder_;
    std::unique_ptr<StandInLog> log_;
    MirthApp app_;
};

TEST_F(SettingsDialog, ShowsTheSettingsAndTheListsInTheirOrder)
{
    Start();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(WindowText(dialog), "基本設定");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CONFIG_BACKDROP)), "DEN.bgb");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CONFIG_CHAR)), "SCOTTY");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CONFIG_NAME)), "本文");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CONFIG_CHAR2)), "LANCE");
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CONFIG_NAME2)), "引用");
    EXPECT_EQ(Items(GetDlgItem(dialog, IDC_CONFIG_BACKDROP)),
              (std::vector<std::string>{"DEN.bgb", "FIELD.bgb", "PASTORAL.bgb", "ROOM.bgb", "VOLCANO.bgb"}));
    EXPECT_EQ(Items(GetDlgItem(dialog, IDC_CONFIG_CHAR)), kCharacters);
    EXPECT_EQ(Items(GetDlgItem(dialog, IDC_CONFIG_CHAR2)), kCharacters);
    std::vector<std::string> kinds = Items(GetDlgItem(dialog, IDC_CONFIG_MAILSOFT));
    ASSERT_EQ(kinds.size(), 5u);
    EXPECT_EQ(kinds[0], "その他のメールソフト");
    EXPECT_EQ(Hex(kinds[0].substr(0, 6)), "82 BB 82 CC 91 BC");
    EXPECT_EQ(kinds[1], "Outlook Express 5.01");
    EXPECT_EQ(kinds[2], "Outlook Express 5.0");
    EXPECT_EQ(kinds[3], "Becky! 1.25.x/1.24.x");
    EXPECT_EQ(kinds[4], "既定のメールソフト (MAPI)");
    EXPECT_TRUE(PressAndClose(dialog, IDCANCEL));
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(SettingsDialog, OkLeavesEachKnownMailKindAsItWasAndStoresMinusOneForAnUnknownOne)
{
    for (DWORD kind : {DWORD{0}, DWORD{1}, DWORD{2}, DWORD{3}, DWORD{4}, DWORD{5}}) {
        ClearSettings();
        StoreDword("MailSoft", kind);
        MirthApp app;
        ASSERT_TRUE(app.Start(folder_.path()));
        app.Post(CMD_SETTINGS);
        HWND dialog = app.WaitForOwnedDialog();
        ASSERT_TRUE(dialog);
        LRESULT selected = SendDlgItemMessageA(dialog, IDC_CONFIG_MAILSOFT, CB_GETCURSEL, 0, 0);
        EXPECT_EQ(selected, kind <= 4 ? static_cast<LRESULT>(kind) : CB_ERR) << "kind " << kind;
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
        DWORD stored = 0;
        EXPECT_TRUE(StoredDword("MailSoft", stored));
        EXPECT_EQ(stored, kind <= 4 ? kind : 0xFFFFFFFF) << "kind " << kind;
        EXPECT_EQ(app.Close(), 0u);
    }
}

TEST_F(SettingsDialog, OkStoresEveryValueAndTheNextConversationUsesThem)
{
    Start();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    SetText(GetDlgItem(dialog, IDC_CONFIG_BACKDROP), "ROOM.bgb");
    SetText(GetDlgItem(dialog, IDC_CONFIG_CHAR), "GUEST");  // typed, not in the list
    SetText(GetDlgItem(dialog, IDC_CONFIG_NAME), "たろう");
    SetText(GetDlgItem(dialog, IDC_CONFIG_CHAR2), "MARGARET");
    SetText(GetDlgItem(dialog, IDC_CONFIG_NAME2), "ソフト係");
    SendDlgItemMessageA(dialog, IDC_CONFIG_MAILSOFT, CB_SETCURSEL, 2, 0);
    EXPECT_TRUE(PressAndClose(dialog, IDOK));

    std::string value;
    DWORD kind = 0;
    EXPECT_TRUE(StoredDword("MailSoft", kind));
    EXPECT_EQ(kind, 2u);
    EXPECT_TRUE(StoredString("backstr", value) && value == "ROOM.bgb") << value;
    EXPECT_TRUE(StoredString("charstr", value) && value == "GUEST") << value;
    EXPECT_TRUE(StoredString("namestr", value) && value == "たろう") << value;
    EXPECT_TRUE(StoredString("charstr2", value) && value == "MARGARET") << value;
    EXPECT_TRUE(StoredString("namestr2", value) && value == "ソフト係") << value;

    EXPECT_EQ(Conversation("やあ\r\n>どうも"),
              "#CHATCONVERSATION\r\n"
              "starthistory\t\t\t\r\n"
              "backdrop\tROOM.bgb\t\r\n"
              "join\tたろう\r\n"
              "join\tソフト係\r\n"
              "changeavatar\tたろう\tGUEST\r\n"
              "changeavatar\tソフト係\tMARGARET\r\n"
              "say\tたろう\t\tやあ\r\n"
              "say\tソフト係\t\tどうも\r\n"
              "part\tたろう\r\n");
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(SettingsDialog, EnterConfirmsTheDialogAsOk)
{
    Start();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    SetText(GetDlgItem(dialog, IDC_CONFIG_NAME), "エンター");
    app_.PressKey(GetDlgItem(dialog, IDC_CONFIG_NAME), VK_RETURN, 0x1C);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    std::string value;
    EXPECT_TRUE(StoredString("namestr", value));
    EXPECT_EQ(value, "エンター");
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(SettingsDialog, CancelChangesNothing)
{
    Start();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    SetText(GetDlgItem(dialog, IDC_CONFIG_NAME), "取り消す名前");
    SetText(GetDlgItem(dialog, IDC_CONFIG_CHAR), "TIKI");
    SendDlgItemMessageA(dialog, IDC_CONFIG_MAILSOFT, CB_SETCURSEL, 0, 0);
    EXPECT_TRUE(PressAndClose(dialog, IDCANCEL));
    std::string value;
    DWORD kind;
    EXPECT_FALSE(StoredString("namestr", value));
    EXPECT_FALSE(StoredString("charstr", value));
    EXPECT_FALSE(StoredDword("MailSoft", kind));
    std::string file = Conversation("a");
    EXPECT_NE(file.find("changeavatar\t本文\tSCOTTY\r\n"), std::string::npos) << file;
    EXPECT_EQ(app_.Close(), 0u);
}

TEST_F(SettingsDialog, LongTextsAreCutTo127BytesAndAnEmptyNameIsUsedEmptyUntilTheNextStart)
{
    Start();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    SetText(GetDlgItem(dialog, IDC_CONFIG_NAME2), std::string(200, 'n'));
    SetText(GetDlgItem(dialog, IDC_CONFIG_NAME), "");
    EXPECT_TRUE(PressAndClose(dialog, IDOK));
    std::string value;
    EXPECT_TRUE(StoredString("namestr2", value));
    EXPECT_EQ(value, std::string(127, 'n'));
    EXPECT_TRUE(StoredString("namestr", value));
    EXPECT_EQ(value, "");
    std::string file = Conversation(">q");
    EXPECT_NE(file.find("join\t\r\n"), std::string::npos) << "the empty own name";
    EXPECT_NE(file.find("say\t" + std::string(127, 'n') + "\t\tq\r\n"), std::string::npos);
    EXPECT_EQ(app_.Close(), 0u);

    MirthApp again;
    ASSERT_TRUE(again.Start(folder_.path()));
    again.Post(CMD_SETTINGS);
    dialog = again.WaitForOwnedDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CONFIG_NAME)), "本文") << "an empty stored name loads its default";
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    EXPECT_EQ(again.Close(), 0u);
}

TEST_F(SettingsDialog, AStoredMisspeltCharacterIsLoadedAndWrittenAsItIs)
{
    StoreString("charstr2", "MARGAET");
    Start();
    std::string file = Conversation("a");
    EXPECT_NE(file.find("changeavatar\t引用\tMARGAET\r\n"), std::string::npos) << file;
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_CONFIG_CHAR2)), "MARGAET");
    EXPECT_TRUE(PressAndClose(dialog, IDCANCEL));
    EXPECT_EQ(app_.Close(), 0u);
}

}  // namespace

namespace {

// What the dialog's picture shows now, as pixels read off the screen (a
// window of another process gives Wine's GetPixel nothing to read).
std::vector<COLORREF> ScreenPixels(HWND picture)
{
    RECT rect = WindowRect(picture);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = rect.top; y < rect.bottom; y += 4)
        for (int x = rect.left; x < rect.right; x += 4)
            pixels.push_back(GetPixel(screen, x, y));
    ReleaseDC(nullptr, screen);
    return pixels;
}

size_t Colours(std::vector<COLORREF> pixels)
{
    std::sort(pixels.begin(), pixels.end());
    return std::unique(pixels.begin(), pixels.end()) - pixels.begin();
}

// A choice in a box, as the user makes it: the box tells the dialog.
void Choose(HWND dialog, int box, const std::string& text, WORD notification)
{
    HWND control = GetDlgItem(dialog, box);
    if (notification == CBN_SELCHANGE)
        SendMessageA(control, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    else
        SetText(control, text);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(box, notification), reinterpret_cast<LPARAM>(control));
}

}  // namespace

// The stand-in Chat's art holds the defaults and MARGARET (test_art.h).
TEST_F(SettingsDialog, ThePictureShowsTheChosenCharactersAtOnceAndSaysWhenTheirArtIsMissing)
{
    ArtServerRequests();
    Start();
    HWND dialog = Open();
    ASSERT_TRUE(dialog);
    HWND picture = GetDlgItem(dialog, IDC_CONFIG_PREVIEW);
    ASSERT_TRUE(picture);
    EXPECT_EQ(WindowText(picture), "SCOTTY / LANCE / DEN.bgb");
    std::vector<COLORREF> first;
    EXPECT_TRUE(WaitUntil([&] { return Colours(first = ScreenPixels(picture)) > 30; }, 2000))
        << "no backdrop or figures drawn: " << Colours(first) << " colours, the first " << std::hex << first[0];

    Choose(dialog, IDC_CONFIG_CHAR, "MARGARET", CBN_SELCHANGE);
    EXPECT_EQ(WindowText(picture), "MARGARET / LANCE / DEN.bgb");
    EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(picture) != first; }, 2000)) << "the picture did not follow";

    Choose(dialog, IDC_CONFIG_CHAR2, "GUEST", CBN_EDITCHANGE);
    EXPECT_EQ(WindowText(picture), "画像が見つかりません");
    Choose(dialog, IDC_CONFIG_CHAR2, "LANCE", CBN_EDITCHANGE);
    Choose(dialog, IDC_CONFIG_BACKDROP, "VOLCANO.bgb", CBN_SELCHANGE);
    EXPECT_EQ(WindowText(picture), "画像が見つかりません") << "VOLCANO.bgb is not at hand";
    EXPECT_FALSE(app_.WaitForOwnedDialog(300) != dialog) << "a question instead of the words";
    EXPECT_EQ(ArtServerRequests(), "") << "the picture never fetches";
    EXPECT_TRUE(PressAndClose(dialog, IDCANCEL));
    EXPECT_EQ(app_.Close(), 0u);
}
