#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "core/flags.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "shell/data_file_checks.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

using Checker = Reported<bool> (*)(std::string, DataFileCheckOptions);

// Each data file as the program must treat it, written out here independently of the
// checker's own table: its checker, default name, number k, path preference, question
// prefix and the members the rest of the program needs in each entry.
struct FileCase {
    const char* name;
    Checker check;
    int k;
    std::string* preference;
    const char* prefix;
    std::vector<const char*> required;
};

const std::vector<FileCase>& files()
{
    static const std::vector<FileCase> all = {
            {"Species.json",
             checkSpeciesFile,
             0,
             &SPECIES,
             "Problems were found for specie ",
             {"Intervals", "Phase", "Enthalpy", "MolecWeight", "Composition", "isActive"}},
            {"Reactants.json",
             checkReactantsFile,
             1,
             &REACTANTS,
             "Problems were found for reactant ",
             {"Phase", "Enthalpy", "MolecWeight", "Composition", "isActive"}},
            {"Kinetics.json",
             checkKineticsFile,
             2,
             &KINETICS,
             "Problems were found for reaction ",
             {"Reactants", "Products", "Forward", "Ea", "A", "b", "isActive"}},
            {"Propellants.json",
             checkPropellantsFile,
             3,
             &PROPELLANT,
             "Problems were found for propellant ",
             {"Composition", "ELEMENTS", "Species"}},
            {"Nozzles.json",
             checkNozzlesFile,
             4,
             &NOZZLE,
             "Problems were found for nozzle ",
             {"Units", "Type", "Points", "Options", "Parameters"}},
            {"Grains.json",
             checkGrainsFile,
             5,
             &GRAIN,
             "Problems were found for grain geometry  ",
             {"Geo_type", "Units", "Comb_type", "Points", "Parameters"}},
            // "Pressure" and "Frozen" are needed here because the sound entry below holds
            // neither "Grain" nor "ODK".
            {"Configurations.json",
             checkConfigurationsFile,
             6,
             &CONFIGURATIONS,
             "Problems were found for configuration ",
             {"Propellant", "Nozzle", "FAC", "Calculate transport", "Ambient Pressure", "Uniform reactant T",
              "Pressure", "Frozen"}},
    };
    return all;
}

const FileCase& species()
{
    return files()[0];
}
const FileCase& reactants()
{
    return files()[1];
}
const FileCase& configurations()
{
    return files()[6];
}

// A sound entry: every required member holds something, plus members no check looks at.
json soundEntry(const FileCase& file)
{
    json entry = json::object();
    for (const char* key : file.required)
        entry[key] = json::array({1.5, 2});
    entry["Notes"] = nullptr;
    entry["Viscosity"] = json::array();
    return entry;
}

uint32_t bit(int n)
{
    return 1u << n;
}

// The program's file layout: indent 4, members in byte order, one newline.
std::string layout(const json& document)
{
    return document.dump(4) + "\n";
}

// One throw-away application folder with a file's paths in it.
struct Place {
    TempAppDir app;
    const FileCase& file;
    std::string D() const { return app.dataFile(file.name); }
    std::string relD() const { return std::string("Data/") + file.name; }
    std::string elsewhere() const { return app.path() + "/mine/" + file.name; }
    std::string relElsewhere() const { return std::string("mine/") + file.name; }
};

bool exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

class DataFileChecks : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsF = 0;
        doNotShowAgain = false;
        for (const FileCase& f : files())
            saved.push_back(*f.preference);
    }
    void TearDown() override
    {
        // Only the questions reach the message seam during a check; no case here hands a
        // box back unless it says so (and takes it).
        EXPECT_TRUE(handed.empty()) << handed.front().box.text.toStdString();
        for (std::size_t i = 0; i < files().size(); ++i)
            *files()[i].preference = saved[i];
        flagsF = 0;
    }

    // A check's value; the boxes it hands back for the caller's view go to `handed`.
    bool keep(Reported<bool> checked)
    {
        handed.insert(handed.end(), checked.messages.begin(), checked.messages.end());
        return checked.value;
    }

    MessageRecorder boxes; // the message seam: the questions about faulty entries
    ViewMessages handed;
    std::vector<std::string> saved;
};

