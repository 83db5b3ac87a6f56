// Thermodynamic data import: the published NASA Glenn file as species and as reactants,
// a small record layout with its broken variants, and the overwrite question.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "databases/import_thermo.h"
#include "databases/import_transport.h"
#include "import_test_support.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

// Two records in the published columns (synthetic values).
const std::string kGoodThermo = R"(! test fixture: thermodynamic data (synthetic)
thermo
    200.000  1000.000  6000.000   this line is skipped unread
Ar                Synthetic monatomic gas
 2 g 1/01 AR  1.00    0.00    0.00    0.00    0.00 0   39.9480000          0.000
    200.000   1000.000 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0         6197.428
 0.000000000E+00 0.000000000E+00 2.500000000E+00 0.000000000E+00 0.000000000E+00
 0.000000000E+00 0.000000000E+00                -7.453750000E+02 4.380000000E+00
   1000.000   6000.000 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0         6197.428
 0.000000000E+00 0.000000000E+00 2.500000000E+00 0.000000000E+00 0.000000000E+00
 0.000000000E+00 0.000000000E+00                -7.453750000E+02 4.380000000E+00
Ar+               Synthetic cation
 1 g 1/01 AR  1.00E  -1.00    0.00    0.00    0.00 0   39.9475000    1500000.000
    298.150   6000.000 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0         6197.428
 0.000000000E+00 0.000000000E+00 2.500000000E+00 0.000000000E+00 0.000000000E+00
 0.000000000E+00 0.000000000E+00                 1.796600000E+05 5.000000000E+00
END PRODUCTS
)";

const std::string kArLine2 = " 2 g 1/01 AR  1.00    0.00    0.00    0.00    0.00 0   39.9480000          0.000";
const std::string kArRange1 = "    200.000   1000.000 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0";
const std::string kArLast1 = " 0.000000000E+00 0.000000000E+00                -7.453750000E+02 4.380000000E+00";

class ThermoImport : public ::testing::Test {
protected:
    std::string species() const { return app.dataFile("Species.json"); }
    std::string reactants() const { return app.dataFile("Reactants.json"); }
    std::string input(const std::string& text, const std::string& name = "in.inp") const
    {
        const std::string path = app.path() + "/" + name;
        writeBytes(path, text);
        return path;
    }
    ImportOutcome importSpecies(const std::string& text)
    {
        return importThermoFile(input(text), ChemicalDatabase::Species, rec.callbacks(), species());
    }

    TempAppDir app;
    ImportRecorder rec;
};

std::vector<double> numbers(const json& array)
{
    return array.get<std::vector<double>>();
}

// The published file counted line by line, apart from the reader under test. After the
// "thermo" header and its ranges line, a record is a name line, a line whose columns
// 1-2 give its interval count n, then one line (n = 0: the reference temperature) or
// three lines per interval, the first of them with Tmin and Tmax in columns 1-11 and
// 12-22. The species count stops at "END PRODUCTS"; the reactants count reads on.
struct ThermoCensus {
    int records = 0;
    int inert = 0; // "Inert..." copies, written with pseudo-elements
    int withoutCp = 0; // n = 0
    int noUsableInterval = 0; // n > 0, but no interval with Tmin < Tmax
    std::set<std::string> shortened; // names with an interval covering no temperature
    int importable = 0; // records a database of that kind can take
    std::set<std::string> importableNames;
};

