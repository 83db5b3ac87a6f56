#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/flags.h"
#include "core/json_file.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

constexpr uint32_t F14 = 1u << 14, F15 = 1u << 15, F30 = 1u << 30, F31 = 1u << 31;
constexpr uint32_t preferenceCodes = F14 | F15 | F30 | F31;

// The state of a fresh process: every default, the nine paths empty.
void freshProcessValues()
{
#define KAVRO_FRESH_PATH(key, suffix) key.clear();
#define KAVRO_FRESH_VALUE(section, key, type, def) key = type(def);
    KAVRO_PATH_PREFERENCES(KAVRO_FRESH_PATH)
    KAVRO_VALUE_PREFERENCES(KAVRO_FRESH_VALUE)
#undef KAVRO_FRESH_PATH
#undef KAVRO_FRESH_VALUE
}

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// The published preferences: section, key, value form and default, in the order of
// their tables (paths and PATH_EXPORT are the application folder followed by the text).
enum class Kind { Bool, Unsigned, Char, Double, Path };
struct PublishedDefault {
    const char* section;
    const char* key;
    Kind kind;
    double value; // Bool 0/1, Unsigned, Char (its code), Double
    const char* suffix = nullptr; // Path
};
const PublishedDefault publishedDefaults[] = {
        {"Files", "PREFERENCES", Kind::Path, 0, "/Data/Preferences.json"},
        {"Files", "SPECIES", Kind::Path, 0, "/Data/Species.json"},
        {"Files", "REACTANTS", Kind::Path, 0, "/Data/Reactants.json"},
        {"Files", "KINETICS", Kind::Path, 0, "/Data/Kinetics.json"},
        {"Files", "PROPELLANT", Kind::Path, 0, "/Data/Propellants.json"},
        {"Files", "GRAIN", Kind::Path, 0, "/Data/Grains.json"},
        {"Files", "NOZZLE", Kind::Path, 0, "/Data/Nozzles.json"},
        {"Files", "CONFIGURATIONS", Kind::Path, 0, "/Data/Configurations.json"},
        {"General", "WINSTYLE", Kind::Unsigned, 1},
        {"General", "default_tab", Kind::Unsigned, 3},
        {"General", "preferences_tab", Kind::Unsigned, 0},
        {"General", "NUM_DIS_PREC", Kind::Unsigned, 10},
        {"General", "PATH_EXPORT", Kind::Path, 0, "/Exports"},
        {"General", "GLINE_WIDTH", Kind::Unsigned, 1},
        {"General", "LIST_SEPARATOR", Kind::Char, 59},
        {"General", "DIG_OUT", Kind::Unsigned, 16},
        {"General", "NightMode", Kind::Bool, 0},
        {"General", "StatusBar", Kind::Bool, 1},
        {"General", "hideSolid", Kind::Bool, 1},
        {"General", "SAME_NAME_EXPORT", Kind::Bool, 1},
        {"General", "IMG_WIDTH", Kind::Unsigned, 800},
        {"General", "IMG_HEIGHT", Kind::Unsigned, 450},
        {"General", "BabyMode", Kind::Bool, 0},
        {"General", "BLOCK_PREFERENCES", Kind::Bool, 0},
        {"General", "LOCK_BABYMODE", Kind::Bool, 0},
        {"General", "DER_PREC", Kind::Unsigned, 2},
        {"General", "INTER_PREC", Kind::Unsigned, 2},
        {"General", "INT_METHOD", Kind::Unsigned, 1},
        {"PropTab", "DEF_REAC_T", Kind::Double, 298.15},
        {"PropTab", "CS_PLOT_POINTS", Kind::Unsigned, 100},
        {"PropTab", "MIN_PRES_CS_PLOT", Kind::Double, 500000},
        {"PropTab", "MAX_PRES_CS_PLOT", Kind::Double, 10000000},
        {"PropTab", "PRES_VIELLE_TOP_LIMIT", Kind::Bool, 1},
        {"PropTab", "ONLY_COMPATIBLE", Kind::Bool, 1},
        {"PropTab", "DISABLE_INCOMPATIBLE", Kind::Bool, 1},
        {"PropTab", "COMP_OPT_MIN", Kind::Double, 1},
        {"PropTab", "COMP_OPT_MAX", Kind::Double, 10},
        {"PropTab", "COMP_OPT_NUM", Kind::Unsigned, 200},
        {"PropTab", "COMP_OPT_PRES", Kind::Double, 1000000},
        {"GrainTab", "COMB_EV", Kind::Unsigned, 0},
        {"GrainTab", "PRES_MAX_ITER", Kind::Unsigned, 50},
        {"GrainTab", "PRES_TOL", Kind::Double, 0.0004},
        {"GrainTab", "PRES_INITIAL_ESTIMATE", Kind::Double, 3000000},
        {"Nozzletab", "Nozzle_display", Kind::Unsigned, 1},
        {"Nozzletab", "VNOZZ", Kind::Bool, 1},
        {"Nozzletab", "NOZZLE_BRUSH", Kind::Bool, 0},
        {"Nozzletab", "OPT_WITH", Kind::Unsigned, 0},
        {"Nozzletab", "OPT_AREA", Kind::Unsigned, 4},
        {"Nozzletab", "OPT_TREAC", Kind::Double, 298.15},
        {"Nozzletab", "OPT_MAX_ITER", Kind::Double, 200},
        {"Nozzletab", "OPT_TOL", Kind::Double, 0.01},
        {"Nozzletab", "NUM_POINTS_OPT", Kind::Double, 10},
        {"Nozzletab", "OPT_FROZ", Kind::Bool, 1},
        {"Datatab", "TYPE_RESULTS", Kind::Unsigned, 0},
        {"Datatab", "ABORT", Kind::Unsigned, 15},
        {"Datatab", "NORMALIZED", Kind::Bool, 0},
        {"Datatab", "GRAPH_Y_0", Kind::Bool, 0},
        {"Datatab", "SHOW_FREEZE", Kind::Bool, 1},
        {"Datatab", "SHOW_AP_CHANGE", Kind::Bool, 1},
        {"Datatab", "ONLY_FROZ", Kind::Bool, 0},
        {"Datatab", "VEL_CHAMBER", Kind::Double, 30},
        {"Datatab", "C_BARTZ", Kind::Double, 0.026},
        {"Datatab", "m_BARTZ", Kind::Double, 0.8},
        {"Datatab", "n_BARTZ", Kind::Double, 0.4},
        {"Datatab", "wv_BARTZ", Kind::Double, 0.6},
        {"Datatab", "wk_BARTZ", Kind::Double, 0.6},
        {"Datatab", "wc_BARTZ", Kind::Double, 0},
        {"Datatab", "curv_BARTZ", Kind::Double, 0.1},
        {"Equilibrium", "MAX_ITER_EQ", Kind::Unsigned, 8000},
        {"Equilibrium", "MAX_ITER_IONS", Kind::Unsigned, 100},
        {"Equilibrium", "MIN_SP_LOG_N", Kind::Double, -18.420681},
        {"Equilibrium", "MIN_ION_LOG_N", Kind::Double, -18.420681},
        {"Equilibrium", "TOL_T", Kind::Double, 0.0001},
        {"Equilibrium", "TOL_S", Kind::Double, 5e-5},
        {"Equilibrium", "TOL_N", Kind::Double, 5e-6},
        {"Equilibrium", "TOL_b", Kind::Double, 1e-6},
        {"Equilibrium", "TOL_ION", Kind::Double, 0.0001},
        {"Equilibrium", "TOLERANCE_PI_LOW_N", Kind::Double, 0.001},
        {"Equilibrium", "T_SEED", Kind::Double, 3800},
        {"Equilibrium", "INITIAL_MIX_N", Kind::Double, 0.1},
        {"Equilibrium", "SING_RESET", Kind::Double, 1e-6},
        {"Equilibrium", "ION_RESET", Kind::Double, 1e-5},
        {"Equilibrium", "LOG_ION_RESET", Kind::Double, -11.5129255},
        {"Equilibrium", "COND_Akl", Kind::Double, 1.1},
        {"Equilibrium", "INITIAL_CONDENSED", Kind::Double, 1e-5},
        {"ODE", "THROAT_CONV", Kind::Double, 4e-5},
        {"ODE", "CONV_COND", Kind::Double, 4e-5},
        {"ODE", "FROZ_COND", Kind::Double, 5e-5},
        {"ODE", "ln_Pinf_Pi_RESET", Kind::Double, 0.0001},
        {"ODE", "AR_DIFF_TOL", Kind::Double, 1e-5},
        {"ODE", "XOFF_NEW_ACH", Kind::Double, 1.05},
        {"ODE", "FAC_CONV", Kind::Double, 2e-5},
        {"ODE", "MAX_ITER_THROAT", Kind::Unsigned, 20},
        {"ODE", "MAX_ITER_ODE", Kind::Unsigned, 10},
        {"ODE", "MAX_ITER_FROZEN", Kind::Unsigned, 10},
        {"ODE", "MAX_ITER_FROZEN_THROAT", Kind::Unsigned, 20},
        {"ODE", "MAX_ITER_FAC", Kind::Unsigned, 20},
        {"ODE", "INJ_VEL", Kind::Double, 0},
        {"ODK", "REL_TOL", Kind::Double, 1e-10},
        {"ODK", "ABS_TOL", Kind::Double, 1e-8},
        {"ODK", "MAX_ITER_GLOBAL", Kind::Unsigned, 400},
        {"ODK", "MAX_ITER_THROAT_ODK", Kind::Unsigned, 20},
        {"ODK", "MAX_ITER_MF_ODK", Kind::Unsigned, 20},
        {"ODK", "MAX_ITER_POINTS_ODK", Kind::Unsigned, 40},
        {"ODK", "CONV_E_P_SWITCH", Kind::Double, 1.08},
        {"ODK", "DIV_E_P_SWITCH", Kind::Double, 1.12},
        {"ODK", "THROAT_TOL_ODK", Kind::Double, 0.0001},
        {"ODK", "POINT_TOL_ODK", Kind::Double, 0.0001},
        {"ODK", "MF_TOL_ODK", Kind::Double, 0.0001},
        {"ODK", "THROATPOS_TOL_ODK", Kind::Double, 0.001},
        {"ODK", "MF_AREA_RELEVANCE", Kind::Double, 150},
        {"ODK", "POINT_A_MAX_CORRECTION", Kind::Double, 0.01},
        {"ODK", "THROAT_P_POS_RELEVANCE", Kind::Double, 0.1},
};
static_assert(std::size(publishedDefaults) == 113, "the store holds 113 preferences");

