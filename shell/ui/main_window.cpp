#include "shell/ui/main_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QStyle>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "core/calculation_activity.h"
#include "core/flags.h"
#include "core/message_box.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "core/ui/widget_style.h"
#include "core/view_message.h"
#include "shell/data_file_checks.h"
#include "shell/data_file_switch.h"
#include "shell/export_dispatch.h"
#include "shell/flag_texts.h"
#include "shell/preferences_form.h"
#include "shell/ui/flag_list_dialog.h"
#include "shell/ui/preferences_dialog.h"
#include "ui_mainwindow.h"

namespace {

const char* const versionText = "1.0";
const char* const authorCredit = " - by the KAVRO developers";

// The credits of the About window.
const char* const creditsText
        = "<h3>KAVRO 1.0</h3>"
          "<p>A program for the early design of rocket engines: it defines propellants from a database of "
          "chemical species, reactants and reactions, solid-propellant grains and nozzle contours, and computes "
          "the one-dimensional flow from the combustion chamber through the nozzle in chemical equilibrium, in "
          "frozen flow or with finite-rate chemical kinetics.</p>"
          "<p>Written by the KAVRO developers.</p>"
          "<p>The user manual explains the tabs, the runs and the data files; the full documentation the models "
          "and equations. Both open from the File menu.</p>";

QString fromApp(const char* relative)
{
    return QString::fromStdString(appDirectory) + QString::fromUtf8(relative);
}

MessageRequest startupBox(const QString& text)
{
    MessageRequest request;
    request.icon = Msg::Critical;
    request.title.clear();
    request.windowIcon = true;
    request.text = text;
    return request;
}

} // namespace

MainWindow::Dialogs MainWindow::defaultDialogs()
{
    Dialogs d;
    d.openFileName = [](QWidget* parent, const QString& caption, const QString& start, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, start, filter);
    };
    d.showFlagList = [](QWidget* parent, const FlagListRequest& request) {
        FlagListDialog box(parent, request);
        box.exec();
    };
    d.runDialog = [](QDialog* dialog) { return dialog->exec(); };
    d.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    return d;
}

MainWindow::MainWindow(QWidget* parent, Dialogs dialogs)
    : QMainWindow(parent), ui(new Ui_MainWindow), darkPalette(), dialogs_(std::move(dialogs))
{
    // Each step's boxes are shown as soon as it returns, before the next step runs.
    if (!showReported(this, loadPreferences()))
        refuseStartup(QString::fromUtf8(preferencesOpenFailedAtStart));
    checkDataFiles();
    // Some file was not where the preferences said and its default took its place:
    // record the paths now in use.
    if (flagRaised(flagsF, code::anyFileMissing))
        showReported(this, saveDataFilePaths());

    ui->setupUi(this);
    setWindowIcon(QIcon(fromApp("/Graphics/Logo.ico")));
    setWindowTitle(QStringLiteral("KAVRO ") + QString::fromUtf8(versionText) + QString::fromUtf8(authorCredit));

    connect(ui->DataWin, &DataTab::StatusMessage, ui->statusbar, &QStatusBar::showMessage);
    connect(ui->PropWin, &PropTab::StatusMessage, ui->statusbar, &QStatusBar::showMessage);
    connect(ui->NozzleWin, &NozzleTab::StatusMessage, ui->statusbar, &QStatusBar::showMessage);
    connect(ui->GrainWin, &GrainTab::StatusMessage, ui->statusbar, &QStatusBar::showMessage);
    connect(ui->DataWin, &DataTab::FlagsUpdated, this, &MainWindow::UpdateFlags);
    connect(ui->PropWin, &PropTab::FlagsUpdated, this, &MainWindow::UpdateFlags);
    connect(ui->NozzleWin, &NozzleTab::FlagsUpdated, this, &MainWindow::UpdateFlags);
    connect(ui->GrainWin, &GrainTab::FlagsUpdated, this, &MainWindow::UpdateFlags);

    // The menus own their placeholders, so the first rebuild of the menus deletes them.
    ui->actionNo_warnigns_found->setParent(ui->menuWarnings);
    ui->actionNo_critical_errors_found->setParent(ui->menuCritical_Errors);

    ui->tabs->setCurrentIndex(default_tab);
    buildNightPalette();

    // Checking runs the slot when the state changes; the direct call applies the style
    // and the palette also when night mode stays off.
    ui->actionNight_mode->setChecked(NightMode);
    switchNightMode(NightMode);
    ui->actionStatus_bar->setChecked(StatusBar);
    ui->actionBaby_mode->setChecked(BabyMode);
    ui->actionHide_solid_motor_simulation->setChecked(hideSolid);
    if (LOCK_BABYMODE)
        ui->actionBaby_mode->setEnabled(false);

    UpdateFlags(true, true);
}

