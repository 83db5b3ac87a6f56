#pragma once
// The real main window on the offscreen platform over a throw-away application folder:
// the preferences file written by the test before the window is built, the message seam
// recorded, the window's own dialogs answered by the test and the process-wide values
// put back afterwards.
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTabWidget>
#include <QUrl>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/flags.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "shell/ui/main_window.h"
#include "support/message_recorder.h"
#include "support/qstring_printer.h"
#include "support/temp_app_dir.h"
class Ui_MainWindow; // the test includes ui_mainwindow.h itself, so that uic runs for it

namespace window_test {

// The seven data files, each an empty object, so that start-up raises no file code.
inline void writeEmptyDataFiles(const TempAppDir& app)
{
    for (const char* name : {"Species", "Reactants", "Kinetics", "Propellants", "Grains", "Nozzles", "Configurations"})
        app.write(std::string("Data/") + name + ".json", "{}\n");
}

inline void zeroFlags()
{
    for (auto* w : {&flagsSP, &flagsODE, &flagsODK, &flagsV, &flagsL, &flagsF})
        w->store(0);
    unitFlag.store(0);
    abortFlag.store(0);
    refreshFlag.store(0);
}

// What the window's dialogs were asked to do.
struct ShownDialog {
    QString title;
    QSize fixedSize;
    bool deleteOnClose = false;
    QString className;
    QObject* parent = nullptr;
};

class WindowTest : public ::testing::Test {
public:
    void SetUp() override
    {
        zeroFlags();
        solidsHidden = false;
        babyModeActive = false;
    }
    void TearDown() override
    {
        window.reset();
        zeroFlags();
        solidsHidden = false;
        babyModeActive = false;
        qApp->setStyleSheet(QString());
    }

    // A complete preferences file (as the program writes it) with the given "General"
    // members, so that the window starts from it without repairing anything.
    void writePreferences(const nlohmann::json& general)
    {
        std::filesystem::remove(app.path() + "/Data/Preferences.json");
        loadPreferences();
        nlohmann::json doc = nlohmann::json::parse(app.read("Data/Preferences.json"));
        for (const auto& [key, value] : general.items())
            doc["General"][key] = value;
        app.write("Data/Preferences.json", doc.dump(4) + "\n");
        zeroFlags();
    }

    MainWindow::Dialogs testDialogs()
    {
        MainWindow::Dialogs d;
        d.openFileName = [this](QWidget*, const QString& caption, const QString& start, const QString& filter) {
            fileDialogs.push_back({caption, start, filter});
            return chosenFile;
        };
        d.showFlagList = [this](QWidget*, const FlagListRequest& request) { flagLists.push_back(request); };
        d.runDialog = [this](QDialog* dialog) {
            ShownDialog shown;
            shown.title = dialog->windowTitle();
            shown.fixedSize = dialog->minimumSize() == dialog->maximumSize() ? dialog->minimumSize() : QSize();
            shown.deleteOnClose = dialog->testAttribute(Qt::WA_DeleteOnClose);
            shown.className = dialog->metaObject()->className();
            shown.parent = dialog->parent();
            dialogs.push_back(shown);
            if (inspectDialog)
                inspectDialog(dialog);
            dialog->close();
            return dialogResult;
        };
        d.openUrl = [this](const QUrl& url) {
            urls.push_back(url);
            return urlOpens;
        };
        return d;
    }

    MainWindow& build()
    {
        window = std::make_unique<MainWindow>(nullptr, testDialogs());
        return *window;
    }
    Ui_MainWindow& form() { return *window->form(); }

    static QStringList entries(const QMenu* menu)
    {
        QStringList texts;
        for (const QAction* a : menu->actions())
            texts.append(a->isSeparator() ? QStringLiteral("---") : a->text());
        return texts;
    }

    struct FileDialogCall {
        QString caption, start, filter;
    };

    TempAppDir app;
    MessageRecorder messages;
    std::unique_ptr<MainWindow> window;
    std::vector<FlagListRequest> flagLists;
    std::vector<ShownDialog> dialogs;
    std::vector<QUrl> urls;
    std::vector<FileDialogCall> fileDialogs;
    QString chosenFile; // what the open-file dialog answers (empty: cancelled)
    int dialogResult = 0; // what a dialog run returns
    bool urlOpens = true; // what handing a manual to the desktop returns
    std::function<void(QDialog*)> inspectDialog;
};

} // namespace window_test