// The complete document of defaults for the application folder `appDir`, in the file's
// value forms: unsigned integers, the separator as its character code, doubles as
// floating-point numbers (30 is written 30.0), the paths as strings.
json publishedDocument(const std::string& appDir)
{
    json document = json::object();
    for (const PublishedDefault& d : publishedDefaults) {
        json& member = document[d.section][d.key];
        switch (d.kind) {
        case Kind::Bool: member = d.value != 0.0; break;
        case Kind::Unsigned: member = static_cast<unsigned>(d.value); break;
        case Kind::Char: member = static_cast<int>(d.value); break;
        case Kind::Double: member = d.value; break;
        case Kind::Path: member = appDir + d.suffix; break;
        }
    }
    return document;
}

class PreferenceFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        freshProcessValues();
        flagsF = 0;
    }
    void TearDown() override
    {
        // The file's operations show nothing themselves: their boxes go back to the caller.
        EXPECT_TRUE(messages.messages().empty()) << messages.lastText().toStdString();
        freshProcessValues();
        flagsF = 0;
    }

    // The three operations, keeping the boxes they hand back in `handed`.
    bool keep(Reported<bool> result)
    {
        handed.insert(handed.end(), result.messages.begin(), result.messages.end());
        return result.value;
    }
    bool load() { return keep(loadPreferences()); }
    bool savePaths() { return keep(saveDataFilePaths()); }
    bool restore() { return keep(restoreDefaultPreferences()); }

    std::string defaultFile() const { return app.dataFile("Preferences.json"); }
    std::string otherFile() const { return app.path() + "/Other/Prefs.json"; }

    // The complete document of defaults for this application folder, and its text as
    // the file holds it (indent 4, members in byte order, one trailing newline).
    json goldenDocument() const { return publishedDocument(app.path()); }
    std::string golden() const { return goldenDocument().dump(4) + "\n"; }

    void writeDefault(const json& document) { app.write("Data/Preferences.json", document.dump(2)); }
    void writeDefaultText(const std::string& text) { app.write("Data/Preferences.json", text); }
    void writeOther(const std::string& text) { app.write("Other/Prefs.json", text); }
    json fileDocument(const std::string& path) const { return json::parse(readText(path)); }

    TempAppDir app;
    MessageRecorder messages; // the message seam
    ViewMessages handed;
};

} // namespace

