#include "rom/RomFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "rom/FaultInjection.h"
#include "rom/Journal.h"
#include "tests/support/Actions.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::Image;
using test::readFile;
using test::TempDir;
using test::writeFile;

constexpr std::uint32_t kFirstField = 0x179C4;  // any two places of a 2 MiB image
constexpr std::uint32_t kSecondField = 0x1FB8CF;
const std::vector<std::uint32_t> kNoChange;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

Edit twoFieldEdit() {
    Edit edit;
    edit.put8(kFirstField, 0x5A);
    edit.put16(kSecondField, 0xA55A);
    return edit;
}

class RomFileJournalTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_.file("game.sfc");
        before_ = Image().bytes();
        writeFile(path_, before_);
    }

    Result<RomFile> open(RomFile::Access access = RomFile::Access::ReadWrite) {
        return RomFile::open(path_, access);
    }

    std::string journalPath() const { return RomFile::journalPathFor(path_); }
    bool journalExists() const { return std::filesystem::exists(journalPath()); }

    // The journal an interrupted change would have left: the old bytes of both fields.
    Journal journalOfThisFile() const {
        struct stat info {};
        EXPECT_EQ(::stat(path_.c_str(), &info), 0);
        return {{info.st_dev, info.st_ino, static_cast<std::uint64_t>(info.st_size), 0},
                {{kFirstField, {before_[kFirstField]}, {0x5A}},
                 {kSecondField, {before_[kSecondField], before_[kSecondField + 1]}, {0x5A, 0xA5}}}};
    }

    // The file as an interrupted change leaves it: the first field new, its journal in place.
    std::vector<std::uint8_t> leaveInterruptedChange(const Journal& journal) {
        writeFile(journalPath(), encodeJournal(journal));
        std::vector<std::uint8_t> halfDone = before_;
        halfDone[kFirstField] = 0x5A;
        writeFile(path_, halfDone);
        return halfDone;
    }

    TempDir dir_;
    std::string path_;
    std::vector<std::uint8_t> before_;
};

TEST_F(RomFileJournalTest, ApplyWritesTheEditAndLeavesNoJournal) {
    Result<RomFile> rom = open();
    ASSERT_TRUE(rom) << rom.error();
    int calls = 0;
    ASSERT_TRUE(rom->apply(twoFieldEdit(), [&] { ++calls; }));
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(changedOffsets(before_, readFile(path_)),
              (std::vector<std::uint32_t>{kFirstField, kSecondField, kSecondField + 1}));
    EXPECT_FALSE(journalExists());
    // Its own writes do not count as changes by another program.
    Edit again;
    again.put8(kFirstField, 0x00);
    Status second = rom->apply(again);
    EXPECT_TRUE(second) << second.message();
}

// The journal and its name in the folder reach the disk before the first write to the image,
// and the image before the journal is removed.
TEST_F(RomFileJournalTest, ApplySyncsInOrder) {
    using enum FileCall;
    for (const test::Action& action : test::representativeActions()) {
        writeFile(path_, before_);
        Result<RomFile> rom = open();
        ASSERT_TRUE(rom) << rom.error();
        FaultPlan plan{.at = FaultPlan::kNever};
        {
            ScopedFaultPlan scoped(plan);
            ASSERT_TRUE(test::perform(action, *rom)) << action.name;
        }
        std::vector<FileCall> steps;  // the writes of the image taken as one step
        for (FileCall call : plan.calls) {
            if (call != Pread && call != Open && (call != Pwrite || steps.back() != Pwrite)) {
                steps.push_back(call);
            }
        }
        EXPECT_EQ(steps,
                  (std::vector{Write, Fsync, Rename, Fsync, Pwrite, Fdatasync, Unlink, Fsync}))
            << action.name;
    }
}

