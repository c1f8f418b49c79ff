// File > Apply Patch, Compare With and Create Patch, measured against what slamwise prints and
// writes for the same files.
#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>

#include <filesystem>

#include "app/MainWindow.h"
#include "tests/support/CliRunner.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/WindowTest.h"

namespace slamwise {
namespace {

using test::runCli;

QStringList lines(const std::string& text) {
    return QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
}

// What a changes window showed.
struct Shown {
    QString name, title, message, summary;
    QStringList rows;
};

class PatchWindows : public ::testing::Test {
  protected:
    PatchWindows() {
        test::Image image;
        for (std::uint32_t offset = 0x1F0000; offset < 0x1F0010; ++offset) {
            image.at(offset) = 0xAB;  // outside the game's tables; $1F000B already is 0xAB
        }
        edited = image.writeTo(dir.file("edited.sfc"));
        EXPECT_EQ(runCli({"cheats", "set", edited, "--byte1", "0x81"}).code, 0);
        EXPECT_EQ(runCli({"rosters", "end", edited, "28", "20"}).code, 0);
    }
    // A copy of the unedited image, with a copier header when asked, opened in the window.
    std::string openCopy(bool copierHeader = false) {
        const std::string path = test::Image({.copierHeader = copierHeader})
                                     .writeTo(dir.file(copierHeader ? "open.smc" : "open.sfc"));
        window->Form_Load(QString::fromStdString(path));
        EXPECT_TRUE(window->romOpen());
        return path;
    }
    std::string patch(const char* name) {
        const std::string path = dir.file(name);
        EXPECT_EQ(runCli({"patch", "create", original, edited, path}).code, 0);
        return path;
    }
    // Triggers the menu entry, the file dialog answering path, and clicks the button of the
    // changes window that comes up.
    Shown inChangesWindow(const char* entry, const std::string& path, const char* button) {
        Shown shown;
        test::onNextModal([&](QWidget* modal) {
            auto text = [modal](const char* name) {
                return modal->findChild<QLabel*>(name)->text();
            };
            shown = {modal->objectName(),
                     modal->windowTitle(),
                     text("PatchMessageLBL"),
                     text("PatchSummaryLBL"),
                     {}};
            auto* list = modal->findChild<QListWidget*>("PatchChangesLST");
            for (int row = 0; row < list->count(); ++row) {
                shown.rows << list->item(row)->text();
            }
            modal->findChild<QAbstractButton*>(button)->click();
        });
        trigger(entry, {path});
        return shown;
    }
    // Triggers the menu entry, the file dialogs answering paths in turn.
    void trigger(const char* entry, const std::vector<std::string>& paths) {
        fake.files.answers.clear();
        for (const std::string& path : paths)
            fake.files.answers.push_back(QString::fromStdString(path));
        window->findChild<QAction*>(entry)->trigger();
    }
    // The last message as "text | details".
    QString lastBox() const {
        const auto& box = fake.messages.shown.back();
        return box.text + " | " + box.details;
    }

