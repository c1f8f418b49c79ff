#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <functional>
#include <map>
#include <memory>

#include "player/PlayerEditor.h"
#include "rom/FaultInjection.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/ImageBuilder.h"
#include "tests/widgets/ShownTexts.h"

namespace slamwise {
namespace {

using test::Image;

// In record order: speed, three-point, dunk, pass, power, steal, block, clutch.
const char* const kRatingBoxes[] = {"SPEEDTXT", "THREETXT", "DUNKTXT",  "PASSTXT",
                                    "POWERTXT", "STEALTXT", "BLOCKTXT", "DIRKTXT"};
const std::uint32_t kPointerSites[] = {0x51B1A, 0x51B37, 0x51B91, 0x51BAE,
                                       0x51C19, 0x51C36, 0x51C90, 0x51CAD};
const std::uint8_t kPointer[] = {0x00, 0xF0, 0x04};  // $04F000, the relocated table

Image relocatedImage() {
    Image image;
    image.at(0x27001) = 0x00;
    image.at(0x27801) = 0x00;
    return image;
}

class PlayerEditorTest : public ::testing::Test {
  protected:
    // Opens the image (the file as it is when none is given) as the main window does, in its
    // order of steps.
    void open(const std::optional<Image>& image = std::nullopt) {
        path_ = image ? image->writeTo(dir_.file("image.sfc")) : path_;
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

    template <class T = QWidget>
    T* child(const char* name) {
        T* found = editor_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QLineEdit* box(const char* name) { return child<QLineEdit>(name); }
    QString text(const char* name) { return child<QLabel>(name)->text(); }
    void click(const char* name) { child<QAbstractButton>(name)->click(); }
    void select(int player) { child<QListWidget>("PlayerLST")->setCurrentRow(player); }
    void type(const char* name, const QString& value) {
        box(name)->clear();
        QTest::keyClicks(box(name), value);
    }
    // A random record rarely holds valid speed and three-point codes, so those boxes start
    // empty: every box is filled before a save.
    void typeRatings(const QString& values) {
        const QStringList each = values.split(QLatin1Char(' '));
        for (int i = 0; i < 8; ++i) {
            type(kRatingBoxes[i], each[i]);
        }
    }
    std::vector<std::uint8_t> file() const { return test::readFile(path_); }
    QString lastMessage() { return test::messageText(fake_.messages.shown.back()); }

    test::FakePlatform fake_;
    test::TempDir dir_;
    std::string path_;
    std::optional<OpenedImage> image_;
    std::unique_ptr<PlayerEditor> editor_ =
        std::make_unique<PlayerEditor>(fake_.platform(), defaultNames());
};

TEST_F(PlayerEditorTest, ShowsItsTexts) {
    std::map<QString, QString> collected = {
        {"tip with no image", child("VisualHEXLBL")->toolTip()}};
    open(Image({.release = Release::Europe}));
    collected["shut-off"] = lastMessage();
    open(Image({.copierHeader = true}));  // player 1 is selected below
    typeRatings("1 2  4 5 6 7 ");
    const std::vector<std::uint8_t> before = file();
    click("ApplyCMD");
    EXPECT_EQ(file(), before);
    collected["empty boxes"] = lastMessage();
    const std::tuple<const char*, long, std::function<void()>> failures[] = {
        {"read failure", 1, [&] { select(1); }},
        {"save failure", 1, [&] { click("ApplyCMD"); }},
        {"relocation unread", 1, [&] { click("RelocateVisualCMD"); }},
        {"relocation stopped", 2, [&] { click("RelocateVisualCMD"); }}};
    typeRatings("1 2 3 4 5 6 7 8");
    for (const auto& [what, at, act] : failures) {
        FaultPlan plan{.at = at, .persistent = true};
        ScopedFaultPlan failing(plan);
        act();
        collected[what] = lastMessage();
    }

    const std::string failed = "Slamwise Player Editor\n";
    // clang-format off
    test::expectTexts(editor_.get(), {
        {"PlayerValueLBL", "Player Value:"}, {"PlayerValueTXT.tip", "Cannot edit this field."},
        {"NameLBL", "Speed Rating:"}, {"ThreeLBL", "3 Pointer Rating:"}, {"DunkLBL", "Dunk Rating:"},
        {"PassLBL", "Passing Rating:"}, {"PowerLBL", "Power Rating:"}, {"StealLBL", "Steal Rating:"},
        {"BlockLBL", "Block Rating:"}, {"ClutchLBL", "Clutch Rating:"}, {"HeightFRA", "Height:"},
        {"TallOPT", "Normal"}, {"ShortOPT", "Small"}, {"SkinFRA", "Skin Tone:"},
        {"BlackUOPT", "Black (Unused?)"}, {"BlackOPT", "Black"}, {"WhiteOPT", "White"},
        {"HeadLBL", "Head Graphic Pointer (in-game):"}, {"HeadLST#0", "-- Not Implemented Yet --"},
        {"HeadLST#2", "White Skin/Black Hair"}, {"HeadLST#3", "White Skin/Black Fade"},
        {"HeadLST#4", "Tan Skin/Black Hair"}, {"HeadLST#5", "White Skin/Red Fade"},
        {"HeadLST#6", "Black Skin/Black Hair"}, {"HeadLST#8", "Black Skin/Bald"},
        {"HeadLST#9", "Black Skin/Black Fade"}, {"HeadLST#10", "Black Skin/Balding"},
        {"HeadLST#11", "Black Skin/Bald/Goggles (Unused)"}, {"HeadLST#24", "? (Unused)"},
        {"HeadLST#32", "Small/White Skin/Black Hair"}, {"HeadLST#33", "Small/White Skin/Black Fade (Unused)"},
        {"HeadLST#34", "Small/Tan Skin/Black Hair (Unused)"}, {"HeadLST#35", "Small/Black Skin/Black Hair"},
        {"HeadLST#36", "Small/Black Skin/Bald"}, {"HeadLST#37", "Small/Black Skin/Black Fade"},
        {"HeadLST#38", "Small/Black Skin/Balding (Unused)"}, {"PlayerLST#166", "Unused Secret Player"},
        {"AICaptionLBL", "Player AI Setting:"}, {"OffsetFRA", "Player Stat Data Offsets:"},
        {"VisualHEXCaptionLBL", "Visual data (Hex):"}, {"VisualDECCaptionLBL", "Visual data (Decimal):"},
        {"ActualHEXCaptionLBL", "Actual data (Hex):"}, {"ActualDECCaptionLBL", "Actual data (Decimal):"},
        {"TeamEditCMD", "Roster Editor"}, {"TeamEditCMD.tip", "This edits each team's player roster."},
        {"RelocateVisualCMD", "Relocate Visual"}, {"RelocateVisualCMD.tip", "This option allows you to "
         "relocate all the player's visual stats to allow the special/secret players to show the correct stat."},
        {"RelocateVisualCHK", "Visual Data Relocated?"}, {"ApplyCMD", "Apply"}, {"QuitCMD", "Cancel"},
        {"InfoLBL", "Note: the portrait of list entry 81 (marked unused) points at the portrait of entry "
         "94. His stats are all there and he can be played normally in the game."},
        {"mnuCopyParent", "Copy Offsets"}, {"mnuCopyVisualHEX", "Copy Visual Data Hex Offset to Clipboard"},
        {"mnuCopyVisualDEC", "Copy Visual Data Decimal Offset to Clipboard"},
        {"mnuCopyActualHEX", "Copy Actual Data Hex Offset to Clipboard"},
        {"mnuCopyActualDEC", "Copy Actual Data Decimal Offset to Clipboard"},
        {"tip with no image", "Click to copy an offset."},
        {"ActualHEXLBL.tip", "Click to copy an offset. In the file, after its 512-byte copier header: $1FBAE9."},
        {"ActualDECLBL.tip", "Click to copy an offset. In the file, after its 512-byte copier header: 2079465."},
        {"shut-off", "Cannot edit this ROM fully!\nPlease note you cannot edit the Players' data with this "
         "version of the ROM.  The following is what is available for each ROM to edit with this program...\r\n\r\n"
         "Beta ROM: Player data is NOT AVAILABLE -- Team Roster data IS AVAILABLE\r\n"
         "Europe Release: Player data is NOT AVAILABLE -- Team Roster data IS AVAILABLE\r\n"
         "Japanese Release: Player data IS AVAILABLE -- Team Roster data IS AVAILABLE\r\n"
         "North American Release: Player data IS AVAILABLE -- Team Roster data IS AVAILABLE\r\n"
         "Brannick's Old School Edition: Player data is NOT AVAILABLE -- Team Roster data IS AVAILABLE but "
         "does not include editing the All-Stars team rosters or the '?\?\?' roster.  Also, various players "
         "have been replaced so the names may or may not match.  You've been warned!"},
        {"empty boxes", "Nothing was saved\nPlease type a rating from 0 to 10 in every rating box. These are "
         "empty: Dunk Rating, Clutch Rating.\r\nNothing was written to the ROM."},
        {"read failure", failed + "The player could not be read."},
        {"save failure", failed + "The player could not be saved completely."},
        {"relocation unread", failed + "The visual data could not be relocated."},
        {"relocation stopped", failed + "The relocation of the visual data stopped before it was complete. "
         "The visual data is not marked as relocated."}}, collected);
    // clang-format on
}

// What each state enables, and what the fields show in it; whenever editing is off a save
// writes nothing.
TEST_F(PlayerEditorTest, ControlsAreEnabledOnlyWhilePlayerDataCanBeEdited) {
    struct State {
        const char* name;
        std::function<void()> reach;
        bool editing, roster, relocate;
        const char *rating, *offset, *ai;
    };
    // clang-format off
    const State states[] = {
        {"start", [] {}, false, false, false, "", "0000000", "0"},
        {"open", [&] { open(Image()); }, true, true, true, nullptr, "$1FB8CF", nullptr},
        {"relocated", [&] { open(relocatedImage()); }, true, true, false, nullptr, "$1FB8CF", nullptr},
        {"closed", [&] { select(50), editor_->ResetAfterClose(); }, false, false, false, "0", "0000000", "0"},
        {"Beta", [&] { open(Image({.release = Release::Beta})); }, false, true, false, "", "$1FB8CF", ""},
        {"Europe", [&] { open(Image({.release = Release::Europe})); }, false, true, false, "", "$1FB8CF", ""},
        {"Old School", [&] { open(Image({.release = Release::OldSchool})); }, false, true, false, "", "$1FB8CF", ""}};
    // clang-format on
    for (const State& s : states) {
        s.reach();
        for (const char* name :
             {"PlayerLST", "ApplyCMD", "OffsetFRA", "HeightFRA", "SkinFRA", "AISLDR", "TallOPT",
              "ShortOPT", "BlackUOPT", "BlackOPT", "WhiteOPT", "SPEEDTXT", "THREETXT", "DUNKTXT",
              "PASSTXT", "POWERTXT", "STEALTXT", "BLOCKTXT", "DIRKTXT"}) {
            EXPECT_EQ(child(name)->isEnabled(), s.editing) << s.name << " " << name;
        }
        EXPECT_EQ(child("TeamEditCMD")->isEnabled(), s.roster) << s.name;
        EXPECT_EQ(child("RelocateVisualCMD")->isEnabled(), s.relocate) << s.name;
        EXPECT_TRUE(child("QuitCMD")->isEnabled() && !child("PlayerValueTXT")->isEnabled() &&
                    !child("HeadLST")->isEnabled())
            << s.name;
        EXPECT_EQ(child<QComboBox>("HeadLST")->currentIndex(), 0) << s.name;
        EXPECT_EQ(text("ActualHEXLBL"), s.offset) << s.name;
        if (s.rating != nullptr) {
            for (const char* name : kRatingBoxes)
                EXPECT_EQ(box(name)->text(), s.rating) << s.name;
            EXPECT_EQ(text("AILBL"), s.ai) << s.name;
            for (const char* name : {"TallOPT", "ShortOPT", "BlackUOPT", "BlackOPT", "WhiteOPT"}) {
                EXPECT_FALSE(child<QRadioButton>(name)->isChecked()) << s.name << " " << name;
            }
        }
        if (!s.editing && !path_.empty()) {
            const std::vector<std::uint8_t> before = file();
            editor_->SavePlayer();
            EXPECT_EQ(file(), before) << s.name;
        }
    }
    ASSERT_EQ(fake_.messages.shown.size(), 3u);  // the shut-off notices
}

// The offsets of the selected player follow the relocation; the copy items put them on the
// clipboard, hex without "$".
TEST_F(PlayerEditorTest, SelectionShowsAndCopiesTheOffsets) {
    // clang-format off
    const std::tuple<bool, int, std::vector<const char*>> cases[] = {
        {false, 0, {"$930C9", "602313", "$1FB8CF", "2078927"}},
        {false, 168, {"$93B49", "605001", "$1FC9DF", "2083295"}},
        {true, 168, {"$27A80", "162432", "$1FC9DF", "2083295"}}};
    // clang-format on
    for (const auto& [relocated, player, shown] : cases) {
        open(relocated ? relocatedImage() : Image());
        select(player);
        int i = 0;
        for (const char* name : {"VisualHEX", "VisualDEC", "ActualHEX", "ActualDEC"}) {
            EXPECT_EQ(text((std::string(name) + "LBL").c_str()), shown[i]) << name;
            child<QAction>(("mnuCopy" + std::string(name)).c_str())->trigger();
            EXPECT_EQ(fake_.clipboard.text, QString(shown[i++]).remove('$')) << name;
        }
    }
    QTest::mouseClick(child<QLabel>("ActualDECLBL"), Qt::LeftButton);
    EXPECT_TRUE(child<QMenu>("mnuCopyParent")->isVisible());
}

// Apply writes every box into the actual record (from 0x1FB8CF + 26 * player) and the eight
// ratings into the visual record of the image's layout: nothing else.
TEST_F(PlayerEditorTest, ApplyWritesTheActualAndVisualRecords) {
    constexpr int _ = -1;  // a byte the save leaves alone
    struct Case {
        int player;
        bool relocated;
        const char *typed, *height, *skin;
        int ai;
        int actual[22];        // record bytes 0x02 to 0x17
        std::uint32_t visual;  // 0: not written
        int ratings[8];
    };
    // clang-format off
    const Case cases[] = {
        {0, false, "7 3 1 4 12 09 2 6", "TallOPT", "BlackOPT", 10,
         {0, _, 0x44, 0x16, 0x5C, 0x03, 1, _, 2, _, 9, _, 0xFF, 0xFF, 4, _, 10, _, 6, _, 0x7F, 0xB7},
         0x930C9, {7, 3, 1, 4, 10, 9, 2, 6}},
        {127, true, "10 0 99 0 8 5 10 3", "ShortOPT", "WhiteOPT", 16,
         {1, _, 0xDE, 0x17, 0xBC, 0x02, 10, _, 10, _, 5, _, 0x05, 0x00, 0, _, 8, _, 3, _, 0x89, 0xB7},
         0x277F0, {10, 0, 10, 0, 8, 5, 10, 3}},
        {128, false, "0 10 5 6 7 8 9 0", "TallOPT", "BlackUOPT", 11,
         {0, _, 0xF8, 0x13, 0xE2, 0x04, 5, _, 9, _, 8, _, 0x00, 0x00, 6, _, 7, _, 0, _, 0x81, 0xB7}, 0, {}},
        {168, true, "1 2 3 4 5 6 7 8", "ShortOPT", "BlackOPT", 0,
         {1, _, 0x55, 0x14, 0x20, 0x03, 3, _, 7, _, 6, _, 0xF5, 0xFF, 4, _, 5, _, 8, _, 0x7F, 0xB7},
         0x27A80, {1, 2, 3, 4, 5, 6, 7, 8}}};
    // clang-format on
    for (const Case& c : cases) {
        open(c.relocated ? relocatedImage() : Image());
        select(c.player);
        typeRatings(c.typed);
        click(c.height);
        click(c.skin);
        child<QSlider>("AISLDR")->setValue(c.ai);
        EXPECT_EQ(text("AILBL"), QString::number(c.ai));
        const std::vector<std::uint8_t> before = file();
        click("ApplyCMD");
        const std::vector<std::uint8_t> after = file();

        std::map<std::uint32_t, int> expected;
        for (std::uint32_t i = 0; i < 22; ++i) {
            if (c.actual[i] != _) {
                expected[0x1FB8CF + 26 * static_cast<std::uint32_t>(c.player) + 2 + i] =
                    c.actual[i];
            }
        }
        for (std::uint32_t i = 0; c.visual != 0 && i < 8; ++i) {
            expected[c.visual + 2 * i] = c.ratings[i];
        }
        for (auto [offset, value] : expected) {
            EXPECT_EQ(after[offset], value) << c.player << " at " << std::hex << offset;
        }
        for (std::uint32_t offset : test::changedOffsets(before, after)) {
            EXPECT_TRUE(expected.count(offset)) << c.player << " wrote " << std::hex << offset;
        }
        const QStringList typed = QString(c.typed).split(' ');
        for (int i = 0; i < 8; ++i) {
            EXPECT_EQ(box(kRatingBoxes[i])->text(), typed[i].toInt() > 10 ? "10" : typed[i]);
        }
    }
    EXPECT_TRUE(fake_.messages.shown.empty());
}

TEST_F(PlayerEditorTest, RelocateButtonRelocatesOnce) {
    open(Image());
    const std::vector<std::uint8_t> before = file();
    click("RelocateVisualCMD");
    const std::vector<std::uint8_t> after = file();
    EXPECT_TRUE(child<QCheckBox>("RelocateVisualCHK")->isChecked());
    EXPECT_FALSE(child("RelocateVisualCMD")->isEnabled());
    EXPECT_EQ(fake_.settings.value("Visual Data Expanded"), "1");
    EXPECT_EQ(after[0x27801], 0x00);
    EXPECT_EQ(after[0x51CAD + 1], 0xF0);
    for (std::uint32_t offset : test::changedOffsets(before, after)) {
        bool patched = offset >= 0x27000 && offset <= 0x27A7F;
        for (std::uint32_t site : kPointerSites)
            patched |= offset >= site && offset < site + 3;
        EXPECT_TRUE(patched) << std::hex << offset;
    }
    select(1);
    EXPECT_EQ(text("VisualHEXLBL"), "$27010");
    // The next opening recognises the image by its patched pointers, whatever byte the copy
    // left in the first marker.
    open();
    EXPECT_TRUE(editor_->relocated());
    EXPECT_FALSE(child("RelocateVisualCMD")->isEnabled());
}

}  // namespace
}  // namespace slamwise
