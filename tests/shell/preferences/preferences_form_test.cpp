#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/calculation_activity.h"
#include "core/json_file.h"
#include "shell/preference_values.h"
#include "shell/preferences/preferences_test_support.h"

using nlohmann::json;

namespace {

// One field as the user types it: text (or combo index) and, for a pressure, the unit.
struct Edit {
    const char* key;
    QString text;
    int unit = 0;
};

// The dialog's entries for the values in force, with `edits` typed over them.
PreferenceEntries typed(const std::vector<Edit>& edits)
{
    PreferenceEntries entries = entriesInForce();
    for (const Edit& edit : edits) {
        PreferenceEntry& entry = entries[fieldIndex(edit.key)];
        entry.text = edit.text;
        entry.unit = edit.unit;
    }
    return entries;
}

// What reading back `edits` stages for `key`, or the refusal text.
struct Outcome {
    std::optional<PreferenceValue> value;
    QString refusal;
};
Outcome readBack(const std::vector<Edit>& edits, std::string_view key)
{
    const PreferencesReadBack read = readPreferenceEntries(typed(edits), entriesInForce());
    if (read.refusal)
        return {std::nullopt, read.refusal->text};
    for (const StagedPreference& staged : read.values)
        if (staged.key == key)
            return {staged.value, {}};
    return {};
}

constexpr int MPa = 0, atm = 1, bar = 2;

} // namespace

