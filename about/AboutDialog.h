#pragma once

#include <QDialog>

#include "platform/Platform.h"

namespace slamwise {

// "About this Program...": the program's name, version and dates, a disclaimer and two links.
class AboutDialog : public QDialog {
    Q_OBJECT
  public:
    static const QString kHomePage;
    static const QString kForum;

    AboutDialog(UrlOpener& urls, QWidget* parent = nullptr);

    // The text of ProgramInfoLBL, lines joined by CR LF.
    static QString programText();

  private:
    UrlOpener& urls_;
};

}  // namespace slamwise
