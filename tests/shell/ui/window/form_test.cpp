// The window's form as the user meets it: captions, actions, menus, check states, the
// title and size, and the night palette.
#include <QMenuBar>
#include <QStatusBar>

#include "ui_mainwindow.h"
#include "window_fixture.h"

using namespace window_test;

namespace {

struct ActionRow {
    const char* object;
    const char* caption;
    int checkable; // -1 not checkable, 0 unchecked, 1 checked
};
const ActionRow actionRows[] = {
        {"actionSpecies_file", "Species file", -1},
        {"actionReactants_file", "Reactants file", -1},
        {"actionKinetics_file", "Kinetics file", -1},
        {"actionPropellants_file", "Propellants file", -1},
        {"actionGrain_geometry_file", "Grain geometry file", -1},
        {"actionNozzle_file", "Nozzle file", -1},
        {"actionNight_mode", "Night mode", 0},
        {"actionExport_data_file", "Export data from current tab", -1},
        {"actionThermo_input_file_format", "Thermo input file format", -1},
        {"actionTransport_input_file_format", "Transport input file format", -1},
        {"actionKinetics_input_file_format", "Kinetics input file format", -1},
        {"actionPreferences", "Preferences", -1},
        {"actionNo_warnigns_found", "No warnigns found", -1},
        {"actionNo_critical_errors_found", "No critical errors found", -1},
        {"actionConfigurations_file", "Configurations file", -1},
        {"actionAbout_KAVRO", "About KAVRO", -1},
        {"actionStatus_bar", "Status bar", 1},
        {"actionBaby_mode", "Baby mode", 0},
        {"actionClear_warnings", "Clear warnings", -1},
        {"actionClear_critical_errors", "Clear critical errors", -1},
        {"actionPreferences_File", "Preferences File", -1},
        {"actionUpdate_warnings_errors", "Update warnings and errors", -1},
        {"actionHide_solid_motor_simulation", "Hide solid motor simulation", 0},
        {"actionUsers_Manual", "User Manual", -1},
        {"actionFull_Documentation", "Full Documentation", -1},
};

} // namespace

// The form as built, before any preference or mode touched it.
TEST_F(WindowTest, FormActionsCaptionsCheckStatesAndMenusAsDesigned)
{
    QMainWindow host;
    Ui_MainWindow form;
    // The form alone, without the window's slots: a plain QMainWindow takes the
    // connections it cannot make with a warning, which is all this test needs.
    form.setupUi(&host);
    EXPECT_EQ(host.objectName(), "MainWindow");
    EXPECT_EQ(host.size(), QSize(1305, 673));

    const QList<QAction*> actions = host.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly);
    QStringList named;
    for (const QAction* a : actions)
        if (a->objectName().startsWith("action"))
            named.append(a->objectName());
    EXPECT_EQ(named.size(), 25);
    for (const ActionRow& row : actionRows) {
        SCOPED_TRACE(row.object);
        auto* action = host.findChild<QAction*>(row.object);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->parent(), &host);
        EXPECT_EQ(action->text(), row.caption);
        EXPECT_EQ(action->isCheckable(), row.checkable >= 0);
        EXPECT_EQ(action->isChecked(), row.checkable == 1);
        EXPECT_TRUE(action->shortcut().isEmpty());
        EXPECT_TRUE(action->icon().isNull());
    }

    // Menus left to right, then the contents of each.
    QStringList bar;
    for (const QAction* a : form.menubar->actions())
        bar.append(a->text());
    EXPECT_EQ(bar, QStringList({"File", "Options", "Warnings", "Critical Errors"}));
    EXPECT_EQ(form.menubar->geometry(), QRect(0, 0, 1305, 21));
    EXPECT_EQ(WindowTest::entries(form.menuFile),
              QStringList({"Change data files", "Export data from current tab", "---", "Thermo input file format",
                           "Transport input file format", "Kinetics input file format", "---", "About KAVRO",
                           "User Manual", "Full Documentation"}));
    EXPECT_EQ(WindowTest::entries(form.menuChange_data_files),
              QStringList({"Species file", "Reactants file", "Kinetics file", "---", "Propellants file",
                           "Grain geometry file", "Nozzle file", "Configurations file", "---", "Preferences File"}));
    EXPECT_EQ(WindowTest::entries(form.menuOptions),
              QStringList({"Night mode", "Status bar", "Hide solid motor simulation", "Baby mode", "---",
                           "Update warnings and errors", "Clear warnings", "Clear critical errors", "---",
                           "Preferences"}));
    EXPECT_EQ(WindowTest::entries(form.menuWarnings), QStringList({"No warnigns found"}));
    EXPECT_EQ(WindowTest::entries(form.menuCritical_Errors), QStringList({"No critical errors found"}));

    // The four tabs in order, with their captions; the form leaves tab 1 current.
    ASSERT_EQ(form.tabs->count(), 4);
    const QStringList captions = {"Propellant selection", "Grain geometry", "Nozzle Geometry", "1D flow data output"};
    const QStringList objects = {"PropWin", "GrainWin", "NozzleWin", "DataWin"};
    const QStringList classes = {"PropTab", "GrainTab", "NozzleTab", "DataTab"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form.tabs->tabText(i), captions[i]);
        EXPECT_EQ(form.tabs->widget(i)->objectName(), objects[i]);
        EXPECT_STREQ(form.tabs->widget(i)->metaObject()->className(), classes[i].toUtf8().constData());
    }
    EXPECT_EQ(form.tabs->currentIndex(), 1);
    EXPECT_EQ(form.MainVLay->spacing(), 0);
    EXPECT_EQ(form.MainVLay->contentsMargins(), QMargins(0, 0, 0, 0));
    EXPECT_EQ(host.centralWidget(), form.base);
    EXPECT_EQ(host.statusBar(), form.statusbar);
}