TEST(PreferenceValues, FreshProcessHoldsDefaultsAndEmptyPaths)
{
    EXPECT_TRUE(SPECIES.empty());
    EXPECT_TRUE(PATH_EXPORT.empty());
    EXPECT_EQ(WINSTYLE, 1);
    EXPECT_EQ(LIST_SEPARATOR, ';');
    EXPECT_EQ(ABORT, 15);
    EXPECT_EQ(MIN_SP_LOG_N, -18.420681);
    EXPECT_EQ(LOG_ION_RESET, -11.5129255);
    EXPECT_TRUE(hideSolid);
    EXPECT_FALSE(solidsHidden);
    EXPECT_FALSE(babyModeActive);
}

// First start with an empty Data folder, then a second start.
TEST_F(PreferenceFile, EmptyDataFolderCreatesTheDefaultDocument)
{
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), F15 | F31);
    EXPECT_EQ(readText(defaultFile()), golden());
    EXPECT_EQ(PREFERENCES, defaultFile());
    EXPECT_EQ(SPECIES, app.path() + "/Data/Species.json");
    EXPECT_EQ(PATH_EXPORT, app.path() + "/Exports");
    EXPECT_EQ(MAX_ITER_EQ, 8000u);
    EXPECT_TRUE(handed.empty());

    flagsF = 0;
    freshProcessValues();
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load() & preferenceCodes, 0u);
    EXPECT_EQ(readText(defaultFile()), golden());
}

// One row per state of the default file: codes raised, the values, and the bytes left in
// the file (an unparsable file is never replaced; everything else is written complete).
TEST_F(PreferenceFile, StatesOfTheDefaultFile)
{
    struct Row {
        const char* name;
        std::string content; // written as Data/Preferences.json
        uint32_t codes; // F14/F15/F30/F31 expected
        bool leftAlone; // the file is not a document: its bytes stay as they were
    };
    const std::string full = goldenDocument().dump();
    const Row rows[] = {
            {"complete", full, 0, false},
            {"garbage", "{\"General\": {", F31, true},
            {"array document", "[1, 2]", F31, true},
            {"number document", "42", F31, true},
            {"null document", "null", F31, false},
            {"empty object", "{}", F31, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        freshProcessValues();
        flagsF = 0;
        writeDefaultText(row.content);
        ASSERT_TRUE(load());
        EXPECT_EQ(flagsF.load(), row.codes);
        EXPECT_EQ(readText(defaultFile()), row.leftAlone ? row.content : golden());
        EXPECT_EQ(DIG_OUT, 16);
        EXPECT_EQ(KINETICS, app.path() + "/Data/Kinetics.json");
    }
    EXPECT_TRUE(handed.empty());
}

// A small file holding one value nested 30,000 deep (generated here) once grew into a
// file of gigabytes at start, or overflowed the stack: it is a corrupted file, kept as
// it is, and every value takes its default.
TEST_F(PreferenceFile, DeeplyNestedFileIsCorruptAndKept)
{
    const int depth = 30000;
    const std::string deep
            = "{\"General\": {\"DIG_OUT\": " + std::string(depth, '[') + "12" + std::string(depth, ']') + "}}";
    writeDefaultText(deep);
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), F31);
    EXPECT_EQ(DIG_OUT, 16);
    EXPECT_EQ(readText(defaultFile()), deep);
}

