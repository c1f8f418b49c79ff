#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <map>
#include <memory>
#include <set>

#include "player/ActualTable.h"
#include "player/PlayerEditor.h"
#include "player/Relocation.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"

namespace slamwise {
namespace {

using test::changedOffsets;
using test::Image;
using test::readFile;
using test::TempDir;

const char* const kRatingBoxes[] = {"SPEEDTXT", "THREETXT", "DUNKTXT",  "PASSTXT",
                                    "POWERTXT", "STEALTXT", "BLOCKTXT", "DIRKTXT"};
const char* const kOptionButtons[] = {"TallOPT", "ShortOPT", "BlackUOPT", "BlackOPT", "WhiteOPT"};
const char* const kOffsetLabels[] = {"VisualHEXLBL", "VisualDECLBL", "ActualHEXLBL",
                                     "ActualDECLBL"};

class PlayerEditorTest : public ::testing::Test {
  protected:
    void open(const Image& image, const std::string& name = "image.sfc") {
        path_ = image.writeTo(dir_.file(name));
        reopen();
    }
    // Opens the file as the main window does, in its order of steps.
    void reopen() {
        editor_.reset();
        image_.reset();
        Result<OpenedImage> opened = OpenedImage::open(path_, RomFile::Access::ReadWrite);
        ASSERT_TRUE(opened) << opened.error();
        image_.emplace(std::move(opened).value());
        editor_ = std::make_unique<PlayerEditor>(fake_.platform(), defaultNames());
        editor_->setImage(&*image_);
        editor_->ClearRelocationFlag();
        editor_->EnableEditingControls();
        if (image_->shutOff()) {
            editor_->ShutOffPlayerEditor();
        }
        editor_->CheckRelocatedData();
        editor_->SelectFirstPlayer();
    }

