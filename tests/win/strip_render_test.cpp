// The strip as pictures: RenderStrip and MirthStrip.exe on conversations made
// as MirthTool makes them, with the tests' art; the pictures read back with WIC.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "conversation/conversation_format.h"
#include "strip/strip_layout.h"
#include "strip/strip_render.h"
#include "tests/win/app_driver.h"
#include "tests/win/test_art.h"
#include "tests/win/test_support.h"

namespace {

const ConversationNames kNames = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};

int PictureHeight(int rows)
{
    return rows * kPanelSide + (rows + 1) * kGutter;
}

// The share of a panel's inside (the border aside) that is not white.
double Coloured(const Picture& picture, int panel)
{
    int left = kGutter + panel % kPanelsPerRow * (kPanelSide + kGutter) + kBorderWidth;
    int top = kGutter + panel / kPanelsPerRow * (kPanelSide + kGutter) + kBorderWidth;
    int side = kPanelSide - 2 * kBorderWidth, coloured = 0;
    for (int y = top; y < top + side; ++y)
        for (int x = left; x < left + side; ++x)
            coloured += picture.Grey(x, y) < 240;
    return static_cast<double>(coloured) / (side * side);
}

struct ProgramRun {
    DWORD status = STILL_ACTIVE;
    std::string out, err;
};

// Moves what the pipe holds now into `text`.
void Drain(HANDLE pipe, std::string& text)
{
    DWORD available = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &available, nullptr) && available > 0) {
        std::string chunk(available, '\0');
        DWORD got = 0;
        if (!ReadFile(pipe, &chunk[0], available, &got, nullptr) || got == 0)
            return;
        text.append(chunk, 0, got);
    }
}

// Runs MirthStrip.exe with the arguments and collects what it prints, until
// it ends: not until the pipes close, which under CTest never came (Wine's
// console host for a console program seems to keep them open).
ProgramRun RunMirthStrip(const std::string& arguments)
{
    ProgramRun run;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(&outRead, &outWrite, &inherited, 0) || !CreatePipe(&errRead, &errWrite, &inherited, 0))
        return run;
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup = {sizeof startup};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    std::string program = BuildFolder() + "\\MirthStrip.exe";
    std::string commandLine = "\"" + program + "\" " + arguments;
    PROCESS_INFORMATION process;
    // Without a console of its own: it writes to the pipes alone.
    bool started = CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                  nullptr, nullptr, &startup, &process);
    CloseHandle(outWrite);
    CloseHandle(errWrite);
    if (started) {
        ULONGLONG deadline = GetTickCount64() + 60000;
        bool ended = false;
        while (!ended && GetTickCount64() < deadline) {
            ended = WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0;
            Drain(outRead, run.out);
            Drain(errRead, run.err);
        }
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(outRead);
    CloseHandle(errRead);
    return run;
}

std::string Quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

class StripRender : public testing::Test {
protected:
    void SetUp() override
    {
        InstallTestArt(art_);
        static bool told = false;
        if (!told)
            std::printf("Strip pictures drawn with %s\n",
                        HaveMicrosoftArt() ? "Microsoft's art from ../shared/chat-art" : "the tests' own small art");
        told = true;
    }

    // The conversation file MirthTool writes for the mail, in the test's folder.
    std::string Conversation(const std::string& mail, const std::string& name = "Mirth.ccc")
    {
        std::string path = folder_ / name;
        EXPECT_TRUE(WriteWholeFile(path, FormatConversationToString(kNames, mail.data(), mail.size()))) << path;
        return path;
    }

    // A mail of `lines` lines of the own speaker only: each say has a panel
    // of its own (its speaker already speaks in the panel before).
    static std::string OneSpeaker(int lines)
    {
        std::string mail;
        for (int i = 0; i < lines; ++i)
            mail += (i == 0 ? "" : "\r\n") + std::string("行 ") + std::to_string(i + 1);
        return mail;
    }

    StripStatus Render(const std::string& conversation, StripOutcome& outcome)
    {
        return RenderStrip(conversation, Out(), {art_}, outcome);
    }

    std::string Out(int number = 1) const
    {
        return number == 1 ? folder_ / "Mirth.png" : folder_ / ("Mirth-" + std::to_string(number) + ".png");
    }

    TestFolder folder_;
    std::string art_ = folder_ / "art";
};

