#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fcntl.h>

#include "image/Session.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::Image;

constexpr std::uint32_t kChecksum = 0x7FDE;  // the stored checksum word; its complement at 0x7FDC

class SessionTest : public ::testing::Test {
  protected:
    Session open() {
        path_ = image_.writeTo(dir_.file("game.sfc"));
        Result<OpenedImage> opened = OpenedImage::open(path_, RomFile::Access::ReadWrite);
        EXPECT_TRUE(opened) << opened.error();
        return Session(std::move(opened).value());
    }
    std::vector<std::uint8_t> file() const { return test::readFile(path_); }
    // Another program writes a byte and puts the file's time back, so that only the bytes
    // tell the change.
    void writeBehindTheBack(std::uint32_t offset, std::uint8_t value) const {
        struct stat before {};
        ASSERT_EQ(::stat(path_.c_str(), &before), 0);
        std::vector<std::uint8_t> bytes = file();
        bytes[offset] = value;
        test::writeFile(path_, bytes);
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ASSERT_EQ(::utimensat(AT_FDCWD, path_.c_str(), times, 0), 0);
    }

    test::TempDir dir_;
    Image image_;
    std::string path_;
};

// Undo and redo write nothing when another program changed the bytes the step would take back,
// even when the file's time does not show it; the list of changes is cleared.
TEST_F(SessionTest, UndoAndRedoRefuseBytesChangedByAnotherProgram) {
    for (bool undoFirst : {true, false}) {
        Session session = open();
        Edit edit;
        edit.put8(0x30000, static_cast<std::uint8_t>(image_.at(0x30000) ^ 0x5A));
        ASSERT_TRUE(session.apply(writeEdit("Edit", edit)));
        if (!undoFirst) {
            ASSERT_TRUE(session.undo());
        }
        writeBehindTheBack(0x30000, 0x77);
        const std::vector<std::uint8_t> theirs = file();
        const Status status = undoFirst ? session.undo() : session.redo();
        EXPECT_NE(status.message().find("changed by another program"), std::string::npos)
            << status.message();
        EXPECT_EQ(file(), theirs) << undoFirst;
        EXPECT_FALSE(session.history().canUndo() || session.history().canRedo());
    }
}

// A change whose writes overlap (the checksum fix after an edit that writes the checksum too) is
// taken back to the bytes before it, and written again as it was. Its dry run writes and records
// nothing (the runs it lists are pinned through the command line).
TEST_F(SessionTest, UndoOfOverlappingWritesRestoresTheBytesBefore) {
    Session session = open();
    session.setFixChecksum(true);
    Edit patch;
    patch.putBytes(kChecksum - 2, {0x12, 0x34, 0x56, 0x78});
    patch.put8(0x40000, static_cast<std::uint8_t>(image_.at(0x40000) + 1));
    ASSERT_TRUE(session.apply(writeEdit("Apply Patch", patch), Run::DryRun));
    EXPECT_EQ(file(), image_.bytes());
    EXPECT_FALSE(session.history().canUndo());
    ASSERT_TRUE(session.apply(writeEdit("Apply Patch", patch)));
    const std::vector<std::uint8_t> after = file();
    EXPECT_NE(after[kChecksum], 0x56);  // the fix wrote over the patch's checksum bytes
    ASSERT_TRUE(session.undo());
    EXPECT_EQ(file(), image_.bytes());
    ASSERT_TRUE(session.redo());
    EXPECT_EQ(file(), after);
}

}  // namespace
}  // namespace slamwise