// Each row: fields typed (over the values in force), the key looked at, and either the
// value staged for storage (SI, logarithms, types as stored) or the exact refusal.
// Logarithms from Python's math.log: ln 1e-8 = -18.420680743952367, ln 0.01 =
// -4.605170185988091, ln 0.001 = -6.907755278982137, ln 1.1 = 0.09531017980432493.
TEST_F(PreferencesTest, FieldsReadBackOrRefused)
{
    const QString digits = "Invalid value for 'Number of decimal digits displayed'";
    const QString digitsOut = "Invalid value for 'Number of decimal digits in output'";
    const QString separator = "Invalid value for 'List separator (for .csv output)'";
    const QString width = "Invalid value for 'Image width (in pixels)";
    const QString abortSeconds = "Invalid value for 'Number of seconds before Abort calculations button appears'";
    const QString throat = "Invalid value for 'Maximum iterations for throat convergence'";
    const QString minSp = "Invalid value por 'Minimum composition for specie to be considered'";
    const QString pinf = "Invalid value for 'Pinf/Pi forced reset for FAC problem'";
    const QString optIter = "Invalid value for 'Maximum number of iterations for optimization'";
    const QString presTol = "Invalid value for 'Tolerance for chamber pressure convergence'";
    const QString seed = "Invalid value for 'seed temperature for combustion chemical equilibrium'";
    struct Row {
        std::vector<Edit> edits;
        const char* key;
        std::optional<PreferenceValue> value; // nullopt: refused with `refusal`
        QString refusal;
    };
    const std::vector<Row> rows = {
            {{{"NUM_DIS_PREC", "0"}}, "NUM_DIS_PREC", {}, digits},
            {{{"NUM_DIS_PREC", "21"}}, "NUM_DIS_PREC", {}, digits},
            {{{"NUM_DIS_PREC", "-3"}}, "NUM_DIS_PREC", {}, digits},
            {{{"NUM_DIS_PREC", "2.5"}}, "NUM_DIS_PREC", {}, digits},
            {{{"NUM_DIS_PREC", "1"}}, "NUM_DIS_PREC", int64_t(1), {}},
            {{{"NUM_DIS_PREC", "20"}}, "NUM_DIS_PREC", int64_t(20), {}},
            {{{"DIG_OUT", "0"}}, "DIG_OUT", {}, digitsOut},
            {{{"DIG_OUT", "20"}}, "DIG_OUT", int64_t(20), {}},
            {{{"LIST_SEPARATOR", ""}}, "LIST_SEPARATOR", {}, separator},
            {{{"LIST_SEPARATOR", ";;"}}, "LIST_SEPARATOR", {}, separator},
            {{{"LIST_SEPARATOR", QString::fromUtf8("\xC2\xB0")}}, "LIST_SEPARATOR", {}, separator}, // a degree sign
            {{{"LIST_SEPARATOR", "\t"}}, "LIST_SEPARATOR", {}, separator},
            {{{"LIST_SEPARATOR", ";"}}, "LIST_SEPARATOR", int64_t(59), {}},
            {{{"LIST_SEPARATOR", ","}}, "LIST_SEPARATOR", int64_t(44), {}},
            {{{"IMG_WIDTH", "9"}}, "IMG_WIDTH", {}, width},
            {{{"IMG_WIDTH", "10"}}, "IMG_WIDTH", int64_t(10), {}},
            {{{"IMG_WIDTH", "10001"}}, "IMG_WIDTH", {}, width}, // would ask for gigabytes
            {{{"IMG_HEIGHT", "9"}}, "IMG_HEIGHT", {}, "Invalid value for 'Image height (in pixels)"},
            {{{"PRES_TOL", "0.1"}}, "PRES_TOL", 0.1, {}},
            {{{"PRES_TOL", "0.1000001"}}, "PRES_TOL", {}, presTol},
            {{{"PRES_TOL", "0"}}, "PRES_TOL", {}, presTol},
            {{{"OPT_TOL", "1"}}, "OPT_TOL", 1.0, {}},
            {{{"ABORT", "0"}}, "ABORT", {}, abortSeconds},
            {{{"ABORT", "65536"}}, "ABORT", {}, abortSeconds}, // its low 16 bits would be 0
            {{{"ABORT", "65535"}}, "ABORT", int64_t(65535), {}},
            {{{"MIN_SP_LOG_N", "0"}}, "MIN_SP_LOG_N", {}, minSp}, // its logarithm is not finite
            {{{"MIN_SP_LOG_N", "1e-8"}}, "MIN_SP_LOG_N", -18.420680743952367, {}},
            {{{"MIN_SP_LOG_N", "0.01"}}, "MIN_SP_LOG_N", -4.605170185988091, {}},
            {{{"MIN_SP_LOG_N", "0.0100001"}}, "MIN_SP_LOG_N", {}, minSp},
            {{{"ION_RESET", "0.001"}}, "ION_RESET", 0.001, {}},
            {{{"ION_RESET", "0.001"}}, "LOG_ION_RESET", -6.907755278982137, {}},
            {{{"ln_Pinf_Pi_RESET", "1"}}, "ln_Pinf_Pi_RESET", {}, pinf},
            {{{"ln_Pinf_Pi_RESET", "1.1"}}, "ln_Pinf_Pi_RESET", 0.09531017980432493, {}},
            {{{"XOFF_NEW_ACH", "1"}}, "XOFF_NEW_ACH", 1.0, {}},
            {{{"XOFF_NEW_ACH", "1.2"}}, "XOFF_NEW_ACH", 1.2, {}},
            {{{"MAX_ITER_THROAT_ODK", "3"}}, "MAX_ITER_THROAT_ODK", {}, throat},
            {{{"MAX_ITER_THROAT", "1"}}, "MAX_ITER_THROAT", {}, throat},
            {{{"OPT_MAX_ITER", "1e+02"}}, "OPT_MAX_ITER", {}, optIter},
            {{{"OPT_MAX_ITER", "100"}}, "OPT_MAX_ITER", 100.0, {}}, // a whole number held as a double
            {{{"COMP_OPT_NUM", "4"}}, "COMP_OPT_NUM", int64_t(4), {}},
            {{{"MAX_ITER_EQ", "4294967295"}}, "MAX_ITER_EQ", int64_t(4294967295), {}},
            {{{"MAX_ITER_EQ", "4294967296"}},
             "MAX_ITER_EQ",
             {},
             "Invalid value for 'Maximum number of iterations for equilibrium calculation'"},
            {{{"T_SEED", "1,5"}}, "T_SEED", {}, seed}, // the C locale: "." only
            {{{"T_SEED", "inf"}}, "T_SEED", {}, seed},
            {{{"T_SEED", "1e999"}}, "T_SEED", {}, seed},
            {{{"T_SEED", "3.5e3"}}, "T_SEED", 3500.0, {}},
            {{{"DEF_REAC_T", "-1"}}, "DEF_REAC_T", {}, "Invalid value for 'Default reactant temperature'"},
            {{{"DEF_REAC_T", "0"}}, "DEF_REAC_T", 0.0, {}},
            {{{"MIN_PRES_CS_PLOT", "0"}}, "MIN_PRES_CS_PLOT", {}, "Invalud value for 'Minimum pressure for C* graph'"},
            // 5 bar = 500000 Pa against 0.4 MPa = 400000 Pa, then 0.6 MPa
            {{{"MIN_PRES_CS_PLOT", "5", bar}, {"MAX_PRES_CS_PLOT", "0.4", MPa}},
             "MAX_PRES_CS_PLOT",
             {},
             "Maximum pressure for C* graph must be greater than minimum"},
            {{{"MIN_PRES_CS_PLOT", "5", bar}, {"MAX_PRES_CS_PLOT", "0.6", MPa}}, "MIN_PRES_CS_PLOT", 500000.0, {}},
            {{{"MIN_PRES_CS_PLOT", "5", bar}, {"MAX_PRES_CS_PLOT", "0.6", MPa}}, "MAX_PRES_CS_PLOT", 600000.0, {}},
            {{{"COMP_OPT_PRES", "1", atm}}, "COMP_OPT_PRES", 101325.0, {}},
            {{{"PRES_INITIAL_ESTIMATE", "-2", bar}},
             "PRES_INITIAL_ESTIMATE",
             {},
             "Invalid value for 'Initial pressure estimate'"},
            {{{"COMP_OPT_MIN", "3"}, {"COMP_OPT_MAX", "3"}},
             "COMP_OPT_MAX",
             {},
             "Invalid value for 'First to second reactant maximum ratio'"},
            {{{"COMP_OPT_MIN", "3"}, {"COMP_OPT_MAX", "3.5"}}, "COMP_OPT_MAX", 3.5, {}},
            {{{"INJ_VEL", "0"}}, "INJ_VEL", 0.0, {}},
            {{{"CONV_E_P_SWITCH", "1"}},
             "CONV_E_P_SWITCH",
             {},
             "Invalid value for 'Area relation at which throat iteration starts'"},
            {{{"FROZ_COND", "0.2"}},
             "FROZ_COND",
             {},
             "Invalud value for 'Tolerance for temperature convergence (frozen flow)'"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.edits.front().key) + " = " + row.edits.front().text.toStdString());
        const Outcome outcome = readBack(row.edits, row.key);
        if (row.value) {
            EXPECT_EQ(outcome.refusal, QString());
            ASSERT_TRUE(outcome.value.has_value());
            EXPECT_EQ(*outcome.value, *row.value);
        } else {
            EXPECT_EQ(outcome.refusal, row.refusal);
        }
    }
}