TEST_F(StripRender, TheReadmeExampleIsOnePictureOfTwoRows)
{
    StripOutcome outcome;
    ASSERT_EQ(Render(Conversation("こんにちは\r\n>お元気ですか\r\n\r\nC:\\tempにソフトを置きました"), outcome),
              StripStatus::Written)
        << outcome.error;
    ASSERT_EQ(outcome.pictures.size(), 1u);
    EXPECT_EQ(Lower(outcome.pictures[0]), Lower(Out()));
    EXPECT_TRUE(outcome.missingArt.empty());
    Picture picture;
    std::string error;
    ASSERT_TRUE(Decode(Out(), picture, error)) << error;
    // The title and three content panels (a panel for both first says, then
    // one for each say of the own speaker): two rows.
    EXPECT_EQ(picture.width, kPictureWidth);
    EXPECT_EQ(picture.height, PictureHeight(2));
    EXPECT_EQ(picture.Grey(kGutter + 1, kGutter + kPanelSide / 2), 255) << "the title panel has no border";
    int second = kGutter + kPanelSide + kGutter;
    EXPECT_EQ(picture.Grey(second + 1, kGutter + kPanelSide / 2), 0) << "a content panel has a black border";
    EXPECT_EQ(picture.Grey(second + kPanelSide + 2, kGutter + kPanelSide / 2), 255) << "the gutter is white";
    EXPECT_GT(Coloured(picture, 1), 0.5) << "the backdrop fills a content panel";
}

TEST_F(StripRender, PicturesHoldEightRowsOfThreePanels)
{
    struct Case {
        int says;
        std::vector<int> rows;  // of each picture
    } const cases[] = {
        {2, {1}},      // title and two panels
        {23, {8}},     // 24 panels: one full picture
        {24, {8, 1}},  // one panel more goes on in Mirth-2.png
        {50, {8, 8, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.says) + " says, each in a panel of its own");
        StripOutcome outcome;
        ASSERT_EQ(Render(Conversation(OneSpeaker(c.says)), outcome), StripStatus::Written) << outcome.error;
        ASSERT_EQ(outcome.pictures.size(), c.rows.size());
        for (size_t i = 0; i < c.rows.size(); ++i) {
            EXPECT_EQ(Lower(outcome.pictures[i]), Lower(Out(static_cast<int>(i) + 1)));
            Picture picture;
            std::string error;
            ASSERT_TRUE(Decode(outcome.pictures[i], picture, error)) << error;
            EXPECT_EQ(picture.width, kPictureWidth) << outcome.pictures[i];
            EXPECT_EQ(picture.height, PictureHeight(c.rows[i])) << outcome.pictures[i];
        }
        EXPECT_FALSE(Exists(Out(static_cast<int>(c.rows.size()) + 1)));
    }
}

TEST_F(StripRender, TenPicturesAtMostTheLastPanelNamingTheConversationFile)
{
    StripOutcome outcome;
    ASSERT_EQ(Render(Conversation(OneSpeaker(300), "Long.ccc"), outcome), StripStatus::Written) << outcome.error;
    ASSERT_EQ(outcome.pictures.size(), static_cast<size_t>(kMaxPictures));
    Picture last;
    std::string error;
    ASSERT_TRUE(Decode(outcome.pictures.back(), last, error)) << error;
    EXPECT_EQ(last.height, PictureHeight(kMaxPictureRows));
    EXPECT_GT(Coloured(last, kMaxPanelsPerPicture - 2), 0.5) << "a content panel before the note";
    double note = Coloured(last, kMaxPanelsPerPicture - 1);
    EXPECT_GT(note, 0.0) << "the note has its text";
    EXPECT_LT(note, 0.1) << "the note panel is white but for its text";
    EXPECT_FALSE(Exists(Out(kMaxPictures + 1)));
}

TEST_F(StripRender, StaleContinuationsGoAndSoDoOlderPicturesWhenNoneIsMade)
{
    for (int number = 1; number <= 5; ++number)
        ASSERT_TRUE(WriteWholeFile(Out(number), "an older picture"));
    StripOutcome outcome;
    ASSERT_EQ(Render(Conversation("こんにちは\r\n>お元気ですか"), outcome), StripStatus::Written) << outcome.error;
    ASSERT_EQ(outcome.pictures.size(), 1u);
    Picture picture;
    std::string error;
    EXPECT_TRUE(Decode(Out(), picture, error)) << "Mirth.png is the new picture: " << error;
    for (int number = 2; number <= 5; ++number)
        EXPECT_FALSE(Exists(Out(number))) << Out(number);

    ASSERT_TRUE(WriteWholeFile(Out(2), "an older picture"));
    std::string missing = folder_ / "missing.ccc";
    ASSERT_TRUE(WriteWholeFile(missing, "#CHATCONVERSATION\r\nchangeavatar\ta\tNOBODY\r\nsay\ta\t\thello\r\n"));
    EXPECT_EQ(Render(missing, outcome), StripStatus::MissingArt);
    EXPECT_TRUE(outcome.pictures.empty());
    EXPECT_FALSE(Exists(Out())) << "no picture made: the older one goes";
    EXPECT_FALSE(Exists(Out(2)));
}

