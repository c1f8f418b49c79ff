// The open image and the journal that makes every change all-or-nothing: sizes and the copier
// header, refusals, the writer lock, files changed under the program's feet, the journal's bytes,
// the syncs around it, and what opening does with a journal left beside the image.
#include "storage/RomFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "storage/FaultInjection.h"
#include "storage/Journal.h"
#include "tests/support/Actions.h"
#include "tests/support/ImageBuilder.h"
#include "tests/support/Unprivileged.h"

namespace slamwise {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::readFile;
using test::writeFile;

bool has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

Edit put(std::uint32_t offset, std::uint8_t value = 0x5A) {
    Edit edit;
    edit.put8(offset, value);
    return edit;
}

// A journal left by one version of the program is undone by the next: its bytes are fixed.
TEST(JournalFormat, BytesOnTheDiskAndEveryDamage) {
    const Journal journal{{0x102, 0x304, 0x200200, 512}, {{0x210, {0xAA, 0xBB}, {0xCC, 0xDD}}}};
    const Bytes bytes = {
        'S',  'L',  'W',  'J',  'R',  'N',  'L',  '1', 1, 0, 0, 0, 1, 0, 0, 0,  // version, ranges
        0x02, 0x01, 0,    0,    0,    0,    0,    0,   4, 3, 0, 0, 0, 0, 0, 0,  // device, inode
        0x00, 0x02, 0x20, 0,    0,    0,    0,    0,   0, 2, 0, 0, 0, 0, 0, 0,  // size, header, 0
        0x10, 0x02, 0,    0,    0,    0,    0,    0,   2, 0, 0, 0,              // offset, length
        0xAA, 0xBB, 0xCC, 0xDD,                                                 // old, new
        0x64, 0xBD, 0x3F, 0xBB, 0x54, 0x8D, 0xAA, 0xBA};  // FNV-1a 64 of all the bytes before
    EXPECT_EQ(encodeJournal(journal), bytes);
    EXPECT_EQ(decodeJournal(bytes), journal);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        Bytes damaged = bytes;
        damaged[i] ^= static_cast<std::uint8_t>(1 << i % 8);
        EXPECT_FALSE(decodeJournal(damaged)) << "flipped a bit of byte " << i;
        EXPECT_FALSE(decodeJournal(std::span(bytes).first(i))) << "cut to " << i;
    }
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_FALSE(decodeJournal(longer));
    Journal past = journal;  // the range's last byte lies past the recorded file size
    past.ranges[0].fileOffset = 0x2001FF;
    EXPECT_FALSE(decodeJournal(encodeJournal(past)));
}

class RomFileTest : public ::testing::Test {
  protected:
    static constexpr std::uint32_t kFirst = 0x179C4, kSecond = 0x1FB8CF;

    void SetUp() override { writeFile(path_, before_); }
    std::string journalPath() const { return RomFile::journalPathFor(path_); }
    bool journalThere() const { return std::filesystem::exists(journalPath()); }

    // The journal of a change to two places of this file.
    Journal ownJournal() const {
        struct stat info {};
        EXPECT_EQ(::stat(path_.c_str(), &info), 0);
        return {{info.st_dev, info.st_ino, before_.size(), 0},
                {{kFirst, {before_[kFirst]}, {0x5A}},
                 {kSecond, {before_[kSecond], before_[kSecond + 1]}, {0x5A, 0xA5}}}};
    }
    // The file as the change leaves it when interrupted after its first write.
    Bytes interrupt(const Bytes& journal) {
        writeFile(journalPath(), journal);
        Bytes halfDone = before_;
        halfDone[kFirst] = 0x5A;
        writeFile(path_, halfDone);
        return halfDone;
    }

    test::TempDir dir_;
    std::string path_ = dir_.file("game.sfc");
    Bytes before_ = test::Image().bytes();
};