// The first field that fails in the fixed order names the refusal, and a refused save
// puts nothing into force and leaves the file as it was.
TEST_F(PreferencesTest, RefusedSaveChangesNothing)
{
    const std::string before = readFileText(preferencesFile());
    const auto refusal
            = savePreferences(typed({{"NUM_DIS_PREC", "5"}, {"REL_TOL", "0"}, {"TOL_T", "0.5"}}), entriesInForce());
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->text, "Invalid value for 'Tolerance for temperature convergence'");
    EXPECT_EQ(NUM_DIS_PREC, 10);
    EXPECT_EQ(readFileText(preferencesFile()), before);
}

// The fields show the values in force as the dialog's form describes them.
TEST_F(PreferencesTest, FieldsShowTheValuesInForce)
{
    PRES_INITIAL_ESTIMATE = 3000000; // Pa
    MIN_SP_LOG_N = std::log(1e-8);
    LIST_SEPARATOR = ';';
    INJ_VEL = 1.23456789; // six digits whatever NUM_DIS_PREC says
    PreferenceEntries entries = entriesInForce();
    auto text = [&entries](const char* key) { return entries[fieldIndex(key)].text; };
    EXPECT_EQ(text("PRES_INITIAL_ESTIMATE"), "3");
    EXPECT_EQ(entries[fieldIndex("PRES_INITIAL_ESTIMATE")].unit, MPa);
    EXPECT_EQ(text("MIN_SP_LOG_N"), "1e-08");
    EXPECT_EQ(text("LIST_SEPARATOR"), ";");
    EXPECT_EQ(text("INJ_VEL"), "1.23457");
    EXPECT_EQ(text("MAX_ITER_EQ"), "8000");
    EXPECT_EQ(text("DEF_REAC_T"), "298.15");
    EXPECT_EQ(text("PATH_EXPORT"), QString::fromStdString(app.path() + "/Exports"));
    EXPECT_EQ(entries[fieldIndex("default_tab")].index, 3);
    EXPECT_TRUE(entries[fieldIndex("hideSolid")].checked);

    NUM_DIS_PREC = 2;
    OPT_MAX_ITER = 100;
    entries = entriesInForce();
    EXPECT_EQ(text("OPT_MAX_ITER"), "1e+02");
    EXPECT_EQ(text("COMP_OPT_NUM"), "2e+02");
    EXPECT_EQ(text("DEF_REAC_T"), "3e+02");
}

