// Times the strip's portable core for a 4 MiB mail: reading its conversation
// file, laying out its pictures (ten at most, so the layout stops early), and
// composing one full picture's backdrops and figures against deflating the
// same pixels, the heart of a PNG encoder. Text is measured at fixed widths
// and the art is made up; the GDI text, the real art and the PNG encoder are
// timed under Wine.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/median_reporter.h"
#include "conversation/conversation_format.h"
#include "strip/compose.h"
#include "strip/conversation_reader.h"
#include "strip/strip_layout.h"
#include "tests/unit/strip_fakes.h"

namespace {

const ConversationNames kNames = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};

const std::string& Conversation()
{
    static const std::string file = [] {
        const char* lines[] = {
            "こんにちは。先日のメールありがとうございました。",
            "> 会議の資料はソフトの表示に問題がないか確認してください。",
            "Please find the minutes attached; see C:\\temp\\minutes.txt for details.",
            "",
            ">> 前回の引用です。能力の評価について。",
            "予定は\t10:00〜12:00 です。費用は \\1,000 です。",
            "漫画／アニメの様なメールを簡単に作れます・・・",
            "> The quick brown fox jumps over the lazy dog.",
        };
        std::string mail;
        for (size_t i = 0; mail.size() < 4u * 1024 * 1024; ++i)
            mail += std::string(lines[i % (sizeof lines / sizeof lines[0])]) + "\r\n";
        return FormatConversationToString(kNames, mail.data(), mail.size());
    }();
    return file;
}

const std::vector<ConversationRecord>& Records()
{
    static const std::vector<ConversationRecord> records = [] {
        std::vector<ConversationRecord> read;
        std::string error;
        ReadConversation(Conversation().data(), Conversation().size(), read, error);
        return read;
    }();
    return records;
}

void BM_ReadConversation(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<ConversationRecord> records;
        std::string error;
        bool ok = ReadConversation(Conversation().data(), Conversation().size(), records, error);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Conversation().size()));
}

void BM_LayOutStrip(benchmark::State& state)
{
    FixedMeasure measure;
    int pictures = 0, panels = 0, poses = 0;
    for (auto _ : state) {
        FakeCast cast;
        StripLayout layout(Records(), measure, cast);
        PictureLayout picture;
        pictures = panels = 0;
        while (layout.NextPicture(picture)) {
            ++pictures;
            panels += static_cast<int>(picture.panels.size());
        }
        poses = cast.poseCalls;
    }
    state.counters["pictures"] = pictures;
    state.counters["panels"] = panels;
    state.counters["says_laid_out"] = poses;
}

// Made-up art: a figure that is an opaque ellipse with a dark outline on
// transparency, and a backdrop of stripes, at the sizes of Chat's art.
Pixels MakeFigure()
{
    Pixels figure;
    figure.width = 177;
    figure.height = 417;
    figure.stride = figure.width * 4;
    figure.bytes.resize(static_cast<size_t>(figure.stride) * figure.height);
    for (int y = 0; y < figure.height; ++y)
        for (int x = 0; x < figure.width; ++x) {
            double dx = (x - 88.0) / 88.0, dy = (y - 208.0) / 208.0, d = dx * dx + dy * dy;
            uint8_t* p = &figure.bytes[static_cast<size_t>(y) * figure.stride + x * 4];
            uint8_t shade = d > 0.9 ? 0 : static_cast<uint8_t>(120 + (x * 7 + y * 3) % 120);
            p[0] = shade;
            p[1] = static_cast<uint8_t>(shade / 2);
            p[2] = 200;
            p[3] = d <= 1.0 ? 255 : 0;
        }
    return figure;
}