MainWindow::~MainWindow()
{
    delete ui;
}

void MainWindow::refuseStartup(const QString& text)
{
    showMessage(nullptr, startupBox(text));
    startupRefused_ = true;
    QTimer::singleShot(500, this, &QWidget::close);
}

void MainWindow::checkDataFiles()
{
    // Species, Reactants, Kinetics, Propellants, Grains, Nozzles, Configurations; every
    // check runs even after one has failed.
    for (const DataFileLayout& layout : dataFileLayouts())
        if (!showReported(this, checkDataFile(layout, *layout.preference)))
            refuseStartup(QString::fromStdString(dataFileOpenFailedAtStart(layout)));
}

void MainWindow::buildNightPalette()
{
    const QColor white(255, 255, 255);
    const QColor grey(128, 128, 128);
    const QColor window(53, 53, 53);
    const QColor blue(42, 130, 218);
    const QPalette::ColorGroup all[] = {QPalette::Active, QPalette::Inactive, QPalette::Disabled};
    auto every = [&](QPalette::ColorRole role, const QColor& colour) {
        for (QPalette::ColorGroup group : all)
            darkPalette.setBrush(group, role, QBrush(colour));
    };
    // Active and Inactive one colour, Disabled another.
    auto enabledDisabled = [&](QPalette::ColorRole role, const QColor& enabled, const QColor& disabled) {
        darkPalette.setBrush(QPalette::Active, role, QBrush(enabled));
        darkPalette.setBrush(QPalette::Inactive, role, QBrush(enabled));
        darkPalette.setBrush(QPalette::Disabled, role, QBrush(disabled));
    };
    every(QPalette::Window, window);
    enabledDisabled(QPalette::WindowText, white, grey);
    every(QPalette::Base, QColor(25, 25, 25));
    every(QPalette::AlternateBase, window);
    every(QPalette::ToolTipBase, white);
    every(QPalette::ToolTipText, white);
    every(QPalette::PlaceholderText, QColor(200, 200, 200));
    darkPalette.setBrush(QPalette::Active, QPalette::Button, QBrush(grey.darker(200)));
    darkPalette.setBrush(QPalette::Inactive, QPalette::Button, QBrush(QColor(28, 28, 28)));
    darkPalette.setBrush(QPalette::Disabled, QPalette::Button, QBrush(QColor(28, 28, 28)));
    enabledDisabled(QPalette::ButtonText, white, grey);
    every(QPalette::BrightText, QColor(255, 0, 0));
    every(QPalette::Link, blue);
    every(QPalette::Highlight, blue);
    every(QPalette::HighlightedText, white);
    // Inactive text keeps Qt's default.
    darkPalette.setBrush(QPalette::Active, QPalette::Text, QBrush(white));
    darkPalette.setBrush(QPalette::Disabled, QPalette::Text, QBrush(grey));
    every(QPalette::Light, QColor(0, 0, 0));
    every(QPalette::Midlight, window);
    every(QPalette::Dark, white);
    every(QPalette::Shadow, QColor(200, 200, 200));
}

// ---------------------------------------------------------------------------------------
// Commands and modes

void MainWindow::OnTabChange()
{
    if (refreshFlag.load(std::memory_order_relaxed) == 0)
        return;
    // Both tabs reload their chosen propellant: a refusal of it is told once.
    RepeatedBoxFilter onceEach;
    ui->NozzleWin->refreshLists();
    ui->DataWin->refreshLists();
    refreshFlag.store(0, std::memory_order_relaxed);
}