TEST_F(RomFileJournalTest, FailuresNameTheReasonAndSayWhatBecameOfTheFile) {
    Result<RomFile> rom = open();
    ASSERT_TRUE(rom);
    {
        // Operations: two reads, the journal (open, write, sync, rename, open and sync the
        // folder), then the two writes of the image.
        FaultPlan plan{FaultPlan::Mode::Fail, 4, ENOSPC};  // the journal's write
        ScopedFaultPlan scoped(plan);
        Status status = rom->apply(twoFieldEdit());
        EXPECT_TRUE(contains(status.message(), "Nothing was written")) << status.message();
        EXPECT_TRUE(contains(status.message(), "No space left on device")) << status.message();
    }
    {
        FaultPlan plan{FaultPlan::Mode::Fail, 10, EIO};  // the image's second write
        ScopedFaultPlan scoped(plan);
        Status status = rom->apply(twoFieldEdit());
        EXPECT_TRUE(contains(status.message(), "Input/output error")) << status.message();
        EXPECT_TRUE(contains(status.message(), "$1FB8CF")) << status.message();
        EXPECT_TRUE(contains(status.message(), "the file is as it was")) << status.message();
    }
    EXPECT_EQ(changedOffsets(before_, readFile(path_)), kNoChange);
    EXPECT_FALSE(journalExists());
}

TEST_F(RomFileJournalTest, LeftoverJournalOfThisFileIsUndoneAtOpening) {
    leaveInterruptedChange(journalOfThisFile());
    Result<RomFile> rom = open();
    ASSERT_TRUE(rom) << rom.error();
    EXPECT_TRUE(contains(rom->openingNotice(), "undone")) << rom->openingNotice();
    EXPECT_EQ(readFile(path_), before_);
    EXPECT_FALSE(journalExists());
    EXPECT_TRUE(rom->apply(twoFieldEdit()));
}

TEST_F(RomFileJournalTest, DamagedOrForeignJournalIsLeftAloneAndBlocksWriting) {
    std::vector<std::uint8_t> damaged = encodeJournal(journalOfThisFile());
    damaged[damaged.size() / 2] ^= 0x04;
    Journal foreign = journalOfThisFile();
    foreign.identity.inode += 1;
    struct Case {
        std::vector<std::uint8_t> journal;
        std::string notice;
    };
    for (const Case& c : {Case{damaged, "damaged"}, Case{encodeJournal(foreign), "another file"}}) {
        SCOPED_TRACE(c.notice);
        std::vector<std::uint8_t> halfDone = leaveInterruptedChange(journalOfThisFile());
        writeFile(journalPath(), c.journal);
        {
            Result<RomFile> rom = open();
            ASSERT_TRUE(rom) << rom.error();
            EXPECT_TRUE(contains(rom->openingNotice(), c.notice)) << rom->openingNotice();
            EXPECT_TRUE(contains(rom->openingNotice(), "move it away")) << rom->openingNotice();
            Status status = rom->apply(twoFieldEdit());
            EXPECT_TRUE(contains(status.message(), "Move it away")) << status.message();
        }
        EXPECT_EQ(readFile(path_), halfDone);
        EXPECT_EQ(readFile(journalPath()), c.journal);

        std::filesystem::rename(journalPath(), dir_.file("kept-journal"));
        Result<RomFile> rom = open();
        ASSERT_TRUE(rom);
        EXPECT_EQ(rom->openingNotice(), "");
        EXPECT_TRUE(rom->apply(twoFieldEdit()));
    }
}

// After the interruption the file was overwritten, in place, by another image: the old bytes
// would damage it.
TEST_F(RomFileJournalTest, JournalOfAFileChangedSinceIsLeftAlone) {
    std::vector<std::uint8_t> halfDone = leaveInterruptedChange(journalOfThisFile());
    halfDone[kSecondField] ^= 0xFF;  // neither the old byte nor the new one
    writeFile(path_, halfDone);
    {
        Result<RomFile> rom = open();
        ASSERT_TRUE(rom) << rom.error();
        EXPECT_TRUE(contains(rom->openingNotice(), "changed since")) << rom->openingNotice();
        EXPECT_FALSE(rom->apply(twoFieldEdit()));
    }
    EXPECT_EQ(readFile(path_), halfDone);
    EXPECT_TRUE(journalExists());
}