// Saving without editing changes no stored value, even where the fields show fewer
// digits than the values hold or a whole number in exponent form; the file is written
// back sorted, indented by 4, with its "Files" section and unknown members.
TEST_F(PreferencesTest, SavingWithoutEditingChangesNothing)
{
    json document = fileDocument();
    document["General"]["NUM_DIS_PREC"] = 2;
    document["Nozzletab"]["OPT_MAX_ITER"] = 100.0; // shown as "1e+02"
    document["PropTab"]["DEF_REAC_T"] = 298.15; // shown as "3e+02"
    document["Equilibrium"]["MIN_SP_LOG_N"] = -18.420681; // exp() shown with 2 digits
    document["Extra"] = {{"kept", true}};
    document["ODE"]["NOT_A_KEY"] = "kept";
    loadDocument(document);
    const std::string before = readFileText(preferencesFile());

    ASSERT_FALSE(savePreferences(entriesInForce(), entriesInForce()).has_value());
    EXPECT_EQ(readFileText(preferencesFile()), before);
    EXPECT_EQ(before, serializeJson(json::parse(before))); // sorted, indent 4, final newline
    EXPECT_EQ(OPT_MAX_ITER, 100.0);
    EXPECT_EQ(DEF_REAC_T, 298.15);
    EXPECT_EQ(MIN_SP_LOG_N, -18.420681);
    EXPECT_EQ(flagsF.load(), 0u);
}

