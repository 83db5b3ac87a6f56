#include <filesystem>
#include <fstream>
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

class PreferenceFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        freshProcessValues();
        flagsF = 0;
    }
    void TearDown() override
    {
        freshProcessValues();
        flagsF = 0;
    }

    std::string defaultFile() const { return app.dataFile("Preferences.json"); }
    std::string otherFile() const { return app.path() + "/Other/Prefs.json"; }

    // The complete document of defaults for this application folder, as a person wrote it.
    std::string golden() const
    {
        std::string text = readText(std::string(KAVRO_TEST_DATA_DIR) + "/core/default_preferences.json");
        for (size_t at; (at = text.find("@APPDIR@")) != std::string::npos;)
            text.replace(at, 8, app.path());
        return text;
    }
    json goldenDocument() const { return json::parse(golden()); }

    void writeDefault(const json& document) { app.write("Data/Preferences.json", document.dump(2)); }
    void writeDefaultText(const std::string& text) { app.write("Data/Preferences.json", text); }
    void writeOther(const std::string& text) { app.write("Other/Prefs.json", text); }
    json fileDocument(const std::string& path) const { return json::parse(readText(path)); }

    TempAppDir app;
    MessageRecorder messages;
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
    ASSERT_TRUE(loadPreferences());
    EXPECT_EQ(flagsF.load(), F15 | F31);
    EXPECT_EQ(readText(defaultFile()), golden());
    EXPECT_EQ(PREFERENCES, defaultFile());
    EXPECT_EQ(SPECIES, app.path() + "/Data/Species.json");
    EXPECT_EQ(PATH_EXPORT, app.path() + "/Exports");
    EXPECT_EQ(MAX_ITER_EQ, 8000u);
    EXPECT_TRUE(messages.messages().empty());

    flagsF = 0;
    freshProcessValues();
    ASSERT_TRUE(loadPreferences());
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
        ASSERT_TRUE(loadPreferences());
        EXPECT_EQ(flagsF.load(), row.codes);
        EXPECT_EQ(readText(defaultFile()), row.leftAlone ? row.content : golden());
        EXPECT_EQ(DIG_OUT, 16);
        EXPECT_EQ(KINETICS, app.path() + "/Data/Kinetics.json");
    }
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(PreferenceFile, OnlyFilesSectionKeepsThePaths)
{
    json document;
    document["Files"] = {{"SPECIES", "/elsewhere/Sp.json"}, {"GRAIN", ""}, {"PREFERENCES", defaultFile()}};
    writeDefault(document);
    ASSERT_TRUE(loadPreferences());
    EXPECT_EQ(flagsF.load(), F31);
    EXPECT_EQ(SPECIES, "/elsewhere/Sp.json");
    EXPECT_EQ(GRAIN, ""); // an empty string is a value
    EXPECT_EQ(NOZZLE, app.path() + "/Data/Nozzles.json");
    json expected = goldenDocument();
    expected["Files"]["SPECIES"] = "/elsewhere/Sp.json";
    expected["Files"]["GRAIN"] = "";
    EXPECT_EQ(readText(defaultFile()), serializeJson(expected));
}

// Data paths and PATH_EXPORT are formed from the folder when missing; that is no repair.
TEST_F(PreferenceFile, MissingPathsAreNotCorruption)
{
    json document = goldenDocument();
    document["Files"].erase("CONFIGURATIONS");
    document["Files"].erase("PREFERENCES");
    document["General"].erase("PATH_EXPORT");
    writeDefault(document);
    ASSERT_TRUE(loadPreferences());
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

        ASSERT_TRUE(loadPreferences());
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
    ASSERT_TRUE(loadPreferences());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(PREFERENCES, defaultFile());
}

// An existing file that cannot be opened: false, and nothing else changes.
TEST_F(PreferenceFile, UnreadableFiles)
{
    std::filesystem::create_directories(defaultFile()); // a folder cannot be read as a file
    DIG_OUT = 7;
    EXPECT_FALSE(loadPreferences());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(DIG_OUT, 7);
    EXPECT_TRUE(PREFERENCES.empty());
    std::filesystem::remove_all(defaultFile());

    json document;
    document["Files"]["PREFERENCES"] = otherFile();
    writeDefault(document);
    std::filesystem::create_directories(otherFile());
    EXPECT_FALSE(loadPreferences());
    EXPECT_EQ(PREFERENCES, otherFile());
    EXPECT_EQ(DIG_OUT, 7);
    EXPECT_TRUE(messages.messages().empty()); // the caller shows the message
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
        ASSERT_TRUE(loadPreferences());
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
    document["Equilibrium"]["T_SEED"] = false;
    document["Equilibrium"]["MAX_ITER_EQ"] = 4294967295u;
    document["General"]["NUM_DIS_PREC"] = -0.5; // cuts to 0
    writeDefault(document);
    ASSERT_TRUE(loadPreferences());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(DIG_OUT, 12);
    EXPECT_EQ(LIST_SEPARATOR, ',');
    EXPECT_EQ(WINSTYLE, 1);
    EXPECT_EQ(T_SEED, 0.0);
    EXPECT_EQ(MAX_ITER_EQ, 4294967295u);
    EXPECT_EQ(NUM_DIS_PREC, 0);
    // present values are left as the file holds them
    EXPECT_EQ(fileDocument(defaultFile())["General"]["DIG_OUT"], 12.9);
}