// The journal's bytes and its name in the folder reach the disk before the first write to the
// image, the image before the journal is removed.
TEST_F(RomFileTest, ApplySyncsTheJournalFirstAndTheImageBeforeTheJournalGoes) {
    using enum FileCall;
    auto syncs = [](auto from, auto to) {
        return std::count(from, to, Fsync) + std::count(from, to, Fdatasync);
    };
    for (const test::Action& action : test::representativeActions()) {
        SCOPED_TRACE(action.name);
        writeFile(path_, before_);
        Result<RomFile> rom = RomFile::open(path_);
        ASSERT_TRUE(rom) << rom.error();
        FaultPlan plan{.at = FaultPlan::kNever};
        {
            ScopedFaultPlan scoped(plan);
            ASSERT_TRUE(action.perform(*rom));
        }
        const std::vector<FileCall>& calls = plan.calls;
        auto firstImageWrite = std::find(calls.begin(), calls.end(), Pwrite);
        auto afterJournal =
            std::find(std::make_reverse_iterator(firstImageWrite), calls.rend(), Write).base();
        auto afterImage = std::find(calls.rbegin(), calls.rend(), Pwrite).base();
        auto removal = std::find(afterImage, calls.end(), Unlink);
        ASSERT_TRUE(firstImageWrite != calls.end() && afterJournal != calls.begin());
        EXPECT_GE(syncs(afterJournal, firstImageWrite), 2);
        ASSERT_NE(removal, calls.end());
        EXPECT_GE(syncs(afterImage, removal), 1);
    }
}