// Every kind of field, saved and loaded again by a fresh process, gives what was typed.
TEST_F(PreferencesTest, SaveThenLoadGivesTheSameValues)
{
    PreferenceEntries entries = typed({{"NUM_DIS_PREC", "7"},
                                       {"PATH_EXPORT", QString::fromUtf8("/tmp/Ex\xC3\xB6rts")},
                                       {"LIST_SEPARATOR", ","},
                                       {"IMG_WIDTH", "1024"},
                                       {"COMP_OPT_PRES", "2", bar},
                                       {"OPT_MAX_ITER", "300"},
                                       {"ABORT", "30"},
                                       {"MIN_ION_LOG_N", "1e-9"},
                                       {"ION_RESET", "0.0002"},
                                       {"ln_Pinf_Pi_RESET", "1.05"},
                                       {"TOL_T", "2e-5"}});
    entries[fieldIndex("OPT_AREA")].index = 2;
    entries[fieldIndex("NightMode")].checked = true;
    ASSERT_FALSE(savePreferences(entries, entriesInForce()).has_value());
    EXPECT_EQ(fileDocument()["Datatab"]["ABORT"], 30);
    EXPECT_TRUE(fileDocument()["Nozzletab"]["OPT_MAX_ITER"].is_number_float());

    std::vector<PreferenceValue> saved;
    for (const PreferenceField& field : preferenceFields())
        saved.push_back(preferenceValue(field.key));
    const PreferenceValue logIonReset = preferenceValue("LOG_ION_RESET");
    freshPreferenceValues();
    ASSERT_TRUE(loadPreferences().value);
    EXPECT_EQ(flagsF.load(), 0u);
    for (size_t i = 0; i < preferenceFields().size(); ++i)
        EXPECT_EQ(preferenceValue(preferenceFields()[i].key), saved[i]) << preferenceFields()[i].key;
    EXPECT_EQ(preferenceValue("LOG_ION_RESET"), logIonReset);

    EXPECT_EQ(NUM_DIS_PREC, 7);
    EXPECT_EQ(PATH_EXPORT, "/tmp/Ex\xC3\xB6rts");
    EXPECT_EQ(LIST_SEPARATOR, ',');
    EXPECT_EQ(COMP_OPT_PRES, 200000.0);
    EXPECT_EQ(OPT_MAX_ITER, 300.0);
    EXPECT_EQ(OPT_AREA, 2);
    EXPECT_TRUE(NightMode);
    EXPECT_NEAR(std::exp(MIN_ION_LOG_N), 1e-9, 1e-22);
    EXPECT_EQ(ION_RESET, 0.0002);
    EXPECT_NEAR(std::exp(LOG_ION_RESET), 0.0002, 1e-17);
    EXPECT_NEAR(std::exp(ln_Pinf_Pi_RESET), 1.05, 1e-14);
    EXPECT_EQ(TOL_T, 2e-5);
}

// The lock of the restricted mode saves BabyMode on, whatever its box says.
TEST_F(PreferencesTest, LockSavesBabyModeOn)
{
    PreferenceEntries entries = entriesInForce();
    entries[fieldIndex("LOCK_BABYMODE")].checked = true;
    entries[fieldIndex("BabyMode")].checked = false;
    ASSERT_FALSE(savePreferences(entries, entriesInForce()).has_value());
    EXPECT_TRUE(LOCK_BABYMODE);
    EXPECT_TRUE(BabyMode);
    EXPECT_EQ(fileDocument()["General"]["BabyMode"], true);
}

// While a run is at work on a worker thread, a save or reset that would change a value
// the solvers read is refused; other values may change.
TEST_F(PreferencesTest, SolverSettingsAreKeptWhileACalculationRuns)
{
    calculationStarted();
    const std::string before = readFileText(preferencesFile());
    auto refusal = savePreferences(typed({{"NUM_DIS_PREC", "5"}, {"TOL_T", "0.001"}}), entriesInForce());
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->text,
              "Solver settings cannot be changed while a calculation or a nozzle optimisation is running");
    EXPECT_EQ(NUM_DIS_PREC, 10);
    EXPECT_EQ(TOL_T, 0.0001);
    EXPECT_EQ(readFileText(preferencesFile()), before);

    EXPECT_FALSE(savePreferences(typed({{"NUM_DIS_PREC", "5"}, {"DIG_OUT", "8"}}), entriesInForce()).has_value());
    EXPECT_EQ(NUM_DIS_PREC, 5);

    // a reset that leaves every solver value as it is may go on; one that changes one may not
    EXPECT_FALSE(resetPreferences().value.has_value());
    EXPECT_EQ(NUM_DIS_PREC, 10);
    calculationFinished();
    ASSERT_FALSE(savePreferences(typed({{"MAX_ITER_EQ", "50"}}), entriesInForce()).has_value());
    calculationStarted();
    refusal = resetPreferences().value;
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(MAX_ITER_EQ, 50u);
    calculationFinished();
    EXPECT_FALSE(resetPreferences().value.has_value());
    EXPECT_EQ(MAX_ITER_EQ, 8000u);
}

