#pragma once

#include <QMainWindow>
#include <memory>
#include <optional>

#include "platform/Platform.h"
#include "platform/UserSettings.h"
#include "ui/Caption.h"
#include "ui/ImageSession.h"

class QLabel;

namespace slamwise {

class ChecksumActions;
class ImageOpener;
class LeagueActions;
class Menus;
class PlayerEditor;

// The main window: it opens and closes the one image, owns its session, and wires the menus,
// the action units and the views to it. The player editor is its working area.
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

    bool romOpen() const { return session_->isOpen(); }
    // The release code kept in the hidden RegionLBL: "000" before any identification.
    QString releaseCode() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    // An image file dropped on the window opens as File > Open would; while an image is open
    // the drop is refused.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void createCentralWidget();
    void connectMenus();
    // The menus' enabled states and captions, from the session as it is now.
    void showMenuState();

    // What follows every opening, taken or refused.
    void afterOpening();
    // What the window shows of an image just opened, or written (a patch may change its title).
    void showOpenedImage();
    void LoadROMIName(const Identification& identification);
    void setMainAndRosterCaption(const QString& caption);
    // False, with a word in the status bar, while an image is open.
    bool acceptsDroppedImage();

    void mnuSave_Click();
    void mnuCheats_Click();
    void TeamEditCMD_Click();
    // File > Exit, the Cancel button and the close box all end the program this way.
    void endProgram();

    Platform platform_;
    UserSettings settings_;  // every setting the program reads or writes
    QString programFolder_;
    ImageSession* session_ = nullptr;
    std::unique_ptr<ImageOpener> opener_;
    Menus* menus_ = nullptr;
    LeagueActions* league_ = nullptr;
    ChecksumActions* checksum_ = nullptr;
    bool ended_ = false;

    // Captions that the roster editor and the cheat-code window get when they next open;
    // closing either window discards its caption.
    std::optional<QString> rosterCaption_;
    std::optional<QString> cheatsCaption_;

    PlayerEditor* playerEditor_ = nullptr;
    QLabel* regionLabel_ = nullptr;
};

}  // namespace slamwise
