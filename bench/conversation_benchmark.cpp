// Times the conversation writer against a plain write of the same bytes, for
// a 4 MiB mail of mixed Japanese and ASCII lines, some quoted, and counts the
// heap memory that one write takes. The writer's fixed 500 ms wait is not part
// of it: this is the formatting and the writing.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <string>

#include "bench/median_reporter.h"
#include "conversation/conversation_format.h"

namespace {

std::atomic<size_t> g_heapBytes{0};

const ConversationNames kNames = {"DEN.bgb", "本文", "SCOTTY", "引用", "LANCE"};
const char kOutputPath[] = "conversation_benchmark.ccc";

std::string MakeMail(size_t size)
{
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
    for (size_t i = 0; mail.size() < size; ++i) {
        mail += lines[i % (sizeof lines / sizeof lines[0])];
        mail += "\r\n";
    }
    mail.resize(size);
    return mail;
}

const std::string& Mail()
{
    static const std::string mail = MakeMail(4 * 1024 * 1024);
    return mail;
}

const std::string& Output()
{
    static const std::string output = FormatConversationToString(kNames, Mail().data(), Mail().size());
    return output;
}

bool WriteAll(int fd, const char* bytes, size_t count)
{
    while (count > 0) {
        ssize_t written = write(fd, bytes, count);
        if (written <= 0)
            return false;
        bytes += written;
        count -= static_cast<size_t>(written);
    }
    return true;
}

bool WriteToFd(void* context, const char* bytes, size_t count)
{
    return WriteAll(*static_cast<int*>(context), bytes, count);
}

bool DropBytes(void*, const char* bytes, size_t)
{
    benchmark::DoNotOptimize(bytes);
    return true;
}

int OpenOutput()
{
    return open(kOutputPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
}

void BM_ConversationWriter(benchmark::State& state)
{
    const std::string& mail = Mail();
    size_t heapBefore = 0, heapPeak = 0;
    for (auto _ : state) {
        heapBefore = g_heapBytes;
        int fd = OpenOutput();
        bool ok = FormatConversation(kNames, mail.data(), mail.size(), WriteToFd, &fd);
        close(fd);
        if (!ok)
            state.SkipWithError("write failed");
        heapPeak = g_heapBytes - heapBefore;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mail.size()));
    state.counters["heap_bytes"] = static_cast<double>(heapPeak);
}

void BM_PlainWrite(benchmark::State& state)
{
    const std::string& output = Output();
    for (auto _ : state) {
        int fd = OpenOutput();
        bool ok = WriteAll(fd, output.data(), output.size());
        close(fd);
        if (!ok)
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Mail().size()));
}

// The formatting alone, its bytes dropped: what the writer adds to a plain write.
void BM_FormatOnly(benchmark::State& state)
{
    const std::string& mail = Mail();
    for (auto _ : state) {
        bool ok = FormatConversation(kNames, mail.data(), mail.size(), DropBytes, nullptr);
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mail.size()));
}

// File writes vary from run to run with the page cache; the medians of several
// repetitions give the ratio.
BENCHMARK(BM_FormatOnly)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ConversationWriter)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly(true);


}  // namespace

// Every heap allocation of the process is counted (it only grows), so the
// writer's share shows as the difference across one write.
void* operator new(size_t size)
{
    g_heapBytes += size;
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, size_t) noexcept { std::free(memory); }

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Output();  // built before timing
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    unlink(kOutputPath);

    double writer = reporter.seconds["BM_ConversationWriter"];
    double plain = reporter.seconds["BM_PlainWrite"];
    std::printf("\nmail: %zu bytes in, %zu bytes of conversation file out\n", Mail().size(), Output().size());
    std::printf("medians: writer %.2f ms, plain write %.2f ms, ratio %.2f (target: at most 1.50)\n", writer * 1e3,
                plain * 1e3, plain > 0 ? writer / plain : 0.0);
    std::printf("working memory of one write beyond the body: %zu bytes of fixed buffers, heap_bytes above\n",
                sizeof(char) * kConversationChunkBytes);
    return 0;
}
