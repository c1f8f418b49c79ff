// Every writing action, interrupted at each of its file operations in turn, leaves the image
// either exactly as it was or (after a crash and the next opening) exactly as the completed
// action makes it.
#include <filesystem>

#include <gtest/gtest.h>

#include "rom/FaultInjection.h"
#include "rom/History.h"
#include "rom/RomFile.h"
#include "tests/support/Actions.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::Action;
using test::changedOffsets;
using test::Image;
using test::ImageOptions;
using test::readFile;
using test::TempDir;
using test::writeFile;

constexpr long kOperationLimit = 100000;  // no action comes near this many file operations
const std::vector<std::uint32_t> kNoChange;

class AllOrNothing : public ::testing::Test {
  protected:
    void prepare(const ImageOptions& wanted = {}) {
        Image image(wanted);
        headerSize_ = image.headerSize();
        before_ = image.bytes();
        path_ = dir_.file("game.sfc");
        writeFile(path_, before_);
    }

    // The file after the action ran without any fault.
    std::vector<std::uint8_t> afterImage(const Action& action) {
        writeFile(path_, before_);
        {
            Result<RomFile> rom = RomFile::open(path_);
            EXPECT_TRUE(rom) << rom.error();
            Status status = action.perform(*rom);
            EXPECT_TRUE(status) << action.name << ": " << status.message();
        }
        std::vector<std::uint8_t> after = readFile(path_);
        EXPECT_NE(changedOffsets(before_, after, headerSize_), kNoChange) << action.name;
        writeFile(path_, before_);
        return after;
    }

    // Compares whole images; only a difference is worth the cost of listing the offsets.
    void expectUnchanged() const {
        std::vector<std::uint8_t> now = readFile(path_);
        if (now != before_) {
            ADD_FAILURE() << "changed: " << ::testing::PrintToString(changedOffsets(before_, now));
        }
    }

    bool leftovers() const {
        return std::filesystem::exists(RomFile::journalPathFor(path_)) ||
               std::filesystem::exists(RomFile::journalPathFor(path_) + ".tmp");
    }

    // Runs the action once for every operation number, that operation going wrong as the
    // plan's mode says, until the action gets through without meeting the fault.
    void expectAllOrNothing(const Action& action, FaultPlan::Mode mode, int error,
                            bool persistent) {
        const std::vector<std::uint8_t> after = afterImage(action);
        for (long n = 1; n < kOperationLimit; ++n) {
            writeFile(path_, before_);
            FaultPlan plan{mode, n, error, persistent};
            Status status;
            {
                Result<RomFile> rom = RomFile::open(path_);
                ASSERT_TRUE(rom) << rom.error();
                ScopedFaultPlan scoped(plan);
                status = action.perform(*rom);
            }
            SCOPED_TRACE(action.name + ", fault at operation " + std::to_string(n) + ": " +
                         status.message());
            if (!plan.fired) {
                ASSERT_TRUE(status);
                EXPECT_EQ(readFile(path_), after);
                EXPECT_FALSE(leftovers());
                return;
            }
            if (status) {
                // Only a write cut short and then completed by a second write may succeed, or a
                // fault in the last step (opening and syncing the folder after the journal is
                // gone), when the change is already complete.
                bool lastStep = n >= plan.operations - 1;
                ASSERT_TRUE((mode == FaultPlan::Mode::ShortWrite && !persistent) || lastStep);
                EXPECT_EQ(readFile(path_), after);
                EXPECT_FALSE(leftovers());
                continue;
            }
            if (!persistent) {
                expectUnchanged();
                EXPECT_FALSE(leftovers());
                continue;
            }
            // The failure went on during the undo, or while the journal was being removed: the
            // next opening finishes the undo.
            bool journalKept = std::filesystem::exists(RomFile::journalPathFor(path_));
            if (journalKept) {
                EXPECT_TRUE(status.message().find("next time") != std::string::npos ||
                            status.message().starts_with("Nothing was written"));
            } else {
                expectUnchanged();
            }
            Result<RomFile> reopened = RomFile::open(path_);
            ASSERT_TRUE(reopened) << reopened.error();
            expectUnchanged();
            EXPECT_FALSE(leftovers());
        }
        FAIL() << action.name << " never completed";
    }

    // Runs the action in a child process that ends abruptly at its n-th operation, for every n;
    // the next opening must show the image as before or as after the action.
    void expectBeforeOrAfterCrash(const Action& action, FaultPlan::Mode mode) {
        const std::vector<std::uint8_t> after = afterImage(action);
        int undone = 0;
        for (long n = 1; n < kOperationLimit; ++n) {
            writeFile(path_, before_);
            int status = test::inChild([&] {
                Result<RomFile> rom = RomFile::open(path_);
                if (!rom) {
                    return 2;
                }
                FaultPlan plan{mode, n};
                ScopedFaultPlan scoped(plan);
                return action.perform(*rom) ? 0 : 1;
            });
            SCOPED_TRACE(action.name + ", crash at operation " + std::to_string(n));
            if (status == 0) {
                EXPECT_EQ(readFile(path_), after);
                EXPECT_FALSE(leftovers());
                EXPECT_GT(undone, 0);
                return;
            }
            ASSERT_EQ(status, FaultPlan::kCrashExitCode);
            Result<RomFile> reopened = RomFile::open(path_);
            ASSERT_TRUE(reopened) << reopened.error();
            std::vector<std::uint8_t> now = readFile(path_);
            EXPECT_TRUE(now == before_ || now == after)
                << "changed: " << changedOffsets(before_, now, headerSize_).size() << " bytes";
            EXPECT_FALSE(leftovers());
            if (!reopened->openingNotice().empty()) {
                ++undone;
            }
        }
        FAIL() << action.name << " never completed";
    }