TEST_F(PreferenceFile, OnlyFilesSectionKeepsThePaths)
{
    json document;
    document["Files"] = {{"SPECIES", "/elsewhere/Sp.json"}, {"GRAIN", ""}, {"PREFERENCES", defaultFile()}};
    writeDefault(document);
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), F31);
    EXPECT_EQ(SPECIES, "/elsewhere/Sp.json");
    EXPECT_EQ(GRAIN, ""); // an empty string is a value
    EXPECT_EQ(NOZZLE, app.path() + "/Data/Nozzles.json");
    json expected = goldenDocument();
    expected["Files"]["SPECIES"] = "/elsewhere/Sp.json";
    expected["Files"]["GRAIN"] = "";
    EXPECT_EQ(readText(defaultFile()), serializeJson(expected));
}

// A key written twice keeps its last value, as JSON readers commonly take it; the rest
// of the file stays in force, the user's data-file paths included, and nothing counts as
// a repair. The file is written back holding the key once.
TEST_F(PreferenceFile, RepeatedKeyKeepsItsLastValue)
{
    const std::string mySpecies = app.path() + "/mine/Species.json";
    app.write("mine/Species.json", "{}\n");
    json document = goldenDocument();
    document["Files"]["SPECIES"] = mySpecies;
    document["Equilibrium"]["MAX_ITER_EQ"] = 1234;
    document["Datatab"]["ABORT"] = 45;
    // The text as a hand edit leaves it: the key twice in its section, 30 first.
    auto twice = [](const json& d) {
        std::string text = d.dump(4) + "\n";
        const std::string once = "\"ABORT\": 45";
        text.replace(text.find(once), once.size(), "\"ABORT\": 30,\n        \"ABORT\": 45");
        return text;
    };
    const std::string text = twice(document);
    ASSERT_NE(text.find("\"ABORT\": 30"), std::string::npos);

    struct Row {
        const char* what;
        bool redirected; // the text is the redirect target rather than the default file
    };
    for (const Row row : {Row{"default file", false}, Row{"redirected file", true}}) {
        SCOPED_TRACE(row.what);
        freshProcessValues();
        flagsF = 0;
        std::string inUse = defaultFile();
        if (row.redirected) {
            json redirect;
            redirect["Files"]["PREFERENCES"] = otherFile();
            writeDefault(redirect);
            writeOther(text);
            inUse = otherFile();
        } else {
            writeDefaultText(text);
        }
        ASSERT_TRUE(load());
        EXPECT_EQ(flagsF.load() & preferenceCodes, 0u);
        EXPECT_EQ(ABORT, 45);
        EXPECT_EQ(SPECIES, mySpecies);
        EXPECT_EQ(MAX_ITER_EQ, 1234u);
        EXPECT_EQ(PREFERENCES, inUse);
        EXPECT_EQ(readText(inUse), serializeJson(document)); // its own redirect entry is not followed
    }
    EXPECT_TRUE(handed.empty());

    // The file in use read again by the data-file paths and the reset: both keep the
    // last value and write the file back.
    freshProcessValues();
    flagsF = 0;
    writeDefaultText(twice(document));
    ASSERT_TRUE(load());
    writeDefaultText(twice(document));
    SPECIES = app.path() + "/mine/Other.json";
    ASSERT_TRUE(savePaths());
    json paths = document;
    paths["Files"]["SPECIES"] = SPECIES;
    EXPECT_EQ(readText(defaultFile()), serializeJson(paths));
    writeDefaultText(twice(document));
    ASSERT_TRUE(restore());
    EXPECT_EQ(ABORT, 15);
    EXPECT_EQ(fileDocument(defaultFile())["Files"]["SPECIES"], mySpecies);
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_TRUE(handed.empty());
}

// Data paths and PATH_EXPORT are formed from the folder when missing; that is no repair.
TEST_F(PreferenceFile, MissingPathsAreNotCorruption)
{
    json document = goldenDocument();
    document["Files"].erase("CONFIGURATIONS");
    document["Files"].erase("PREFERENCES");
    document["General"].erase("PATH_EXPORT");
    writeDefault(document);
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(readText(defaultFile()), golden());
}