ThermoCensus countThermoFile(ChemicalDatabase target)
{
    std::istringstream in(readBytes(importDataFile("thermo.inp")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    ThermoCensus c;
    std::size_t i = std::find(lines.begin(), lines.end(), "thermo") - lines.begin() + 2;
    while (i < lines.size()) {
        const std::string& line = lines[i];
        if (line.empty() || line[0] == '!') {
            ++i;
            continue;
        }
        if (line.rfind("END", 0) == 0) {
            if (target == ChemicalDatabase::Reactants && line == "END PRODUCTS") {
                ++i;
                continue;
            }
            break;
        }
        const std::string name = line.substr(0, line.find(' '));
        const int n = std::stoi(lines.at(i + 1).substr(0, 2));
        int usable = 0;
        for (int k = 0; k < n; ++k) {
            const std::string& range = lines.at(i + 2 + 3 * k);
            if (std::stod(range.substr(0, 11)) < std::stod(range.substr(11, 11)))
                ++usable;
            else
                c.shortened.insert(name);
        }
        ++c.records;
        const bool inert = name.rfind("Inert", 0) == 0;
        c.inert += inert;
        c.withoutCp += n == 0;
        c.noUsableInterval += n > 0 && usable == 0;
        if (!inert && (usable > 0 || (n == 0 && target == ChemicalDatabase::Reactants))) {
            ++c.importable;
            c.importableNames.insert(name);
        }
        i += n == 0 ? 3 : 2 + 3 * n;
    }
    return c;
}

} // namespace

TEST(ThermoNumbers, ReadAsThePublishedFilesWriteThem)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
            {"3.5D+15", true, 3.5e15},
            {"-7.453750000D+02", true, -745.375},
            {"0.62526577E 00", true, 0.62526577},
            {"0.61205763E 02", true, 61.205763},
            {"-.900", true, -0.9},
            {".00", true, 0.0},
            {"11.26E+18", true, 1.126e19},
            {"2.5d-3", true, 2.5e-3},
            {"3.5x", false, 0},
            {"1.0.0", false, 0},
            {"1.0E", false, 0},
            {"1.0-2.0", false, 0}, // two numbers, not one
            {"", false, 0},
            {"abc", false, 0},
            {"1e999", false, 0},
    };
    for (const Case& c : cases) {
        auto v = readWholeNumber(c.text);
        EXPECT_EQ(v.has_value(), c.ok) << c.text;
        if (v && c.ok) {
            EXPECT_DOUBLE_EQ(*v, c.value) << c.text;
        }
    }
    auto glued = scanNumbers("6.170899990D-04-1.688114600D-07 0.6E 00-0.7E 02");
    ASSERT_EQ(glued.size(), 4u);
    EXPECT_DOUBLE_EQ(glued[0].value, 6.170899990e-04);
    EXPECT_DOUBLE_EQ(glued[1].value, -1.688114600e-07);
    EXPECT_DOUBLE_EQ(glued[2].value, 0.6);
    EXPECT_DOUBLE_EQ(glued[3].value, -70.0);
}

TEST_F(ThermoImport, GoodRecordsBecomeSpeciesEntries)
{
    ImportOutcome out = importSpecies(kGoodThermo);
    ASSERT_TRUE(out.ok) << out.detail;
    EXPECT_EQ(out.stored, 2);
    EXPECT_TRUE(rec.reports.empty());
    EXPECT_TRUE(rec.questions.empty());

    json doc = readJson(species());
    const json expectedArPlus = json::parse(R"({
        "Composition": [[1.0, "Ar"], [-1.0, "E"]],
        "Enthalpy": [1500000.0, 1],
        "Intervals": [{"T_int": [298.15, 6000.0], "a": [0.0, 0.0, 2.5, 0.0, 0.0, 0.0, 0.0],
                       "b": [179660.0, 5.0], "exp": [-2.0, -1.0, 0.0, 1.0, 2.0, 3.0, 4.0]}],
        "MolecWeight": [39.9475, 0], "Phase": 0, "isActive": true})");
    EXPECT_EQ(doc["Ar+"], expectedArPlus);
    ASSERT_EQ(doc["Ar"]["Intervals"].size(), 2u);
    EXPECT_EQ(numbers(doc["Ar"]["Intervals"][0]["T_int"]), (std::vector<double>{200.0, 1000.0}));
    EXPECT_EQ(numbers(doc["Ar"]["Intervals"][1]["b"]), (std::vector<double>{-745.375, 4.38}));
    EXPECT_EQ(doc["Ar"]["Composition"], json::parse(R"([[1.0, "Ar"]])"));
}

// Layout details of the published file that a token reader gets wrong.
TEST_F(ThermoImport, PublishedColumnsAreHonoured)
{
    // The coefficient count glued to Tmax, in column 23, is not a decimal of Tmax.
    std::string text = mutate(kGoodThermo, "    200.000   1000.000 -2.0", "    200.000   1000.0007 -2.0");
    // A range line written from column 1 keeps its first digit.
    text = mutate(text, "   1000.000   6000.000 -2.0", "1000.000 6000.000 -2.0");
    // A genuine b1 of zero is b1, and the constants are taken by position.
    text = mutate(text, kArLast1, " 0.000000000E+00 0.000000000E+00 0.000000000E+00 0.000000000E+00 4.380000000E+00");
    // Fortran D exponents.
    text = mutate(text, " 0.000000000E+00 0.000000000E+00 2.500000000E+00",
                  " 0.000000000D+00 0.000000000D+00 2.500000000D+00");
    ImportOutcome out = importSpecies(text);
    ASSERT_TRUE(out.ok) << out.detail << (rec.reports.empty() ? "" : rec.reports[0].first);
    json ar = readJson(species())["Ar"];
    EXPECT_EQ(numbers(ar["Intervals"][0]["T_int"]), (std::vector<double>{200.0, 1000.0}));
    EXPECT_EQ(numbers(ar["Intervals"][0]["exp"])[0], -2.0);
    EXPECT_EQ(numbers(ar["Intervals"][0]["a"])[2], 2.5);
    EXPECT_EQ(numbers(ar["Intervals"][0]["b"]), (std::vector<double>{0.0, 4.38}));
    EXPECT_EQ(numbers(ar["Intervals"][1]["T_int"]), (std::vector<double>{1000.0, 6000.0}));
}