Pixels MakeBackdrop()
{
    Pixels backdrop;
    backdrop.width = backdrop.height = 315;
    backdrop.stride = backdrop.width * 4;
    backdrop.bytes.resize(static_cast<size_t>(backdrop.stride) * backdrop.height);
    for (int y = 0; y < backdrop.height; ++y)
        for (int x = 0; x < backdrop.width; ++x) {
            uint8_t* p = &backdrop.bytes[static_cast<size_t>(y) * backdrop.stride + x * 4];
            p[0] = static_cast<uint8_t>(180 + (x / 9) % 2 * 40);
            p[1] = static_cast<uint8_t>(170 + (y / 13) % 3 * 20);
            p[2] = 150;
            p[3] = 255;
        }
    return backdrop;
}

// A full picture: 24 panels, each with its backdrop zoomed and two figures
// scaled afresh (no cache: the worst case).
void ComposePicture(Pixels& picture, const Pixels& figure, const Pixels& backdrop)
{
    ResetPicture(picture, kPictureWidth, kMaxPictureRows * kPanelSide + (kMaxPictureRows + 1) * kGutter);
    for (int i = 0; i < kMaxPanelsPerPicture; ++i) {
        StripRect panel{kGutter + i % 3 * (kPanelSide + kGutter), kGutter + i / 3 * (kPanelSide + kGutter),
                        kPanelSide, kPanelSide};
        double zoom = i == 0 ? 1.0 : 1.2 + 0.05 * (i % 10);
        DrawBackdrop(picture, backdrop, panel, zoom, kPanelSide - 168);
        int height = static_cast<int>(std::lround(168 * zoom)), width = static_cast<int>(std::lround(71 * zoom));
        DrawFigure(picture, figure, StripRect{panel.x + 40, panel.y + 152, width, height}, false, panel);
        DrawFigure(picture, figure, StripRect{panel.x + 180, panel.y + 152, width, height}, true, panel);
    }
}

void BM_ComposePicture(benchmark::State& state)
{
    Pixels figure = MakeFigure(), backdrop = MakeBackdrop(), picture;
    for (auto _ : state) {
        ComposePicture(picture, figure, backdrop);
        benchmark::DoNotOptimize(picture.bytes.data());
    }
}

// Deflate at zlib's default level, each row with PNG's filter byte: what a
// PNG encoder does with the picture at least.
void BM_DeflatePicture(benchmark::State& state)
{
    Pixels figure = MakeFigure(), backdrop = MakeBackdrop(), picture;
    ComposePicture(picture, figure, backdrop);
    std::vector<uint8_t> rows;
    for (int y = 0; y < picture.height; ++y) {
        rows.push_back(0);
        rows.insert(rows.end(), picture.bytes.begin() + static_cast<ptrdiff_t>(y) * picture.stride,
                    picture.bytes.begin() + static_cast<ptrdiff_t>(y + 1) * picture.stride);
    }
    std::vector<uint8_t> out(compressBound(rows.size()));
    for (auto _ : state) {
        uLongf size = out.size();
        compress2(out.data(), &size, rows.data(), rows.size(), Z_DEFAULT_COMPRESSION);
        benchmark::DoNotOptimize(size);
    }
}

BENCHMARK(BM_ReadConversation)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_LayOutStrip)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_ComposePicture)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);
BENCHMARK(BM_DeflatePicture)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(3)->ReportAggregatesOnly(true);


}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Records();  // read before timing
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double compose = reporter.seconds["BM_ComposePicture"], deflate = reporter.seconds["BM_DeflatePicture"];
    std::printf("\nconversation: %zu bytes, %zu records\n", Conversation().size(), Records().size());
    std::printf("medians: read %.1f ms, layout of the pictures %.1f ms\n", reporter.seconds["BM_ReadConversation"] * 1e3,
                reporter.seconds["BM_LayOutStrip"] * 1e3);
    std::printf("one full picture: compose %.1f ms, deflate %.1f ms, ratio %.2f\n", compose * 1e3, deflate * 1e3,
                deflate > 0 ? compose / deflate : 0.0);
    return 0;
}