TEST_F(PreferenceFile, RedirectStates)
{
    struct Row {
        const char* name;
        const char* other; // content of the redirect target, nullptr = absent
        uint32_t codes;
        bool inUseIsOther;
        bool leftAlone; // the target is not a document: its bytes stay as they were
    };
    json custom = goldenDocument();
    custom["Files"].erase("PREFERENCES");
    custom["Equilibrium"]["MAX_ITER_EQ"] = 1234;
    const std::string customText = serializeJson(custom);
    json incomplete = custom;
    incomplete["Equilibrium"].erase("MAX_ITER_EQ");
    const std::string incompleteText = serializeJson(incomplete);
    const Row rows[] = {
            {"missing target", nullptr, F14 | F31, false, false},
            {"garbage target", "not json", F30 | F31, true, true},
            {"array target", "[]", F30 | F31, true, true},
            {"valid target", customText.c_str(), 0, true, false},
            {"incomplete target", incompleteText.c_str(), F31, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        freshProcessValues();
        flagsF = 0;
        std::filesystem::remove_all(app.path() + "/Other");
        json defaults = goldenDocument();
        defaults["Files"]["PREFERENCES"] = otherFile();
        defaults["Equilibrium"]["MAX_ITER_EQ"] = 777;
        writeDefault(defaults);
        const std::string defaultBefore = readText(defaultFile());
        if (row.other)
            writeOther(row.other);

        ASSERT_TRUE(load());
        EXPECT_EQ(flagsF.load(), row.codes);
        if (row.inUseIsOther) {
            EXPECT_EQ(PREFERENCES, otherFile());
            EXPECT_EQ(readText(defaultFile()), defaultBefore); // only consulted for the entry
            EXPECT_EQ(MAX_ITER_EQ, row.codes ? 8000u : 1234u);
            if (row.leftAlone) {
                EXPECT_EQ(readText(otherFile()), row.other);
            } else {
                EXPECT_EQ(readText(otherFile()),
                          row.codes ? serializeJson([&] {
                              json d = goldenDocument();
                              d["Files"].erase("PREFERENCES");
                              return d;
                          }())
                                    : customText);
            }
        } else {
            EXPECT_EQ(PREFERENCES, defaultFile());
            EXPECT_EQ(MAX_ITER_EQ, 777u); // values from the default file
            json expected = goldenDocument();
            expected["Equilibrium"]["MAX_ITER_EQ"] = 777;
            EXPECT_EQ(readText(defaultFile()), serializeJson(expected));
        }
    }
}

TEST_F(PreferenceFile, RedirectToItselfReadsOneFile)
{
    json document = goldenDocument();
    document["Files"]["PREFERENCES"] = defaultFile();
    writeDefault(document);
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(PREFERENCES, defaultFile());
}

// An existing file that cannot be opened: false, and nothing else changes.
TEST_F(PreferenceFile, UnreadableFiles)
{
    std::filesystem::create_directories(defaultFile()); // a folder cannot be read as a file
    DIG_OUT = 7;
    EXPECT_FALSE(load());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(DIG_OUT, 7);
    EXPECT_TRUE(PREFERENCES.empty());
    std::filesystem::remove_all(defaultFile());

    json document;
    document["Files"]["PREFERENCES"] = otherFile();
    writeDefault(document);
    std::filesystem::create_directories(otherFile());
    EXPECT_FALSE(load());
    EXPECT_EQ(PREFERENCES, otherFile());
    EXPECT_EQ(DIG_OUT, 7);
    EXPECT_TRUE(handed.empty()); // the caller shows the start-up message
    EXPECT_STREQ(preferencesOpenFailedAtStart,
                 "Preferences file could not be opened, it could be because it is "
                 "opened by a different software or it has restricted acccess");
}

TEST_F(PreferenceFile, MissingAndMistypedMembers)
{
    struct Row {
        const char* name;
        const char* section;
        const char* key;
        json value;
        uint32_t codes;
    };
    const Row rows[] = {
            {"empty object member", "General", "DIG_OUT", json::object(), F31},
            {"empty array member", "Equilibrium", "MAX_ITER_EQ", json::array(), F31},
            {"null member", "ODK", "REL_TOL", nullptr, F31},
            {"string for a number", "General", "DIG_OUT", "12", F31},
            {"object for a number", "ODE", "INJ_VEL", {{"a", 1}}, F31},
            {"number for a boolean", "General", "NightMode", 1, F31},
            {"number for a path", "Files", "SPECIES", 5, F31},
            {"string for a double", "Equilibrium", "TOL_T", "0.1", F31},
            {"too large for 8 bits", "General", "DIG_OUT", 300, F31},
            {"negative for unsigned", "General", "DIG_OUT", -1, F31},
            {"negative float for unsigned", "Equilibrium", "MAX_ITER_EQ", -3.0, F31},
            {"too large for 32 bits", "General", "IMG_WIDTH", 1e12, F31},
            {"too large for 16 bits", "Datatab", "ABORT", 70000, F31},
            {"separator out of range", "General", "LIST_SEPARATOR", 1000, F31},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        freshProcessValues();
        flagsF = 0;
        json document = goldenDocument();
        document[row.section][row.key] = row.value;
        writeDefault(document);
        ASSERT_TRUE(load());
        EXPECT_EQ(flagsF.load(), row.codes);
        EXPECT_EQ(readText(defaultFile()), golden()); // the default stored in its place
    }
    EXPECT_EQ(DIG_OUT, 16);
}

TEST_F(PreferenceFile, ConversionsOfPresentValues)
{
    json document = goldenDocument();
    document["General"]["DIG_OUT"] = 12.9; // cut toward zero
    document["General"]["LIST_SEPARATOR"] = 44; // ","
    document["General"]["WINSTYLE"] = true; // booleans count as numbers
    document["Equilibrium"]["T_SEED"] = true;
    document["Equilibrium"]["MAX_ITER_EQ"] = 4294967295u;
    document["General"]["NUM_DIS_PREC"] = 1.9; // cuts to 1
    writeDefault(document);
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(DIG_OUT, 12);
    EXPECT_EQ(LIST_SEPARATOR, ',');
    EXPECT_EQ(WINSTYLE, 1);
    EXPECT_EQ(T_SEED, 1.0);
    EXPECT_EQ(MAX_ITER_EQ, 4294967295u);
    EXPECT_EQ(NUM_DIS_PREC, 1);
    // present values are left as the file holds them
    EXPECT_EQ(fileDocument(defaultFile())["General"]["DIG_OUT"], 12.9);
}

// Stored values outside what the Preferences dialog accepts load as their defaults, with
// the code of a mistyped member; the bounds themselves are accepted. The logarithms are
// ln 0.01 = -4.605170185988091 and ln 1.1 = 0.09531017980432493 (Python's math.log).
TEST_F(PreferenceFile, ValuesOutsideTheirLimits)
{
    struct Row {
        const char* section;
        const char* key;
        json value;
        bool kept;
    };
    const Row rows[] = {
            {"Equilibrium", "T_SEED", -1e308, false},
            {"Equilibrium", "T_SEED", 0.0, false},
            {"Equilibrium", "TOL_T", 0.0, false},
            {"Equilibrium", "TOL_T", 0.1, true},
            {"Equilibrium", "TOL_T", 0.10000001, false},
            {"Datatab", "ABORT", 0, false},
            {"Datatab", "ABORT", 65535, true},
            {"General", "NUM_DIS_PREC", 0, false},
            {"General", "NUM_DIS_PREC", 20, true},
            {"General", "NUM_DIS_PREC", 21, false},
            {"General", "IMG_WIDTH", 9, false},
            {"General", "IMG_WIDTH", 10, true},
            {"General", "IMG_HEIGHT", 10001, false},
            {"PropTab", "CS_PLOT_POINTS", 4000000000u, false},
            {"General", "WINSTYLE", 2, false},
            {"Nozzletab", "OPT_AREA", 5, false},
            {"General", "INT_METHOD", 3, false},
            {"General", "LIST_SEPARATOR", -80, false}, // a byte above 127
            {"General", "LIST_SEPARATOR", 10, false}, // a line feed
            {"General", "LIST_SEPARATOR", 44, true},
            {"ODE", "XOFF_NEW_ACH", 1.0, true},
            {"ODE", "XOFF_NEW_ACH", 1.2, true},
            {"ODE", "XOFF_NEW_ACH", 0.99, false},
            {"ODE", "ln_Pinf_Pi_RESET", 0.0, false}, // shown as 1
            {"ODE", "ln_Pinf_Pi_RESET", 0.09531017980432493, true}, // 1.1
            {"ODE", "ln_Pinf_Pi_RESET", 0.0954, false},
            {"Equilibrium", "MIN_SP_LOG_N", -4.605170185988091, true}, // 0.01
            {"Equilibrium", "MIN_SP_LOG_N", -4.6, false},
            {"Equilibrium", "MIN_ION_LOG_N", -700.0, true},
            {"Equilibrium", "LOG_ION_RESET", 0.0, false}, // an amount of 1
            {"Equilibrium", "MAX_ITER_EQ", 1, false},
            {"ODK", "MAX_ITER_THROAT_ODK", 3, false},
            {"ODK", "MAX_ITER_THROAT_ODK", 4, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " = " + row.value.dump());
        freshProcessValues();
        flagsF = 0;
        json document = goldenDocument();
        document[row.section][row.key] = row.value;
        writeDefault(document);
        ASSERT_TRUE(load());
        const json after = fileDocument(defaultFile());
        if (row.kept) {
            EXPECT_EQ(flagsF.load(), 0u);
            EXPECT_EQ(after[row.section][row.key], row.value);
        } else {
            EXPECT_EQ(flagsF.load(), F31);
            EXPECT_EQ(readText(defaultFile()), golden()); // the default stored in its place
        }
    }
    // in a redirected file the code is that of the redirected file
    freshProcessValues();
    flagsF = 0;
    json redirect = goldenDocument();
    redirect["Files"]["PREFERENCES"] = otherFile();
    writeDefault(redirect);
    json other = goldenDocument();
    other["Datatab"]["ABORT"] = 0;
    writeOther(other.dump());
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), F30);
    EXPECT_EQ(ABORT, 15);
}