// Each broken variant of the good file: the message shown, and whether the import is
// abandoned (database byte-identical) or only the broken record is refused.
TEST_F(ThermoImport, BrokenRecordsAreReportedAndNothingIsLost)
{
    struct Case {
        const char* what;
        std::string from, to;
        std::string message; // empty: no record message (the detail tells)
        bool abandoned; // false: Ar refused, Ar+ still imported
        std::string followingMessage = {}; // a second box, when there is one
    };
    const std::vector<Case> cases = {
            {"count", " 2 g 1/01 AR", " x g 1/01 AR", "Invalid number of intervals for specie: Ar", true},
            {"symbol", kArLine2, mutate(kArLine2, "AR  1.00", "ARG 1.00"), "Invalid atom: ARG", false},
            {"case", kArLine2, mutate(kArLine2, "AR  1.00", "ar  1.00"), "Invalid atom: ar", false},
            {"zero count", kArLine2, mutate(kArLine2, "AR  1.00", "AR  0.00"), "Error reading composition for: Ar",
             false},
            {"count text", kArLine2, mutate(kArLine2, "AR  1.00", "AR  1.0.0"), "Error reading composition for: Ar",
             true},
            {"phase", kArLine2, mutate(kArLine2, "0.00 0   39", "0.00 x   39"), "Invalid phase for specie: Ar", true,
             "Invalid molecular weight for specie: Ar"},
            {"molar mass 0", "39.9480000", "00.0000000", "Invalid molecular weight for specie: Ar", false},
            {"molar mass", "39.9480000", "39.94x0000", "Invalid molecular weight for specie: Ar", true},
            {"enthalpy", kArLine2, mutate(kArLine2, "     0.000", "       abc"), "Invalid enthalpy for specie: Ar",
             true},
            {"Tmin", kArRange1, mutate(kArRange1, "200.000", "abc"), "Invalid Tmin for specie: Ar", true},
            {"Tmax", kArRange1, mutate(kArRange1, "1000.000", "1000.00x"), "Invalid Tmax for specie: Ar", true},
            {"exponent", kArRange1, mutate(kArRange1, "-2.0", "x"), "Invalid exponent for specie: Ar", true},
            {"coefficient", " 0.000000000E+00 0.000000000E+00 2.500000000E+00",
             " 0.000000000E+00 0.000000000E+00 2.50000x000E+00", "Invalid coefficient for specie: Ar", true},
            {"constant", kArLast1, mutate(kArLast1, "4.380000000E+00", "x"),
             "Invalid integration constant for specie: Ar", true},
            {"constant missing", kArLast1, mutate(kArLast1, " 4.380000000E+00", ""),
             "Invalid integration constant for specie: Ar", true},
            {"D exponent number cut", "2.500000000E+00", "2.500000000D+", "Invalid coefficient for specie: Ar", true},
            {"overlapping intervals", "   1000.000   6000.000 -2.0", "    900.000   6000.000 -2.0",
             "Invalid data for specie: Ar", false},
            {"end of file", "   1000.000   6000.000 -2.0", "   1000.000   6000.000 -2.0", "", true},
    };
    const std::string before = "{\n    \"Keep\": {}\n}\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(species(), before);
        rec = ImportRecorder();
        std::string text = mutate(kGoodThermo, c.from, c.to);
        if (std::string(c.what) == "end of file")
            text = text.substr(0, text.find("   1000.000   6000.000 -2.0"));
        ImportOutcome out = importSpecies(text);
        std::vector<std::string> boxes;
        for (const std::string& m : {c.message, c.followingMessage})
            if (!m.empty())
                boxes.push_back(m);
        EXPECT_EQ(rec.messages(), boxes);
        if (c.abandoned) {
            EXPECT_FALSE(out.ok);
            EXPECT_FALSE(out.written);
            EXPECT_EQ(readBytes(species()), before);
            if (c.message.empty()) {
                EXPECT_NE(out.detail.find("Ar"), std::string::npos) << out.detail;
            }
        } else {
            EXPECT_TRUE(out.ok);
            EXPECT_EQ(out.refused, 1);
            json doc = readJson(species());
            EXPECT_FALSE(doc.contains("Ar"));
            EXPECT_TRUE(doc.contains("Ar+"));
            EXPECT_TRUE(doc.contains("Keep"));
        }
    }
}