// A journal of this file is undone at opening; a damaged or foreign journal, or one of a file
// changed since, is left alone and blocks writing. A read-only opening never undoes anything: it
// refuses while a journal that can be undone lies there, and tells one that cannot be used.
TEST_F(RomFileTest, LeftoverJournalAtOpening) {
    const Bytes own = encodeJournal(ownJournal());
    Bytes damaged = own;
    damaged[40] ^= 0x04;
    Journal other = ownJournal();
    other.identity.inode += 1;
    const Bytes foreign = encodeJournal(other);
    struct Case {
        const char* name;
        Bytes journal;
        bool changedSince, leftAlone;
        const char* notice;
    };
    const Case cases[] = {
        {"own", own, false, false,
         "was interrupted before it was complete (the program or the computer stopped). It has "
         "been undone: the file is as it was before that change."},
        {"damaged", damaged, false, true, "is damaged or unreadable, so it was not used."},
        {"foreign", foreign, false, true, "belongs to another file, so it was not used."},
        {"changed since", own, true, true, "has been changed since, so the journal was not used."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes halfDone = interrupt(c.journal);
        if (c.changedSince) {
            halfDone[kSecond] ^= 0xFF;  // neither the old byte nor the new one
            writeFile(path_, halfDone);
        }
        Result<RomFile> reader = RomFile::open(path_, RomFile::Access::ReadOnly);
        ASSERT_EQ(reader.ok(), c.leftAlone) << reader.error();
        EXPECT_TRUE(!reader || has(reader->journalUnusable().message(), c.notice));
        Result<RomFile> rom = RomFile::open(path_);
        ASSERT_TRUE(rom) << rom.error();
        EXPECT_TRUE(has(rom->openingNotice(), c.notice)) << rom->openingNotice();
        EXPECT_EQ(readFile(path_), c.leftAlone ? halfDone : before_);
        EXPECT_EQ(journalThere(), c.leftAlone);
        if (c.leftAlone) {
            EXPECT_EQ(readFile(journalPath()), c.journal);
            Status status = rom->apply(put(kFirst, 0x11));
            EXPECT_TRUE(has(status.message(), "Nothing was written")) << status.message();
            EXPECT_EQ(readFile(path_), halfDone);
        }
        std::filesystem::remove(journalPath());
        writeFile(path_, before_);
    }
}

// The undo at opening failing, or the program ending, at each of its operations in turn: the user
// is told, the journal stays as it was while the file holds only old bytes and bytes of the
// change, and the next opening finishes the undo.
TEST_F(RomFileTest, UndoAtOpeningSurvivesEachFailingOperation) {
    using Mode = FaultPlan::Mode;
    const Bytes journal = encodeJournal(ownJournal());
    const FaultPlan kinds[] = {{Mode::Fail, 1, EIO},
                               {Mode::Fail, 1, EIO, true},
                               {Mode::ShortWrite, 1, ENOSPC, true},
                               {Mode::Crash},
                               {Mode::CrashMidWrite}};
    for (const FaultPlan& kind : kinds) {
        for (long n = 1, outcome = 1; outcome != 0; ++n) {
            SCOPED_TRACE(testing::Message() << "mode " << int(kind.mode) << ", operation " << n);
            const Bytes halfDone = interrupt(journal);
            outcome = test::inChild([&] {  // 0: never met the fault, 1: as expected
                FaultPlan plan{kind.mode, n, kind.error, kind.persistent};
                ScopedFaultPlan scoped(plan);
                Result<RomFile> rom = RomFile::open(path_);
                const std::string told = rom ? rom->openingNotice() : rom.error();
                const Bytes now = readFile(path_);
                if (has(told, "has been undone")) {
                    return now == before_ && !journalThere() ? int{plan.fired} : 2;
                }
                return plan.fired && !told.empty() && readFile(journalPath()) == journal &&
                               (now == halfDone || (!rom && now == before_))
                           ? 1
                           : 2;
            });
            ASSERT_TRUE(outcome == 0 || outcome == 1 || outcome == FaultPlan::kCrashExitCode)
                << outcome;
            EXPECT_TRUE(!journalThere() || readFile(journalPath()) == journal);
            ASSERT_TRUE(RomFile::open(path_));
            EXPECT_EQ(readFile(path_), before_);
            EXPECT_FALSE(journalThere());
        }
    }
}

// Only a size of 512 bytes more than whole 32 KiB banks has a copier header: offsets start after
// it, and it gives no room. Bytes past the end read as zeros; an edit reaching past the end
// writes nothing at all. Sparse files past 4 GiB work the same.
TEST_F(RomFileTest, SizesAndTheCopierHeader) {
    const std::pair<std::uint64_t, bool> sizes[] = {
        {0, false},       {1, false},      {512, true},      {0x18000, false},
        {0x181FF, false}, {0x18200, true}, {0x18201, false}, {0x100008200, true}};
    for (const auto& [size, header] : sizes) {
        SCOPED_TRACE(size);
        writeFile(path_,
                  Bytes(before_.begin(), before_.begin() + std::min<std::uint64_t>(size, 0x18201)));
        ASSERT_EQ(::truncate(path_.c_str(), static_cast<off_t>(size)), 0);
        Result<RomFile> rom = RomFile::open(path_);
        ASSERT_TRUE(rom) << rom.error();
        EXPECT_EQ(rom->hasCopierHeader(), header);
        const std::uint64_t image = header ? size - 512 : size;
        ASSERT_EQ(rom->imageSize(), image);
        const std::uint8_t first = image == 0 ? 0 : before_[header ? 512 : 0];
        EXPECT_EQ(*rom->read8(0), first);
        if (image <= 0xFFFFFFFF) {
            EXPECT_EQ(*rom->read8(static_cast<std::uint32_t>(image)), 0);
            Edit past = put(0, first ^ 0xFF);
            past.put8(static_cast<std::uint32_t>(image), 1);
            Status status = rom->apply(past);
            EXPECT_TRUE(has(status.message(), "beyond the end of")) << status.message();
            EXPECT_EQ(*rom->read8(0), first);
        }
        if (image > 0) {
            ASSERT_TRUE(rom->apply(put(static_cast<std::uint32_t>(image - 1))));
            EXPECT_EQ(*rom->read8(static_cast<std::uint32_t>(image - 1)), 0x5A);
        }
        EXPECT_EQ(std::filesystem::file_size(path_), size);
    }
}

// A folder, a folder without room for the journal: refused with the cause, nothing created and
// nothing written. (A missing and a read-only file are refused through the command line.)
TEST_F(RomFileTest, RefusalsNameTheCause) {
    Result<RomFile> rom = RomFile::open(dir_.path().string());
    EXPECT_TRUE(has(rom.error(), "is a directory, not a ROM image.")) << rom.error();

    ASSERT_EQ(::chmod(path_.c_str(), 0666), 0);
    ASSERT_EQ(::chmod(dir_.path().c_str(), 0555), 0);
    {
        test::Unprivileged unprivileged;
        rom = RomFile::open(path_);
        ASSERT_TRUE(rom) << rom.error();
        Status status = rom->apply(put(1));
        EXPECT_TRUE(has(status.message(), "Nothing was written")) << status.message();
        EXPECT_TRUE(has(status.message(), "Permission denied")) << status.message();
    }
    EXPECT_EQ(readFile(path_), before_);
    EXPECT_FALSE(journalThere());
}

// The journal and the lock belong to the file, whatever name it is opened by: one writer at a
// time (readers are let in, but cannot write); a change cut short through a symbolic link is
// undone through the real path and the other way round, and one left beside the link by an
// older version (way 2) is still found. A journal's temporary file (never in force) is removed by
// the next opening, for reading too.
TEST_F(RomFileTest, TheJournalAndTheLockBelongToTheRealFile) {
    const std::string link = dir_.file("link.sfc");
    std::filesystem::create_symlink(path_, link);
    for (int way : {0, 1, 2}) {
        SCOPED_TRACE(way);
        const std::string writer = way == 1 ? path_ : link;
        const std::string reader = way == 0 ? path_ : link;
        {
            Result<RomFile> first = RomFile::open(writer);
            ASSERT_TRUE(first);
            EXPECT_EQ(RomFile::open(reader).error(),
                      "\"" + reader +
                          "\" is already open in another window or program. Close it there "
                          "first, then open it here.");
            Result<RomFile> looker = RomFile::open(reader, RomFile::Access::ReadOnly);
            ASSERT_TRUE(looker);
            EXPECT_FALSE(looker->apply(put(1)));
            EXPECT_TRUE(first->apply(put(1)));
        }
        writeFile(path_, before_);
        // The change ends after its write, before the image is synced and the journal removed.
        EXPECT_EQ(test::inChild([&] {
                      Result<RomFile> rom = RomFile::open(writer);
                      FaultPlan plan{.mode = FaultPlan::Mode::Crash, .only = FileCall::Fdatasync};
                      ScopedFaultPlan scoped(plan);
                      return int{rom && rom->apply(put(kFirst)).ok()};
                  }),
                  FaultPlan::kCrashExitCode);
        ASSERT_TRUE(journalThere());
        EXPECT_FALSE(std::filesystem::exists(link + "-journal"));
        if (way == 2) {
            std::filesystem::rename(journalPath(), link + "-journal");
            writeFile(journalPath() + ".tmp", {1, 2, 3});
        }
        EXPECT_EQ(RomFile::open(way == 2 ? path_ : reader, RomFile::Access::ReadOnly).ok(),
                  way == 2);
        EXPECT_FALSE(std::filesystem::exists(journalPath() + ".tmp"));
        Result<RomFile> rom = RomFile::open(reader);
        ASSERT_TRUE(rom) << rom.error();
        EXPECT_TRUE(has(rom->openingNotice(), "has been undone")) << rom->openingNotice();
        EXPECT_EQ(readFile(path_), before_);
        EXPECT_FALSE(std::filesystem::exists(link + "-journal"));
    }
}

// A file rewritten, replaced or deleted by another program after opening is never written.
TEST_F(RomFileTest, ChangesByOthersStopTheNextChange) {
    const Bytes other = test::Image({.size = 0x10000, .seed = 2}).bytes();
    const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
    const std::pair<std::function<void()>, std::string> cases[] = {
        {[&] {
             writeFile(path_, other);
             ASSERT_EQ(::utimensat(AT_FDCWD, path_.c_str(), longAgo, 0), 0);
         },
         "was changed by another program after it was opened here."},
        {[&] {
             writeFile(path_ + ".new", other);
             std::filesystem::rename(path_ + ".new", path_);
         },
         "was replaced by another file after it was opened here."},
        {[&] { std::filesystem::remove(path_); },
         "was deleted, renamed or moved by another program after it was opened here."}};
    for (const auto& [change, message] : cases) {
        writeFile(path_, before_);
        Result<RomFile> rom = RomFile::open(path_);
        ASSERT_TRUE(rom);
        change();
        Status status = rom->apply(put(1));
        EXPECT_TRUE(has(status.message(), message + " Nothing was written.")) << status.message();
        EXPECT_TRUE(!std::filesystem::exists(path_) || readFile(path_) == other);
        EXPECT_FALSE(journalThere());
    }
}

}  // namespace
}  // namespace slamwise