// The c* graph's pressure range and the tested mixture ratios must run upwards; a pair out
// of order loads as its two defaults.
TEST_F(PreferenceFile, PairsOutOfOrderTakeTheirDefaults)
{
    json document = goldenDocument();
    document["PropTab"]["MIN_PRES_CS_PLOT"] = 2e6;
    document["PropTab"]["MAX_PRES_CS_PLOT"] = 2e6;
    document["PropTab"]["COMP_OPT_MIN"] = 3.0;
    document["PropTab"]["COMP_OPT_MAX"] = 4.0; // in order: kept
    writeDefault(document);
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), F31);
    EXPECT_EQ(MIN_PRES_CS_PLOT, 500000.0);
    EXPECT_EQ(MAX_PRES_CS_PLOT, 10000000.0);
    EXPECT_EQ(COMP_OPT_MIN, 3.0);
    EXPECT_EQ(COMP_OPT_MAX, 4.0);
    const json after = fileDocument(defaultFile());
    EXPECT_EQ(after["PropTab"]["MIN_PRES_CS_PLOT"], 500000.0);
    EXPECT_EQ(after["PropTab"]["MAX_PRES_CS_PLOT"], 10000000.0);

    flagsF = 0;
    document["PropTab"]["COMP_OPT_MIN"] = 11.0; // above the default maximum
    document["PropTab"]["COMP_OPT_MAX"] = 5.0;
    writeDefault(document);
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), F31);
    EXPECT_EQ(COMP_OPT_MIN, 1.0);
    EXPECT_EQ(COMP_OPT_MAX, 10.0);
}