// The window after construction with every mode off and the grain tab shown.
TEST_F(WindowTest, ConstructionTitlesTheWindowAndReplacesThePlaceholders)
{
    writePreferences({{"hideSolid", false}, {"default_tab", 2}});
    writeEmptyDataFiles(app);
    build();
    EXPECT_TRUE(window->windowTitle().startsWith("KAVRO 1.0"));
    EXPECT_EQ(window->size(), QSize(1305, 673));
    EXPECT_FALSE(window->isVisible()); // main shows it later
    EXPECT_FALSE(window->startupRefused());
    EXPECT_EQ(form().tabs->count(), 4);
    EXPECT_EQ(form().tabs->currentIndex(), 2);
    // The first update put the real placeholder texts in place of the form's.
    EXPECT_EQ(entries(form().menuWarnings), QStringList({"No warnings found"}));
    EXPECT_EQ(entries(form().menuCritical_Errors), QStringList({"No critical errors found"}));
    EXPECT_TRUE(form().actionStatus_bar->isChecked());
    EXPECT_FALSE(form().statusbar->isHidden());

    // The status bar follows its action, and the tabs' status messages reach it.
    form().actionStatus_bar->setChecked(false);
    EXPECT_TRUE(form().statusbar->isHidden());
    form().actionStatus_bar->setChecked(true);
    EXPECT_FALSE(form().statusbar->isHidden());
    emit form().NozzleWin->StatusMessage("Nozzle saved", 0);
    EXPECT_EQ(form().statusbar->currentMessage(), "Nozzle saved");
    emit form().GrainWin->StatusMessage("Grain saved", 0);
    EXPECT_EQ(form().statusbar->currentMessage(), "Grain saved");
}

TEST_F(WindowTest, StatusBarPreferenceOffHidesTheBarBeforeTheWindowShows)
{
    writePreferences({{"StatusBar", false}});
    build();
    EXPECT_FALSE(form().actionStatus_bar->isChecked());
    EXPECT_TRUE(form().statusbar->isHidden());
}

// The night palette, colour by colour (RGB), against the designed table.
TEST_F(WindowTest, NightPaletteHoldsTheDesignedColours)
{
    build();
    const QPalette& p = window->nightPalette();
    const QColor white(255, 255, 255), grey(128, 128, 128), dark53(53, 53, 53), blue(42, 130, 218);
    struct Row {
        QPalette::ColorRole role;
        QColor active, inactive, disabled;
    };
    const Row rows[] = {
            {QPalette::Window, dark53, dark53, dark53},
            {QPalette::WindowText, white, white, grey},
            {QPalette::Base, QColor(25, 25, 25), QColor(25, 25, 25), QColor(25, 25, 25)},
            {QPalette::AlternateBase, dark53, dark53, dark53},
            {QPalette::ToolTipBase, white, white, white},
            {QPalette::ToolTipText, white, white, white},
            {QPalette::PlaceholderText, QColor(200, 200, 200), QColor(200, 200, 200), QColor(200, 200, 200)},
            // 128 grey made darker by the factor 200: half its value.
            {QPalette::Button, QColor(64, 64, 64), QColor(28, 28, 28), QColor(28, 28, 28)},
            {QPalette::ButtonText, white, white, grey},
            {QPalette::BrightText, QColor(255, 0, 0), QColor(255, 0, 0), QColor(255, 0, 0)},
            {QPalette::Link, blue, blue, blue},
            {QPalette::Highlight, blue, blue, blue},
            {QPalette::HighlightedText, white, white, white},
            {QPalette::Light, QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)},
            {QPalette::Midlight, dark53, dark53, dark53},
            {QPalette::Dark, white, white, white},
            {QPalette::Shadow, QColor(200, 200, 200), QColor(200, 200, 200), QColor(200, 200, 200)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.role));
        EXPECT_EQ(p.color(QPalette::Active, r.role), r.active);
        EXPECT_EQ(p.color(QPalette::Inactive, r.role), r.inactive);
        EXPECT_EQ(p.color(QPalette::Disabled, r.role), r.disabled);
        EXPECT_EQ(p.brush(QPalette::Active, r.role).style(), Qt::SolidPattern);
    }
    EXPECT_EQ(p.color(QPalette::Active, QPalette::Text), white);
    EXPECT_EQ(p.color(QPalette::Disabled, QPalette::Text), grey);
}
