#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/calculation_activity.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "shell/data_file_switch.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

// The seven switches as the user meets them, written out here: dialog caption, the
// preference the switch changes (with its key in the preferences file), the checker,
// the lists refreshed and the success text.
struct SwitchCase {
    const char* caption;
    std::string* preference;
    const char* key;
    Reported<bool> (*check)(std::string, DataFileCheckOptions);
    SwitchRefresh refresh;
    const char* success;
};

const std::vector<SwitchCase>& switchCases()
{
    static const std::vector<SwitchCase> all = {
            {"File with Species Database", &SPECIES, "SPECIES", checkSpeciesFile, SwitchRefresh::None,
             "Species file changed successfully"},
            {"File with Reactants Database", &REACTANTS, "REACTANTS", checkReactantsFile, SwitchRefresh::Reactants,
             "Reactants file changed successfully"},
            {"File with Kinetics Database", &KINETICS, "KINETICS", checkKineticsFile, SwitchRefresh::None,
             "Kinetics file changed successfully"},
            {"File with Propellant Database", &PROPELLANT, "PROPELLANT", checkPropellantsFile,
             SwitchRefresh::NozzleThenData, "Propellants file changed successfully"},
            {"File with Grain Database", &GRAIN, "GRAIN", checkGrainsFile, SwitchRefresh::NozzleThenData,
             "Grains file changed successfully"},
            {"File with Nozzle Database", &NOZZLE, "NOZZLE", checkNozzlesFile, SwitchRefresh::Data,
             "Nozzles file changed successfully"},
            {"File with Configurations Database", &CONFIGURATIONS, "CONFIGURATIONS", checkConfigurationsFile,
             SwitchRefresh::None, "Configurations file changed successfully"},
    };
    return all;
}

json readJson(const std::string& path)
{
    return readJsonFile(path).document;
}

// A throw-away application folder whose preferences were loaded from a fresh default
// file, so every path preference points into it.
class DataFileSwitching : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsF = 0;
        ASSERT_TRUE(loadPreferences().value);
        flagsF = 0;
        boxes.clear();
    }
    void TearDown() override { flagsF = 0; }
    std::string defaultPreferences() const { return app.dataFile("Preferences.json"); }

    TempAppDir app;
    MessageRecorder boxes;
};

const std::string garbage = "{\"x\": tru";

} // namespace

TEST_F(DataFileSwitching, TableOfTheSevenSwitches)
{
    const auto& table = dataFileSwitches();
    ASSERT_EQ(table.size(), switchCases().size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const SwitchCase& expected = switchCases()[i];
        SCOPED_TRACE(expected.caption);
        EXPECT_STREQ(table[i].caption, expected.caption);
        EXPECT_EQ(table[i].preference, expected.preference);
        EXPECT_EQ(table[i].check, expected.check);
        EXPECT_EQ(table[i].refresh, expected.refresh);
        EXPECT_STREQ(table[i].successText, expected.success);
    }
    EXPECT_STREQ(dataFileDialogFilter, "DB file (*.json)");
    EXPECT_STREQ(preferencesFileDialogCaption, "File with Preferences Database");
}