// A separator code above 127 is written as its signed code and must read back as written.
TEST_F(PreferenceFile, SeparatorAbove127ReadsBackAsWritten)
{
    json document = goldenDocument();
    LIST_SEPARATOR = char(0xB0);
    ASSERT_TRUE(storePreference(document, "LIST_SEPARATOR"));
    writeDefault(document);
    LIST_SEPARATOR = ';';
    ASSERT_TRUE(loadPreferences());
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_EQ(static_cast<unsigned char>(LIST_SEPARATOR), 0xB0);
    EXPECT_EQ(fileDocument(defaultFile())["General"]["LIST_SEPARATOR"], -80);
}

TEST_F(PreferenceFile, OverflowingDoubleTakesTheDefault)
{
    std::string text = golden();
    const std::string from = "\"TOL_T\": 0.0001";
    text.replace(text.find(from), from.size(), "\"TOL_T\": 1e999");
    writeDefaultText(text);
    ASSERT_TRUE(loadPreferences());
    EXPECT_EQ(TOL_T, 0.0001);
    EXPECT_EQ(flagsF.load(), F31);
}

TEST_F(PreferenceFile, SectionsThatAreNotObjects)
{
    json document = goldenDocument();
    document["General"] = 5;
    document["Files"] = "x";
    writeDefault(document);
    ASSERT_TRUE(loadPreferences());
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
    ASSERT_TRUE(loadPreferences());
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
        ASSERT_TRUE(loadPreferences());
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
    ASSERT_TRUE(loadPreferences());
    ASSERT_TRUE(restoreDefaultPreferences());
    ASSERT_TRUE(saveDataFilePaths());
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
    ASSERT_TRUE(loadPreferences());
    const std::string defaultBefore = readText(defaultFile());
    flagsF = 0;
    SPECIES = "/new/Species.json";
    ASSERT_TRUE(saveDataFilePaths());
    EXPECT_EQ(fileDocument(otherFile())["Files"]["SPECIES"], "/new/Species.json");
    EXPECT_EQ(readText(defaultFile()), defaultBefore);
    EXPECT_EQ(flagsF.load(), 0u);

    // a missing file: F14, and a document holding only the seven paths
    std::filesystem::remove(otherFile());
    ASSERT_TRUE(saveDataFilePaths());
    EXPECT_EQ(flagsF.load(), F14);
    const json written = fileDocument(otherFile());
    EXPECT_EQ(written.size(), 1u);
    EXPECT_EQ(written["Files"].size(), 7u);
    EXPECT_FALSE(written["Files"].contains("PREFERENCES"));

    EXPECT_TRUE(messages.messages().empty());

    // an unparsable file: F30, reported, and left exactly as it was
    flagsF = 0;
    writeOther("{oops");
    EXPECT_FALSE(saveDataFilePaths());
    EXPECT_EQ(flagsF.load(), F30);
    EXPECT_EQ(readText(otherFile()), "{oops");
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages().back().icon, Msg::Critical);
}

TEST_F(PreferenceFile, DataFilePathsOnAFileThatCannotBeOpened)
{
    PREFERENCES = otherFile();
    std::filesystem::create_directories(otherFile());
    EXPECT_FALSE(saveDataFilePaths());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
    EXPECT_EQ(messages.lastText(),
              QStringLiteral("Preferences file could not be opened, it may be because it is "
                             "opened by a different software or it has access restrictions"));
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_TRUE(std::filesystem::is_directory(otherFile()));
}

TEST_F(PreferenceFile, FailedWritesAreReported)
{
    std::filesystem::remove_all(app.path() + "/Data");
    ASSERT_TRUE(loadPreferences()); // values are loaded all the same
    EXPECT_EQ(flagsF.load(), F15 | F31);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages().back().icon, Msg::Critical);
    EXPECT_TRUE(messages.lastText().contains(QString::fromStdString(defaultFile())));

    EXPECT_FALSE(saveDataFilePaths());
    EXPECT_EQ(messages.messages().size(), 2u);
    EXPECT_FALSE(restoreDefaultPreferences());
    EXPECT_EQ(messages.messages().size(), 3u);
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
    ASSERT_TRUE(loadPreferences());
    ASSERT_EQ(MAX_ITER_ODE, 99u);
    GLINE_WIDTH = 2; // edited in memory only

    ASSERT_TRUE(restoreDefaultPreferences());
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
    ASSERT_TRUE(loadPreferences());
    ASSERT_TRUE(BabyMode);
    ASSERT_TRUE(restoreDefaultPreferences());
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
    ASSERT_TRUE(restoreDefaultPreferences());
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
    const size_t before = messages.messages().size();
    EXPECT_FALSE(restoreDefaultPreferences());
    EXPECT_EQ(flagsF.load(), F30);
    EXPECT_EQ(DIG_OUT, 16);
    EXPECT_EQ(readText(defaultFile()), "][");
    EXPECT_EQ(messages.messages().size(), before + 1);

    // a file that cannot be opened is not replaced
    flagsF = 0;
    std::filesystem::remove(defaultFile());
    std::filesystem::create_directories(defaultFile());
    DIG_OUT = 3;
    EXPECT_FALSE(restoreDefaultPreferences());
    EXPECT_EQ(DIG_OUT, 16);
    EXPECT_EQ(messages.messages().size(), before + 2);
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
