#pragma once

#include <QObject>
#include <memory>

#include "image/Session.h"

namespace slamwise {

// The open image as every window sees it: one object, owned by the main window, that holds the
// core Session while an image is open and tells every view what happened to it. The views
// (player area, roster and cheat windows, status bar, Edit menu) listen and refresh themselves;
// nobody refreshes another window by hand.
class ImageSession : public QObject {
    Q_OBJECT
  public:
    // What a write that went through did: an action done, or the last change undone or redone.
    enum class Step { Done, Undone, Redone };
    Q_ENUM(Step)

    explicit ImageSession(QObject* parent = nullptr);
    ~ImageSession() override;

    // Takes the session of an image just opened (refusals are the opener's business).
    void open(Session session);
    // Lets the image go; nothing is written.
    void close();

    bool isOpen() const { return session_ != nullptr; }
    // Only while an image is open.
    const Session& session() const { return *session_; }
    const OpenedImage& image() const { return session_->image(); }
    const GameNames& names() const { return names_; }
    // The names shown from now on (also kept while no image is open).
    void setNames(GameNames names);

    // "Fix Checksum After Every Change"; kept across openings.
    void setFixChecksum(bool on);
    bool fixesChecksum() const { return fixChecksum_; }

    // The one door for the windows' writes: check, then commit (see Session::apply). Views hear
    // written() after every write attempted, and historyChanged() when the list of changes
    // changed; an action refused before its write tells nobody.
    Result<Applied> apply(const Action& action);
    // The action prepared with every check (Session::prepare), without the list of changed
    // bytes, which no window shows; nothing is written.
    Result<Applied> check(const Action& action) const;
    Status commit(const Applied& applied);
    Status undo();
    Status redo();

  signals:
    void opened();
    // Just before the image is let go: the views may still read it.
    void aboutToClose();
    void closed();
    // After every write attempt: an action, an undo or a redo, whether it succeeded or not.
    void written();
    void historyChanged();
    // After a write that went through, after written(): the label of the change ("Apply to
    // Player 037", "Relocation") and what was done with it.
    void changeWritten(const QString& label, ImageSession::Step step);
    void namesChanged();

  private:
    Status step(bool undo);

    std::unique_ptr<Session> session_;
    GameNames names_;
    bool fixChecksum_ = false;
};

}  // namespace slamwise
