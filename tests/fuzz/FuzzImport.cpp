// Fuzzing of the import files: the input is the text of a players file and of a rosters file, in
// the format this harness is built for (SLAMWISE_FUZZ_JSON: JSON, else CSV). It is read and checked
// against two synthetic images, one with the visual data in each layout, opened for reading only.
// Whatever the text, the result is an edit or problems, never a crash; an edit stays inside the
// fields its rows may change, and every problem names its file.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "player/PlayerEdit.h"
#include "player/Relocation.h"
#include "roster/RosterTable.h"
#include "tests/support/ImageBuilder.h"
#include "tools/Commands.h"

namespace slamwise {
namespace {

#ifdef SLAMWISE_FUZZ_JSON
constexpr cli::TableFormat kFormat = cli::TableFormat::Json;
#else
constexpr cli::TableFormat kFormat = cli::TableFormat::Csv;
#endif
constexpr const char* kFileName = "import";

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what.c_str());
    std::abort();
}

// The two images, written once and opened for reading: nothing the harness does can write.
struct Images {
    test::TempDir dir;
    std::vector<OpenedImage> opened;

    Images() {
        test::Image standard({.seed = 11});
        test::Image relocated({.seed = 12});
        relocated.at(kMarkerA) = 0;
        relocated.at(kMarkerB) = 0;
        for (const auto& [source, name] :
             {std::pair{&standard, "standard.sfc"}, std::pair{&relocated, "relocated.sfc"}}) {
            Result<OpenedImage> image =
                OpenedImage::open(source->writeTo(dir.file(name)), RomFile::Access::ReadOnly);
            if (!image) {
                fail(image.error());
            }
            opened.push_back(std::move(image).value());
        }
    }
};

// Whether a player save may write the byte: a field of an actual record, or a rating of a visual
// record of the layout in use.
bool playerField(std::uint32_t offset, VisualLayout layout) {
    if (offset >= kActualTable && offset < actualOffset(kPlayerCount)) {
        const std::uint32_t field = (offset - kActualTable) % kActualStride;
        return field >= kHeightField && field <= kSkinField + 1 && field != kHeightField + 1 &&
               field != kDunkField + 1 && field != kBlockField + 1 && field != kStealField + 1 &&
               field != kPassField + 1 && field != kPowerField + 1 && field != kClutchField + 1;
    }
    const std::uint32_t visual = visualOffset(layout, 0);
    return offset >= visual && offset < visualOffset(layout, kPlayerCount) &&
           hasVisualRecord(layout, static_cast<int>((offset - visual) / kVisualStride)) &&
           (offset - visual) % kVisualRatingStep == 0;
}

// A roster save writes Position #1 and Position #2 of a slot.
bool rosterField(std::uint32_t offset, VisualLayout) {
    const std::uint32_t end = kRosterTable + kRosterTeamSize * kRosterTeamCount;
    return offset >= kRosterTable && offset < end &&
           ((offset - kRosterTable) % kRosterSlotSize == kSlotPosition1 ||
            (offset - kRosterTable) % kRosterSlotSize == kSlotPosition2);
}

void check(const cli::Import& import, const OpenedImage& image,
           bool (*mayWrite)(std::uint32_t, VisualLayout)) {
    for (const std::string& problem : import.problems) {
        if (!problem.starts_with(kFileName)) {
            fail("a problem that does not name the file: " + problem);
        }
    }
    for (const Edit::Write& write : import.edit.writes()) {
        for (std::uint32_t i = 0; i < write.bytes.size(); ++i) {
            if (!mayWrite(write.offset + i, image.visualLayout())) {
                fail("an import would write at " + hexOffset(write.offset + i));
            }
        }
    }
}

}  // namespace
}  // namespace slamwise

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace slamwise;
    static Images images;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const OpenedImage& image : images.opened) {
        check(cli::importPlayerRows(
                  image, cli::parseTable(text, kFormat, kFileName, cli::playerColumns())),
              image, playerField);
        check(cli::importRosterRows(
                  image, cli::parseTable(text, kFormat, kFileName, cli::rosterColumns())),
              image, rosterField);
    }
    return 0;
}