TEST_F(RomFileJournalTest, ReadOnlyOpeningNeverUndoesAJournal) {
    std::vector<std::uint8_t> halfDone = leaveInterruptedChange(journalOfThisFile());
    Result<RomFile> readOnly = open(RomFile::Access::ReadOnly);
    ASSERT_FALSE(readOnly);
    EXPECT_TRUE(contains(readOnly.error(), journalPath())) << readOnly.error();
    EXPECT_EQ(readFile(path_), halfDone);
    EXPECT_TRUE(journalExists());
    ASSERT_TRUE(open());
    EXPECT_TRUE(open(RomFile::Access::ReadOnly));
    EXPECT_EQ(readFile(path_), before_);
}

// Opening with the undo failing, or the program ending, at each of its operations in turn: the
// journal is kept as it was and the file holds only its old bytes and bytes of the change (as
// it was when the undo never began), the user is told, and the next opening finishes the undo.
TEST_F(RomFileJournalTest, UndoAtOpeningSurvivesEachFailingOperation) {
    const std::vector<std::uint8_t> journal = encodeJournal(journalOfThisFile());
    struct Case {
        FaultPlan::Mode mode;
        int error;
        bool persistent;
    };
    const Case cases[] = {{FaultPlan::Mode::Fail, EIO, false},
                          {FaultPlan::Mode::Fail, EIO, true},
                          {FaultPlan::Mode::ShortWrite, ENOSPC, true},
                          {FaultPlan::Mode::Crash, 0, false},
                          {FaultPlan::Mode::CrashMidWrite, 0, false}};
    for (const Case& c : cases) {
        const bool crash =
            c.mode == FaultPlan::Mode::Crash || c.mode == FaultPlan::Mode::CrashMidWrite;
        for (long n = 1;; ++n) {
            SCOPED_TRACE("mode " + std::to_string(static_cast<int>(c.mode)) + ", operation " +
                         std::to_string(n));
            const std::vector<std::uint8_t> halfDone = leaveInterruptedChange(journalOfThisFile());
            FaultPlan plan{c.mode, n, c.error, c.persistent};
            bool reached = false;
            if (crash) {
                int status = test::inChild([&] {
                    ScopedFaultPlan scoped(plan);
                    return open() ? 0 : 1;
                });
                ASSERT_TRUE(status == 0 || status == FaultPlan::kCrashExitCode) << status;
                reached = status != 0;
            } else {
                ScopedFaultPlan scoped(plan);
                Result<RomFile> rom = open();
                reached = plan.fired;
                const std::string told = rom ? rom->openingNotice() : rom.error();
                std::vector<std::uint8_t> now = readFile(path_);
                if (contains(told, "has been undone")) {
                    EXPECT_EQ(now, before_);
                    EXPECT_FALSE(journalExists());
                } else {
                    EXPECT_FALSE(told.empty());
                    EXPECT_EQ(readFile(journalPath()), journal);
                    // Opened without the undo: the journal was not used and nothing was touched.
                    EXPECT_TRUE(now == halfDone || (!rom && now == before_));
                }
            }
            if (journalExists()) {
                EXPECT_EQ(readFile(journalPath()), journal);
            }
            Result<RomFile> rom = open();
            ASSERT_TRUE(rom) << rom.error();
            EXPECT_EQ(readFile(path_), before_);
            EXPECT_FALSE(journalExists());
            if (!reached) {
                break;
            }
        }
    }
}