const std::string garbage = "{ \"x\": [1, 2,, }\n  not json";

} // namespace

// Where the file is (or is not), what it holds, and what a check makes of it: result,
// codes, path preference afterwards and the file texts. Every row runs for each of the
// seven files, whose codes follow from its number k: F(2k) not at the preference's
// path, F(2k+1) not at D either, F(16+2k) unparsable where the preference points,
// F(17+2k) unparsable at D reached by the fallback.
TEST_F(DataFileChecks, FileStates)
{
    struct Row {
        const char* what;
        std::function<std::string(const Place&)> setUp; // lays out the files; returns the path handed in
        bool refuseUnparsable;
        bool result;
        std::function<uint32_t(int k)> codes;
        bool preferenceBecomesD;
        std::function<void(const Place&)> expectFiles;
    };
    auto writes = [](std::string where, std::string content) {
        return [where, content](const Place& p) {
            p.app.write((where == "D" ? p.relD() : p.relElsewhere()), content);
            return where == "D" ? p.D() : p.elsewhere();
        };
    };
    auto keeps = [](std::string where, std::string content) {
        return [where, content](const Place& p) {
            EXPECT_EQ(p.app.read(where == "D" ? p.relD() : p.relElsewhere()), content);
        };
    };
    auto none = [](int) { return 0u; };

    const std::vector<Row> rows = {
            {"missing at the preference, D holds a hand-formatted sound file",
             [](const Place& p) {
                 json doc;
                 doc["item"] = soundEntry(p.file);
                 p.app.write(p.relD(), doc.dump());
                 return p.elsewhere();
             },
             false, true, [](int k) { return bit(2 * k); }, true,
             [](const Place& p) {
                 json doc;
                 doc["item"] = soundEntry(p.file);
                 EXPECT_EQ(p.app.read(p.relD()), layout(doc)); // read, checked, written back
                 EXPECT_FALSE(exists(p.elsewhere()));
             }},
            {"missing at the preference and at D", [](const Place& p) { return p.elsewhere(); }, false, true,
             [](int k) { return bit(2 * k) | bit(2 * k + 1); }, true,
             [](const Place& p) {
                 EXPECT_EQ(p.app.read(p.relD()), "{}\n"); // created as an empty object
                 EXPECT_FALSE(exists(p.elsewhere()));
             }},
            {"missing, the preference is D", [](const Place& p) { return p.D(); }, false, true,
             [](int k) { return bit(2 * k + 1); }, true,
             [](const Place& p) { EXPECT_EQ(p.app.read(p.relD()), "{}\n"); }},
            {"unparsable at the preference", writes("mine", garbage), false, true,
             [](int k) { return bit(16 + 2 * k); }, false, keeps("mine", garbage)},
            {"unparsable at D given as the preference", writes("D", garbage), false, true,
             [](int k) { return bit(16 + 2 * k); }, true, keeps("D", garbage)},
            {"missing at the preference, unparsable at D",
             [](const Place& p) {
                 p.app.write(p.relD(), garbage);
                 return p.elsewhere();
             },
             false, true, [](int k) { return bit(2 * k) | bit(17 + 2 * k); }, true, keeps("D", garbage)},
            {"a number instead of a document counts as unparsable", writes("mine", "42\n"), false, true,
             [](int k) { return bit(16 + 2 * k); }, false, keeps("mine", "42\n")},
            {"a list of items instead of named items counts as unparsable", writes("mine", "[{\"a\": 1}]"), false, true,
             [](int k) { return bit(16 + 2 * k); }, false, keeps("mine", "[{\"a\": 1}]")},
            {"unparsable, refused by a switch", writes("mine", garbage), true, false, none, false,
             keeps("mine", garbage)},
            {"a folder at the preference cannot be opened",
             [](const Place& p) {
                 std::filesystem::create_directories(p.elsewhere());
                 return p.elsewhere();
             },
             false, false, none, false,
             [](const Place& p) {
                 EXPECT_TRUE(std::filesystem::is_directory(p.elsewhere()));
                 EXPECT_FALSE(exists(p.D()));
             }},
            {"a folder at D reached by the fallback cannot be opened",
             [](const Place& p) {
                 std::filesystem::create_directories(p.D());
                 return p.elsewhere();
             },
             false, false, [](int k) { return bit(2 * k); }, true,
             [](const Place& p) { EXPECT_TRUE(std::filesystem::is_directory(p.D())); }},
            {"empty document null", writes("mine", "null"), false, true, none, false, keeps("mine", "null")},
            {"empty document {}", writes("mine", "{ }"), false, true, none, false, keeps("mine", "{ }")},
            {"empty document []", writes("mine", "[]\n"), false, true, none, false, keeps("mine", "[]\n")},
            {"missing at the preference, and D's folder is gone",
             [](const Place& p) {
                 std::filesystem::remove_all(p.app.path() + "/Data");
                 return p.elsewhere();
             },
             false, true, [](int k) { return bit(2 * k) | bit(2 * k + 1); }, true,
             [](const Place& p) { EXPECT_FALSE(exists(p.D())); }},
    };

    for (const Row& row : rows) {
        for (const FileCase& f : files()) {
            SCOPED_TRACE(std::string(row.what) + " / " + f.name);
            Place place{TempAppDir(), f};
            flagsF = 0;
            boxes.clear();
            const std::string path = row.setUp(place);
            *f.preference = path;
            DataFileCheckOptions options;
            options.refuseUnparsable = row.refuseUnparsable;
            EXPECT_EQ(keep(f.check(path, options)), row.result);
            EXPECT_EQ(flagsF.load(), row.codes(f.k));
            EXPECT_EQ(*f.preference, row.preferenceBecomesD ? place.D() : path);
            EXPECT_TRUE(boxes.messages().empty()) << boxes.lastText().toStdString();
            EXPECT_TRUE(handed.empty()) << handed.front().box.text.toStdString();
            row.expectFiles(place);
        }
    }
}

