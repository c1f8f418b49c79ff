#include <QApplication>

#include "app/MainWindow.h"
#include "platform/QtPlatform.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    slamwise::QtPlatform services;
    slamwise::MainWindow window(services.platform(), QApplication::applicationDirPath());
    window.Form_Load();
    window.show();
    return app.exec();
}
