// Times RenderStrip under Wine for the README's example mail and for a
// 200-line mail with quotes, each against encoding the same pictures to PNG
// alone (WritePngFile of their pixels: the floor, as every picture must be
// encoded anyway), and prints the peak working set of a process that renders
// a 4 MiB mail (ten pictures) beside one that renders a single full picture.
// Uses Microsoft's art from ../shared/chat-art when it is there, else small
// made-up art.
//
//   strip_render_benchmark.exe               the figures
//   strip_render_benchmark.exe --peak IN ART  (run by the above) renders once
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "conversation/conversation_format.h"
#include "strip/png_file.h"
#include "strip/strip_files.h"
#include "strip/strip_layout.h"
#include "strip/strip_render.h"
#include "tests/common/art_samples.h"
#include "tests/win/files.h"

namespace {

const ConversationNames kNames = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency.QuadPart;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Microsoft's art beside the project, or made-up art in `scratch`.
std::string ArtFolder(const std::string& scratch, bool& microsoft)
{
    std::string shared = std::string("Z:") + MIRTH_SHARED_ART_DIR;
    std::replace(shared.begin(), shared.end(), '/', '\\');
    microsoft = Exists(shared + "\\scotty.avb") && Exists(shared + "\\lance.avb") && Exists(shared + "\\den.bgb");
    if (microsoft)
        return shared;
    std::string folder = scratch + "\\art";
    CreateDirectoryA(folder.c_str(), nullptr);
    art_samples::Bytes character = art_samples::ComplexCharacter(5), backdrop = art_samples::Backdrop();
    for (const char* name : {"SCOTTY.avb", "LANCE.avb"})
        WriteWholeFile(folder + "\\" + name, std::string(character.begin(), character.end()));
    WriteWholeFile(folder + "\\DEN.bgb", std::string(backdrop.begin(), backdrop.end()));
    return folder;
}

std::string ExampleMail()
{
    return "こんにちは\r\n>お元気ですか\r\n\r\nC:\\tempにソフトを置きました";
}

// Lines of a mail and its quotes, with the cues that choose poses.
const char* const kMailLines[] = {
    "こんにちは、山田です。先日はありがとうございました（笑）",
    ">お元気ですか？先週の会議の資料、確認しました！",
    "私も資料を読みました。とても分かりやすかったです。",
    ">それは良かったです！！",
    ">ところで、来週の予定はどうなっていますか。「月曜日の午後」なら空いています。",
    "あなたの都合に合わせます♪",
    "",
    "会議室は C:\\temp\\rooms.txt に書いてあります。表示に問題があれば教えてください。",
    ">了解です ww まだ問題が残っています (T_T)",
    "Thanks for everything, see you next week at the meeting!",
    ">> 前回の引用です。能力の評価について。",
    "僕が調べておきます。またね！",
};

std::string Mail(size_t lines)
{
    std::string mail;
    for (size_t i = 0; i < lines; ++i)
        mail += std::string(i ? "\r\n" : "") + kMailLines[i % (sizeof kMailLines / sizeof kMailLines[0])];
    return mail;
}

std::string MailOfBytes(size_t bytes)
{
    std::string mail;
    for (size_t i = 0; mail.size() < bytes; ++i)
        mail += std::string(kMailLines[i % (sizeof kMailLines / sizeof kMailLines[0])]) + "\r\n";
    return mail;
}

std::string WriteConversation(const std::string& path, const std::string& mail)
{
    WriteWholeFile(path, FormatConversationToString(kNames, mail.data(), mail.size()));
    return path;
}

// Renders the conversation `runs` times and encodes its pictures alone as
// often; prints both medians and their ratio.
bool TimeAgainstEncoding(const char* name, const std::string& conversation, const std::string& art,
                         const std::string& scratch, int runs)
{
    std::string out = scratch + "\\" + name + ".png";
    std::vector<double> render, encode;
    StripOutcome outcome;
    for (int i = 0; i < runs; ++i) {
        double start = Now();
        if (RenderStrip(conversation, out, {art}, outcome) != StripStatus::Written) {
            std::printf("%s: %s\n", name, outcome.error.c_str());
            return false;
        }
        render.push_back(Now() - start);
    }
    std::vector<Picture> pictures(outcome.pictures.size());
    for (size_t i = 0; i < pictures.size(); ++i) {
        std::string error;
        if (!Decode(outcome.pictures[i], pictures[i], error)) {
            std::printf("%s: can't read back %s\n", name, error.c_str());
            return false;
        }
    }
    std::string again = scratch + "\\encoded.png";
    for (int i = 0; i < runs; ++i) {
        double start = Now();
        for (const Picture& picture : pictures) {
            std::string error;
            if (!WritePngFile(again, picture.bgra.data(), picture.width, picture.height, picture.width * 4, error)) {
                std::printf("%s: %s\n", again.c_str(), error.c_str());
                return false;
            }
        }
        encode.push_back(Now() - start);
    }
    double rendered = Median(render), encoded = Median(encode);
    int rows = 0;
    for (const Picture& picture : pictures)
        rows += (picture.height + 10) / 330;
    std::printf("%-22s %2zu pictures %3d rows   render %7.1f ms   PNG alone %7.1f ms   ratio %.2f\n", name,
                pictures.size(), rows, rendered * 1e3, encoded * 1e3, encoded > 0 ? rendered / encoded : 0.0);
    return true;
}

double MiB(SIZE_T bytes)
{
    return bytes / 1048576.0;
}

// Notes the working set as each picture's file appears (the encoder creates
// it before it writes), until told to stop.
struct PictureWatch {
    std::string firstPicture;
    volatile bool stop = false;
    std::vector<double> workingSet;  // MiB, by picture