// Each switch over the files a user may pick: the outcome, the box shown, the path in
// use and the path recorded in the preferences file, and the chosen file afterwards.
TEST_F(DataFileSwitching, DataFileOverPickedFiles)
{
    struct Row {
        const char* what;
        std::string content; // empty: nothing there; "/": a folder
        std::vector<Msg::Button> answers;
        SwitchOutcome outcome;
        std::string after; // the chosen file afterwards ("=": unchanged)
    };
    const json emptyEntry = json::object({{"bad", nullptr}});
    const std::vector<Row> rows = {
            {"an empty database", "{ }", {}, SwitchOutcome::Changed, "="},
            {"nothing at the path", "", {}, SwitchOutcome::Missing, ""},
            {"a folder", "/", {}, SwitchOutcome::Invalid, "/"},
            {"unparsable: refused and kept", garbage, {}, SwitchOutcome::Invalid, "="},
            {"a faulty entry, deletion refused", emptyEntry.dump(), {Msg::No}, SwitchOutcome::Invalid, "="},
            {"a faulty entry, deleted", emptyEntry.dump(), {Msg::Yes}, SwitchOutcome::Changed, "{}\n"},
    };
    for (const SwitchCase& sc : switchCases()) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(sc.caption) + " / " + row.what);
            const std::string before = *sc.preference;
            const std::string prefsBefore = app.read("Data/Preferences.json");
            const std::string chosen = app.path() + "/picked/" + sc.key + ".json";
            std::filesystem::remove_all(app.path() + "/picked");
            if (row.content == "/")
                std::filesystem::create_directories(chosen);
            else if (!row.content.empty())
                app.write(std::string("picked/") + sc.key + ".json", row.content);
            boxes.clear();
            flagsF = 0;
            for (Msg::Button b : row.answers)
                boxes.answer(b);

            const DataFileSwitch& sw = dataFileSwitches()[&sc - &switchCases()[0]];
            const SwitchOutcome outcome = switchDataFile(sw, chosen).value;
            EXPECT_EQ(outcome, row.outcome);
            const SwitchMessage message = switchMessage(sw, outcome);
            if (outcome == SwitchOutcome::Changed) {
                EXPECT_EQ(*sc.preference, chosen);
                EXPECT_EQ(readJson(defaultPreferences())["Files"][sc.key], chosen);
                EXPECT_EQ(message.icon, Msg::Information);
                EXPECT_EQ(message.text.toStdString(), sc.success);
                EXPECT_TRUE(message.childOfWindow);
                *sc.preference = before; // the next row starts from the same file in use
                ASSERT_TRUE(saveDataFilePaths().value);
            } else {
                EXPECT_EQ(*sc.preference, before);
                EXPECT_EQ(app.read("Data/Preferences.json"), prefsBefore);
                EXPECT_EQ(message.icon, Msg::Critical);
                EXPECT_EQ(message.text.toStdString(),
                          outcome == SwitchOutcome::Missing ? "File does not exist" : "File is invalid");
                EXPECT_FALSE(message.childOfWindow);
            }
            if (row.after == "=")
                EXPECT_EQ(app.read(std::string("picked/") + sc.key + ".json"), row.content);
            else if (row.after == "/")
                EXPECT_TRUE(std::filesystem::is_directory(chosen));
            else if (row.after.empty())
                EXPECT_FALSE(std::filesystem::exists(chosen));
            else
                EXPECT_EQ(app.read(std::string("picked/") + sc.key + ".json"), row.after);
            // a chosen file elsewhere raises no code, but for a faulty species (F16)
            const bool faultySpecies = sc.preference == &SPECIES && !row.answers.empty();
            EXPECT_EQ(flagsF.load(), faultySpecies ? 1u << 16 : 0u);
        }
    }
}

// A faulty species in the picked file raises F16 (the file is not at D), which the flag
// menus show at their next update.
TEST_F(DataFileSwitching, FaultySpeciesInPickedFileRaisesItsCode)
{
    app.write("picked/S.json", R"({"CO2": {"Phase": 0}})");
    boxes.answer(Msg::Yes);
    EXPECT_EQ(switchDataFile(dataFileSwitches()[0], app.path() + "/picked/S.json").value, SwitchOutcome::Changed);
    EXPECT_EQ(flagsF.load(), 1u << 16);
}

// The new path could not be recorded: no success, and the previous file stays in use,
// as the preferences file still says.
TEST_F(DataFileSwitching, PathThatCannotBeRecordedIsNoSuccess)
{
    const std::string before = REACTANTS;
    app.write("Data/Preferences.json", garbage); // the file in use can no longer be read
    app.write("picked/R.json", "{}");
    const Reported<SwitchOutcome> switched = switchDataFile(dataFileSwitches()[1], app.path() + "/picked/R.json");
    EXPECT_EQ(switched.value, SwitchOutcome::SaveFailed);
    EXPECT_EQ(REACTANTS, before);
    EXPECT_EQ(app.read("Data/Preferences.json"), garbage);
    EXPECT_TRUE(switchMessage(dataFileSwitches()[1], switched.value).text.isEmpty());
    // The preferences file says why, in a box handed back for the window to show.
    EXPECT_TRUE(boxes.messages().empty());
    ASSERT_EQ(switched.messages.size(), 1u);
    EXPECT_EQ(switched.messages[0].box.text,
              QStringLiteral("The preferences file could not be read, so it was left unchanged: ")
                      + QString::fromStdString(defaultPreferences()));
    EXPECT_EQ(switched.messages[0].box.icon, Msg::Critical);
    EXPECT_TRUE(switched.messages[0].parentless);
}

