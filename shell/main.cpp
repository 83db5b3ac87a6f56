#include <cstdlib>

#include <QApplication>
#include <QDir>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QSplashScreen>
#include <QTimer>

#include "core/message_box.h"
#include "core/preferences.h"
#include "core/ui/message_box_presenter.h"
#include "engine/engine_messages.h"
#include "shell/ui/main_window.h"

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    installMessageBoxPresenter();
    appDirectory = QDir::fromNativeSeparators(QCoreApplication::applicationDirPath()).toStdString();
    while (appDirectory.size() > 1 && appDirectory.back() == '/')
        appDirectory.pop_back();

    // The engine has no widgets: its messages become critical boxes, carried to the GUI
    // thread by the message seam when a run reports from its worker.
    setEngineMessageHandler([](const EngineMessage& message) {
        MessageRequest request;
        request.icon = Msg::Critical;
        request.title.clear(); // the engine's boxes carry no title
        request.text = QString::fromStdString(message.text);
        request.informativeText = QString::fromStdString(message.informativeText);
        showMessage(nullptr, request);
    });

    // The splash lives until the program ends; it is closed, never deleted.
    auto* splash = new QSplashScreen(QPixmap());
    const QPixmap logo(QString::fromStdString(appDirectory + "/Graphics/Logo_KAVRO.png"));
    if (!logo.isNull()) {
        const QRect screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->geometry() : QRect();
        const int boxWidth = static_cast<int>(0.6 * screen.width());
        const int boxHeight = static_cast<int>(0.8 * screen.height());
        if (boxWidth > 0 && boxHeight > 0)
            splash->setPixmap(logo.scaled(boxWidth, boxHeight, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    splash->show();

    int code = EXIT_FAILURE;
    {
        MainWindow window;
        if (window.startupRefused()) {
            // The user has been told why; the window closes without ever being shown and
            // the program ends with a failure code.
            splash->close();
            QTimer::singleShot(500, &app, [] { QCoreApplication::exit(EXIT_FAILURE); });
            app.exec();
        } else {
            QTimer::singleShot(2500, splash, &QWidget::close);
            QTimer::singleShot(2000, &window, &QWidget::showMaximized);
            QTimer::singleShot(2500, &window, &QWidget::show);
            code = app.exec();
        }
    }
    return code;
}
