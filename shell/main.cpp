#include <QApplication>
#include <QDir>
#include <QMainWindow>

#include "core/preferences.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    appDirectory = QDir::fromNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    while (appDirectory.size() > 1 && appDirectory.back() == '/')
        appDirectory.pop_back();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("KAVRO 1.0"));
    window.resize(1200, 800);
    window.show();
    return app.exec();
}
