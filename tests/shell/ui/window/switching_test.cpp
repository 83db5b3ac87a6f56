// Export of the current tab and the data-file switches, through the real window.
#include <filesystem>

#include <QComboBox>
#include <QTimer>

#include "core/calculation_activity.h"
#include "core/json_file.h"
#include "ui_mainwindow.h"
#include "window_fixture.h"

using namespace window_test;

namespace {

// The tab a message came from (its parent, or a parent of it).
QWidget* tabOf(QObject* o, Ui_MainWindow& f)
{
    for (; o; o = o->parent())
        for (QWidget* tab : {static_cast<QWidget*>(f.PropWin), static_cast<QWidget*>(f.GrainWin),
                             static_cast<QWidget*>(f.NozzleWin), static_cast<QWidget*>(f.DataWin)})
            if (o == tab)
                return tab;
    return nullptr;
}

bool listed(QWidget* tab, const char* combo, const QString& name)
{
    auto* box = tab->findChild<QComboBox*>(combo);
    return box && box->findText(name) >= 0;
}

} // namespace

// Each tab refuses an export with nothing to export in a box of its own: the box tells
// which tab's export ran.
TEST_F(WindowTest, ExportRunsTheCurrentTabsExportWithAndWithoutHiddenSolids)
{
    writePreferences({{"hideSolid", false}});
    writeEmptyDataFiles(app);
    build();
    auto& f = form();
    auto exportedBy = [&](int index) -> QWidget* {
        f.tabs->setCurrentIndex(index);
        messages.clear();
        // A tab with something to export opens its export choice: it is closed unanswered.
        QObject* modalParent = nullptr;
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                modalParent = modal->parent();
                modal->close();
            }
        });
        closer.start(20);
        f.actionExport_data_file->trigger();
        closer.stop();
        if (modalParent)
            return messages.parents().empty() ? tabOf(modalParent, f) : nullptr;
        if (messages.parents().size() != 1)
            return nullptr;
        return tabOf(messages.parents()[0], f);
    };
    EXPECT_EQ(exportedBy(0), f.PropWin);
    EXPECT_EQ(exportedBy(1), f.GrainWin);
    EXPECT_EQ(exportedBy(2), f.NozzleWin);
    EXPECT_EQ(exportedBy(3), f.DataWin);

    f.actionHide_solid_motor_simulation->setChecked(true);
    EXPECT_EQ(exportedBy(0), f.PropWin);
    EXPECT_EQ(exportedBy(1), f.NozzleWin);
    EXPECT_EQ(exportedBy(2), f.DataWin);
}

class FileSwitch : public WindowTest {
public:
    void SetUp() override
    {
        WindowTest::SetUp();
        writePreferences({{"hideSolid", false}});
        writeEmptyDataFiles(app);
        build();
        messages.clear();
        zeroFlags();
    }
    QString other(const std::string& name) { return QString::fromStdString(app.path() + "/other/" + name); }
    void writeOther(const std::string& name, const std::string& text) { app.write("other/" + name, text); }
};