void MainWindow::exportar()
{
    switch (exportTarget(ui->tabs->currentIndex(), solidsHidden)) {
    case ExportTarget::Propellant: ui->PropWin->exportar(); break;
    case ExportTarget::Grain: ui->GrainWin->exportar(); break;
    case ExportTarget::Nozzle: ui->NozzleWin->exportar(); break;
    case ExportTarget::Calculations: ui->DataWin->exportar(); break;
    case ExportTarget::None: break;
    }
}

void MainWindow::switchNightMode(bool is)
{
    applyWidgetStyle(WINSTYLE);
    if (is) {
        QApplication::setPalette(darkPalette);
        qApp->setStyleSheet(QStringLiteral("QWidget {color: white;}"));
    } else {
        QApplication::setPalette(QApplication::style()->standardPalette());
        qApp->setStyleSheet(QStringLiteral("QWidget {color: black;}"));
    }
    ui->DataWin->NightMode(is);
    ui->NozzleWin->NightMode(is);
    ui->GrainWin->NightMode(is);
    ui->PropWin->NightMode(is);
}

void MainWindow::switchBabyMode(bool is)
{
    babyModeActive = is;
    if (is) {
        ui->menuChange_data_files->setEnabled(false);
        if (BLOCK_PREFERENCES)
            ui->actionPreferences->setEnabled(false);
    } else {
        ui->menuChange_data_files->setEnabled(true);
        ui->actionPreferences->setEnabled(true);
    }
    ui->PropWin->BabyMode(is);
    ui->GrainWin->BabyMode(is);
    ui->NozzleWin->BabyMode(is);
    ui->DataWin->BabyMode(is);
}

void MainWindow::hideSolids(bool tog)
{
    solidsHidden = tog;
    ui->GrainWin->setEnabled(!tog);
    ui->PropWin->hideSolid(tog);
    ui->NozzleWin->hideSolid(tog);
    ui->DataWin->hideSolid(tog);
    // The grain tab sits at index 1 whenever it is shown; look it up rather than trust
    // the index, so that a repeated call never removes another tab or adds it twice.
    const int at = ui->tabs->indexOf(ui->GrainWin);
    if (tog) {
        if (at >= 0)
            ui->tabs->removeTab(at);
    } else if (at < 0) {
        ui->tabs->insertTab(1, ui->GrainWin, QStringLiteral("Grain geometry"));
    }
}

void MainWindow::openManual(const QString& title, const char* relative)
{
    const QString path = fromApp(relative);
    if (dialogs_.openUrl(QUrl::fromLocalFile(path)))
        return;
    // Without a program for PDF files nothing would show: the user is told where the file is.
    MessageRequest request;
    request.icon = Msg::Warning;
    if (QFileInfo::exists(path)) {
        request.text = QStringLiteral("The ") + title
                + QStringLiteral(" could not be opened: no program to show PDF files was found");
        request.informativeText = QStringLiteral("Open it with any PDF viewer: ") + path;
    } else {
        request.text = QStringLiteral("The ") + title + QStringLiteral(" could not be opened: the file was not found");
        request.informativeText
                = QStringLiteral("It belongs at ") + path + QStringLiteral("; building the program makes it there.");
    }
    showMessage(this, request);
}

void MainWindow::openUsers()
{
    openManual(QStringLiteral("User Manual"), "/Documentation/KAVRO_User_Manual.pdf");
}

void MainWindow::openDoc()
{
    openManual(QStringLiteral("Full Documentation"), "/Documentation/KAVRO_Full_Documentation.pdf");
}

void MainWindow::showFormat(const QString& picture, const QString& title)
{
    // Each opening builds its own window; it goes when it is closed, pixmap included.
    auto* dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(dialog);
    label->setObjectName("label_picture");
    label->setPixmap(QPixmap(picture));
    label->setScaledContents(true);
    layout->addWidget(label);
    dialog->setFixedSize(static_cast<int>(0.75 * width()), static_cast<int>(0.75 * height()));
    dialog->setWindowTitle(title);
    dialogs_.runDialog(dialog);
}

void MainWindow::ThermoFormat()
{
    showFormat(fromApp("/Graphics/Thermo_format.png"), QStringLiteral("KAVRO - Thermo format"));
}

void MainWindow::TransportFormat()
{
    showFormat(fromApp("/Graphics/Transport_format.png"), QStringLiteral("KAVRO - Transport format"));
}

