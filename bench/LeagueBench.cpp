// Timings of the league's players table on a synthetic 3 MiB image: opening the window until it
// is drawn (with the reads it makes, counter "reads"), and one Apply of all 169 players through
// the session beside the bare syncs it needs (counter "ratio": the Apply's wall time over that
// of the bare syncs taken right after it, median). Runs under Qt's offscreen platform.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>

#include <benchmark/benchmark.h>

#include "bench/BareSyncs.h"
#include "game/PlayerEdit.h"
#include "image/Session.h"
#include "league/PlayersTable.h"
#include "storage/FaultInjection.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"
#include "ui/ImageSession.h"

namespace slamwise {
namespace {

using bench::median;
using bench::threadCpuMicroseconds;

constexpr std::size_t kImageSize = 3 * 1024 * 1024;

const test::TempDir& folder() {
    static test::TempDir dir;
    return dir;
}

std::string makeImage(const std::string& name) {
    test::ImageOptions options;
    options.size = kImageSize;
    return test::Image(options).writeTo(folder().file(name));
}

bool openSession(ImageSession& session, const std::string& path, benchmark::State& state) {
    Result<OpenedImage> opened = OpenedImage::open(path, RomFile::Access::ReadWrite);
    if (!opened) {
        state.SkipWithError(opened.error().c_str());
        return false;
    }
    session.open(Session(std::move(opened).value()));
    return true;
}

// Opens the players table and waits until it is drawn.
void BM_OpenPlayersTable(benchmark::State& state) {
    ImageSession session;
    if (!openSession(session, makeImage("open.sfc"), state)) {
        return;
    }
    test::FakePlatform fake;
    auto open = [&] {
        PlayersTable table(session, fake.platform());
        table.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(table.grab());
    };
    for (auto _ : state) {
        open();
    }
    FaultPlan plan{.at = FaultPlan::kNever};
    {
        ScopedFaultPlan scoped(plan);
        PlayersTable table(session, fake.platform());
    }
    state.counters["reads"] = static_cast<double>(plan.count(FileCall::Pread));
}
BENCHMARK(BM_OpenPlayersTable)->Unit(benchmark::kMillisecond);

// Every field of every player, in one of two sets of values so that each Apply changes bytes.
std::vector<PlayerEdit> wholeLeague(int turn) {
    std::vector<PlayerEdit> edits;
    for (int player = 0; player < kPlayerCount; ++player) {
        PlayerEdit edit;
        edit.player = player;
        for (int r = 0; r < kRatingCount; ++r) {
            edit.ratings[static_cast<std::size_t>(r)] = (player + r + turn) % 11;
        }
        edit.ai = (player + turn) % 17;
        edit.skin = turn % 2 == 0 ? Skin::White : Skin::Black;
        edit.height = turn % 2 == 0 ? Height::Small : Height::Normal;
        edits.push_back(edit);
    }
    return edits;
}

// The two runs of bytes a change of the whole tables writes: the actual records and the standard
// visual records.
std::vector<bench::Run> tableRuns() {
    return {{actualOffset(0) + kHeightField,
             kActualStride * (kPlayerCount - 1) + kSkinField + 2 - kHeightField},
            {visualOffset(VisualLayout::Standard, 0),
             kVisualStride * (kStandardVisualRecords - 1) + 2 * kVisualRatingCount - 1}};
}

// The Apply of the players table (one savePlayers action through the session: checks, the
// list of changed bytes, the write, the history, the new look at the image) and the bare syncs
// taken in turns, so that both meet the same load on the disk.
void BM_ApplyAllPlayersOverBareSyncs(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    ImageSession session;
    if (!openSession(session, makeImage("apply.sfc"), state)) {
        return;
    }
    const Action actions[2] = {savePlayers("Apply to 169 Players", wholeLeague(0)),
                               savePlayers("Apply to 169 Players", wholeLeague(1))};
    bench::BareSyncs bare(makeImage("bare.sfc"), tableRuns());
    std::vector<double> applyWall, bareWall, ratios, applyCpu, bareCpu;
    auto timed = [](auto&& body, std::vector<double>& wall, std::vector<double>& cpu) {
        const Clock::time_point start = Clock::now();
        const double startCpu = threadCpuMicroseconds();
        body();
        cpu.push_back(threadCpuMicroseconds() - startCpu);
        wall.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    };
    int turn = 0;
    for (auto _ : state) {
        timed(
            [&] {
                if (!session.apply(actions[turn++ % 2])) {
                    state.SkipWithError("the Apply failed");
                }
            },
            applyWall, applyCpu);
        timed(
            [&] {
                if (!bare.run()) {
                    state.SkipWithError("the bare syncs failed");
                }
            },
            bareWall, bareCpu);
        ratios.push_back(applyWall.back() / std::max(bareWall.back(), 1e-3));
    }
    state.counters["apply_us"] = median(applyWall);
    state.counters["bare_us"] = median(bareWall);
    state.counters["apply_cpu_us"] = median(applyCpu);
    state.counters["bare_cpu_us"] = median(bareCpu);
    state.counters["ratio"] = median(ratios);
}
BENCHMARK(BM_ApplyAllPlayersOverBareSyncs)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace slamwise

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