// Every required member of every file, emptied in each way the program counts as
// empty, makes its entry faulty; "", 0 and false count as present. The entry under
// test sits between two sound ones, which are neither reported nor deleted.
TEST_F(DataFileChecks, FaultyAndSoundMembers)
{
    struct Variant {
        const char* what;
        std::function<void(json&, const char*)> apply;
        bool faulty;
    };
    const std::vector<Variant> variants = {
            {"missing", [](json& e, const char* k) { e.erase(k); }, true},
            {"null", [](json& e, const char* k) { e[k] = nullptr; }, true},
            {"empty object", [](json& e, const char* k) { e[k] = json::object(); }, true},
            {"empty array", [](json& e, const char* k) { e[k] = json::array(); }, true},
            {"empty string", [](json& e, const char* k) { e[k] = ""; }, false},
            {"zero", [](json& e, const char* k) { e[k] = 0; }, false},
            {"false", [](json& e, const char* k) { e[k] = false; }, false},
    };
    for (const FileCase& f : files()) {
        for (const char* member : f.required) {
            for (const Variant& v : variants) {
                SCOPED_TRACE(std::string(f.name) + " / " + member + " " + v.what);
                TempAppDir app;
                json doc;
                doc["a sound"] = soundEntry(f);
                doc["b tested"] = soundEntry(f);
                v.apply(doc["b tested"], member);
                doc["c sound"] = soundEntry(f);
                app.write(std::string("Data/") + f.name, doc.dump());
                boxes.clear();
                flagsF = 0;

                EXPECT_TRUE(keep(f.check(app.dataFile(f.name), {})));
                if (v.faulty) {
                    ASSERT_EQ(boxes.messages().size(), 1u);
                    EXPECT_EQ(boxes.lastText().toStdString(), std::string(f.prefix) + "b tested");
                    doc.erase("b tested");
                } else {
                    EXPECT_TRUE(boxes.messages().empty());
                }
                EXPECT_EQ(app.read(std::string("Data/") + f.name), layout(doc));
            }
        }
    }
}