// A preferences file with a key written twice is a preferences file: the last value
// stands, both in the chosen file and in the default file that is redirected to it.
TEST_F(DataFileSwitching, PreferencesFilesWithARepeatedKey)
{
    app.write("Data/Preferences.json",
              R"({"General": {"NUM_DIS_PREC": 11, "NUM_DIS_PREC": 12}, "Datatab": {"ABORT": 20}})");
    const std::string chosen = app.path() + "/mine/Prefs.json";
    app.write("mine/Prefs.json", R"({"Datatab": {"ABORT": 30, "ABORT": 45}, "General": {"NUM_DIS_PREC": 7}})");
    const Reported<PreferencesSwitchOutcome> switched = switchPreferencesFile(chosen);
    EXPECT_EQ(switched.value, PreferencesSwitchOutcome::Changed);
    EXPECT_TRUE(switched.messages.empty());
    EXPECT_EQ(PREFERENCES, chosen);
    EXPECT_EQ(ABORT, 45);
    EXPECT_EQ(NUM_DIS_PREC, 7);
    EXPECT_EQ(flagsF.load() & ((1u << 14) | (1u << 15) | (1u << 30) | (1u << 31)),
              1u << 31); // F31 alone: the members it lacks were filled in
    const json redirecting = readJson(defaultPreferences());
    EXPECT_EQ(redirecting["Files"]["PREFERENCES"], chosen);
    EXPECT_EQ(redirecting["General"]["NUM_DIS_PREC"], 12);
    EXPECT_EQ(redirecting["Datatab"]["ABORT"], 20);
    EXPECT_EQ(readJson(chosen)["Datatab"]["ABORT"], 45);
    ABORT = 15;
    NUM_DIS_PREC = 10;
}

// Switching the preferences file: the chosen file is judged before the default file is
// redirected to it.
TEST_F(DataFileSwitching, PreferencesFileOverPickedFiles)
{
    struct Row {
        const char* what;
        std::string content; // "": nothing there
        PreferencesSwitchOutcome outcome;
    };
    const std::vector<Row> rows = {
            {"a preferences file", R"({"General": {"NUM_DIS_PREC": 7}, "ODE": {}})", PreferencesSwitchOutcome::Changed},
            {"an empty document", "{}", PreferencesSwitchOutcome::Changed},
            {"null", "null", PreferencesSwitchOutcome::Changed},
            {"nothing at the path", "", PreferencesSwitchOutcome::Missing},
            {"a data file picked by mistake", R"({"H2O": {"Phase": 0}})", PreferencesSwitchOutcome::Invalid},
            {"a preferences file with a foreign member", R"({"General": {}, "H2": {}})",
             PreferencesSwitchOutcome::Invalid},
            {"unparsable", garbage, PreferencesSwitchOutcome::Invalid},
            {"a list", "[]", PreferencesSwitchOutcome::Invalid},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempAppDir fresh;
        ASSERT_TRUE(loadPreferences().value);
        fresh.write("Data/Preferences.json", R"({"General": {"NUM_DIS_PREC": 12}})");
        ASSERT_TRUE(loadPreferences().value);
        ASSERT_EQ(NUM_DIS_PREC, 12);
        const std::string defaultBefore = fresh.read("Data/Preferences.json");
        const std::string chosen = fresh.path() + "/mine/Prefs.json";
        if (!row.content.empty())
            fresh.write("mine/Prefs.json", row.content);
        flagsF = 0;
        boxes.clear();

        const PreferencesSwitchOutcome outcome = switchPreferencesFile(chosen).value;
        EXPECT_EQ(outcome, row.outcome);
        const SwitchMessage message = switchMessage(outcome);
        EXPECT_TRUE(message.childOfWindow);
        if (outcome == PreferencesSwitchOutcome::Changed) {
            EXPECT_EQ(PREFERENCES, chosen);
            const json d = readJson(fresh.dataFile("Preferences.json"));
            EXPECT_EQ(d["Files"]["PREFERENCES"], chosen);
            EXPECT_EQ(d["General"]["NUM_DIS_PREC"], 12); // every other member of D stays
            EXPECT_EQ(NUM_DIS_PREC, row.content.find("NUM_DIS_PREC") != std::string::npos ? 7 : 10);
            EXPECT_TRUE(readJson(chosen).contains("Equilibrium")); // loaded and completed
            EXPECT_EQ(message.icon, Msg::Information);
            EXPECT_EQ(message.text, "Preferences file changed successfully");
        } else {
            EXPECT_EQ(fresh.read("Data/Preferences.json"), defaultBefore);
            EXPECT_EQ(PREFERENCES, fresh.dataFile("Preferences.json"));
            EXPECT_EQ(NUM_DIS_PREC, 12);
            if (!row.content.empty()) {
                EXPECT_EQ(fresh.read("mine/Prefs.json"), row.content);
            }
            EXPECT_EQ(message.icon, Msg::Critical);
            EXPECT_EQ(message.text,
                      outcome == PreferencesSwitchOutcome::Missing ? "File does not exist" : "File is invalid");
        }
    }
}

