#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>

#include "platform/Platform.h"
#include "platform/UserSettings.h"
#include "game/Identify.h"
#include "game/Names.h"
#include "image/OpenedImage.h"

class QAction;
class QLabel;
class QMenu;

namespace slamwise {

class PlayerEditor;

// The main window: menus, opening and identifying an image, closing it, and the player editor
// as its working area. It owns the one open image file.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    static const QString kDesignCaption;

    MainWindow(Platform platform, QString programFolder, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Runs once before the window is first shown: the open-file dialog comes up at once, then
    // the last-file entry is set up.
    void Form_Load();
    // Start-up with an image named on the command line: it is opened as if it had been chosen
    // in the open-file dialog, which is not shown.
    void Form_Load(const QString& imagePath);

    // The dialog path and the last-file path of opening an image.
    void LoadROM();
    void QuickLoad();
    void CloseROM();
    // Writes the first-run settings; runs once whenever the program ends.
    void SaveREG();

    bool romOpen() const { return image_ != nullptr; }
    // The release code kept in the hidden RegionLBL: "000" before any identification.
    QString releaseCode() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    // An image file dropped on the window opens as File > Open would; while an image is open
    // the drop is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    enum class OpenPath { Dialog, RememberedFile };

    void createMenus();
    void createCentralWidget();
    // Edit > Undo and Redo: captions name the change, disabled with nothing to undo or redo.
    void createEditMenu();
    void updateEditMenu();
    void undoOrRedo(bool undo);

    // Opens path and shows what the opening found; on success the window is in the "ROM open"
    // state. Each refusal shows its message and leaves no file open.
    void openImage(const QString& path, OpenPath via);
    void refuseOpening(OpenPath via, const QString& details = {});
    void refuseUnknownImage(const OpenedImage& image);
    // The player, team and head-graphic names of the names file beside the image, if any.
    void useNamesFor(const QString& imagePath);
    void LoadROMIName(const Identification& identification);
    void switchEditingControlsOn();
    void setMainAndRosterCaption(const QString& caption);
    void updateLastFileEntry();
    // The main window comes to the front with the player list focused, ready for the keys.
    void focusPlayerList();
    // False, with a word in the status bar, while an image is open.
    bool acceptsDroppedImage();

    void mnuOpen_Click();
    void mnuLastFile_Click();
    void mnuSave_Click();
    void mnuCheats_Click();
    void mnuHomepage_Click();
    void mnuAbout_Click();
    void TeamEditCMD_Click();
    // File > Exit, the Cancel button and the close box all end the program this way.
    void endProgram();

    // The checksum and patch entries of the File menu, and the checksum in the status bar.
    void createChecksumEntries(QMenu* file);
    // Hands the checksum setting and the status bar's update to the image just opened.
    void watchWrites();
    // Shows the state of the open image's checksum; run after every write.
    void showChecksumState();
    void mnuFixChecksum_Click();
    void mnuAutoFixChecksum_Click(bool on);
    void mnuCreatePatch_Click();
    void mnuApplyPatch_Click();

    Platform platform_;
    UserSettings settings_;  // every setting the program reads or writes
    QString programFolder_;
    GameNames names_;
    std::unique_ptr<OpenedImage> image_;
    bool ended_ = false;

    // Captions that the roster editor and the cheat-code window get when they next open;
    // closing either window discards its caption.
    std::optional<QString> rosterCaption_;
    std::optional<QString> cheatsCaption_;

    PlayerEditor* playerEditor_ = nullptr;
    QLabel* regionLabel_ = nullptr;
    QAction* mnuOpen_ = nullptr;
    QAction* mnuClose_ = nullptr;
    QAction* mnuSave_ = nullptr;
    QAction* mnuLastFile_ = nullptr;
    QAction* mnuExit_ = nullptr;
    QAction* mnuCheats_ = nullptr;
    QAction* mnuHomepage_ = nullptr;
    QAction* mnuAbout_ = nullptr;
    QAction* mnuFixChecksum_ = nullptr;
    QAction* mnuAutoFixChecksum_ = nullptr;
    QAction* mnuCreatePatch_ = nullptr;
    QAction* mnuApplyPatch_ = nullptr;
    QLabel* checksumLabel_ = nullptr;
    QAction* mnuUndo_ = nullptr;
    QAction* mnuRedo_ = nullptr;
};

// "Slamwise Player Editor (v0.36)"
QString programCaption();

}  // namespace slamwise
