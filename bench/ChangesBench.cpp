// The list of changes between two synthetic 4 MiB images that differ in every player's record
// (169 players), and the same with the text of every line. The goal: under 50 ms.
#include <benchmark/benchmark.h>

#include "game/ActualTable.h"
#include "game/Encodings.h"
#include "image/Changes.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

constexpr std::size_t kImageSize = 4 * 1024 * 1024;

struct Images {
    test::Image before;
    test::Image after;
};

const Images& images() {
    static const Images pair = [] {
        test::Image before({.size = kImageSize});
        test::Image after = before;
        for (int player = 0; player < kPlayerCount; ++player) {
            after.at(actualOffset(player) + kSpeedField) ^= 0x01;  // both bytes of the word
            after.at(actualOffset(player) + kSpeedField + 1) ^= 0x01;
            after.at(actualOffset(player) + kDunkField) ^= 0x01;
        }
        return Images{std::move(before), std::move(after)};
    }();
    return pair;
}

void BM_ChangesOf169Players(benchmark::State& state) {
    const Images& pair = images();
    for (auto _ : state) {
        std::vector<Change> changes = gameChangesBetween(pair.before.bytes(), pair.after.bytes(),
                                                         Release::NorthAmerica, defaultNames());
        benchmark::DoNotOptimize(changes);
    }
}
BENCHMARK(BM_ChangesOf169Players)->Unit(benchmark::kMillisecond);

void BM_ChangesOf169PlayersAsText(benchmark::State& state) {
    const Images& pair = images();
    for (auto _ : state) {
        std::string text;
        for (const Change& change : gameChangesBetween(pair.before.bytes(), pair.after.bytes(),
                                                       Release::NorthAmerica, defaultNames())) {
            text += describe(change) + "\n";
        }
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_ChangesOf169PlayersAsText)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slamwise

BENCHMARK_MAIN();
