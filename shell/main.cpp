#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QTimer>

#include "core/message_box.h"
#include "core/ui/message_box_presenter.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "core/ui/widget_style.h"
#include "engine/engine_messages.h"

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

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("KAVRO 1.0"));
    window.resize(1200, 800);
    const bool preferencesLoaded = loadPreferences();
    applyWidgetStyle(WINSTYLE);
    window.show();
    if (!preferencesLoaded) {
        showCritical(&window, QString::fromUtf8(preferencesOpenFailedAtStart));
        QTimer::singleShot(500, &window, &QWidget::close);
    }
    return app.exec();
}