// Entries that are no object of members, and the configuration's members needed only
// in some runs: "Pressure" unless a grain gives the pressure, "Frozen" unless the run
// is kinetic.
TEST_F(DataFileChecks, FaultyEntriesBeyondMembers)
{
    json config = soundEntry(configurations());
    auto without = [&](std::vector<const char*> drop, json add = json::object()) {
        json e = config;
        for (const char* k : drop)
            e.erase(k);
        for (auto it = add.begin(); it != add.end(); ++it)
            e[it.key()] = it.value();
        return e;
    };
    struct Row {
        const char* what;
        const FileCase& file;
        json entry;
        bool faulty;
    };
    const std::vector<Row> rows = {
            {"a null entry", reactants(), nullptr, true},
            {"an empty entry", reactants(), json::object(), true},
            {"a number entry", reactants(), 7, true},
            {"a list entry", species(), json::array({1, 2}), true},
            {"grain and no pressure", configurations(), without({"Pressure"}, {{"Grain", "G1"}}), false},
            {"grain \"\" and no pressure", configurations(), without({"Pressure"}, {{"Grain", ""}}), false},
            {"neither grain nor pressure", configurations(), without({"Pressure"}), true},
            {"null grain and no pressure", configurations(), without({"Pressure"}, {{"Grain", nullptr}}), true},
            {"pressure and a null grain", configurations(), without({}, {{"Grain", nullptr}}), false},
            {"kinetic and no freezing station", configurations(), without({"Frozen"}, {{"ODK", true}}), false},
            {"neither kinetic nor freezing station", configurations(), without({"Frozen"}), true},
            {"empty kinetic object and no freezing station", configurations(),
             without({"Frozen"}, {{"ODK", json::object()}}), true},
            {"grain, kinetic, neither pressure nor freezing station", configurations(),
             without({"Pressure", "Frozen"}, {{"Grain", "G"}, {"ODK", 1}}), false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempAppDir app;
        json doc;
        doc["entry"] = row.entry;
        app.write(std::string("Data/") + row.file.name, doc.dump());
        boxes.clear();
        EXPECT_TRUE(keep(row.file.check(app.dataFile(row.file.name), {})));
        EXPECT_EQ(boxes.messages().size(), row.faulty ? 1u : 0u);
        EXPECT_EQ(app.read(std::string("Data/") + row.file.name), layout(row.faulty ? json::object() : doc));
    }
}

// The question about a faulty entry, and what each answer does.
TEST_F(DataFileChecks, AnswersToTheQuestion)
{
    const FileCase& f = reactants();
    json doc;
    doc["A bad"] = nullptr;
    doc["B good"] = soundEntry(f);
    doc["C bad"] = json::object({{"Phase", 0}});
    doc["D bad"] = json::array();
    const std::string original = doc.dump(1); // hand-formatted: any rewrite would show
    json repaired;
    repaired["B good"] = soundEntry(f);

    struct Answer {
        Msg::Button button;
        bool checked;
    };
    struct Row {
        const char* what;
        std::vector<Answer> answers;
        bool result;
        std::size_t questions;
        std::string expected;
    };
    const std::vector<Row> rows = {
            {"Yes to each", {{Msg::Yes, false}, {Msg::Yes, false}, {Msg::Yes, false}}, true, 3, layout(repaired)},
            {"Yes with do not show again", {{Msg::Yes, true}}, true, 1, layout(repaired)},
            {"Yes, then No: nothing written, also not the first deletion",
             {{Msg::Yes, false}, {Msg::No, false}},
             false,
             2,
             original},
            {"No with do not show again ticked", {{Msg::No, true}}, false, 1, original},
            {"box ticked, then unticked on the next question",
             {{Msg::Yes, false}, {Msg::Yes, true}},
             true,
             2,
             layout(repaired)},
            {"a box closed without an answer keeps the entry", {{Msg::NoButton, false}}, false, 1, original},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TempAppDir app;
        app.write("Data/Reactants.json", original);
        boxes.clear();
        for (const Answer& a : row.answers)
            boxes.answer(a.button, a.checked);
        EXPECT_EQ(keep(checkReactantsFile(app.dataFile("Reactants.json"), {})), row.result);
        ASSERT_EQ(boxes.messages().size(), row.questions);
        EXPECT_EQ(app.read("Data/Reactants.json"), row.expected);
        const QStringList expectedTexts
                = QStringList{"Problems were found for reactant A bad", "Problems were found for reactant C bad",
                              "Problems were found for reactant D bad"}
                          .mid(0, static_cast<int>(row.questions));
        EXPECT_EQ(boxes.texts(), expectedTexts);
    }

    // The box itself: critical, untitled, with the program's icon, Yes (default) and No,
    // and the check box.
    const MessageRequest& box = boxes.messages().front();
    EXPECT_EQ(box.icon, Msg::Critical);
    EXPECT_TRUE(box.title.isEmpty());
    EXPECT_TRUE(box.windowIcon);
    EXPECT_EQ(box.informativeText, "Do you want to delete it? (Not deleting it will close the software)");
    EXPECT_EQ(box.buttons, Msg::Yes | Msg::No);
    EXPECT_EQ(box.defaultButton, Msg::Yes);
    EXPECT_EQ(box.checkBoxText, "Do not show again");
}

// "Do not show again" reaches no further than the rest of the same check: the next
// file's check asks again.
TEST_F(DataFileChecks, DoNotShowAgainEndsWithItsCheck)
{
    TempAppDir app;
    json bad;
    bad["x"] = nullptr;
    bad["y"] = nullptr;
    app.write("Data/Reactants.json", bad.dump());
    app.write("Data/Kinetics.json", bad.dump());
    boxes.answer(Msg::Yes, true);
    EXPECT_TRUE(keep(checkReactantsFile(app.dataFile("Reactants.json"), {})));
    EXPECT_EQ(boxes.messages().size(), 1u);
    EXPECT_TRUE(doNotShowAgain);
    EXPECT_TRUE(keep(checkKineticsFile(app.dataFile("Kinetics.json"), {})));
    EXPECT_EQ(boxes.texts(),
              (QStringList{"Problems were found for reactant x", "Problems were found for reaction x",
                           "Problems were found for reaction y"}));
}

// A faulty species raises the species file's corrupted code: F16 where the preference
// points elsewhere, F17 in the file at D; a faulty entry of another file raises none.
// The code stays raised when the user refuses the deletion.
TEST_F(DataFileChecks, CodeOfAFaultySpecies)
{
    struct Row {
        const char* what;
        const FileCase& file;
        bool atD;
        Msg::Button answer;
        uint32_t codes;
    };
    const std::vector<Row> rows = {
            {"species elsewhere", species(), false, Msg::Yes, bit(16)},
            {"species at D", species(), true, Msg::Yes, bit(17)},
            {"species at D, refused", species(), true, Msg::No, bit(17)},
            {"reactant elsewhere", reactants(), false, Msg::Yes, 0},
            {"reactant at D", reactants(), true, Msg::Yes, 0},
            {"configuration at D", configurations(), true, Msg::Yes, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        Place p{TempAppDir(), row.file};
        json doc;
        doc["broken"] = json::object({{"isActive", true}});
        p.app.write(row.atD ? p.relD() : p.relElsewhere(), doc.dump());
        flagsF = 0;
        boxes.clear();
        boxes.answer(row.answer);
        EXPECT_EQ(keep(row.file.check(row.atD ? p.D() : p.elsewhere(), {})), row.answer == Msg::Yes);
        EXPECT_EQ(flagsF.load(), row.codes);
    }

    // After a fallback the file is at D, so a faulty species there is F17 (with F00).
    Place p{TempAppDir(), species()};
    json doc;
    doc["broken"] = nullptr;
    p.app.write(p.relD(), doc.dump());
    flagsF = 0;
    EXPECT_TRUE(keep(checkSpeciesFile(p.elsewhere(), {})));
    EXPECT_EQ(flagsF.load(), bit(0) | bit(17));
}

// A sound file is rewritten in the program's layout: indent 4, entries and members in
// byte order of their names (upper case before lower case), non-ASCII names kept.
TEST_F(DataFileChecks, SoundFileRewrittenInByteOrder)
{
    TempAppDir app;
    const std::string hand = "{\"b\":{\"Phase\":0,\"Enthalpy\":-1.5,\"MolecWeight\":2,\"Composition\":{\"H\":2},"
                             "\"isActive\":true},\n\"B\":{\"isActive\":false,\"Phase\":1,\"Enthalpy\":0,"
                             "\"MolecWeight\":\"\",\"Composition\":[1]},\"\xC3\xA9\":{\"Phase\":0,\"Enthalpy\":0,"
                             "\"MolecWeight\":0,\"Composition\":{\"O\":1},\"isActive\":0}}";
    app.write("Data/Reactants.json", hand);
    EXPECT_TRUE(keep(checkReactantsFile(app.dataFile("Reactants.json"), {})));
    const std::string expected = R"({
    "B": {
        "Composition": [
            1
        ],
        "Enthalpy": 0,
        "MolecWeight": "",
        "Phase": 1,
        "isActive": false
    },
    "b": {
        "Composition": {
            "H": 2
        },
        "Enthalpy": -1.5,
        "MolecWeight": 2,
        "Phase": 0,
        "isActive": true
    },
    "é": {
        "Composition": {
            "O": 1
        },
        "Enthalpy": 0,
        "MolecWeight": 0,
        "Phase": 0,
        "isActive": 0
    }
}
)";
    EXPECT_EQ(app.read("Data/Reactants.json"), expected);
    EXPECT_TRUE(boxes.messages().empty());
}

