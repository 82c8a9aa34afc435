// SPDX-License-Identifier: MIT
// How fast a folder of the game's cards is read, each way next to the cheapest way to touch
// the same files on one thread: the full card read and "rate --summary" against opening
// each file and reading all its bytes, the card list and "list" against opening each file
// and reading its first 64 bytes, and one card read alone against opening, reading and
// closing that one file. The folder commands run on the worker pool; the "/threads:1"
// runs force one worker for comparison.
// The folder (10,000 cards of the usual shape, or $MORVAT_BENCH_CARDS) is made once per
// run in a temporary folder before anything is timed; it sits in the page cache, so the
// figures are the readers' own cost, not the disk's.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "CardWriter.h"
#include "Cli.h"
#include "TempDir.h"
#include "files/CardList.h"
#include "files/RegularFile.h"
#include "files/ShiftJis.h"
#include "files/WidReader.h"
#include "files/WidStream.h"

namespace morvat {
namespace {

using test::WidCardPlan;
using test::WidContent;
using test::WidText;

struct CardFolder {
    test::TempDir dir;
    std::vector<std::filesystem::path> files;
};
CardFolder* g_folder = nullptr;

// Bytes that do not compress into a pattern the reader could profit from.
std::string Noise(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    return bytes;
}

// Texts of the game are Shift-JIS with their NUL.
WidText Text(std::string_view utf8) {
    return test::Sz(Utf8ToShiftJis(utf8));
}

WidText Block(std::size_t size, std::uint32_t seed) {
    return WidText{Noise(size, seed), {}};
}

// About twenty contents in the mix the game's events have: texts, fixed bodies, item lists,
// nested branches and a motion list.
test::WidEvent RealisticEvent(int index) {
    std::vector<WidContent> contents;
    for (int i = 0; i < 20; ++i) {
        static constexpr std::uint8_t kKinds[] = {1, 2, 6, 8, 11, 20, 25, 40, 3, 46};
        WidContent c = test::Content(kKinds[(i + index) % 10]);
        c.texts = {Text("メッセージの本文です。"), test::Sz("second")};
        if (c.kind == 8) c.pairs = {{test::Sz("item"), test::Sz("note")}};
        if (c.kind == 40) c.pairs = {{test::Sz("key"), test::Sz("value")}};
        if (c.kind == 11) c.motions.motions = {test::PlainMotion(0x40802, 2, 0)};
        if (i % 5 == 0) c.children = {test::Content(2), test::Content(1)};
        contents.push_back(std::move(c));
    }
    return test::EventOf(std::move(contents));
}

std::string RealisticCard(int index) {
    WidCardPlan card;
    card.firstBlock = Block(20 * 1024, static_cast<std::uint32_t>(index));  // the card's picture
    card.name = Text("炎の矢" + std::to_string(index % 1000));
    card.secondBlock = Text("敵一体に炎の矢を放ち、ダメージを与える。");
    card.voice = 1;
    card.target = 3;
    card.attribute = 2;
    card.success = 1;
    card.motions.motions = {
        test::ValueMotion(0x40800, 5, 1, 0, 12), test::RoundsMotion(0x40803, 2, 1, 3),
        test::ChangeMotion(0, 1, -2, 3),         test::ValueMotion(0x40801, 1, 2, 1, 5),
        test::PlainMotion(0x40807, 0, 6),
    };
    card.escape = 2;
    card.gard = -1;
    card.thirdBlock = Block(300, 7);
    card.fourthBlock = Block(120, 8);
    card.keyCodes = {Text("攻撃"), Text("遠距離攻撃"), Text("炎"), WidText{}, WidText{}};
    card.fifthBlock = test::Sz("use.wav");
    card.sixthBlock = Block(64, 9);
    card.events.events = {RealisticEvent(0), RealisticEvent(1), RealisticEvent(2)};
    card.level = 5;
    return test::WriteCard(card).bytes;
}

void MakeFolder(CardFolder& folder, int count) {
    for (int i = 0; i < count; ++i) {
        const std::string bytes = RealisticCard(i);
        folder.files.push_back(folder.dir.write("Skill" + std::to_string(i) + ".wid", bytes));
    }
}

// The peak resident memory since the last reset, in MiB. Linux lets the peak be reset per
// benchmark; elsewhere it is the peak of the whole run.
void ResetPeakMemory() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
}
double PeakMemoryMiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Report(benchmark::State& state, std::size_t files) {
    const auto total = static_cast<double>(state.iterations()) * static_cast<double>(files);
    state.counters["cards_per_s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
    state.counters["peak_MiB"] = PeakMemoryMiB();
}

void BM_FullCardRead(benchmark::State& state) {
    ResetPeakMemory();
    for (auto _ : state) {
        for (const auto& path : g_folder->files) {
            RegularFile file = RegularFile::OpenUnchecked(AT_FDCWD, path.c_str());
            WidCard card;
            EffectCollection effects;
            if (ReadWidCardUnchecked(file, card, effects) != 0 || !file.IsOpen() ||
                effects.size() != 5) {
                state.SkipWithError(("card not read: " + path.string()).c_str());
                return;
            }
            benchmark::DoNotOptimize(card);
        }
    }
    Report(state, g_folder->files.size());
}

// The reader's own work without the file system: the same cards parsed from memory. The gap
// between this and BM_FullCardRead is what opening and reading the files cost.
void BM_FullCardReadFromMemory(benchmark::State& state) {
    std::vector<std::string> cards;
    for (int i = 0; i < 100; ++i) cards.push_back(RealisticCard(i));
    ResetPeakMemory();
    for (auto _ : state) {
        for (const std::string& bytes : cards) {
            WidCard card;
            EffectCollection effects;
            if (ReadWidCardFromBytes(bytes, card, effects) != 0) {
                state.SkipWithError("card not read from memory");
                return;
            }
            benchmark::DoNotOptimize(card);
        }
    }
    Report(state, cards.size());
}

// One card read alone, as the editor loads it, against the cheapest full read of the file.
void BM_SingleCardRead(benchmark::State& state) {
    const std::filesystem::path& path = g_folder->files.front();
    for (auto _ : state) {
        RegularFile file = RegularFile::OpenUnchecked(AT_FDCWD, path.c_str());
        WidCard card;
        EffectCollection effects;
        if (ReadWidCardUnchecked(file, card, effects) != 0 || !file.IsOpen()) {
            state.SkipWithError("card not read");
            return;
        }
        benchmark::DoNotOptimize(card);
    }
}

// The floor of the reader's own calls for that card: open, one pread of up to a chunk (the
// whole card), close, and no parsing. What BM_SingleCardRead takes beyond this is the parse.
void BM_SingleCardCallsOnly(benchmark::State& state) {
    const std::filesystem::path& path = g_folder->files.front();
    std::vector<char> buffer(WidStream::kChunkSize);
    for (auto _ : state) {
        const RegularFile file = RegularFile::OpenUnchecked(AT_FDCWD, path.c_str());
        const ReadAtResult read = file.ReadOnce(0, buffer.data(), buffer.size());
        if (read.failed || read.got == 0 || read.got == buffer.size()) {
            state.SkipWithError("card not read");
            return;
        }
        benchmark::DoNotOptimize(buffer.data());
    }
}

void BM_SingleCardBaseline(benchmark::State& state) {
    const std::filesystem::path& path = g_folder->files.front();
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            state.SkipWithError("cannot open the card");
            return;
        }
        while (::read(fd, buffer.data(), buffer.size()) > 0) {
            benchmark::DoNotOptimize(buffer.data());
        }
        ::close(fd);
    }
}