// While a calculation runs, a switch would load the solver settings it reads: refused
// before anything is read or written, with the Preferences dialog's words.
TEST_F(DataFileSwitching, PreferencesSwitchIsRefusedWhileACalculationRuns)
{
    const std::string chosen = app.path() + "/mine/Prefs.json";
    app.write("mine/Prefs.json", R"({"Equilibrium": {"MAX_ITER_EQ": 5}})");
    const std::string defaultBefore = app.read("Data/Preferences.json");
    const uint32_t iterations = MAX_ITER_EQ;
    calculationStarted();
    const PreferencesSwitchOutcome outcome = switchPreferencesFile(chosen).value;
    calculationFinished();
    EXPECT_EQ(outcome, PreferencesSwitchOutcome::CalculationRunning);
    EXPECT_EQ(MAX_ITER_EQ, iterations);
    EXPECT_EQ(app.read("Data/Preferences.json"), defaultBefore);
    EXPECT_EQ(app.read("mine/Prefs.json"), R"({"Equilibrium": {"MAX_ITER_EQ": 5}})");
    const SwitchMessage message = switchMessage(outcome);
    EXPECT_EQ(message.icon, Msg::Critical);
    EXPECT_TRUE(message.childOfWindow);
    EXPECT_EQ(message.text,
              "Solver settings cannot be changed while a calculation or a nozzle optimisation is running");
    EXPECT_FALSE(message.informativeText.isEmpty());
}