    test::TempDir dir;
    test::FakePlatform fake;
    std::unique_ptr<MainWindow> window = std::make_unique<MainWindow>(fake.platform(), "/opt/x");
    std::string original = test::Image().writeTo(dir.file("original.sfc"));
    std::string edited;
};

// What the edited image changes, in words (the lines themselves are pinned with the changes).
const QString kSummary = "1 roster slot, 6 cheat switches, 15 other bytes";

TEST_F(PatchWindows, ThePreviewListsWhatTheCliShowsAndOnlyApplyWrites) {
    const std::string path = openCopy();
    const std::string bps = patch("mod.bps");
    const QStringList cliLines = lines(runCli({"patch", "show", path, bps}).out);
    EXPECT_EQ(cliLines.size(), 10);
    for (const char* button : {"PatchCancelCMD", "PatchApplyCMD"}) {
        Shown shown = inChangesWindow("mnuApplyPatch", bps, button);
        EXPECT_EQ(shown.rows, cliLines);
        EXPECT_EQ(QStringList({shown.name, shown.title, shown.summary, shown.message}),
                  QStringList({"PatchPreview", "Apply Patch", kSummary, ""}));
        const bool cancelled = std::string(button) == "PatchCancelCMD";
        EXPECT_EQ(test::readFile(path), test::readFile(cancelled ? original : edited)) << button;
    }
    EXPECT_EQ(window->statusBar()->currentMessage(), "Applied the patch");
}

TEST_F(PatchWindows, CompareShowsWhatDiffPrintsAndRefusesOtherReleasesAndSizes) {
    const std::string path = openCopy();
    Shown shown = inChangesWindow("mnuCompare", edited, "CompareCloseCMD");
    EXPECT_EQ(shown.rows, lines(runCli({"diff", path, edited}).out));
    EXPECT_EQ(shown.rows.size(), 10);
    EXPECT_EQ(QStringList({shown.name, shown.title, shown.summary}),
              QStringList({"Compare", "Compare", kSummary}));
    for (test::ImageOptions other :
         {test::ImageOptions{.release = Release::Europe}, test::ImageOptions{.size = 0x1FC000}}) {
        const std::string otherPath = test::Image(other).writeTo(dir.file("other.sfc"));
        trigger("mnuCompare", {otherPath});
        const std::string refusal = runCli({"diff", path, otherPath}).err;
        EXPECT_EQ(lastBox(),
                  "The images cannot be compared. | " + QString::fromStdString(refusal).trimmed());
    }
}

TEST_F(PatchWindows, AnIpsPatchOnAHeaderedImageLandsWhereTheUserSays) {
    const std::string ips = patch("mod.ips");
    for (bool imageOffsets : {true, false}) {
        test::TempDir cliDir;
        const std::string byCli =
            test::Image({.copierHeader = true}).writeTo(cliDir.file("cli.smc"));
        runCli({"patch", "apply", byCli, ips, "--ips-offsets", imageOffsets ? "image" : "file"});
        const std::string path = openCopy(true);
        fake.messages.answers = {imageOffsets};
        Shown shown = inChangesWindow("mnuApplyPatch", ips, "PatchApplyCMD");
        EXPECT_EQ(fake.messages.questions.back().text.section('.', 0, 0),
                  "This image starts with a 512-byte copier header");
        EXPECT_EQ(shown.message.section('\n', 0, 0),
                  "An IPS patch carries no check: nothing tells whether it was made for this "
                  "image.");
        EXPECT_EQ(shown.message.contains("would land 512 bytes off"), imageOffsets);
        EXPECT_EQ(fake.messages.shown.back().details, shown.message);
        EXPECT_EQ(test::readFile(path), test::readFile(byCli)) << imageOffsets;
        window->findChild<QAction*>("mnuClose")->trigger();
    }
}

TEST_F(PatchWindows, TheCoresRefusalsAreShown) {
    const std::string path = openCopy();
    trigger("mnuCreatePatch", {original, dir.file("a")});
    EXPECT_TRUE(lastBox().startsWith("The patch was not written. | the images are identical"))
        << lastBox().toStdString();
    const std::string bps = patch("mod.bps");
    inChangesWindow("mnuApplyPatch", bps, "PatchApplyCMD");
    trigger("mnuApplyPatch", {bps});
    EXPECT_EQ(lastBox(),
              "The patch was not applied. | Cannot apply the patch: this patch is "
              "already applied to this image.");
    EXPECT_EQ(test::readFile(path), test::readFile(edited));
}

TEST_F(PatchWindows, CreatePatchAsksByTitleAndAddsTheExtensionOfTheChosenType) {
    window->Form_Load(QString::fromStdString(edited));
    const std::string byCli = patch("cli.bps"), typed = dir.file("my-rosters");
    trigger("mnuCreatePatch", {original, typed});  // BPS is preselected
    fake.files.chosenTypes = {0};
    trigger("mnuCreatePatch", {original, typed});
    EXPECT_EQ(test::readFile(typed + ".bps"), test::readFile(byCli));
    EXPECT_TRUE(std::filesystem::exists(typed + ".ips"));
    const auto& calls = fake.files.calls;
    EXPECT_EQ(QStringList({calls[calls.size() - 2].title, calls.back().title}),
              QStringList({"Choose the Unedited Image", "Save Patch As"}));
}

}  // namespace
}  // namespace slamwise