TEST_F(FileSwitch, GoodFilesBecomeTheFilesInUseAndTheirListsRefresh)
{
    struct Case {
        QAction* action;
        const char* caption;
        std::string* preference;
        const char* file;
        const char* content;
        const char* success;
    };
    auto& f = form();
    const Case cases[] = {
            {f.actionSpecies_file, "File with Species Database", &SPECIES, "Species.json", "{}",
             "Species file changed successfully"},
            {f.actionKinetics_file, "File with Kinetics Database", &KINETICS, "Kinetics.json", "{}",
             "Kinetics file changed successfully"},
            {f.actionPropellants_file, "File with Propellant Database", &PROPELLANT, "Propellants.json",
             R"({"New propellant": {"Composition": [1], "ELEMENTS": [1], "Species": ["H2"]}})",
             "Propellants file changed successfully"},
            {f.actionGrain_geometry_file, "File with Grain Database", &GRAIN, "Grains.json",
             R"({"New grain": {"Geo_type": 0, "Units": 0, "Comb_type": 0, "Points": 10, "Parameters": [1]}})",
             "Grains file changed successfully"},
            {f.actionNozzle_file, "File with Nozzle Database", &NOZZLE, "Nozzles.json",
             R"({"New nozzle": {"Units": 0, "Type": 0, "Points": 10, "Options": [1], "Parameters": [1]}})",
             "Nozzles file changed successfully"},
            {f.actionConfigurations_file, "File with Configurations Database", &CONFIGURATIONS, "Configurations.json",
             "{}", "Configurations file changed successfully"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        writeOther(c.file, c.content);
        const std::string previous = *c.preference;
        chosenFile = other(c.file);
        fileDialogs.clear();
        messages.clear();
        c.action->trigger();
        ASSERT_EQ(fileDialogs.size(), 1u);
        EXPECT_EQ(fileDialogs[0].caption, c.caption);
        EXPECT_EQ(fileDialogs[0].start, QString::fromStdString(previous));
        EXPECT_EQ(fileDialogs[0].filter, "DB file (*.json)");
        EXPECT_EQ(*c.preference, chosenFile.toStdString());
        const auto prefs = nlohmann::json::parse(app.read("Data/Preferences.json"));
        EXPECT_EQ(prefs["Files"].dump().find(chosenFile.toStdString()) != std::string::npos, true);
        ASSERT_FALSE(messages.messages().empty());
        EXPECT_EQ(messages.lastText(), c.success);
        EXPECT_EQ(messages.messages().back().icon, Msg::Information);
        EXPECT_EQ(messages.parents().back(), window.get());
    }
    // The lists that show the new files' items.
    EXPECT_TRUE(listed(f.NozzleWin, "comb_prop", "New propellant"));
    EXPECT_TRUE(listed(f.DataWin, "comb_prop", "New propellant"));
    EXPECT_TRUE(listed(f.NozzleWin, "comb_grain", "New grain"));
    EXPECT_TRUE(listed(f.DataWin, "comb_grain", "New grain"));
    EXPECT_TRUE(listed(f.DataWin, "comb_nozzle", "New nozzle"));
}

TEST_F(FileSwitch, ReactantsSwitchRefillsTheSelectorAndEmptiesThePropellant)
{
    auto& f = form();
    writeOther("Reactants.json",
               R"({"NEW_REACTANT": {"Phase": 0, "Enthalpy": 0, "MolecWeight": 2, "Composition": {"H": 2}, )"
               R"("isActive": true}})");
    chosenFile = other("Reactants.json");
    f.actionReactants_file->trigger();
    EXPECT_EQ(messages.lastText(), "Reactants file changed successfully");
    EXPECT_EQ(REACTANTS, chosenFile.toStdString());
    EXPECT_TRUE(listed(f.PropWin, "sel_react", "NEW_REACTANT"));
    EXPECT_EQ(f.PropWin->reactantRowCount(), 0);
}

TEST_F(FileSwitch, CancelMissingAndRefusedFilesChangeNothing)
{
    auto& f = form();
    const std::string species = SPECIES;
    const std::string prefsBefore = app.read("Data/Preferences.json");

    chosenFile.clear(); // cancelled
    f.actionSpecies_file->trigger();
    EXPECT_TRUE(messages.messages().empty());

    chosenFile = other("Nowhere.json");
    f.actionSpecies_file->trigger();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "File does not exist");
    EXPECT_EQ(messages.messages().back().icon, Msg::Critical);
    EXPECT_EQ(messages.parents().back(), nullptr);

    // A faulty entry the user keeps: the file is refused and left as it was.
    const std::string faulty = R"({"Broken": {"Phase": 0}})";
    writeOther("Species.json", faulty);
    chosenFile = other("Species.json");
    messages.clear();
    messages.answer(Msg::No);
    f.actionSpecies_file->trigger();
    EXPECT_EQ(messages.lastText(), "File is invalid");
    EXPECT_EQ(app.read("other/Species.json"), faulty);

    // A file that cannot be parsed is refused too, never rewritten.
    writeOther("Nozzles.json", "{ not json");
    chosenFile = other("Nozzles.json");
    messages.clear();
    f.actionNozzle_file->trigger();
    EXPECT_EQ(messages.lastText(), "File is invalid");
    EXPECT_EQ(app.read("other/Nozzles.json"), "{ not json");

    EXPECT_EQ(SPECIES, species);
    EXPECT_EQ(app.read("Data/Preferences.json"), prefsBefore);
}

