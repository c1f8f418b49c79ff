// Timings of what the player editor does most: opening an image and showing player 0, one
// Apply, one relocation. Everything runs on a synthetic 3 MiB image in a temporary folder.
#include <benchmark/benchmark.h>

#include "player/PlayerEdit.h"
#include "player/Relocation.h"
#include "player/VisualTable.h"
#include "rom/Identify.h"
#include "rom/RomFile.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

constexpr std::size_t kImageSize = 3 * 1024 * 1024;

// One image file shared by all benchmarks of a run.
const std::string& imagePath() {
    static test::TempDir dir;
    static const std::string path = [] {
        test::ImageSpec spec;
        spec.size = kImageSize;
        return test::Image(spec).writeTo(dir.file("bench.sfc"));
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
}
BENCHMARK(BM_SelectPlayer);

// One Apply: the actual and the visual record in one edit, written and synced.
void BM_ApplyPlayer(benchmark::State& state) {
    RomFile rom = openImage(state);
    PlayerEdit save;
    save.player = 42;
    save.ratings = {5, 6, 7, 0, 0, 0, 0, 0};
    save.ai = kAiSliderZero;
    save.skin = Skin::White;
    save.height = Height::Normal;
    for (auto _ : state) {
        Edit edit;
        save.encode(edit, VisualLayout::Standard);
        Status status = rom.apply(edit);
        if (!status) {
            state.SkipWithError(status.message().c_str());
        }
    }
}
BENCHMARK(BM_ApplyPlayer);

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
