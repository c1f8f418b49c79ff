// Timings of BPS patches on a synthetic 4 MiB image, for each edit shape: the patch's size, its
// creation, its application to a file (read, checked, journal, writes and syncs), the dry run
// (the ranges listed) and the write calls the application makes, counted through the fault
// hooks. "legacy listing" times the byte-by-byte listing of the generic dry run (a map and one
// read of the file per changed byte) on the same edit, to show what the ranges save.
//   patch_bench                 prints the table
//   patch_bench --write FOLDER  writes FOLDER/<n>-original.sfc and <n>-edited.sfc, n = 1 to 4,
//                               for bench/compare-patchers.sh
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>

#include "patch/PatchFile.h"
#include "storage/ChangedRanges.h"
#include "storage/FaultInjection.h"
#include "storage/RomFile.h"
#include "tests/support/EditShapes.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kImageSize = 4 * 1024 * 1024;
constexpr int kRuns = 5;

// The median of kRuns runs of body, in milliseconds.
template <class Body>
double medianMs(Body body) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const auto start = std::chrono::steady_clock::now();
        body();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        times.push_back(took.count());
    }
    std::sort(times.begin(), times.end());
    return times[kRuns / 2];
}

void check(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "patch_bench: %s\n", what);
        std::exit(1);
    }
}

struct Figures {
    std::size_t changed = 0;
    std::size_t patchSize = 0;
    double createMs = 0;
    double applyMs = 0;
    double dryRunMs = 0;
    double legacyMs = 0;
    long writeCalls = 0;
    std::size_t ranges = 0;
};

// The dry run as the generic one lists bytes: each written byte in a map, then read from the file.
std::size_t legacyListing(const RomFile& rom, const Edit& edit) {
    std::map<std::uint32_t, std::uint8_t> after;
    for (const Edit::Write& write : edit.writes()) {
        for (std::size_t i = 0; i < write.bytes.size(); ++i) {
            after[write.offset + static_cast<std::uint32_t>(i)] = write.bytes[i];
        }
    }
    std::size_t changed = 0;
    for (const auto& [offset, value] : after) {
        changed += rom.read8(offset).value() != value ? 1 : 0;
    }
    return changed;
}

Figures measure(const test::TempDir& dir, test::EditShape shape, const Bytes& original) {
    Figures figures;
    const Bytes edited = test::shapedEdit(shape, original);
    figures.changed = test::changedOffsets(original, edited).size();
    Result<Bytes> patch = Status::failure("not made");
    figures.createMs = medianMs([&] { patch = createPatch(PatchFormat::Bps, original, edited); });
    check(patch.ok(), "the patch could not be made");
    figures.patchSize = patch->size();
    const std::string patchPath = dir.file("mod.bps");
    test::writeFile(patchPath, *patch);
    const std::string imagePath = dir.file("game.sfc");
    test::writeFile(imagePath, original);
    {
        Result<RomFile> rom = RomFile::open(imagePath);
        check(rom.ok(), "the image could not be opened");
        figures.dryRunMs = medianMs([&] {
            Result<PatchResult> result = patchFileFor(*rom, patchPath);
            Result<Bytes> image = readImage(*rom);
            check(result.ok() && image.ok(), "the patch could not be applied");
            figures.ranges = changedRanges(*image, result->edit).size();
        });
        Result<PatchResult> result = patchFileFor(*rom, patchPath);
        figures.legacyMs =
            medianMs([&] { check(legacyListing(*rom, result->edit) > 0, "no change"); });
    }  // closed: the file is opened afresh for each application
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        test::writeFile(imagePath, original);
        Result<RomFile> fresh = RomFile::open(imagePath);
        check(fresh.ok(), "the image could not be opened");
        FaultPlan plan{.at = FaultPlan::kNever};
        const auto start = std::chrono::steady_clock::now();
        {
            ScopedFaultPlan scoped(plan);
            Result<PatchResult> applied = patchFileFor(*fresh, patchPath);
            check(applied.ok() && fresh->apply(applied->edit).ok(), "the patch was not written");
        }
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        times.push_back(took.count());
        figures.writeCalls = plan.count(FileCall::Pwrite) + plan.count(FileCall::Write);
    }
    std::sort(times.begin(), times.end());
    figures.applyMs = times[kRuns / 2];
    check(test::readFile(imagePath) == edited, "the patched image is not the edited one");
    return figures;
}

int writeImages(const std::string& folder, const Bytes& original) {
    int n = 0;
    for (test::EditShape shape : test::kEditShapes) {
        const std::string stem = folder + "/" + std::to_string(++n);
        test::writeFile(stem + "-original.sfc", original);
        test::writeFile(stem + "-edited.sfc", test::shapedEdit(shape, original));
        std::printf("%d %s\n", n, test::shapeName(shape));
    }
    return 0;
}

}  // namespace
}  // namespace slamwise

int main(int argc, char** argv) {
    using namespace slamwise;
    const Bytes original = test::Image({.size = kImageSize, .seed = 23}).bytes();
    if (argc == 3 && std::string(argv[1]) == "--write") {
        return writeImages(argv[2], original);
    }
    test::TempDir dir;
    std::printf("%-24s %8s %8s %9s %9s %9s %8s %11s %7s\n", "edit", "changed", "BPS", "create ms",
                "apply ms", "dry ms", "ranges", "legacy ms", "writes");
    for (test::EditShape shape : test::kEditShapes) {
        const Figures f = measure(dir, shape, original);
        std::printf("%-24s %8zu %8zu %9.1f %9.1f %9.1f %8zu %11.1f %7ld\n", test::shapeName(shape),
                    f.changed, f.patchSize, f.createMs, f.applyMs, f.dryRunMs, f.ranges, f.legacyMs,
                    f.writeCalls);
    }
    return 0;
}