    // The undo of the action: the image as the action leaves it, and a history holding the action.
    Action undoOf(const Action& action) {
        writeFile(path_, before_);
        std::vector<JournalRange> written;
        {
            Result<RomFile> rom = RomFile::open(path_);
            Result<Edit> edit = action.build(*rom);
            EXPECT_TRUE(rom->apply(*edit, {}, &written));
        }
        before_ = readFile(path_);
        Action undo;
        undo.name = "undo of " + action.name;
        undo.run = [written](RomFile& rom) {
            History history;
            history.record("action", written);
            return history.undo(rom);
        };
        return undo;
    }

    TempDir dir_;
    std::string path_;
    std::vector<std::uint8_t> before_;
    std::size_t headerSize_ = 0;
};

TEST_F(AllOrNothing, EveryActionSurvivesEachFailingOperation) {
    prepare();
    for (const Action& action : test::representativeActions()) {
        expectAllOrNothing(action, FaultPlan::Mode::Fail, EIO, false);
        expectAllOrNothing(action, FaultPlan::Mode::Fail, ENOSPC, false);
    }
}

TEST_F(AllOrNothing, EveryActionSurvivesAShortWrite) {
    prepare();
    for (const Action& action : test::representativeActions()) {
        expectAllOrNothing(action, FaultPlan::Mode::ShortWrite, ENOSPC, false);
    }
}

TEST_F(AllOrNothing, EveryActionSurvivesADeviceThatFailsFromSomePointOn) {
    prepare();
    for (const Action& action : test::representativeActions()) {
        expectAllOrNothing(action, FaultPlan::Mode::Fail, EIO, true);
        expectAllOrNothing(action, FaultPlan::Mode::ShortWrite, ENOSPC, true);
    }
}

TEST_F(AllOrNothing, EveryActionSurvivesACrashAtEachOperation) {
    prepare();
    for (const Action& action : test::representativeActions()) {
        expectBeforeOrAfterCrash(action, FaultPlan::Mode::Crash);
        expectBeforeOrAfterCrash(action, FaultPlan::Mode::CrashMidWrite);
    }
}

TEST_F(AllOrNothing, EveryUndoSurvivesFailuresAndCrashes) {
    for (const Action& action : test::representativeActions()) {
        prepare();
        const Action undo = undoOf(action);
        expectAllOrNothing(undo, FaultPlan::Mode::Fail, EIO, false);
        expectAllOrNothing(undo, FaultPlan::Mode::Fail, EIO, true);
        expectBeforeOrAfterCrash(undo, FaultPlan::Mode::CrashMidWrite);
    }
}

TEST_F(AllOrNothing, ImagesWithACopierHeaderSurviveCrashesAndFaults) {
    prepare({.copierHeader = true});
    Action action = test::representativeActions().front();
    expectBeforeOrAfterCrash(action, FaultPlan::Mode::CrashMidWrite);
    expectAllOrNothing(action, FaultPlan::Mode::Fail, EIO, true);
}

// The property behind every action: whatever it writes lies inside its own fields, on images
// of every release, with and without a copier header, whatever came before.
TEST(WriteRegions, EveryChangedByteLiesInsideTheFieldsOfTheAction) {
    constexpr int kImages = 5;
    constexpr int kActionsPerImage = 40;
    const Release releases[] = {Release::NorthAmerica, Release::Japan, Release::Europe,
                                Release::Beta, Release::OldSchool};
    for (int seed = 1; seed <= kImages; ++seed) {
        TempDir dir;
        Image image({.release = releases[seed % 5],
                     .copierHeader = seed % 2 == 0,
                     .seed = static_cast<std::uint32_t>(seed)});
        std::string path = image.writeTo(dir.file("game.smc"));
        Result<RomFile> rom = RomFile::open(path);
        ASSERT_TRUE(rom) << rom.error();
        std::mt19937 random(static_cast<std::uint32_t>(seed));
        for (int step = 0; step < kActionsPerImage; ++step) {
            Action action = test::randomAction(random);
            std::vector<std::uint8_t> before = readFile(path);
            Status status = action.perform(*rom);
            ASSERT_TRUE(status) << action.name << ": " << status.message();
            std::vector<std::uint8_t> after = readFile(path);
            ASSERT_EQ(after.size(), before.size());
            EXPECT_TRUE(
                std::equal(before.begin(), before.begin() + image.headerSize(), after.begin()))
                << "copier header changed by " << action.name;
            for (std::uint32_t offset : changedOffsets(before, after, image.headerSize())) {
                EXPECT_TRUE(test::inside(action.mayWrite, offset))
                    << action.name << " changed " << hexOffset(offset) << " (image " << seed
                    << ", step " << step << ")";
            }
        }
    }
}

}  // namespace
}  // namespace slamwise