// An interval whose Tmin is not below its Tmax covers no temperature: it is left out and
// the record keeps its other intervals; a record left with none is refused.
TEST_F(ThermoImport, IntervalsThatCoverNoTemperatureAreLeftOut)
{
    const std::string kArRange2 = "   1000.000   6000.000 -2.0";
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> edits;
        std::vector<std::vector<double>> ranges; // Ar's stored intervals; empty: Ar refused
    };
    const std::vector<Case> cases = {
            {"first inverted", {{"    200.000   1000.000", "    300.000    298.1507"}}, {{1000.0, 6000.0}}},
            {"first empty", {{"    200.000   1000.000", "   1000.000   1000.000"}}, {{1000.0, 6000.0}}},
            {"second inverted", {{kArRange2, "   1000.000    900.000 -2.0"}}, {{200.0, 1000.0}}},
            {"both inverted",
             {{"    200.000   1000.000", "    300.000    298.1507"}, {kArRange2, "   6000.000   1000.000 -2.0"}},
             {}},
    };
    for (ChemicalDatabase target : {ChemicalDatabase::Species, ChemicalDatabase::Reactants}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (target == ChemicalDatabase::Species ? " as species" : " as reactants"));
            std::string text = kGoodThermo;
            for (const auto& [from, to] : c.edits)
                text = mutate(text, from, to);
            const std::string database = target == ChemicalDatabase::Species ? species() : reactants();
            std::filesystem::remove(database);
            rec = ImportRecorder();
            ImportOutcome out = importThermoFile(input(text), target, rec.callbacks(), database);
            ASSERT_TRUE(out.ok) << out.detail;
            json doc = readJson(database);
            EXPECT_TRUE(doc.contains("Ar+"));
            if (c.ranges.empty()) {
                EXPECT_EQ(rec.messages(), std::vector<std::string>{"Invalid number of intervals for specie: Ar"});
                EXPECT_FALSE(doc.contains("Ar"));
                continue;
            }
            EXPECT_TRUE(rec.reports.empty());
            ASSERT_EQ(doc["Ar"]["Intervals"].size(), c.ranges.size());
            for (std::size_t k = 0; k < c.ranges.size(); ++k)
                EXPECT_EQ(numbers(doc["Ar"]["Intervals"][k]["T_int"]), c.ranges[k]);
            EXPECT_EQ(doc["Ar"]["Enthalpy"], json::parse("[0.0, 1]")); // no reference temperature
        }
    }
}

// A file that gives no record is a failed import: nothing is written, not even a new
// empty database.
TEST_F(ThermoImport, FileWithoutRecordsFailsAndWritesNothing)
{
    const std::string folderPath = app.path() + "/folder.inp";
    std::filesystem::create_directories(folderPath);
    struct Case {
        const char* what;
        std::string path; // the file to import
    };
    const Case cases[] = {
            {"empty file", input("", "empty.inp")},
            {"blank lines", input("   \n\t\n\n", "blank.inp")},
            {"comments only", input("! one comment\n!another\n", "comments.inp")},
            {"header and end only", input("thermo\n    200.000  1000.000  6000.000\nEND PRODUCTS\n", "header.inp")},
            {"end first", input("end\nAr  whatever\n", "end.inp")},
            {"a folder", folderPath},
    };
    const std::string before = "{\n    \"Keep\": {\n        \"isActive\": true\n    }\n}\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (bool existing : {true, false}) {
            std::filesystem::remove(species());
            if (existing)
                writeBytes(species(), before);
            rec = ImportRecorder();
            ImportOutcome out = importThermoFile(c.path, ChemicalDatabase::Species, rec.callbacks(), species());
            EXPECT_FALSE(out.ok);
            EXPECT_FALSE(out.written);
            EXPECT_FALSE(out.detail.empty());
            EXPECT_EQ(std::filesystem::exists(species()), existing);
            if (existing) {
                EXPECT_EQ(readBytes(species()), before);
            }
        }
    }
}