    static DWORD WINAPI Run(void* self)
    {
        PictureWatch& watch = *static_cast<PictureWatch*>(self);
        for (int number = 1; number <= kMaxPictures && !watch.stop; ++number) {
            std::string path = StripPicturePath(watch.firstPicture, number);
            while (!watch.stop && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)
                Sleep(1);
            PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
            GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
            if (!watch.stop)
                watch.workingSet.push_back(MiB(memory.WorkingSetSize));
        }
        return 0;
    }
};

// The child: renders once and prints what it took.
int RenderForPeak(const std::string& conversation, const std::string& art)
{
    PictureWatch watch;
    watch.firstPicture = conversation.substr(0, conversation.rfind('.')) + ".png";
    HANDLE watcher = CreateThread(nullptr, 0, PictureWatch::Run, &watch, 0, nullptr);
    StripOutcome outcome;
    double start = Now();
    StripStatus status = RenderStrip(conversation, watch.firstPicture, {art}, outcome);
    double took = Now() - start;
    watch.stop = true;
    WaitForSingleObject(watcher, INFINITE);
    CloseHandle(watcher);
    PROCESS_MEMORY_COUNTERS memory = {sizeof memory};
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    if (status != StripStatus::Written) {
        std::printf("%s\n", outcome.error.c_str());
        return 1;
    }
    std::printf("%2zu pictures in %5.0f ms, peak working set %5.1f MiB; working set as pictures 1, 2... are "
                "written:",
                outcome.pictures.size(), took * 1e3, MiB(memory.PeakWorkingSetSize));
    for (double megabytes : watch.workingSet)
        std::printf(" %.1f", megabytes);
    return 0;
}

// Runs this program with --peak and copies what it prints.
void PeakOf(const char* name, const std::string& conversation, const std::string& art)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"" + std::string(self) + "\" --peak \"" + conversation + "\" \"" + art + "\"";
    std::printf("%-22s ", name);
    std::fflush(stdout);
    STARTUPINFOA startup = {sizeof startup};
    PROCESS_INFORMATION process;
    if (!CreateProcessA(self, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        std::printf("can't start (error %lu)\n", GetLastError());
        return;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--peak")
        return RenderForPeak(argv[2], argv[3]);

    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string scratch = std::string(temp) + "mirth-strip-benchmark";
    DeleteTree(scratch);
    CreateDirectoryA(scratch.c_str(), nullptr);
    bool microsoft = false;
    std::string art = ArtFolder(scratch, microsoft);
    std::printf("Strip pictures with %s; medians of 7 runs (3 for the 200-line mail)\n",
                microsoft ? "Microsoft's art" : "made-up art (../shared/chat-art is not there)");

    bool ok = TimeAgainstEncoding("README example", WriteConversation(scratch + "\\example.ccc", ExampleMail()),
                                  art, scratch, 7) &&
              TimeAgainstEncoding("200-line mail", WriteConversation(scratch + "\\mail200.ccc", Mail(200)), art,
                                  scratch, 3);

    // 23 says of one speaker: a panel each, the title's and theirs fill a picture.
    std::string one;
    for (int i = 0; i < kMaxPanelsPerPicture - 1; ++i) {
        const char* line = kMailLines[i % (sizeof kMailLines / sizeof kMailLines[0])];
        while (*line == '>')
            ++line;
        one += std::string(i ? "\r\n" : "") + (*line ? line : "・・・");
    }
    std::string full = WriteConversation(scratch + "\\full.ccc", one);
    std::string big = WriteConversation(scratch + "\\big.ccc", MailOfBytes(4u << 20));
    std::printf("\nEach in a process of its own:\n");
    PeakOf("one full picture", full, art);
    PeakOf("4 MiB mail", big, art);
    DeleteTree(scratch);
    return ok ? 0 : 1;
}