// The boxes the check and the preferences file hand back come first, then the box of
// the outcome: a picked file that gives a name twice is named in a warning, then refused;
// a path that cannot be recorded (the preferences file in use became unreadable) is told
// by the preferences file alone, and the previous file stays in use.
TEST_F(FileSwitch, BoxesOfTheCheckComeBeforeTheOutcome)
{
    auto& f = form();
    const std::string twice = R"({"Tube": {"Units": 0}, "Tube": {"Units": 1}})";
    writeOther("Grains.json", twice);
    chosenFile = other("Grains.json");
    f.actionGrain_geometry_file->trigger();
    ASSERT_EQ(messages.texts(),
              (QStringList{"Grains file gives the same name more than once: \"Tube\"", "File is invalid"}));
    EXPECT_EQ(messages.messages()[0].icon, Msg::Warning);
    EXPECT_EQ(messages.parents()[0], nullptr);
    EXPECT_EQ(app.read("other/Grains.json"), twice);

    const std::string grains = GRAIN;
    app.write("Data/Preferences.json", "{ broken");
    writeOther("Grains.json", "{}");
    messages.clear();
    f.actionGrain_geometry_file->trigger();
    EXPECT_EQ(messages.texts(),
              QStringList{"The preferences file could not be read, so it was left unchanged: "
                          + QString::fromStdString(app.dataFile("Preferences.json"))});
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_EQ(messages.parents()[0], nullptr);
    EXPECT_EQ(GRAIN, grains);
    EXPECT_EQ(app.read("Data/Preferences.json"), "{ broken");
}

TEST_F(FileSwitch, PreferencesSwitchRedirectsOnlyToAPreferencesFile)
{
    auto& f = form();
    // A data file picked by mistake is refused and stays untouched.
    writeOther("Species.json", R"({"H2": {"Phase": 0}})");
    chosenFile = other("Species.json");
    f.actionPreferences_File->trigger();
    ASSERT_FALSE(fileDialogs.empty());
    EXPECT_EQ(fileDialogs.back().caption, "File with Preferences Database");
    EXPECT_EQ(messages.lastText(), "File is invalid");
    EXPECT_EQ(app.read("other/Species.json"), R"({"H2": {"Phase": 0}})");
    EXPECT_EQ(PREFERENCES, app.dataFile("Preferences.json"));

    // A preferences file: the default file redirects to it and its values are in force.
    writeOther("MyPreferences.json", R"({"General": {"NUM_DIS_PREC": 7}})");
    chosenFile = other("MyPreferences.json");
    messages.clear();
    f.actionPreferences_File->trigger();
    EXPECT_EQ(messages.lastText(), "Preferences file changed successfully");
    EXPECT_EQ(messages.parents().back(), window.get());
    EXPECT_EQ(PREFERENCES, chosenFile.toStdString());
    EXPECT_EQ(NUM_DIS_PREC, 7);
    const auto redirect = nlohmann::json::parse(app.read("Data/Preferences.json"));
    EXPECT_EQ(redirect["Files"]["PREFERENCES"], chosenFile.toStdString());
    NUM_DIS_PREC = 10;
}

// Switching the preferences file loads every value, the solver settings too, while a run
// on a worker thread reads them without a lock. While a calculation or a nozzle
// optimisation runs the switch is refused as the Preferences dialog refuses a change of
// a solver setting: no file is asked for, nothing is written and no value changes.
TEST_F(FileSwitch, PreferencesSwitchIsRefusedWhileACalculationRuns)
{
    auto& f = form();
    writeOther("MyPreferences.json", R"({"Equilibrium": {"MAX_ITER_EQ": 5}, "General": {"NUM_DIS_PREC": 7}})");
    chosenFile = other("MyPreferences.json");
    const std::string defaultFile = app.read("Data/Preferences.json");
    const uint32_t iterations = MAX_ITER_EQ;
    const uint8_t digits = NUM_DIS_PREC;

    calculationStarted();
    f.actionPreferences_File->trigger();
    calculationFinished();
    EXPECT_TRUE(fileDialogs.empty());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(),
              "Solver settings cannot be changed while a calculation or a nozzle optimisation is running");
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_EQ(MAX_ITER_EQ, iterations);
    EXPECT_EQ(NUM_DIS_PREC, digits);
    EXPECT_EQ(PREFERENCES, app.dataFile("Preferences.json"));
    EXPECT_EQ(app.read("Data/Preferences.json"), defaultFile);

    // Once the run has finished the same switch goes through.
    messages.clear();
    f.actionPreferences_File->trigger();
    EXPECT_EQ(messages.lastText(), "Preferences file changed successfully");
    EXPECT_EQ(MAX_ITER_EQ, 5u);
    MAX_ITER_EQ = iterations;
    NUM_DIS_PREC = digits;
}