// Files written on any system read alike: LF, CR LF, CR CR LF (a CR LF file converted a
// second time) and CR alone (classic Mac).
TEST_F(ThermoImport, EveryLineEndReadsAlike)
{
    ASSERT_TRUE(importSpecies(kGoodThermo).ok);
    const json expected = readJson(species());
    for (const std::string lineEnd : {"\r\n", "\r\r\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(lineEnd));
        std::filesystem::remove(species());
        std::string text;
        for (char c : kGoodThermo)
            text += c == '\n' ? lineEnd : std::string(1, c);
        rec = ImportRecorder();
        ImportOutcome out = importSpecies(text);
        ASSERT_TRUE(out.ok) << out.detail << (rec.reports.empty() ? "" : rec.reports[0].first);
        EXPECT_TRUE(rec.reports.empty());
        EXPECT_EQ(readJson(species()), expected);
    }
}

// Names written in Latin-1 ("Cellé", "Cellè") are decoded once, as the file is read: two
// names stay two entries, and a second import asks about the same name it stores.
TEST_F(ThermoImport, Latin1NamesAreDecodedOnce)
{
    std::string text = mutate(kGoodThermo, "Ar                Synthetic", "Cell\xE9             Synthetic");
    text = mutate(text, "Ar+               Synthetic", "Cell\xE8             Synthetic");
    ASSERT_TRUE(importSpecies(text).ok);
    const json doc = readJson(species());
    EXPECT_EQ(doc.size(), 2u);
    EXPECT_TRUE(doc.contains("Cell\xC3\xA9")); // é in UTF-8
    EXPECT_TRUE(doc.contains("Cell\xC3\xA8")); // è

    ImportOutcome again = importSpecies(text);
    EXPECT_TRUE(again.ok);
    EXPECT_EQ(again.stored, 2);
    EXPECT_EQ(rec.questions,
              (std::vector<std::string>{"You are about to overwrite saved data for specie 'Cell\xC3\xA9'. Continue?",
                                        "You are about to overwrite saved data for specie 'Cell\xC3\xA8'. Continue?"}));

    // a name already in UTF-8 is kept as it is
    std::filesystem::remove(species());
    ASSERT_TRUE(
            importSpecies(mutate(kGoodThermo, "Ar+               Synthetic", "\xC3\x85r+              Synthetic")).ok);
    EXPECT_TRUE(readJson(species()).contains("\xC3\x85r+"));
}

TEST_F(ThermoImport, DatabaseThatCannotBeReadIsNeverOverwritten)
{
    const std::string garbage = "{ this is not json";
    writeBytes(species(), garbage);
    flagsF.store(0);
    ImportOutcome out = importSpecies(kGoodThermo);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(readBytes(species()), garbage);
    ASSERT_EQ(rec.reports.size(), 1u);
    EXPECT_TRUE(flagRaised(flagsF, code::fileCorrupt(code::Species)));

    // A folder where the file should be: it cannot be opened.
    rec = ImportRecorder();
    const std::string folder = app.path() + "/Data/Folder.json";
    std::filesystem::create_directories(folder);
    out = importThermoFile(input(kGoodThermo), ChemicalDatabase::Reactants, rec.callbacks(), folder);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(rec.messages(),
              std::vector<std::string>{"Read aborted because reactants file could not be opened, close it "
                                       "or change its accesibility restrictions"});
}

// A database that gives one name twice (hand edited) would lose one of the two entries
// if an import rewrote it: the import is refused, the report names the name, and both
// entries stay in the file byte for byte. Thermodynamic and transport imports alike.
TEST_F(ThermoImport, DatabaseGivingANameTwiceIsNeverRewritten)
{
    const std::string twice = "{\n    \"Tube\": {\"Phase\": 0},\n    \"Tube\": {\"Phase\": 1}\n}\n";
    for (const bool transport : {false, true}) {
        SCOPED_TRACE(transport ? "transport" : "thermo");
        writeBytes(species(), twice);
        rec = ImportRecorder();
        flagsF.store(0);
        const ImportOutcome out = transport ? importTransportFile(importDataFile("trans.inp"),
                                                                  ChemicalDatabase::Species, rec.callbacks(), species())
                                            : importSpecies(kGoodThermo);
        EXPECT_FALSE(out.ok);
        EXPECT_FALSE(out.written);
        EXPECT_EQ(readBytes(species()), twice);
        EXPECT_TRUE(flagRaised(flagsF, code::fileCorrupt(code::Species)));
        ASSERT_EQ(rec.reports.size(), 1u);
        EXPECT_NE(rec.reports[0].second.find("\"Tube\""), std::string::npos) << rec.reports[0].second;
    }
}

// A database holding a value nested thousands deep (generated here: 20,000 levels) is
// taken as corrupted like any unparsable file: reported and left as it is.
TEST_F(ThermoImport, DeeplyNestedDatabaseIsNeverRewritten)
{
    const int depth = 20000;
    const std::string deep = "{\"Ar\": " + std::string(depth, '[') + "1" + std::string(depth, ']') + "}";
    writeBytes(species(), deep);
    flagsF.store(0);
    ImportOutcome out = importSpecies(kGoodThermo);
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.written);
    EXPECT_EQ(rec.reports.size(), 1u);
    EXPECT_TRUE(flagRaised(flagsF, code::fileCorrupt(code::Species)));
    EXPECT_EQ(readBytes(species()), deep);
}