TEST_F(PreferenceFile, OverflowingDoubleTakesTheDefault)
{
    std::string text = golden();
    const std::string from = "\"TOL_T\": 0.0001";
    text.replace(text.find(from), from.size(), "\"TOL_T\": 1e999");
    writeDefaultText(text);
    ASSERT_TRUE(load());
    EXPECT_EQ(TOL_T, 0.0001);
    EXPECT_EQ(flagsF.load(), F31);
}

TEST_F(PreferenceFile, SectionsThatAreNotObjects)
{
    json document = goldenDocument();
    document["General"] = 5;
    document["Files"] = "x";
    writeDefault(document);
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), F31);
    EXPECT_EQ(readText(defaultFile()), golden());

    // in a redirected file a mistyped member is that file's corruption: F30
    freshProcessValues();
    flagsF = 0;
    json defaults;
    defaults["Files"]["PREFERENCES"] = otherFile();
    writeDefault(defaults);
    json other = goldenDocument();
    other["Files"].erase("PREFERENCES");
    other["ODK"]["ABS_TOL"] = "small";
    writeOther(other.dump());
    ASSERT_TRUE(load());
    EXPECT_EQ(flagsF.load(), F30);
    EXPECT_EQ(ABS_TOL, 1e-8);
}

TEST_F(PreferenceFile, LockForcesBabyModeInMemoryOnly)
{
    struct Row {
        bool lock, baby, expected;
    };
    const Row rows[] = {{false, false, false}, {false, true, true}, {true, false, true}, {true, true, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::to_string(row.lock) + std::to_string(row.baby));
        freshProcessValues();
        json document = goldenDocument();
        document["General"]["LOCK_BABYMODE"] = row.lock;
        document["General"]["BabyMode"] = row.baby;
        writeDefault(document);
        ASSERT_TRUE(load());
        EXPECT_EQ(BabyMode, row.expected);
        EXPECT_EQ(fileDocument(defaultFile())["General"]["BabyMode"], row.baby);
    }
}

TEST_F(PreferenceFile, UnknownMembersSurviveEveryOperation)
{
    json document = goldenDocument();
    document["General"]["MY_KEY"] = "mine";
    document["Extra"] = {{"a", 1}};
    writeDefault(document);
    ASSERT_TRUE(load());
    ASSERT_TRUE(restore());
    ASSERT_TRUE(savePaths());
    const json after = fileDocument(defaultFile());
    EXPECT_EQ(after["General"]["MY_KEY"], "mine");
    EXPECT_EQ(after["Extra"]["a"], 1);
}

TEST_F(PreferenceFile, DataFilePaths)
{
    // after a redirect the paths go into the redirected file
    json defaults;
    defaults["Files"]["PREFERENCES"] = otherFile();
    writeDefault(defaults);
    writeOther(goldenDocument().dump());
    ASSERT_TRUE(load());
    const std::string defaultBefore = readText(defaultFile());
    flagsF = 0;
    SPECIES = "/new/Species.json";
    ASSERT_TRUE(savePaths());
    EXPECT_EQ(fileDocument(otherFile())["Files"]["SPECIES"], "/new/Species.json");
    EXPECT_EQ(readText(defaultFile()), defaultBefore);
    EXPECT_EQ(flagsF.load(), 0u);

    // a missing file: F14, and a document holding only the seven paths
    std::filesystem::remove(otherFile());
    ASSERT_TRUE(savePaths());
    EXPECT_EQ(flagsF.load(), F14);
    const json written = fileDocument(otherFile());
    EXPECT_EQ(written.size(), 1u);
    EXPECT_EQ(written["Files"].size(), 7u);
    EXPECT_FALSE(written["Files"].contains("PREFERENCES"));

    EXPECT_TRUE(handed.empty());

    // an unparsable file: F30, reported, and left exactly as it was
    flagsF = 0;
    writeOther("{oops");
    EXPECT_FALSE(savePaths());
    EXPECT_EQ(flagsF.load(), F30);
    EXPECT_EQ(readText(otherFile()), "{oops");
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed.back().box.icon, Msg::Critical);
}

TEST_F(PreferenceFile, DataFilePathsOnAFileThatCannotBeOpened)
{
    PREFERENCES = otherFile();
    std::filesystem::create_directories(otherFile());
    EXPECT_FALSE(savePaths());
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed[0].box.icon, Msg::Critical);
    EXPECT_EQ(handed.back().box.text,
              QStringLiteral("Preferences file could not be opened, it may be because it is "
                             "opened by a different software or it has access restrictions"));
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_TRUE(std::filesystem::is_directory(otherFile()));
}

// A missing Data folder is created at start, without a word; the default file is
// then written into it.
TEST_F(PreferenceFile, MissingDataFolderIsCreated)
{
    std::filesystem::remove_all(app.path() + "/Data");
    ASSERT_TRUE(load());
    EXPECT_TRUE(std::filesystem::is_directory(app.path() + "/Data"));
    EXPECT_EQ(readText(defaultFile()), golden());
    EXPECT_TRUE(handed.empty());
    EXPECT_EQ(flagsF.load(), F15 | F31); // the file itself was missing
}