    template <class T>
    T* child(const char* name) {
        T* found = editor_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* box(const char* name) { return child<QLineEdit>(name); }
    QString text(const char* name) { return child<QLabel>(name)->text(); }

    void select(int player) { child<QListWidget>("PlayerLST")->setCurrentRow(player); }
    void type(const char* name, const QString& value) {
        box(name)->clear();
        QTest::keyClicks(box(name), value);
    }
    // A random record rarely holds valid speed and three-point codes, so those boxes start
    // empty: fill every box before a save.
    void typeRatings(const QStringList& values) {
        for (int i = 0; i < 8; ++i) {
            type(kRatingBoxes[i], values[i]);
        }
    }
    std::vector<std::uint8_t> file() const { return readFile(path_); }

    test::FakePlatform fake_;
    TempDir dir_;
    std::string path_;
    std::optional<OpenedImage> image_;
    std::unique_ptr<PlayerEditor> editor_;
};

TEST_F(PlayerEditorTest, StartsWithEverythingDisabledButCancel) {
    editor_ = std::make_unique<PlayerEditor>(fake_.platform(), defaultNames());
    for (const char* name :
         {"PlayerLST", "ApplyCMD", "TeamEditCMD", "RelocateVisualCMD", "AISLDR", "HeightFRA",
          "SkinFRA", "OffsetFRA", "PlayerValueTXT", "HeadLST", "RelocateVisualCHK"}) {
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    }
    for (const char* name : kRatingBoxes) {
        EXPECT_FALSE(box(name)->isEnabled()) << name;
        EXPECT_TRUE(box(name)->text().isEmpty());
    }
    EXPECT_TRUE(child<QPushButton>("QuitCMD")->isEnabled());
    EXPECT_EQ(child<QListWidget>("PlayerLST")->count(), 169);
    EXPECT_EQ(child<QComboBox>("HeadLST")->count(), 80);
    EXPECT_EQ(child<QComboBox>("HeadLST")->currentText(), "-- Not Implemented Yet --");
    EXPECT_EQ(text("AILBL"), "0");
    EXPECT_EQ(text("VisualHEXLBL"), "0000000");
    EXPECT_EQ(text("NameLBL"), "Speed Rating:");
}

TEST_F(PlayerEditorTest, SelectionShowsOffsets) {
    open(Image());
    EXPECT_EQ(text("VisualHEXLBL"), "$930C9");
    EXPECT_EQ(text("VisualDECLBL"), "602313");
    EXPECT_EQ(text("ActualHEXLBL"), "$1FB8CF");
    EXPECT_EQ(text("ActualDECLBL"), "2078927");
    select(168);
    EXPECT_EQ(text("VisualHEXLBL"), "$93B49");
    EXPECT_EQ(text("VisualDECLBL"), "605001");
    EXPECT_EQ(text("ActualHEXLBL"), "$1FC9DF");
    EXPECT_EQ(text("ActualDECLBL"), "2083295");

    Image relocated;
    relocated.at(kMarkerB) = 0x00;
    open(relocated, "relocated.sfc");
    select(168);
    EXPECT_EQ(text("VisualHEXLBL"), "$27A80");
    EXPECT_EQ(text("VisualDECLBL"), "162432");
}

TEST_F(PlayerEditorTest, SelectionShowsDecodedValuesAndNeverWrites) {
    Image image;
    const std::uint32_t first = actualOffset(3);
    image.at(first + kValueField) = 0x1F;
    image.at(first + kHeightField) = 1;
    image.put16(first + kSpeedField, 0x13F8);
    image.put16(first + kThreeField, 0x04E2);
    image.at(first + kDunkField) = 7;
    image.at(first + kClutchField) = 15;
    image.put16(first + kAiField, 0xFFF5);
    image.put16(first + kSkinField, 0xB781);
    const std::uint32_t second = actualOffset(4);
    image.at(second + kValueField) = 0x00;
    image.at(second + kHeightField) = 2;
    image.put16(second + kSpeedField, 0x0000);
    image.put16(second + kThreeField, 0x035C);
    image.put16(second + kAiField, 0x0009);  // outside -11..5
    image.put16(second + kSkinField, 0x0000);
    open(image);
    const std::vector<std::uint8_t> before = file();

    select(3);
    EXPECT_EQ(box("PlayerValueTXT")->text(), "$1F");
    EXPECT_EQ(box("SPEEDTXT")->text(), "0");
    EXPECT_EQ(box("THREETXT")->text(), "10");
    EXPECT_EQ(box("DUNKTXT")->text(), "7");
    EXPECT_EQ(box("DIRKTXT")->text(), "15");
    EXPECT_EQ(child<QSlider>("AISLDR")->value(), 0);
    EXPECT_EQ(text("AILBL"), "0");
    EXPECT_TRUE(child<QRadioButton>("BlackUOPT")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("ShortOPT")->isChecked());

    // Codes without a meaning leave their controls as they were.
    select(4);
    EXPECT_EQ(box("PlayerValueTXT")->text(), "$0");
    EXPECT_EQ(box("SPEEDTXT")->text(), "0");
    EXPECT_EQ(box("THREETXT")->text(), "3");
    EXPECT_EQ(child<QSlider>("AISLDR")->value(), 16);
    EXPECT_EQ(text("AILBL"), "16");
    EXPECT_TRUE(child<QRadioButton>("BlackUOPT")->isChecked());
    EXPECT_TRUE(child<QRadioButton>("ShortOPT")->isChecked());

    EXPECT_TRUE(changedOffsets(before, file()).empty());
}

// Types a fixed set of values into the window and returns the bytes Apply must write.
std::map<std::uint32_t, std::uint8_t> expectedBytes(int player, bool relocated) {
    const std::uint32_t base = actualOffset(player);
    std::map<std::uint32_t, std::uint8_t> bytes = {
        {base + 0x02, 0},    {base + 0x04, 0x44}, {base + 0x05, 0x16}, {base + 0x06, 0x5C},
        {base + 0x07, 0x03}, {base + 0x08, 1},    {base + 0x0A, 2},    {base + 0x0C, 9},
        {base + 0x0E, 0xFF}, {base + 0x0F, 0xFF}, {base + 0x10, 4},    {base + 0x12, 10},
        {base + 0x14, 6},    {base + 0x16, 0x7F}, {base + 0x17, 0xB7}};
    if (relocated || player < 128) {
        const std::uint32_t visual = relocated ? 0x27000 + 16 * player : 0x930C9 + 16 * player;
        const std::uint8_t ratings[8] = {7, 3, 1, 4, 10, 9, 2, 6};
        for (std::uint32_t i = 0; i < 8; ++i) {
            bytes[visual + 2 * i] = ratings[i];
        }
    }
    return bytes;
}

TEST_F(PlayerEditorTest, ApplyWritesActualAndVisualRecords) {
    open(Image());
    for (bool relocated : {false, true}) {
        if (relocated) {
            child<QPushButton>("RelocateVisualCMD")->click();
            ASSERT_TRUE(editor_->relocated());
        }
        for (int player : {0, 127, 128, 168}) {
            select(player);
            typeRatings({"7", "3", "1", "4", "12", "09", "2", "6"});
            child<QRadioButton>("TallOPT")->click();
            child<QRadioButton>("BlackOPT")->click();
            child<QSlider>("AISLDR")->setValue(10);
            const std::vector<std::uint8_t> before = file();
            child<QPushButton>("ApplyCMD")->click();
            const std::vector<std::uint8_t> after = file();

            EXPECT_EQ(box("POWERTXT")->text(), "10");
            const auto expected = expectedBytes(player, relocated);
            for (auto [offset, value] : expected) {
                EXPECT_EQ(after[offset], value) << player << " at " << std::hex << offset;
            }
            for (std::uint32_t offset : changedOffsets(before, after)) {
                EXPECT_TRUE(expected.count(offset)) << player << " wrote " << std::hex << offset;
            }
        }
    }
    EXPECT_TRUE(fake_.messages.shown.empty());
}

TEST_F(PlayerEditorTest, ApplyAndSaveWriteTheSameBytes) {
    std::vector<std::vector<std::uint8_t>> results;
    for (bool viaApply : {true, false}) {
        open(Image(), viaApply ? "apply.sfc" : "save.sfc");
        select(42);
        typeRatings({"5", "5", "5", "5", "5", "5", "99", "5"});
        child<QRadioButton>("WhiteOPT")->click();
        child<QSlider>("AISLDR")->setValue(16);
        EXPECT_EQ(text("AILBL"), "16");
        if (viaApply) {
            child<QPushButton>("ApplyCMD")->click();
        } else {
            editor_->SavePlayer();
        }
        results.push_back(file());
        const std::uint32_t ai = actualOffset(42) + kAiField;
        EXPECT_EQ(results.back()[ai], 0x05);
        EXPECT_EQ(results.back()[ai + 1], 0x00);
        EXPECT_EQ(results.back()[actualOffset(42) + kBlockField], 10);
    }
    EXPECT_EQ(results[0], results[1]);
}

TEST_F(PlayerEditorTest, EmptyBoxesRefuseTheWholeSave) {
    open(Image());
    select(10);
    typeRatings({"1", "2", "3", "4", "12", "6", "7", "8"});
    box("DUNKTXT")->clear();
    box("DIRKTXT")->clear();
    const std::vector<std::uint8_t> before = file();
    child<QPushButton>("ApplyCMD")->click();
    EXPECT_EQ(file(), before);
    ASSERT_EQ(fake_.messages.shown.size(), 1u);
    EXPECT_TRUE(fake_.messages.shown[0].text.contains("Dunk Rating"));
    EXPECT_TRUE(fake_.messages.shown[0].text.contains("Clutch Rating"));
    EXPECT_FALSE(fake_.messages.shown[0].text.contains("Power Rating"));
}

TEST_F(PlayerEditorTest, RatingBoxesTakeTwoDigitsOnly) {
    open(Image());
    type("STEALTXT", "a-7x53");
    EXPECT_EQ(box("STEALTXT")->text(), "75");
}

TEST_F(PlayerEditorTest, StoredRatingAboveNinetyNineIsShownWholeAndSavedAsTen) {
    Image image;
    image.at(kActualTable + kDunkField) = 200;
    open(image);
    EXPECT_EQ(box("DUNKTXT")->text(), "200");
    QTest::keyClicks(box("DUNKTXT"), "7");  // a third digit cannot be typed
    EXPECT_EQ(box("DUNKTXT")->text(), "200");
    type("SPEEDTXT", "3");
    type("THREETXT", "4");
    child<QPushButton>("ApplyCMD")->click();
    EXPECT_EQ(box("DUNKTXT")->text(), "10");
    EXPECT_EQ(file()[kActualTable + kDunkField], 10);
}

TEST_F(PlayerEditorTest, RelocateButtonRelocatesOnce) {
    open(Image());
    const std::vector<std::uint8_t> before = file();
    child<QPushButton>("RelocateVisualCMD")->click();
    const std::vector<std::uint8_t> after = file();
    EXPECT_TRUE(child<QCheckBox>("RelocateVisualCHK")->isChecked());
    EXPECT_FALSE(child<QPushButton>("RelocateVisualCMD")->isEnabled());
    EXPECT_EQ(fake_.settings.value(settings_keys::kVisualDataExpanded), "1");
    std::set<std::uint32_t> allowed;
    for (std::uint32_t offset = 0x27000; offset <= 0x27A7F; ++offset) {
        allowed.insert(offset);
    }
    for (std::uint32_t site : kVisualPointerSites) {
        allowed.insert({site, site + 1, site + 2});
    }
    for (std::uint32_t offset : changedOffsets(before, after)) {
        EXPECT_TRUE(allowed.count(offset)) << std::hex << offset;
    }
    select(1);
    EXPECT_EQ(text("VisualHEXLBL"), "$27010");

    // The next opening recognises the image by its patched pointers, whatever byte the copy
    // left in the first marker.
    reopen();
    EXPECT_TRUE(editor_->relocated());
    EXPECT_FALSE(child<QPushButton>("RelocateVisualCMD")->isEnabled());
}

TEST_F(PlayerEditorTest, DetectionFollowsMarkersAndPointers) {
    struct Case {
        std::uint8_t a, b;
        bool patched;
        bool relocated;
    };
    const Case cases[] = {{0, 0, false, true},   {0, 255, false, false},   {2, 55, false, false},
                          {25, 5, false, false}, {255, 255, false, false}, {0x37, 0, true, true}};
    for (const Case& c : cases) {
        Image image;
        image.at(kMarkerA) = c.a;
        image.at(kMarkerB) = c.b;
        if (c.patched) {
            for (std::uint32_t site : kVisualPointerSites) {
                for (std::uint32_t i = 0; i < 3; ++i) {
                    image.at(site + i) = kRelocatedPointer[i];
                }
            }
        }
        open(image);
        EXPECT_EQ(child<QCheckBox>("RelocateVisualCHK")->isChecked(), c.relocated) << int(c.a);
        EXPECT_EQ(child<QPushButton>("RelocateVisualCMD")->isEnabled(), !c.relocated) << int(c.a);
        EXPECT_EQ(fake_.settings.value(settings_keys::kVisualDataExpanded),
                  c.relocated ? "1" : "0");
    }
}

TEST_F(PlayerEditorTest, ShutOffLocksTheEditorAndWritesNothing) {
    for (Release release : {Release::Beta, Release::Europe, Release::OldSchool}) {
        fake_.messages.shown.clear();
        open(Image({.release = release}));
        ASSERT_EQ(fake_.messages.shown.size(), 1u);
        const auto& notice = fake_.messages.shown[0];
        EXPECT_EQ(notice.title, "Cannot edit this ROM fully!");
        EXPECT_EQ(notice.icon, MessageBoxes::Icon::Exclamation);
        EXPECT_EQ(notice.text.split("\r\n").size(), 7);
        EXPECT_TRUE(notice.text.split("\r\n")[1].isEmpty());
        EXPECT_TRUE(editor_->shutOff());

        for (const char* name : {"PlayerLST", "ApplyCMD", "RelocateVisualCMD", "OffsetFRA",
                                 "HeightFRA", "SkinFRA", "AISLDR"}) {
            EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
        }
        for (const char* name : kOptionButtons) {
            EXPECT_FALSE(child<QRadioButton>(name)->isEnabled()) << name;
            EXPECT_FALSE(child<QRadioButton>(name)->isChecked()) << name;
        }
        for (const char* name : kRatingBoxes) {
            EXPECT_FALSE(box(name)->isEnabled()) << name;
            EXPECT_TRUE(box(name)->text().isEmpty()) << name;  // nothing was loaded
        }
        EXPECT_TRUE(box("PlayerValueTXT")->text().isEmpty());
        EXPECT_TRUE(text("AILBL").isEmpty());
        EXPECT_TRUE(child<QPushButton>("TeamEditCMD")->isEnabled());
        EXPECT_EQ(text("ActualHEXLBL"), "$1FB8CF");  // the offsets are shown again

        const std::vector<std::uint8_t> before = file();
        editor_->SavePlayer();
        EXPECT_EQ(file(), before);
    }
    fake_.messages.shown.clear();
    open(Image({.release = Release::Japan}));
    EXPECT_TRUE(fake_.messages.shown.empty());
    EXPECT_FALSE(editor_->shutOff());
}

TEST_F(PlayerEditorTest, ResetAfterCloseReturnsToNoRomState) {
    Image image;
    image.at(kMarkerB) = 0x00;  // relocated
    open(image);
    select(50);
    editor_->ResetAfterClose();
    EXPECT_EQ(child<QListWidget>("PlayerLST")->currentRow(), 0);
    EXPECT_EQ(box("PlayerValueTXT")->text(), "0");
    for (const char* name : kRatingBoxes) {
        EXPECT_EQ(box(name)->text(), "0") << name;
        EXPECT_FALSE(box(name)->isEnabled()) << name;
    }
    for (const char* name : kOptionButtons) {
        EXPECT_FALSE(child<QRadioButton>(name)->isChecked()) << name;
        EXPECT_FALSE(child<QRadioButton>(name)->isEnabled()) << name;
    }
    for (const char* name : kOffsetLabels) {
        EXPECT_EQ(text(name), "0000000") << name;
    }
    EXPECT_EQ(child<QSlider>("AISLDR")->value(), 0);
    EXPECT_EQ(text("AILBL"), "0");
    EXPECT_FALSE(editor_->relocated());
    for (const char* name : {"PlayerLST", "TeamEditCMD", "RelocateVisualCMD", "ApplyCMD",
                             "OffsetFRA", "HeightFRA", "SkinFRA", "AISLDR"}) {
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    }
    EXPECT_TRUE(child<QPushButton>("QuitCMD")->isEnabled());
}

TEST_F(PlayerEditorTest, CopyMenuPutsOffsetsOnTheClipboard) {
    open(Image());
    QMenu* menu = child<QMenu>("mnuCopyParent");
    EXPECT_EQ(menu->title(), "Copy Offsets");
    QTest::mouseClick(child<QLabel>("ActualDECLBL"), Qt::LeftButton);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    const std::pair<const char*, const char*> expected[] = {
        {"mnuCopyVisualHEX", "930C9"},
        {"mnuCopyVisualDEC", "602313"},
        {"mnuCopyActualHEX", "1FB8CF"},
        {"mnuCopyActualDEC", "2078927"},
    };
    for (auto [name, clip] : expected) {
        child<QAction>(name)->trigger();
        EXPECT_EQ(fake_.clipboard.text, clip) << name;
    }
}

TEST_F(PlayerEditorTest, NewNamesKeepTheSelection) {
    open(Image());
    select(81);
    GameNames names = defaultNames();
    names.players[81] = "Renamed Player";
    names.heads[5] = "Renamed Head";
    editor_->setNames(names);
    EXPECT_EQ(child<QListWidget>("PlayerLST")->currentRow(), 81);
    EXPECT_EQ(child<QListWidget>("PlayerLST")->currentItem()->text(), "Renamed Player");
    EXPECT_EQ(child<QComboBox>("HeadLST")->itemText(5), "Renamed Head");
    EXPECT_EQ(child<QComboBox>("HeadLST")->currentIndex(), 0);
}

}  // namespace
}  // namespace slamwise
