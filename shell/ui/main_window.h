#pragma once
// The main window: it loads the preferences, checks every data file, hosts the four tabs
// and carries the menus: data-file switching, export of the current tab, the display
// modes, the manuals and format pictures, the Preferences dialog and the Warnings and
// Critical Errors menus built from the flag words.
#include <functional>

#include <QMainWindow>
#include <QPalette>
#include <QString>
#include <QStringList>

#include "core/flag_codes.h"
#include "shell/flag_texts.h"

class Preferences;
class QDialog;
class QUrl;
class Ui_MainWindow;

class MainWindow : public QMainWindow {
    Q_OBJECT

public:
    // The modal dialogs and the desktop hand-over of the window, replaceable so that
    // tests can answer them (the defaults show the real dialogs).
    struct Dialogs {
        // The open-file dialog of the data-file switches: the chosen path, empty when cancelled.
        std::function<QString(QWidget* parent, const QString& caption, const QString& start, const QString& filter)>
                openFileName;
        // The pop-up list of raised codes.
        std::function<void(QWidget* parent, const FlagListRequest& request)> showFlagList;
        // Runs a dialog of the window modally (explanations, format pictures, About,
        // Preferences) and returns its result code.
        std::function<int(QDialog* dialog)> runDialog;
        // Hands a manual to the desktop's viewer.
        std::function<bool(const QUrl& url)> openUrl;
    };
    static Dialogs defaultDialogs();

    explicit MainWindow(QWidget* parent = nullptr, Dialogs dialogs = defaultDialogs());
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // True when the preferences file or a data file could not be used at start-up: the
    // user was told and the window closes; the program must end rather than show it.
    bool startupRefused() const { return startupRefused_; }
    // The night palette the constructor built.
    const QPalette& nightPalette() const { return darkPalette; }
    Dialogs& dialogs() { return dialogs_; }
    Ui_MainWindow* form() const { return ui; }

public slots:
    void OnTabChange();
    void exportar();
    void ThermoFormat();
    void TransportFormat();
    void KineticsFormat();
    void About();
    void openPreferences();
    void switchNightMode(bool is);
    void switchBabyMode(bool is);
    void hideSolids(bool tog);
    void openUsers();
    void openDoc();

    void UpdateFlags(bool popup_err = true, bool popup_warn = true);
    void FlagsInfo();
    void clear_warn();
    void clear_crit();

    void ChangeSPFile();
    void ChangeRCFile();
    void ChangeKINFile();
    void ChangePROPFile();
    void ChangeGRAINFile();
    void ChangeNOZZFile();
    void ChangeCONFIGFile();
    void ChangePREFFile();

private:
    void refuseStartup(const QString& text);
    void checkDataFiles();
    void buildNightPalette();
    void showFormat(const QString& picture, const QString& title);
    // Hands a manual to the desktop; when that fails, says where the PDF file is.
    void openManual(const QString& title, const char* relative);
    void changeDataFile(int index);

    Ui_MainWindow* ui;
    Preferences* lastPreferences = nullptr;
    QPalette darkPalette;
    Dialogs dialogs_;
    bool startupRefused_ = false;
};