TEST_F(RomFileJournalTest, ChangesByOthersStopTheNextAction) {
    const std::vector<std::uint8_t> otherContent = Image({.seed = 99}).bytes();
    struct Case {
        std::string name;
        std::function<void()> change;
        std::string message;
    };
    const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
    std::vector<Case> cases = {
        {"rewritten in place",
         [&] {
             writeFile(path_, otherContent);
             ASSERT_EQ(::utimensat(AT_FDCWD, path_.c_str(), longAgo, 0), 0);
         },
         "was changed by another program"},
        {"replaced by a rename",
         [&] {
             writeFile(path_ + ".new", otherContent);
             std::filesystem::rename(path_ + ".new", path_);
         },
         "was replaced by another file"},
        {"deleted", [&] { std::filesystem::remove(path_); }, "was deleted, renamed or moved"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(path_, before_);
        Result<RomFile> rom = open();
        ASSERT_TRUE(rom);
        c.change();
        for (const test::Action& action : test::representativeActions()) {
            Status status = test::perform(action, *rom);
            EXPECT_TRUE(contains(status.message(), c.message)) << status.message();
            EXPECT_TRUE(contains(status.message(), "Nothing was written")) << status.message();
        }
        if (std::filesystem::exists(path_)) {
            EXPECT_EQ(readFile(path_), otherContent);
        } else {
            EXPECT_FALSE(std::filesystem::exists(path_));
        }
        EXPECT_FALSE(journalExists());
    }
}

TEST_F(RomFileJournalTest, OnlyOneWriterAtATime) {
    Result<RomFile> first = open();
    ASSERT_TRUE(first);
    Result<RomFile> second = open();
    ASSERT_FALSE(second);
    EXPECT_TRUE(contains(second.error(), "already open in another window or program"))
        << second.error();
    EXPECT_TRUE(contains(second.error(), path_)) << second.error();
    EXPECT_TRUE(open(RomFile::Access::ReadOnly)) << "readers are let in";
    EXPECT_TRUE(first->apply(twoFieldEdit()));

    first = Status::failure("closed");
    EXPECT_TRUE(open());
}

// Creating the journal fails in a folder the user may not write to, so nothing is written.
// Root may write anywhere, so as root the attempt runs in a child as an ordinary user.
TEST_F(RomFileJournalTest, ReadOnlyFolderMeansNothingIsWritten) {
    const std::string folder = dir_.file("locked");
    std::filesystem::create_directory(folder);
    path_ = folder + "/game.sfc";
    writeFile(path_, before_);
    ASSERT_EQ(::chmod(path_.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

    enum Outcome { kRefusedAsExpected = 0, kNotOpened, kWritten, kOtherMessage };
    auto attempt = [&]() -> int {
        Result<RomFile> rom = open();
        if (!rom) {
            return kNotOpened;
        }
        Status status = rom->apply(twoFieldEdit());
        if (status) {
            return kWritten;
        }
        return contains(status.message(), "Nothing was written") &&
                       contains(status.message(), "Permission denied")
                   ? kRefusedAsExpected
                   : kOtherMessage;
    };
    int outcome = kNotOpened;
    if (::geteuid() != 0) {
        outcome = attempt();
    } else {
        constexpr uid_t kNobody = 65534;
        outcome = test::inChild(
            [&] { return ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 ? 100 : attempt(); });
    }
    EXPECT_EQ(outcome, kRefusedAsExpected);
    EXPECT_EQ(readFile(path_), before_);
    EXPECT_FALSE(journalExists());
}

TEST_F(RomFileJournalTest, ShortFilesReadZerosAndAreNeverWritten) {
    const std::vector<std::uint8_t> shortFile(1024, 0x77);
    writeFile(path_, shortFile);
    Result<RomFile> rom = open();
    ASSERT_TRUE(rom);
    EXPECT_EQ(rom->read8(1023).value(), 0x77);
    EXPECT_EQ(rom->read16(1023).value(), 0x0077);
    EXPECT_EQ(rom->read8(kSecondField).value(), 0);

    Edit partlyInside;
    partlyInside.put8(0x10, 0x01);
    partlyInside.put16(1023, 0x0101);
    Status status = rom->apply(partlyInside);
    EXPECT_TRUE(contains(status.message(), "$3FF")) << status.message();
    for (const test::Action& action : test::representativeActions()) {
        EXPECT_FALSE(test::perform(action, *rom)) << action.name;
    }
    EXPECT_EQ(readFile(path_), shortFile);
    EXPECT_FALSE(journalExists());

    rom = Status::failure("closed");
    writeFile(path_, {});
    Result<RomFile> empty = open();
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->read8(0).value(), 0);
}

}  // namespace
}  // namespace slamwise