// The start-up message of a check that failed names the file.
TEST_F(DataFileChecks, StartUpMessageNamesTheFile)
{
    const std::vector<std::pair<code::DataFile, std::string>> words = {{code::Species, "Species"},
                                                                       {code::Reactants, "Reactants"},
                                                                       {code::Kinetics, "Kinetics"},
                                                                       {code::Propellants, "Propellants"},
                                                                       {code::Grains, "Grains"},
                                                                       {code::Nozzles, "Nozzles"},
                                                                       {code::Configurations, "Configurations"}};
    for (const auto& [file, word] : words)
        EXPECT_EQ(dataFileOpenFailedAtStart(dataFileLayout(file)),
                  word
                          + " file could not be opened, it could be because it is opened by a different software or "
                            "it has restricted acccess");
    // start-up order
    std::vector<std::string> order;
    for (const DataFileLayout& l : dataFileLayouts())
        order.push_back(l.word);
    EXPECT_EQ(order,
              (std::vector<std::string>{"Species", "Reactants", "Kinetics", "Propellants", "Grains", "Nozzles",
                                        "Configurations"}));
}

// A first start on an empty Data folder: the preferences are created, then the seven
// checks in their order each create an empty file at its default place, raising only the
// "not found at the default location" codes (the preferences name the default places),
// so nothing needs recording in the preferences file afterwards.
TEST_F(DataFileChecks, FirstStartOnAnEmptyDataFolder)
{
    TempAppDir app;
    ASSERT_TRUE(loadPreferences().value);
    flagsF = 0;
    const std::vector<std::pair<Checker, std::string*>> startUp = {{checkSpeciesFile, &SPECIES},
                                                                   {checkReactantsFile, &REACTANTS},
                                                                   {checkKineticsFile, &KINETICS},
                                                                   {checkPropellantsFile, &PROPELLANT},
                                                                   {checkGrainsFile, &GRAIN},
                                                                   {checkNozzlesFile, &NOZZLE},
                                                                   {checkConfigurationsFile, &CONFIGURATIONS}};
    for (const auto& [check, preference] : startUp)
        EXPECT_TRUE(keep(check(*preference, {})));
    EXPECT_EQ(flagsF.load(), bit(1) | bit(3) | bit(5) | bit(7) | bit(9) | bit(11) | bit(13));
    EXPECT_EQ(flagsF.load() & 0x5555u, 0u);
    for (const FileCase& f : files()) {
        EXPECT_EQ(app.read(std::string("Data/") + f.name), "{}\n") << f.name;
        EXPECT_EQ(*f.preference, app.dataFile(f.name));
    }
    EXPECT_TRUE(boxes.messages().empty());

    // The second start finds them all and raises nothing.
    flagsF = 0;
    for (const auto& [check, preference] : startUp)
        EXPECT_TRUE(keep(check(*preference, {})));
    EXPECT_EQ(flagsF.load(), 0u);
}