// Only a Data folder that cannot be created is reported: once, as the reason why the
// default file could not be written.
TEST_F(PreferenceFile, FailedWritesAreReported)
{
    std::filesystem::remove_all(app.path() + "/Data");
    app.write("Data", "a file where the folder should be");
    ASSERT_TRUE(load()); // values are loaded all the same
    EXPECT_EQ(flagsF.load(), F15 | F31);
    EXPECT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed.back().box.icon, Msg::Critical);
    EXPECT_TRUE(handed.back().box.text.contains(QString::fromStdString(defaultFile())));
    EXPECT_TRUE(handed.back().box.informativeText.contains(QStringLiteral("could not be created")));
    EXPECT_EQ(app.read("Data"), "a file where the folder should be");

    EXPECT_FALSE(savePaths());
    EXPECT_EQ(handed.size(), 2u);
    EXPECT_FALSE(restore());
    EXPECT_EQ(handed.size(), 3u);
}

TEST_F(PreferenceFile, RestoreDefaults)
{
    json document = goldenDocument();
    document["General"]["hideSolid"] = false;
    document["General"]["BLOCK_PREFERENCES"] = true;
    document["General"]["BabyMode"] = true;
    document["General"]["PATH_EXPORT"] = "/my/exports";
    document["ODE"]["MAX_ITER_ODE"] = 99;
    document["Files"]["SPECIES"] = "/kept/Species.json";
    writeDefault(document);
    ASSERT_TRUE(load());
    ASSERT_EQ(MAX_ITER_ODE, 99u);
    GLINE_WIDTH = 2; // edited in memory only

    ASSERT_TRUE(restore());
    EXPECT_EQ(restoreDefaultDialogResult, 6);
    EXPECT_EQ(MAX_ITER_ODE, 10u);
    EXPECT_EQ(GLINE_WIDTH, 1);
    EXPECT_TRUE(hideSolid);
    EXPECT_FALSE(BLOCK_PREFERENCES);
    EXPECT_FALSE(BabyMode);
    EXPECT_EQ(PATH_EXPORT, app.path() + "/Exports");
    EXPECT_EQ(SPECIES, "/kept/Species.json");
    json expected = goldenDocument();
    expected["Files"]["SPECIES"] = "/kept/Species.json";
    EXPECT_EQ(readText(defaultFile()), serializeJson(expected));
}

TEST_F(PreferenceFile, RestoreDefaultsWithTheLockOn)
{
    json document = goldenDocument();
    document["General"]["LOCK_BABYMODE"] = true;
    document["General"]["BabyMode"] = false;
    document["General"]["BLOCK_PREFERENCES"] = true;
    writeDefault(document);
    ASSERT_TRUE(load());
    ASSERT_TRUE(BabyMode);
    ASSERT_TRUE(restore());
    EXPECT_TRUE(LOCK_BABYMODE);
    EXPECT_TRUE(BabyMode);
    EXPECT_FALSE(BLOCK_PREFERENCES);
    const json after = fileDocument(defaultFile());
    EXPECT_EQ(after["General"]["BabyMode"], true); // the value in memory
    EXPECT_EQ(after["General"]["LOCK_BABYMODE"], true); // not written, kept
}

TEST_F(PreferenceFile, RestoreDefaultsOnMissingOrBrokenFiles)
{
    PREFERENCES = defaultFile();
    DIG_OUT = 3;
    ASSERT_TRUE(restore());
    EXPECT_EQ(flagsF.load(), F14);
    EXPECT_EQ(DIG_OUT, 16);
    json written = fileDocument(defaultFile());
    EXPECT_FALSE(written.contains("Files"));
    EXPECT_FALSE(written["General"].contains("LOCK_BABYMODE"));
    EXPECT_EQ(written["General"].size(), 19u);

    // an unparsable file: the values are reset, the file is reported and left alone
    flagsF = 0;
    DIG_OUT = 3;
    writeDefaultText("][");
    const size_t before = handed.size();
    EXPECT_FALSE(restore());
    EXPECT_EQ(flagsF.load(), F30);
    EXPECT_EQ(DIG_OUT, 16);
    EXPECT_EQ(readText(defaultFile()), "][");
    EXPECT_EQ(handed.size(), before + 1);

    // a file that cannot be opened is not replaced
    flagsF = 0;
    std::filesystem::remove(defaultFile());
    std::filesystem::create_directories(defaultFile());
    DIG_OUT = 3;
    EXPECT_FALSE(restore());
    EXPECT_EQ(DIG_OUT, 16);
    EXPECT_EQ(handed.size(), before + 2);
    EXPECT_TRUE(std::filesystem::is_directory(defaultFile()));
}

TEST_F(PreferenceFile, StoringOneValueForTheDialog)
{
    json document;
    LIST_SEPARATOR = char(-80);
    EXPECT_TRUE(storePreference(document, "LIST_SEPARATOR"));
    EXPECT_EQ(document["General"]["LIST_SEPARATOR"], -80);
    EXPECT_TRUE(storePreference(document, "DER_PREC"));
    EXPECT_TRUE(document["General"]["DER_PREC"].is_number_unsigned());
    EXPECT_TRUE(storePreference(document, "OPT_MAX_ITER"));
    EXPECT_TRUE(document["Nozzletab"]["OPT_MAX_ITER"].is_number_float());
    EXPECT_FALSE(storePreference(document, "SPECIES"));
    EXPECT_FALSE(storePreference(document, "NO_SUCH_KEY"));
}