// A run's solvers read their settings without a lock, so a save during a run must not
// write them at all, not even with the value they already hold. A save that changes no
// solver setting puts into force only what changed; a solver field retyped with the same
// value ("08000" for 8000) is no change. The file still holds every value.
TEST_F(PreferencesTest, ASaveDuringARunWritesNoSolverSettingItDoesNotChange)
{
    std::vector<std::string> assigned;
    const PreferenceAssignment record = [&](std::string_view key, const PreferenceValue& value) {
        assigned.emplace_back(key);
        return setPreferenceValue(key, value);
    };
    calculationStarted();
    const auto refusal
            = savePreferences(typed({{"NUM_DIS_PREC", "5"}, {"MAX_ITER_EQ", "08000"}}), entriesInForce(), record);
    calculationFinished();
    ASSERT_FALSE(refusal.has_value()) << refusal->text.toStdString();
    EXPECT_EQ(assigned, std::vector<std::string>{"NUM_DIS_PREC"});
    EXPECT_EQ(NUM_DIS_PREC, 5);
    EXPECT_EQ(MAX_ITER_EQ, 8000u);
    const nlohmann::json file = fileDocument();
    EXPECT_EQ(file["General"]["NUM_DIS_PREC"], 5);
    EXPECT_EQ(file["Equilibrium"]["MAX_ITER_EQ"], 8000);
    std::size_t values = 0;
    for (const auto& section : file.items())
        values += section.value().size();
    EXPECT_EQ(values, 113u);

    // Nothing edited at all: nothing is written to any value.
    assigned.clear();
    ASSERT_FALSE(savePreferences(entriesInForce(), entriesInForce(), record).has_value());
    EXPECT_TRUE(assigned.empty());
}

// A preferences file gone at save time is created (F14); one that cannot be parsed or
// opened is left alone and refuses the save (nothing changes); a failed write puts the
// earlier values back.
TEST_F(PreferencesTest, PreferencesFileStatesAtSaveTime)
{
    std::filesystem::remove(preferencesFile());
    ASSERT_FALSE(savePreferences(typed({{"DIG_OUT", "9"}}), entriesInForce()).has_value());
    EXPECT_EQ(flagsF.load(), uint32_t(code::fileMissing(code::PreferencesFile)));
    EXPECT_EQ(fileDocument()["General"]["DIG_OUT"], 9);

    flagsF = 0;
    app.write("Data/Preferences.json", "{ broken");
    auto refusal = savePreferences(typed({{"DIG_OUT", "7"}}), entriesInForce());
    ASSERT_TRUE(refusal.has_value());
    EXPECT_TRUE(refusal->text.startsWith("The preferences file could not be read, so nothing was saved: "));
    EXPECT_EQ(flagsF.load(), uint32_t(code::fileCorrupt(code::PreferencesFile)));
    EXPECT_EQ(DIG_OUT, 9);
    EXPECT_EQ(readFileText(preferencesFile()), "{ broken");

    app.write("Data/Preferences.json", "[1, 2]"); // JSON, but not an object
    EXPECT_TRUE(savePreferences(typed({{"DIG_OUT", "7"}}), entriesInForce()).has_value());
    EXPECT_EQ(readFileText(preferencesFile()), "[1, 2]");

    std::filesystem::remove(preferencesFile());
    std::filesystem::create_directories(preferencesFile()); // exists, cannot be opened
    refusal = savePreferences(typed({{"DIG_OUT", "7"}}), entriesInForce());
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->text,
              "Preferences file could not be opened, it may be because it is opened by a different "
              "software or it has access restrictions");
    EXPECT_EQ(DIG_OUT, 9);

    PREFERENCES = app.path() + "/No/Such/Folder/Preferences.json";
    refusal = savePreferences(typed({{"DIG_OUT", "7"}, {"TOL_T", "0.01"}}), entriesInForce());
    ASSERT_TRUE(refusal.has_value());
    EXPECT_TRUE(refusal->text.startsWith("The preferences file could not be written: "));
    EXPECT_EQ(DIG_OUT, 9);
    EXPECT_EQ(TOL_T, 0.0001);
}

