// Every writing action and every undo, with each of its file operations going wrong in turn,
// leaves the image either exactly as it was or (after a crash and the next opening) exactly as
// the completed action makes it. Undo and redo write back exactly the bytes of the action.
#include <filesystem>

#include <gtest/gtest.h>

#include "patch/PatchFile.h"
#include "storage/FaultInjection.h"
#include "storage/History.h"
#include "storage/RomFile.h"
#include "tests/support/Actions.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Mode = FaultPlan::Mode;
using test::Action;
using test::readFile;
using test::writeFile;

// Persistent: a device gone away or a disk full, every later operation failing too.
const FaultPlan kFaults[] = {{Mode::Fail, 1, EIO},
                             {Mode::ShortWrite, 1, ENOSPC},
                             {Mode::Fail, 1, EIO, true},
                             {Mode::ShortWrite, 1, ENOSPC, true},
                             {Mode::Crash},
                             {Mode::CrashMidWrite}};
// What became of the action in the child process that ran it.
enum Outcome { kNotMet = 0, kSucceeded, kFailed, kWrong };

class AllOrNothing : public ::testing::Test {
  protected:
    bool leftovers() const {
        const std::string journal = RomFile::journalPathFor(path_);
        return std::filesystem::exists(journal) || std::filesystem::exists(journal + ".tmp");
    }
    Result<RomFile> fresh() {
        writeFile(path_, before_);
        return RomFile::open(path_);
    }

    // Operation n goes wrong, for n = 1, 2, ... until the action no longer meets the fault.
    void expectAllOrNothing(const Action& action, const FaultPlan& fault) {
        Result<RomFile> rom = fresh();
        ASSERT_TRUE(rom && action.perform(*rom)) << action.name;
        rom = Status::failure("closed");
        const Bytes after = readFile(path_);
        ASSERT_NE(after, before_);
        const bool crash = fault.mode == Mode::Crash || fault.mode == Mode::CrashMidWrite;
        bool undoneAtOpening = false;
        for (long n = 1; n < 100000; ++n) {
            const int outcome = test::inChild([&] {
                Result<RomFile> rom = fresh();
                FaultPlan plan{fault.mode, n, fault.error, fault.persistent};
                ScopedFaultPlan scoped(plan);
                const Status status = action.perform(*rom);
                if (status) {
                    // Only a short write completed by a second one, or a fault after the journal
                    // is gone (the folder's sync), lets it succeed.
                    return !plan.fired ? kNotMet
                           : (fault.mode == Mode::ShortWrite && !fault.persistent) ||
                                   n >= plan.operations - 1
                               ? kSucceeded
                               : kWrong;
                }
                // Undone at once; or, the undo failing too, left to the next opening.
                if (!leftovers()) {
                    return readFile(path_) == before_ ? kFailed : kWrong;
                }
                return fault.persistent &&
                               (status.message().find("next time") != std::string::npos ||
                                status.message().starts_with("Nothing was written"))
                           ? kFailed
                           : kWrong;
            });
            SCOPED_TRACE(action.name + ", fault at operation " + std::to_string(n));
            ASSERT_TRUE(outcome == kNotMet ||
                        outcome == (crash ? FaultPlan::kCrashExitCode : kFailed) ||
                        (outcome == kSucceeded && !crash))
                << outcome;
            Result<RomFile> reopened = RomFile::open(path_);
            ASSERT_TRUE(reopened) << reopened.error();
            undoneAtOpening = undoneAtOpening || !reopened->openingNotice().empty();
            const Bytes now = readFile(path_);
            EXPECT_TRUE(crash && outcome != kNotMet
                            ? now == before_ || now == after
                            : now == (outcome == kFailed ? before_ : after));
            EXPECT_FALSE(leftovers());
            if (outcome == kNotMet) {
                EXPECT_TRUE(undoneAtOpening || !crash);
                return;
            }
        }
        FAIL() << action.name << " never completed";
    }

    test::TempDir dir_;
    std::string path_ = dir_.file("game.sfc");
    Bytes before_ = test::Image().bytes();
};

TEST_F(AllOrNothing, EveryActionSurvivesEachFailingOperationAndEachCrash) {
    for (const Action& action : test::representativeActions()) {
        for (const FaultPlan& fault : kFaults) {
            expectAllOrNothing(action, fault);
        }
    }
}

// Undo gives back exactly the bytes before the action and redo the bytes after; the undo
// survives failures and crashes like any change, on an image with a copier header too.
TEST_F(AllOrNothing, UndoAndRedoOfEveryActionOnAnImageWithACopierHeader) {
    const Bytes original = test::Image({.copierHeader = true}).bytes();
    for (const Action& action : test::representativeActions()) {
        before_ = original;
        History history;
        {
            Result<RomFile> rom = fresh();
            Edit edit;
            std::vector<JournalRange> written;
            ASSERT_TRUE(action.build(*rom, edit) && rom->apply(edit, &written));
            history.record("action", written);
        }
        before_ = readFile(path_);
        const Action undo{"undo of " + action.name, {}, [history](RomFile& rom) {
                              History copy = history;
                              return copy.undo(rom);
                          }};
        for (const FaultPlan& fault : {kFaults[0], kFaults[2], kFaults[5]}) {
            expectAllOrNothing(undo, fault);
        }
        Result<RomFile> rom = fresh();
        ASSERT_TRUE(history.undo(*rom));
        EXPECT_EQ(readFile(path_), original);
        ASSERT_TRUE(history.redo(*rom));
        EXPECT_EQ(readFile(path_), before_);
    }
}

// A patch written with each file operation failing or crashing in turn: the file holds the old
// patch or the new one, never a part, and the next write of the same patch leaves no temporary
// file behind.
TEST_F(AllOrNothing, PatchFiles) {
    const std::string patch = dir_.file("edit.ips");
    const Bytes oldPatch = {'P', 'A', 'T', 'C', 'H', 'E', 'O', 'F'};
    const Bytes newPatch(5000, 0x42);
    for (const FaultPlan& fault : kFaults) {
        for (long n = 1, outcome = kFailed; outcome != kNotMet; ++n) {
            SCOPED_TRACE(testing::Message() << "mode " << int(fault.mode) << ", operation " << n);
            writeFile(patch, oldPatch);
            outcome = test::inChild([&] {
                FaultPlan plan{fault.mode, n, fault.error, fault.persistent};
                ScopedFaultPlan scoped(plan);
                const bool written = writePatchFile(patch, newPatch, {}).ok();
                return !plan.fired ? kNotMet : written ? kSucceeded : kFailed;
            });
            const Bytes now = readFile(patch);
            EXPECT_TRUE(now == oldPatch || now == newPatch) << outcome;
            ASSERT_TRUE(writePatchFile(patch, newPatch, {}));
            EXPECT_EQ(readFile(patch), newPatch);
            EXPECT_FALSE(std::filesystem::exists(patch + ".tmp"));
        }
    }
}

}  // namespace
}  // namespace slamwise