void MainWindow::KineticsFormat()
{
    showFormat(fromApp("/Graphics/Kinetics_format.png"), QStringLiteral("KAVRO - Kinetics format"));
}

void MainWindow::About()
{
    auto* dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QHBoxLayout(dialog);
    auto* logo = new QLabel(dialog);
    logo->setObjectName("label_logo");
    const QPixmap image(fromApp("/Graphics/Logo_KAVRO.png"));
    if (!image.isNull())
        logo->setPixmap(image.scaled(static_cast<int>(0.25 * width()), static_cast<int>(0.5 * height()),
                                     Qt::KeepAspectRatio, Qt::SmoothTransformation));
    logo->setAlignment(Qt::AlignCenter);
    logo->setScaledContents(true);
    layout->addWidget(logo, 1);
    auto* credits = new QTextEdit(dialog);
    credits->setObjectName("text_credits");
    credits->setReadOnly(true);
    credits->setHtml(QString::fromUtf8(creditsText));
    layout->addWidget(credits, 1);
    dialog->setFixedSize(static_cast<int>(0.5 * width()), static_cast<int>(0.5 * height()));
    dialog->setWindowTitle(QStringLiteral("KAVRO - About the application"));
    dialogs_.runDialog(dialog);
}

void MainWindow::openPreferences()
{
    // One Preferences dialog at a time: the previous one goes when the next opens.
    delete lastPreferences;
    lastPreferences = new Preferences(this);
    const int result = dialogs_.runDialog(lastPreferences);
    if (result & preferences_result::ResultsView)
        ui->DataWin->switchResultsView();
    if (result & preferences_result::Style)
        switchNightMode(ui->actionNight_mode->isChecked());
    if (result & preferences_result::BabyModeLocked) {
        ui->actionBaby_mode->setChecked(true);
        ui->actionBaby_mode->setEnabled(false);
    }
}

// ---------------------------------------------------------------------------------------
// Warnings and critical errors

namespace {

// Empties a flag menu. Its entries go at the next turn of the event loop: the entry whose
// explanation window is open may be the sender of the signal still on the stack.
void emptyMenu(QMenu* menu)
{
    const QList<QAction*> entries = menu->actions();
    for (QAction* entry : entries) {
        menu->removeAction(entry);
        if (entry->parent() == menu)
            entry->deleteLater();
    }
}

QStringList menuLines(const QMenu* menu)
{
    QStringList lines;
    for (const QAction* entry : menu->actions())
        lines.append(entry->text());
    return lines;
}

} // namespace

void MainWindow::UpdateFlags(bool popup_err, bool popup_warn)
{
    emptyMenu(ui->menuWarnings);
    emptyMenu(ui->menuCritical_Errors);
    for (const FlagCode* code : raisedFlagCodes()) {
        QMenu* menu = code->severity == Severity::Warning ? ui->menuWarnings : ui->menuCritical_Errors;
        menu->addAction(QString::fromUtf8(code->line));
    }
    if (popup_err && !ui->menuCritical_Errors->actions().isEmpty())
        dialogs_.showFlagList(this,
                              {Severity::Critical, QString::fromUtf8(criticalPopupTitle),
                               QString::fromUtf8(criticalPopupText), menuLines(ui->menuCritical_Errors)});
    if (popup_warn && !ui->menuWarnings->actions().isEmpty())
        dialogs_.showFlagList(this,
                              {Severity::Warning, QString::fromUtf8(warningsPopupTitle),
                               QString::fromUtf8(warningsPopupText), menuLines(ui->menuWarnings)});
    if (ui->menuWarnings->actions().isEmpty())
        ui->menuWarnings->addAction(QString::fromUtf8(noWarningsPlaceholder));
    if (ui->menuCritical_Errors->actions().isEmpty())
        ui->menuCritical_Errors->addAction(QString::fromUtf8(noCriticalErrorsPlaceholder));
    for (QMenu* menu : {ui->menuWarnings, ui->menuCritical_Errors})
        for (QAction* entry : menu->actions())
            connect(entry, &QAction::triggered, this, &MainWindow::FlagsInfo);
}