// The default preferences file D in each state it may be found in.
TEST_F(DataFileSwitching, PreferencesFileWithDefaultFileStates)
{
    const std::string chosen = app.path() + "/mine/Prefs.json";
    app.write("mine/Prefs.json", "{}");

    // D missing: F15, and D is created holding only the redirect.
    std::filesystem::remove(defaultPreferences());
    EXPECT_EQ(switchPreferencesFile(chosen).value, PreferencesSwitchOutcome::Changed);
    EXPECT_TRUE(flagsF.load() & (1u << 15)); // (loading the empty chosen file adds F31 for its repair)
    EXPECT_EQ(app.read("Data/Preferences.json"),
              "{\n    \"Files\": {\n        \"PREFERENCES\": \"" + chosen + "\"\n    }\n}\n");
    EXPECT_EQ(PREFERENCES, chosen);

    // D unparsable: F31, D kept as it is, nothing switched.
    flagsF = 0;
    const std::string inUse = PREFERENCES;
    app.write("Data/Preferences.json", garbage);
    PreferencesSwitchOutcome outcome = switchPreferencesFile(chosen).value;
    EXPECT_EQ(outcome, PreferencesSwitchOutcome::DefaultUnparsable);
    EXPECT_EQ(flagsF.load(), 1u << 31);
    EXPECT_EQ(app.read("Data/Preferences.json"), garbage);
    EXPECT_EQ(PREFERENCES, inUse);
    EXPECT_EQ(switchMessage(outcome).icon, Msg::Critical);

    // D a folder: cannot be opened, with the preferences service's words.
    flagsF = 0;
    std::filesystem::remove(defaultPreferences());
    std::filesystem::create_directories(defaultPreferences());
    outcome = switchPreferencesFile(chosen).value;
    EXPECT_EQ(outcome, PreferencesSwitchOutcome::DefaultUnreadable);
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(switchMessage(outcome).text,
              "Default preferences file could not be opened, it may be because it is opened by a different software "
              "or it has access restrictions");
    std::filesystem::remove(defaultPreferences());

    // D itself chosen: it names its own path and the preferences come from it.
    app.write("Data/Preferences.json", R"({"General": {"NUM_DIS_PREC": 9}})");
    EXPECT_EQ(switchPreferencesFile(defaultPreferences()).value, PreferencesSwitchOutcome::Changed);
    EXPECT_EQ(readJson(defaultPreferences())["Files"]["PREFERENCES"], defaultPreferences());
    EXPECT_EQ(PREFERENCES, defaultPreferences());
    EXPECT_EQ(NUM_DIS_PREC, 9);
}

// A chosen file that passed the check but then could not be loaded: the redirect of D
// goes back to what it was, so the next start reads the file it read before.
TEST_F(DataFileSwitching, LoadFailurePutsThePreviousRedirectBack)
{
    const std::string chosen = app.path() + "/mine/Prefs.json";
    app.write("mine/Prefs.json", "{}");
    Reported<bool> (*failing)() = [] { return Reported<bool>{false, {}}; };

    // D redirecting to another file before.
    app.write("other/Prefs.json", "{}");
    json d;
    d["Files"]["PREFERENCES"] = app.path() + "/other/Prefs.json";
    d["General"]["NUM_DIS_PREC"] = 11;
    app.write("Data/Preferences.json", d.dump());
    ASSERT_TRUE(loadPreferences().value);
    const std::string inUse = PREFERENCES;
    PreferencesSwitchOutcome outcome = switchPreferencesFile(chosen, failing).value;
    EXPECT_EQ(outcome, PreferencesSwitchOutcome::LoadFailed);
    EXPECT_EQ(readJson(defaultPreferences()), d);
    EXPECT_EQ(PREFERENCES, inUse);
    EXPECT_EQ(switchMessage(outcome).text,
              "New preferences file cannot be opened, close it and reopen the software, KAVRO will now close");

    // D without a redirect before: none after.
    app.write("Data/Preferences.json", R"({"General": {"NUM_DIS_PREC": 11}})");
    EXPECT_EQ(switchPreferencesFile(chosen, failing).value, PreferencesSwitchOutcome::LoadFailed);
    EXPECT_FALSE(readJson(defaultPreferences())["Files"].contains("PREFERENCES"));
    EXPECT_EQ(readJson(defaultPreferences())["General"]["NUM_DIS_PREC"], 11);
}

// The redirect cannot be written (here: the Data folder holding the default file is
// gone): nothing is switched and the user is told.
TEST_F(DataFileSwitching, RedirectThatCannotBeWrittenSwitchesNothing)
{
    const std::string chosen = app.path() + "/mine/Prefs.json";
    app.write("mine/Prefs.json", "{}");
    const std::string inUse = PREFERENCES;
    std::filesystem::remove_all(app.path() + "/Data");
    const PreferencesSwitchOutcome outcome = switchPreferencesFile(chosen).value;
    EXPECT_EQ(outcome, PreferencesSwitchOutcome::RedirectWriteFailed);
    EXPECT_EQ(PREFERENCES, inUse);
    EXPECT_FALSE(std::filesystem::exists(defaultPreferences()));
    EXPECT_EQ(app.read("mine/Prefs.json"), "{}");
    const SwitchMessage message = switchMessage(outcome);
    EXPECT_EQ(message.icon, Msg::Critical);
    EXPECT_FALSE(message.text.isEmpty());
}