TEST_F(ThermoImport, MissingDatabaseIsCreatedAndAFailedWriteIsReported)
{
    flagsF.store(0);
    ImportOutcome out = importSpecies(kGoodThermo);
    EXPECT_TRUE(out.ok);
    EXPECT_TRUE(flagRaised(flagsF, code::fileMissing(code::Species)));
    EXPECT_EQ(readJson(species()).size(), 2u);

    rec = ImportRecorder();
    const std::string unwritable = app.path() + "/no/such/folder/Species.json";
    out = importThermoFile(input(kGoodThermo), ChemicalDatabase::Species, rec.callbacks(), unwritable);
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.written);
    EXPECT_EQ(rec.reports.size(), 1u);
}

// The second import of the same records, with each way of answering.
TEST_F(ThermoImport, OverwriteQuestion)
{
    // Stored entries that differ from the file's (and carry transport data).
    const json old = json::parse(R"({"Composition": [[1.0, "Ar"]], "Enthalpy": [1.0, 1], "MolecWeight": [1.0, 0],
        "Phase": 0, "isActive": false, "Viscosity": [{"Coef": [1.0, 2.0, 3.0, 4.0], "T_int": [200.0, 1000.0]}],
        "Intervals": [{"T_int": [200.0, 1000.0], "a": [1.0], "b": [0.0, 0.0], "exp": [0.0]}]})");
    for (const OverwriteCase& c : overwriteCases()) {
        SCOPED_TRACE(c.what);
        writeBytes(species(), json{{"Ar", old}, {"Ar+", old}}.dump(4) + "\n");
        rec = ImportRecorder();
        rec.answer(c.answers);
        ImportOutcome out = importSpecies(kGoodThermo);
        EXPECT_TRUE(out.ok);
        ASSERT_EQ(rec.questions.size(), c.questions);
        EXPECT_EQ(rec.questions[0], "You are about to overwrite saved data for specie 'Ar'. Continue?");
        json doc = readJson(species());
        EXPECT_EQ(doc["Ar"] != old, c.firstReplaced);
        EXPECT_EQ(doc["Ar+"] != old, c.secondReplaced);
        if (c.firstReplaced) {
            EXPECT_FALSE(doc["Ar"].contains("Viscosity")); // a replaced entry loses its transport data
        }
    }
}

// The question as the program shows it: a warning box with Yes, Cancel and the check box.
TEST_F(ThermoImport, OverwriteQuestionThroughTheMessageBoxes)
{
    importSpecies(kGoodThermo);
    MessageRecorder boxes;
    boxes.answer(Msg::Cancel, true);
    ImportOutcome out = importThermoFile(input(kGoodThermo), ChemicalDatabase::Species,
                                         messageBoxImportCallbacks(nullptr), species());
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.kept, 2);
    ASSERT_EQ(boxes.messages().size(), 1u);
    const MessageRequest& q = boxes.messages()[0];
    EXPECT_EQ(q.icon, Msg::Warning);
    EXPECT_EQ(q.buttons, Msg::Yes | Msg::Cancel);
    EXPECT_EQ(q.defaultButton, Msg::Yes);
    EXPECT_EQ(q.checkBoxText, "Do not show again");
}