// Output that goes nowhere, but only after it has been formatted.
class DiscardingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// Runs a command of the command line on the folder; argument 0: the worker pool as it
// comes, else that many workers.
void RunCommand(benchmark::State& state, const std::vector<std::string>& args) {
    const char* given = std::getenv("MORVAT_THREADS");
    const std::string before = given != nullptr ? given : "";
    if (state.range(0) > 0) ::setenv("MORVAT_THREADS", std::to_string(state.range(0)).c_str(), 1);
    DiscardingBuffer discard;
    std::ostream out(&discard);
    std::ostream err(&discard);
    ResetPeakMemory();
    for (auto _ : state) {
        if (cli::RunCli(args, out, err) != cli::kExitOk) {
            state.SkipWithError("the command failed");
            break;
        }
    }
    if (given != nullptr) {
        ::setenv("MORVAT_THREADS", before.c_str(), 1);
    } else {
        ::unsetenv("MORVAT_THREADS");
    }
    Report(state, g_folder->files.size());
}

void BM_RateSummary(benchmark::State& state) {
    RunCommand(state, {"rate", "--summary", g_folder->dir.path().string()});
}

void BM_ListCommand(benchmark::State& state) {
    RunCommand(state, {"list", g_folder->dir.path().string()});
}

void BM_RawReadBaseline(benchmark::State& state) {
    ResetPeakMemory();
    std::vector<char> buffer(64 * 1024);
    for (auto _ : state) {
        for (const auto& path : g_folder->files) {
            const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                state.SkipWithError("cannot open a card");
                return;
            }
            while (::read(fd, buffer.data(), buffer.size()) > 0) {
                benchmark::DoNotOptimize(buffer.data());
            }
            ::close(fd);
        }
    }
    Report(state, g_folder->files.size());
}

void BM_BuildCardList(benchmark::State& state) {
    ResetPeakMemory();
    for (auto _ : state) {
        const std::vector<CardListRow> rows = BuildCardList(g_folder->dir.path());
        if (rows.size() != g_folder->files.size()) {
            state.SkipWithError("not every card got a row");
            return;
        }
        benchmark::DoNotOptimize(rows.data());
    }
    Report(state, g_folder->files.size());
}

// The card list has to find the files too, so its baseline lists the folder as well.
void BM_FirstBytesBaseline(benchmark::State& state) {
    ResetPeakMemory();
    char buffer[64];
    for (auto _ : state) {
        for (const auto& entry : std::filesystem::directory_iterator(g_folder->dir.path())) {
            const int fd = ::open(entry.path().c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) continue;
            benchmark::DoNotOptimize(::read(fd, buffer, sizeof buffer));
            ::close(fd);
        }
    }
    Report(state, g_folder->files.size());
}

BENCHMARK(BM_RawReadBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RateSummary)->Arg(0)->Arg(1)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_FullCardRead)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FullCardReadFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FirstBytesBaseline)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListCommand)->Arg(0)->Arg(1)->ArgName("threads")->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_BuildCardList)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SingleCardBaseline)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SingleCardRead)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_SingleCardCallsOnly)->Unit(benchmark::kMicrosecond)->UseRealTime();

}  // namespace
}  // namespace morvat

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    int count = 10000;
    if (const char* env = std::getenv("MORVAT_BENCH_CARDS")) count = std::atoi(env);
    morvat::CardFolder folder;
    morvat::MakeFolder(folder, count);
    // The folder's pages written out before anything is timed: otherwise the kernel writes
    // them back while the first benchmarks run, and takes a core from them.
    ::sync();
    morvat::g_folder = &folder;
    benchmark::AddCustomContext("cards", std::to_string(count));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
