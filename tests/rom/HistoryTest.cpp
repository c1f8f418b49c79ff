// Undo writes back exactly the bytes an action replaced, redo exactly the bytes it wrote; an image
// changed by another program since is left alone.
#include <fcntl.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "rom/OpenedImage.h"
#include "tests/support/Actions.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::Image;
using test::readFile;
using test::writeFile;

class HistoryTest : public ::testing::Test {
  protected:
    OpenedImage openFresh() {
        writeFile(path_, before_);
        Result<OpenedImage> image = OpenedImage::open(path_, RomFile::Access::ReadWrite);
        EXPECT_TRUE(image) << image.error();
        return std::move(image).value();
    }
    static void applyAction(OpenedImage& image, const test::Action& action) {
        Result<Edit> edit = action.build(image.rom());
        ASSERT_TRUE(edit) << edit.error();
        ASSERT_TRUE(image.apply(*edit, action.name));
    }

    test::TempDir dir_;
    std::string path_ = dir_.file("game.sfc");
    std::vector<std::uint8_t> before_ = Image().bytes();
};

TEST_F(HistoryTest, UndoGivesBackTheBytesBeforeAndRedoTheBytesAfter) {
    for (const test::Action& action : test::representativeActions()) {
        SCOPED_TRACE(action.name);
        OpenedImage image = openFresh();
        const bool relocation = action.name == "relocation";
        applyAction(image, action);
        const std::vector<std::uint8_t> after = readFile(path_);
        ASSERT_NE(after, before_);
        EXPECT_EQ(image.history().undoLabel(), action.name);

        ASSERT_TRUE(image.undo());
        EXPECT_EQ(readFile(path_), before_);
        EXPECT_EQ(image.history().redoLabel(), action.name);
        EXPECT_FALSE(image.relocated());

        ASSERT_TRUE(image.redo());
        EXPECT_EQ(readFile(path_), after);
        EXPECT_EQ(image.history().undoLabel(), action.name);
        EXPECT_EQ(image.relocated(), relocation);

        // A new action after an undo ends the redo list.
        ASSERT_TRUE(image.undo());
        applyAction(image, action);
        EXPECT_FALSE(image.history().canRedo());
    }
}

TEST_F(HistoryTest, AnImageChangedByAnotherProgramIsLeftAloneAndTheHistoryCleared) {
    const timespec longAgo[2] = {{1000000000, 0}, {1000000000, 0}};
    for (bool undo : {true, false}) {
        SCOPED_TRACE(undo ? "undo" : "redo");
        OpenedImage image = openFresh();
        applyAction(image, test::representativeActions()[4]);
        if (!undo) {
            ASSERT_TRUE(image.undo());
        }
        std::vector<std::uint8_t> changed = readFile(path_);
        changed[100] ^= 0xFF;  // another writer, elsewhere in the file
        writeFile(path_, changed);
        ASSERT_EQ(::utimensat(AT_FDCWD, path_.c_str(), longAgo, 0), 0);

        const Status status = undo ? image.undo() : image.redo();
        ASSERT_FALSE(status);
        EXPECT_NE(status.message().find("was changed by another program"), std::string::npos)
            << status.message();
        EXPECT_EQ(readFile(path_), changed);
        EXPECT_FALSE(image.history().canUndo());
        EXPECT_FALSE(image.history().canRedo());
    }
}

}  // namespace
}  // namespace slamwise
