// Timings of what the player editor does most: opening an image and showing player 0, one
// selection, an export of every player, one Apply (beside the bare syncs it needs), one
// relocation. Everything runs on a synthetic 3 MiB image in a temporary folder. The counter
// "reads" is the number of reads of the file one run makes.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>

#include <benchmark/benchmark.h>

#include "bench/BareSyncs.h"
#include "game/Identify.h"
#include "game/PlayerEdit.h"
#include "game/Relocation.h"
#include "game/VisualTable.h"
#include "storage/FaultInjection.h"
#include "storage/Journal.h"
#include "storage/RomFile.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using bench::median;
using bench::threadCpuMicroseconds;

constexpr std::size_t kImageSize = 3 * 1024 * 1024;

// One image file shared by all benchmarks of a run.
const std::string& imagePath() {
    static test::TempDir dir;
    static const std::string path = [] {
        test::ImageOptions options;
        options.size = kImageSize;
        return test::Image(options).writeTo(dir.file("bench.sfc"));
    }();
    return path;
}

RomFile openImage(benchmark::State& state) {
    Result<RomFile> rom = RomFile::open(imagePath());
    if (!rom) {
        state.SkipWithError(rom.error().c_str());
    }
    return std::move(rom).value();
}

// The reads of the file that one run of body makes, counted through the fault hooks.
template <class Body>
double readsOf(Body body) {
    FaultPlan plan{.at = FaultPlan::kNever};
    ScopedFaultPlan scoped(plan);
    body();
    return static_cast<double>(plan.count(FileCall::Pread));
}

// What an opening does before the user sees player 0.
void BM_OpenIdentifyDetectLoad(benchmark::State& state) {
    const std::string& path = imagePath();
    for (auto _ : state) {
        Result<RomFile> rom = RomFile::open(path);
        Result<std::optional<Identification>> identified = identify(*rom);
        Result<RelocationState> relocation = detectRelocation(*rom);
        Result<PlayerRecord> record = readPlayerRecord(*rom, 0);
        benchmark::DoNotOptimize(identified);
        benchmark::DoNotOptimize(relocation);
        benchmark::DoNotOptimize(record);
    }
}
BENCHMARK(BM_OpenIdentifyDetectLoad);

// One selection in the player list: the reads of one actual record.
void BM_SelectPlayer(benchmark::State& state) {
    RomFile rom = openImage(state);
    int player = 0;
    for (auto _ : state) {
        Result<PlayerRecord> record = readPlayerRecord(rom, player);
        benchmark::DoNotOptimize(record);
        player = (player + 1) % kPlayerCount;
    }
    state.counters["reads"] = readsOf([&] { (void)readPlayerRecord(rom, 42); });
}
BENCHMARK(BM_SelectPlayer);

// What an export of every player reads: identification, the relocation check, the actual
// table and the visual table.
void BM_ExportAllPlayers(benchmark::State& state) {
    RomFile rom = openImage(state);
    auto exportReads = [&] {
        Result<std::optional<Identification>> identified = identify(rom);
        Result<RelocationState> relocation = detectRelocation(rom);
        Result<std::vector<PlayerRecord>> records = readPlayerRecords(rom);
        Result<std::vector<VisualRatings>> visual = readVisualTable(rom, VisualLayout::Standard);
        benchmark::DoNotOptimize(identified);
        benchmark::DoNotOptimize(relocation);
        benchmark::DoNotOptimize(records);
        benchmark::DoNotOptimize(visual);
    };
    for (auto _ : state) {
        exportReads();
    }
    state.counters["reads"] = readsOf(exportReads);
}
BENCHMARK(BM_ExportAllPlayers);

// The edit of one Apply of the player window: the actual and the visual record of a player.
Edit playerApplyEdit() {
    PlayerEdit save;
    save.player = 42;
    save.ratings = {5, 6, 7, 0, 0, 0, 0, 0};
    save.ai = kAiSliderZero;
    save.skin = Skin::White;
    save.height = Height::Normal;
    Edit edit;
    save.encode(edit, VisualLayout::Standard);
    return edit;
}

void applyOnce(benchmark::State& state, RomFile& rom, const Edit& edit) {
    if (Status status = rom.apply(edit); !status) {
        state.SkipWithError(status.message().c_str());
    }
}

// The two records a player's Apply writes.
std::vector<bench::Run> playerRuns() {
    return {{actualOffset(42), kActualStride},
            {visualOffset(VisualLayout::Standard, 42), kVisualStride}};
}

// A second image beside the measured one, for the bare syncs.
std::string bareImage() {
    test::ImageOptions options;
    options.size = kImageSize;
    return test::Image(options).writeTo(
        (std::filesystem::path(imagePath()).parent_path() / "bare.sfc").string());
}

void BM_BareSyncsOfAnApply(benchmark::State& state) {
    bench::BareSyncs bare(bareImage(), playerRuns());
    for (auto _ : state) {
        if (!bare.run()) {
            state.SkipWithError("the bare syncs failed");
        }
    }
}
BENCHMARK(BM_BareSyncsOfAnApply);

// Apply and the bare syncs taken in turns, so that both meet the same load on the disk. The
// counters are medians per run: wall time (apply_us, bare_us), CPU time (apply_cpu_us,
// bare_cpu_us), and "ratio", the wall time of each Apply over that of the bare syncs right
// after it.
void BM_ApplyOverBareSyncs(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    RomFile rom = openImage(state);
    const Edit edit = playerApplyEdit();
    bench::BareSyncs bare(bareImage(), playerRuns());
    std::vector<double> applyWall, bareWall, applyCpu, bareCpu;
    auto timed = [](auto&& body, std::vector<double>& wall, std::vector<double>& cpu) {
        const Clock::time_point start = Clock::now();
        const double startCpu = threadCpuMicroseconds();
        body();
        cpu.push_back(threadCpuMicroseconds() - startCpu);
        wall.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    };
    for (auto _ : state) {
        timed([&] { applyOnce(state, rom, edit); }, applyWall, applyCpu);
        timed(
            [&] {
                if (!bare.run()) {
                    state.SkipWithError("the bare syncs failed");
                }
            },
            bareWall, bareCpu);
    }
    state.counters["apply_us"] = median(applyWall);
    state.counters["bare_us"] = median(bareWall);
    state.counters["apply_cpu_us"] = median(applyCpu);
    state.counters["bare_cpu_us"] = median(bareCpu);
    std::vector<double> ratios(applyWall.size());
    for (std::size_t i = 0; i < ratios.size(); ++i) {
        ratios[i] = applyWall[i] / std::max(bareWall[i], 1e-3);
    }
    state.counters["ratio"] = median(ratios);
}
BENCHMARK(BM_ApplyOverBareSyncs);

// The relocation: the table copy, eight pointer patches and 320 filler words, one sync.
void BM_Relocation(benchmark::State& state) {
    RomFile rom = openImage(state);
    for (auto _ : state) {
        Result<Edit> edit = relocationEdit(rom);
        Status status = rom.apply(*edit);
        if (!status) {
            state.SkipWithError(status.message().c_str());
        }
    }
}
BENCHMARK(BM_Relocation);

}  // namespace
}  // namespace slamwise

BENCHMARK_MAIN();