// A key written twice in the file in use (a hand edit) keeps its last value: the save
// goes through, every other member of the file stays, and the key is written once.
TEST_F(PreferencesTest, SaveOverARepeatedKey)
{
    nlohmann::json document = fileDocument();
    document["Files"]["SPECIES"] = app.path() + "/mine/Species.json";
    document["Extra"] = {{"kept", true}};
    std::string text = document.dump(4) + "\n";
    const std::string once = "\"ABORT\": 15";
    ASSERT_NE(text.find(once), std::string::npos);
    text.replace(text.find(once), once.size(), "\"ABORT\": 30,\n        \"ABORT\": 45");
    app.write("Data/Preferences.json", text);

    ASSERT_FALSE(savePreferences(typed({{"DIG_OUT", "9"}}), entriesInForce()).has_value());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(DIG_OUT, 9);
    nlohmann::json expected = document;
    expected["General"]["DIG_OUT"] = 9;
    expected["Datatab"]["ABORT"] = 15; // the value in force, which the dialog showed
    EXPECT_EQ(fileDocument(), expected);
}

// The reset puts the defaults in force even when the file in use cannot be read or
// written; it shows nothing itself: the boxes go back to the dialog with the reset.
TEST_F(PreferencesTest, ResetHandsTheFileBoxesBack)
{
    struct Row {
        const char* what;
        std::function<void()> prepare;
        QString text; // the start of the one box handed back
    };
    const std::string path = preferencesFile();
    const std::vector<Row> rows = {
            {"unparsable", [&] { app.write("Data/Preferences.json", "{ broken"); },
             QStringLiteral("The preferences file could not be read, so it was left unchanged: ")
                     + QString::fromStdString(path)},
            {"cannot be opened",
             [&] {
                 std::filesystem::remove(path);
                 std::filesystem::create_directories(path);
             },
             QStringLiteral("Preferences file could not be opened, it may be because it is opened by a different "
                            "software or it has access restrictions")},
            {"cannot be written", [&] { PREFERENCES = app.path() + "/No/Such/Folder/Preferences.json"; },
             QStringLiteral("The preferences file could not be written: ") + QString::fromStdString(app.path())
                     + QStringLiteral("/No/Such/Folder/Preferences.json")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        DIG_OUT = 3;
        row.prepare();
        messages.clear();
        const Reported<std::optional<PreferenceRefusal>> reset = resetPreferences();
        EXPECT_FALSE(reset.value.has_value());
        EXPECT_EQ(DIG_OUT, 16);
        EXPECT_TRUE(messages.messages().empty()) << messages.lastText().toStdString();
        ASSERT_EQ(reset.messages.size(), 1u);
        EXPECT_EQ(reset.messages[0].box.text, row.text);
        EXPECT_EQ(reset.messages[0].box.icon, Msg::Critical);
        EXPECT_EQ(reset.messages[0].box.title, "KAVRO");
        EXPECT_TRUE(reset.messages[0].box.windowIcon);
        EXPECT_TRUE(reset.messages[0].parentless);
    }
}

// The dialog's table agrees with the preference table: every field edits a preference,
// once, and every refusable field has a message.
TEST(PreferencesFields, EveryFieldEditsOnePreference)
{
    std::vector<std::string_view> keys;
    for (const PreferenceField& field : preferenceFields()) {
        EXPECT_FALSE(std::holds_alternative<bool>(preferenceDefault(field.key))
                     && field.kind != PreferenceFieldKind::Check)
                << field.key;
        EXPECT_EQ(std::count(keys.begin(), keys.end(), field.key), 0) << field.key;
        keys.push_back(field.key);
        const bool refusable = field.kind != PreferenceFieldKind::Choice && field.kind != PreferenceFieldKind::Check
                && field.kind != PreferenceFieldKind::Folder;
        EXPECT_EQ(field.message != nullptr, refusable) << field.key;
    }
    EXPECT_EQ(keys.size(), 104u);
}