// The name of a faulty entry reaches the question as the user wrote it (UTF-8).
TEST_F(DataFileChecks, QuestionShowsNonAsciiNames)
{
    TempAppDir app;
    app.write("Data/Nozzles.json", "{\"Tob\xC3\xAFra \xE2\x80\x93 1\": {\"Units\": 1}}");
    EXPECT_TRUE(keep(checkNozzlesFile(app.dataFile("Nozzles.json"), {})));
    EXPECT_EQ(boxes.lastText(), QString::fromUtf8("Problems were found for nozzle Tob\xC3\xAFra \xE2\x80\x93 1"));
    EXPECT_EQ(app.read("Data/Nozzles.json"), "{}\n");
}

// A file holding the same name twice (two grains "Tube" typed by hand) can only be taken
// as a document by dropping one of them. Every check, for every file, leaves such a file
// exactly as it is, raises the file's corrupted code (a warning where the preferences
// point) and names the duplicated name, at start-up and when a switch refuses the file.
// The box is handed back for the caller's view; the check shows nothing itself.
TEST_F(DataFileChecks, ANameGivenTwiceIsReportedAndTheFileKept)
{
    for (const FileCase& f : files()) {
        for (const bool switching : {false, true}) {
            SCOPED_TRACE(std::string(f.name) + (switching ? " / switch" : " / start-up"));
            Place place{TempAppDir(), f};
            json first = soundEntry(f);
            first["Notes"] = "first";
            json second = soundEntry(f);
            second["Notes"] = "second";
            // Both entries sound, in the layout the program writes, so that only the name is wrong.
            const std::string text = "{\n    \"Tube\": " + first.dump() + ",\n    \"Tube\": " + second.dump() + "\n}\n";
            place.app.write(place.relElsewhere(), text);
            flagsF = 0;
            boxes.clear();
            handed.clear();
            DataFileCheckOptions options;
            options.refuseUnparsable = switching;
            EXPECT_EQ(keep(f.check(place.elsewhere(), options)), !switching);
            EXPECT_EQ(place.app.read(place.relElsewhere()), text); // both entries, byte for byte
            EXPECT_EQ(flagsF.load(), switching ? 0u : bit(16 + 2 * f.k));
            EXPECT_TRUE(boxes.messages().empty());
            ASSERT_EQ(handed.size(), 1u);
            const MessageRequest& box = handed[0].box;
            EXPECT_TRUE(box.text.contains("\"Tube\"")) << box.text.toStdString();
            EXPECT_TRUE(box.informativeText.contains(QString::fromStdString(place.elsewhere())))
                    << box.informativeText.toStdString();
            EXPECT_EQ(box.icon, Msg::Warning);
            EXPECT_TRUE(box.title.isEmpty());
            EXPECT_TRUE(box.windowIcon);
            EXPECT_TRUE(handed[0].parentless);
            handed.clear();
        }
    }
}