TEST_F(ThermoImport, WholePublishedFileAsSpecies)
{
    const auto start = std::chrono::steady_clock::now();
    ImportOutcome out
            = importThermoFile(importDataFile("thermo.inp"), ChemicalDatabase::Species, rec.callbacks(), species());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("[ timing ] thermo.inp as species: %.3f s (this build)\n", seconds);
    ASSERT_TRUE(out.ok) << out.detail;

    // 2030 records before END PRODUCTS. Refused, in one report: the 7 "Inert..." copies,
    // which use pseudo-elements (IC, IH, IO), and Br2(cr), whose one interval runs from
    // 300 K down to 265.9 K. 10 other records (Si(cr), Li(cr), Ca(a), ...) lose a first
    // interval of that kind and keep the rest. 10 names have two or three records
    // (phases below and above a transition): asked about and replaced.
    const ThermoCensus census = countThermoFile(ChemicalDatabase::Species);
    ASSERT_EQ(census.records, 2030);
    ASSERT_EQ(census.inert, 7);
    ASSERT_EQ(census.noUsableInterval, 1);
    ASSERT_EQ(census.shortened.size(), 11u);
    EXPECT_EQ(out.stored, census.importable);
    EXPECT_EQ(out.refused, census.records - census.importable);
    EXPECT_EQ(out.refused, 8);
    EXPECT_EQ(rec.questions.size(), std::size_t(census.importable) - census.importableNames.size());
    ASSERT_EQ(rec.reports.size(), 1u);
    EXPECT_EQ(rec.reports[0].first, "8 records were not imported");
    EXPECT_NE(rec.reports[0].second.find("Invalid atom: Ih"), std::string::npos);
    EXPECT_NE(rec.reports[0].second.find("Invalid number of intervals for specie: Br2(cr)"), std::string::npos);
    json doc = readJson(species());
    EXPECT_EQ(doc.size(), census.importableNames.size());
    for (const std::string& name : census.shortened)
        EXPECT_EQ(doc.contains(name), name != "Br2(cr)") << name;
    ASSERT_EQ(doc["Si(cr)"]["Intervals"].size(), 1u);
    EXPECT_EQ(numbers(doc["Si(cr)"]["Intervals"][0]["T_int"]), (std::vector<double>{298.15, 1690.0}));
    EXPECT_EQ(numbers(doc["Si(cr)"]["Intervals"][0]["b"]), (std::vector<double>{-1.042947234e+03, -1.438964187e+01}));
    EXPECT_EQ(numbers(doc["Si(cr)"]["Intervals"][0]["a"])[0], -5.232559740e+04);
    EXPECT_FALSE(doc.contains("Air")); // the reactants section is not read for species

    // The file's digits.
    const json& h2o = doc["H2O"];
    EXPECT_EQ(h2o["Composition"], json::parse(R"([[2.0, "H"], [1.0, "O"]])"));
    EXPECT_EQ(h2o["MolecWeight"], json::parse("[18.01528, 0]"));
    EXPECT_EQ(h2o["Enthalpy"], json::parse("[-241826.0, 1]"));
    EXPECT_EQ(h2o["Phase"], 0);
    ASSERT_EQ(h2o["Intervals"].size(), 2u);
    EXPECT_EQ(numbers(h2o["Intervals"][0]["T_int"]), (std::vector<double>{200.0, 1000.0}));
    EXPECT_EQ(numbers(h2o["Intervals"][0]["exp"]), (std::vector<double>{-2.0, -1.0, 0.0, 1.0, 2.0, 3.0, 4.0}));
    EXPECT_EQ(numbers(h2o["Intervals"][0]["a"]),
              (std::vector<double>{-3.947960830e+04, 5.755731020e+02, 9.317826530e-01, 7.222712860e-03,
                                   -7.342557370e-06, 4.955043490e-09, -1.336933246e-12}));
    EXPECT_EQ(numbers(h2o["Intervals"][0]["b"]), (std::vector<double>{-3.303974310e+04, 1.724205775e+01}));
    EXPECT_EQ(numbers(h2o["Intervals"][1]["T_int"]), (std::vector<double>{1000.0, 6000.0}));
    EXPECT_EQ(numbers(h2o["Intervals"][1]["b"]), (std::vector<double>{-1.384286509e+04, -7.978148510e+00}));

    // OH writes its range lines as "  1000.000 7" and an explicit zero before b1.
    const json& oh = doc["OH"];
    ASSERT_EQ(oh["Intervals"].size(), 3u);
    EXPECT_EQ(numbers(oh["Intervals"][1]["T_int"]), (std::vector<double>{1000.0, 6000.0}));
    EXPECT_EQ(numbers(oh["Intervals"][2]["T_int"]), (std::vector<double>{6000.0, 20000.0}));
    EXPECT_EQ(numbers(oh["Intervals"][0]["exp"])[0], -2.0);
    EXPECT_EQ(numbers(oh["Intervals"][0]["b"]), (std::vector<double>{2.991214235e+03, 4.674110790e+00}));
    EXPECT_EQ(numbers(oh["Intervals"][2]["a"])[6], 9.567229020e-17);
    EXPECT_EQ(oh["Enthalpy"], json::parse("[37278.206, 1]"));

    const json& co2 = doc["CO2"];
    ASSERT_EQ(co2["Intervals"].size(), 3u);
    EXPECT_EQ(numbers(co2["Intervals"][2]["a"])[0], -1.544423287e+09);
    EXPECT_EQ(numbers(co2["Intervals"][2]["b"]), (std::vector<double>{-8.043214510e+06, 2.254177493e+03}));

    const json& alumina = doc["AL2O3(L)"];
    EXPECT_EQ(alumina["Composition"], json::parse(R"([[2.0, "Al"], [3.0, "O"]])"));
    EXPECT_EQ(alumina["Phase"], 1);
    EXPECT_EQ(alumina["MolecWeight"], json::parse("[101.961276, 0]"));
    EXPECT_EQ(alumina["Enthalpy"], json::parse("[-1675700.0, 1]"));
    ASSERT_EQ(alumina["Intervals"].size(), 1u);
    EXPECT_EQ(numbers(alumina["Intervals"][0]["T_int"]), (std::vector<double>{2327.0, 6000.0}));
    EXPECT_EQ(numbers(alumina["Intervals"][0]["a"])[2], 1.959225499e+01);
    EXPECT_EQ(numbers(alumina["Intervals"][0]["b"]), (std::vector<double>{-2.027701571e+05, -1.108590952e+02}));

    const json& albr2 = doc["ALBr2"];
    EXPECT_EQ(albr2["Composition"], json::parse(R"([[1.0, "Al"], [2.0, "Br"]])"));
    ASSERT_EQ(albr2["Intervals"].size(), 2u);
    EXPECT_EQ(numbers(albr2["Intervals"][1]["a"])[0], -3.523782900e+05);

    // The electron: its phase digit touches the molar mass ("0.000548579903").
    EXPECT_EQ(doc["e-"]["Composition"], json::parse(R"([[1.0, "E"]])"));
    EXPECT_EQ(doc["e-"]["MolecWeight"], json::parse("[0.000548579903, 0]"));
    EXPECT_EQ(doc["e-"]["Phase"], 0);
}