void MainWindow::FlagsInfo()
{
    const auto* entry = qobject_cast<QAction*>(sender());
    const bool warnings = entry && entry->parent() == ui->menuWarnings;
    auto* dialog = new QDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(dialog);
    auto* text = new QTextEdit(dialog);
    text->setObjectName("text_explanations");
    text->setReadOnly(true);
    layout->addWidget(text);
    if (warnings) {
        dialog->setFixedSize(static_cast<int>(0.75 * width()), static_cast<int>(0.75 * height()));
        dialog->setWindowTitle(QString::fromUtf8(warningInfoTitle));
        text->setHtml(flagExplanations(Severity::Warning));
    } else {
        dialog->setFixedSize(static_cast<int>(0.5 * width()), static_cast<int>(0.5 * height()));
        dialog->setWindowTitle(QString::fromUtf8(criticalInfoTitle));
        text->setHtml(flagExplanations(Severity::Critical));
    }
    dialogs_.runDialog(dialog);
}

void MainWindow::clear_warn()
{
    clearWarnings();
    UpdateFlags(false, false);
}

void MainWindow::clear_crit()
{
    clearCritical();
    UpdateFlags(false, false);
}

// ---------------------------------------------------------------------------------------
// Data-file switching

namespace {

// The box after a switch: a child of the window (carrying its icon) or a box of its own
// with the program's icon; never a title.
void showSwitchMessage(QWidget* window, const SwitchMessage& message)
{
    if (message.text.isEmpty())
        return;
    MessageRequest request;
    request.icon = message.icon;
    request.title.clear();
    request.windowIcon = !message.childOfWindow;
    request.text = message.text;
    request.informativeText = message.informativeText;
    showMessage(message.childOfWindow ? window : nullptr, request);
}

} // namespace

void MainWindow::changeDataFile(int index)
{
    const DataFileSwitch& sw = dataFileSwitches().at(static_cast<std::size_t>(index));
    const QString chosen = dialogs_.openFileName(this, tr(sw.caption), QString::fromStdString(*sw.preference),
                                                 tr(dataFileDialogFilter));
    if (chosen.isEmpty())
        return;
    // The boxes of the check and of the preferences file come before the lists are
    // refreshed and the outcome is told.
    const SwitchOutcome outcome = showReported(this, switchDataFile(sw, chosen.toStdString()));
    if (outcome == SwitchOutcome::Changed) {
        switch (sw.refresh) {
        case SwitchRefresh::Reactants:
            ui->PropWin->updateReactantList();
            ui->PropWin->removeAllReactants();
            break;
        case SwitchRefresh::NozzleThenData: {
            RepeatedBoxFilter onceEach;
            ui->NozzleWin->refreshLists();
            ui->DataWin->refreshLists();
            break;
        }
        case SwitchRefresh::Data: ui->DataWin->refreshLists(); break;
        case SwitchRefresh::None: break;
        }
    }
    showSwitchMessage(this, switchMessage(sw, outcome));
}

void MainWindow::ChangeSPFile()
{
    changeDataFile(0);
}

void MainWindow::ChangeRCFile()
{
    changeDataFile(1);
}

void MainWindow::ChangeKINFile()
{
    changeDataFile(2);
}

void MainWindow::ChangePROPFile()
{
    changeDataFile(3);
}

void MainWindow::ChangeGRAINFile()
{
    changeDataFile(4);
}

void MainWindow::ChangeNOZZFile()
{
    changeDataFile(5);
}

void MainWindow::ChangeCONFIGFile()
{
    changeDataFile(6);
}

void MainWindow::ChangePREFFile()
{
    // Refused before a file is asked for: loading it would set the solver settings that
    // a running calculation reads.
    if (calculationsRunning() > 0) {
        showSwitchMessage(this, switchMessage(PreferencesSwitchOutcome::CalculationRunning));
        return;
    }
    const QString chosen = dialogs_.openFileName(this, tr(preferencesFileDialogCaption),
                                                 QString::fromStdString(PREFERENCES), tr(dataFileDialogFilter));
    if (chosen.isEmpty())
        return;
    const PreferencesSwitchOutcome outcome = showReported(this, switchPreferencesFile(chosen.toStdString()));
    showSwitchMessage(this, switchMessage(outcome));
    // The user was told the program closes.
    if (outcome == PreferencesSwitchOutcome::LoadFailed)
        close();
}