TEST_F(StripRender, AnArtFileThatCantBeReadIsDrawnWithoutAndNamed)
{
    ASSERT_TRUE(WriteWholeFile(art_ + "\\lance.avb", "not a character"));
    StripOutcome outcome;
    ASSERT_EQ(Render(Conversation("こんにちは\r\n>お元気ですか"), outcome), StripStatus::Written) << outcome.error;
    ASSERT_EQ(outcome.unreadableArt.size(), 1u);
    EXPECT_EQ(Lower(outcome.unreadableArt[0].substr(0, art_.size() + 12)), Lower(art_ + "\\lance.avb: "))
        << outcome.unreadableArt[0];
    ASSERT_EQ(outcome.pictures.size(), 1u);
}

// What MirthStrip.exe exits with and says, each message naming its file.
TEST_F(StripRender, MirthStripExitsWithTheFirstStatusThatApplies)
{
    std::string good = Conversation("こんにちは\r\n>お元気ですか");
    std::string art = " --art " + Quoted(art_);

    ProgramRun run = RunMirthStrip(Quoted(good) + " " + Quoted(Out()) + art);
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(Lower(run.out), Lower(Out() + "\r\n"));
    EXPECT_EQ(run.err, "");

    std::string broken = folder_ / "broken.ccc";
    ASSERT_TRUE(WriteWholeFile(broken, "#CHATCONVERSATION\r\nchangeavatar\ta\tNOBODY\r\nsmile\ta\r\n"));
    run = RunMirthStrip(Quoted(broken) + " " + Quoted(Out()) + art);
    EXPECT_EQ(run.status, 1u) << "unreadable comes before missing art";
    EXPECT_NE(run.err.find(broken + ": line 3: "), std::string::npos) << run.err;
    EXPECT_FALSE(Exists(Out())) << "no picture made: the older one goes";

    run = RunMirthStrip(Quoted(folder_ / "absent.ccc") + " " + Quoted(Out()) + art);
    EXPECT_EQ(run.status, 1u);
    EXPECT_NE(run.err.find(folder_ / "absent.ccc: "), std::string::npos) << run.err;

    // A character path that leaves the art folder is never looked up: a
    // SCOTTY.avb beside the art folder is not taken.
    ASSERT_TRUE(WriteWholeFile(folder_ / "SCOTTY.avb", TestArt("scotty.avb")));
    std::string missing = folder_ / "missing.ccc";
    ASSERT_TRUE(WriteWholeFile(missing, "#CHATCONVERSATION\r\nbackdrop\tNOWHERE\t\r\nchangeavatar\ta\tNOBODY\r\n"
                                        "changeavatar\tb\t..\\SCOTTY\r\nsay\ta\t\thello\r\nsay\tb\t\thi\r\n"));
    run = RunMirthStrip(Quoted(missing) + " " + Quoted(folder_ / "no such folder\\Mirth.png") + art);
    EXPECT_EQ(run.status, 2u) << "missing art comes before a write error";
    EXPECT_NE(run.err.find(missing), std::string::npos) << run.err;
    for (const char* file : {"NOBODY.avb", "..\\SCOTTY.avb", "NOWHERE.bgb"})
        EXPECT_NE(run.err.find(file), std::string::npos) << "names " << file << ": " << run.err;

    std::string unwritable = folder_ / "no such folder\\Mirth.png";
    run = RunMirthStrip(Quoted(good) + " " + Quoted(unwritable) + art);
    EXPECT_EQ(run.status, 3u) << run.err;
    EXPECT_NE(run.err.find(unwritable + ": "), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");

    run = RunMirthStrip(Quoted(good));
    EXPECT_EQ(run.status, 1u) << "a wrong command line";
    EXPECT_NE(run.err.find("usage: MirthStrip.exe IN.ccc OUT.png [--art FOLDER]..."), std::string::npos) << run.err;
}

}  // namespace