TEST_F(ThermoImport, WholePublishedFileAsReactants)
{
    ImportOutcome out
            = importThermoFile(importDataFile("thermo.inp"), ChemicalDatabase::Reactants, rec.callbacks(), reactants());
    ASSERT_TRUE(out.ok) << out.detail;
    // Both sections: 2111 records, 54 of the reactants without heat-capacity data; 20
    // refused: 18 inert copies, Br2(cr), and ADN, whose molar mass (630 g/mol) is not the
    // weight of its formula H4N4O4 (124.06 g/mol).
    const ThermoCensus census = countThermoFile(ChemicalDatabase::Reactants);
    ASSERT_EQ(census.records, 2111);
    ASSERT_EQ(census.withoutCp, 54);
    ASSERT_EQ(census.inert, 18);
    ASSERT_EQ(census.importableNames.count("ADN"), 1u);
    EXPECT_EQ(out.stored, census.importable - 1);
    EXPECT_EQ(out.refused, census.records - census.importable + 1);
    EXPECT_EQ(out.refused, 20);
    json doc = readJson(reactants());
    EXPECT_EQ(doc.size(), census.importableNames.size() - 1);
    EXPECT_FALSE(doc.contains("Br2(cr)"));
    EXPECT_FALSE(doc.contains("ADN"));
    EXPECT_EQ(doc["Li(cr)"]["Intervals"].size(), 1u);

    const json h2l = json::parse(R"({"Composition": [[2.0, "H"]], "Enthalpy": [-9012.0, 1, 20.27],
        "MolecWeight": [2.01588, 0], "Phase": 1, "isActive": true})");
    EXPECT_EQ(doc["H2(L)"], h2l);
    EXPECT_EQ(doc["O2(L)"]["Enthalpy"], json::parse("[-12979.0, 1, 90.17]"));
    EXPECT_FALSE(doc["O2(L)"].contains("Intervals"));
    // Slots whose counts touch the next symbol, and unused slots written as ".00000".
    EXPECT_EQ(doc["Air"]["Composition"],
              json::parse(R"([[1.5617, "N"], [0.41959, "O"], [0.00937, "Ar"], [0.00032, "C"]])"));
    EXPECT_EQ(doc["Paraffin"]["Composition"], json::parse(R"([[73.0, "C"], [124.0, "H"]])"));
    EXPECT_EQ(doc["Paraffin"]["MolecWeight"], json::parse("[1001.766, 0]"));
    EXPECT_EQ(doc["Paraffin"]["Enthalpy"], json::parse("[-1860600.0, 1, 298.15]"));
    EXPECT_EQ(doc["LMP-103S"]["Composition"], json::parse(R"([[1.0, "C"], [11.66, "H"], [4.01, "N"], [5.89, "O"]])"));
    EXPECT_EQ(doc["RP-1"]["Enthalpy"], json::parse("[-24717.7, 1, 298.15]"));
    // Products are reactants too, with their intervals.
    EXPECT_EQ(doc["H2O"]["Intervals"].size(), 2u);
}

TEST_F(ThermoImport, RecordWithoutIntervalIsRefusedAsSpecies)
{
    const std::string text = R"(H2(L)             Hydrogen.
 0 g 6/96 H   2.00    0.00    0.00    0.00    0.00 1    2.0158800      -9012.000
     20.270      0.0000  0.0  0.0  0.0  0.0  0.0  0.0  0.0  0.0            0.000
)";
    ImportOutcome out = importSpecies(text + kGoodThermo);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(rec.messages(), std::vector<std::string>{"Invalid number of intervals for specie: H2(L)"});
    EXPECT_FALSE(readJson(species()).contains("H2(L)"));

    out = importThermoFile(input(text), ChemicalDatabase::Reactants, rec.callbacks(), reactants());
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(readJson(reactants())["H2(L)"]["Enthalpy"], json::parse("[-9012.0, 1, 20.27]"));
}
