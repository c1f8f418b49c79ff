// Records and tables are read whole, one read of the file each; what lies past the end of a
// short file reads as zeros.
#include <gtest/gtest.h>

#include <functional>

#include "cheats/CheatBytes.h"
#include "player/ActualTable.h"
#include "player/Relocation.h"
#include "player/VisualTable.h"
#include "rom/FaultInjection.h"
#include "rom/Identify.h"
#include "roster/RosterTable.h"
#include "tests/support/CliRunner.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::Image;
using test::TempDir;

// The reads of the file that `body` makes.
long readsOf(const std::function<bool()>& body) {
    FaultPlan plan{.at = FaultPlan::kNever};
    ScopedFaultPlan scoped(plan);
    EXPECT_TRUE(body());
    return plan.count(FileCall::Pread);
}

TEST(RecordReads, EachRecordAndTableIsOneRead) {
    TempDir dir;
    Result<RomFile> rom = RomFile::open(Image().writeTo(dir.file("game.sfc")));
    ASSERT_TRUE(rom) << rom.error();
    const VisualLayout standard = VisualLayout::Standard, relocated = VisualLayout::Relocated;
    const std::pair<const char*, std::function<bool()>> reads[] = {
        {"actual record", [&] { return readPlayerRecord(*rom, 168).ok(); }},
        {"actual table", [&] { return readPlayerRecords(*rom).ok(); }},
        {"visual record", [&] { return readVisualRatings(*rom, standard, 127).ok(); }},
        {"standard visual table", [&] { return readVisualTable(*rom, standard).ok(); }},
        {"relocated visual table", [&] { return readVisualTable(*rom, relocated).ok(); }},
        {"roster slot", [&] { return readSlot(*rom, 28, 19).ok(); }},
        {"roster table", [&] { return readRosterTable(*rom).ok(); }},
        {"cheat bytes", [&] { return readCheatBytes(*rom).ok(); }},
    };
    for (const auto& [name, read] : reads) {
        EXPECT_EQ(readsOf(read), 1) << name;
    }
    // Showing a player in the window; exporting every player from the command line.
    EXPECT_LE(readsOf([&] {
                  return readPlayerRecord(*rom, 5).ok() &&
                         readVisualRatings(*rom, standard, 5).ok();
              }),
              4);
    EXPECT_LE(readsOf([&] {
                  return test::runCli({"players", "export", rom->path()}).code == 0;
              }),
              20);
}

// The tables hold what the record readers read, also in a file that ends inside the tables.
TEST(RecordReads, TablesHoldTheRecords) {
    const std::size_t shortSize = actualOffset(100) + 7;
    for (std::size_t size : {std::size_t{2} * 1024 * 1024, shortSize}) {
        TempDir dir;
        Result<RomFile> rom = RomFile::open(Image({.size = size}).writeTo(dir.file("game.sfc")));
        ASSERT_TRUE(rom) << rom.error();
        Result<std::vector<PlayerRecord>> actual = readPlayerRecords(*rom);
        ASSERT_TRUE(actual);
        ASSERT_EQ(actual->size(), 169u);
        for (int player = 0; player < 169; ++player) {
            EXPECT_EQ((*actual)[player], readPlayerRecord(*rom, player).value()) << player;
        }
        if (size == shortSize) {
            EXPECT_EQ(actual->back(), PlayerRecord{}) << "past the end of the file";
        }
        for (VisualLayout layout : {VisualLayout::Standard, VisualLayout::Relocated}) {
            Result<std::vector<VisualRatings>> visual = readVisualTable(*rom, layout);
            ASSERT_TRUE(visual);
            ASSERT_EQ(visual->size(), layout == VisualLayout::Standard ? 128u : 169u);
            for (std::size_t player = 0; player < visual->size(); ++player) {
                EXPECT_EQ((*visual)[player],
                          readVisualRatings(*rom, layout, static_cast<int>(player)).value());
            }
        }
        Result<std::vector<RosterTeam>> rosters = readRosterTable(*rom);
        ASSERT_TRUE(rosters);
        ASSERT_EQ(rosters->size(), 29u);
        for (int team = 0; team < 29; ++team) {
            for (int slot = 0; slot < 20; ++slot) {
                EXPECT_EQ((*rosters)[team][slot], readSlot(*rom, team, slot).value());
            }
        }
    }
}

}  // namespace
}  // namespace slamwise
