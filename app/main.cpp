#include <QApplication>
#include <QCommandLineParser>

#include "Version.h"
#include "app/AppIcon.h"
#include "app/MainWindow.h"
#include "platform/QtPlatform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationVersion(QString::fromStdString(slamwise::versionText()));
    // Lets the desktop match the windows with the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(slamwise::kApplicationId));
    QApplication::setWindowIcon(slamwise::applicationIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Slamwise Player Editor: edits the players, rosters and cheat codes of a "
                       "Slamwise ROM image in place."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("image"),
        QStringLiteral("The ROM image to open; without it the open-file dialog comes up."),
        QStringLiteral("[image]"));
    parser.process(app);

    slamwise::QtPlatform services;
    slamwise::MainWindow window(services.platform(), QApplication::applicationDirPath());
    if (parser.positionalArguments().isEmpty()) {
        window.Form_Load();
    } else {
        window.Form_Load(parser.positionalArguments().constFirst());
    }
    window.show();
    return app.exec();
}
