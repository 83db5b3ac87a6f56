// Transport data import: viscosity and conductivity fits added to existing entries.
#include <filesystem>

#include <gtest/gtest.h>

#include "databases/import_thermo.h"
#include "databases/import_transport.h"
#include "import_test_support.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

// Two species to receive the fits (the same records as the thermodynamic tests use).
const std::string kThermo = R"(Ar                Synthetic monatomic gas
 1 g 1/01 AR  1.00    0.00    0.00    0.00    0.00 0   39.9480000          0.000
    200.000   6000.000 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0         6197.428
 0.000000000E+00 0.000000000E+00 2.500000000E+00 0.000000000E+00 0.000000000E+00
 0.000000000E+00 0.000000000E+00                -7.453750000E+02 4.380000000E+00
Ar+               Synthetic cation
 1 g 1/01 AR  1.00E  -1.00    0.00    0.00    0.00 0   39.9475000    1500000.000
    298.150   6000.000 -2.0 -1.0  0.0  1.0  2.0  3.0  4.0  0.0         6197.428
 0.000000000E+00 0.000000000E+00 2.500000000E+00 0.000000000E+00 0.000000000E+00
 0.000000000E+00 0.000000000E+00                 1.796600000E+05 5.000000000E+00
)";

const std::string kGoodTransport = R"(! test fixture: transport data (synthetic)
transport property coefficients
Ar                                V2C2  synthetic
  V  200.0   1000.0   0.60000000E+00-0.60000000E+02 0.20000000E+03 0.20000000E+01
  V 1000.0   5000.0   0.70000000E 00 0.70000000E 02-0.28000000E 05 0.15000000E 01
  C  200.0   1000.0   0.60000000E+00-0.60000000E+02 0.20000000E+03 0.26000000E+01
  C 1000.0   5000.0   0.70000000E+00 0.70000000E+02-0.28000000E+05 0.20000000E+01
Ar+                               V1C0  synthetic
  V  298.0   5000.0   0.60000000E+00 0.00000000E+00 0.00000000E+00 0.10000000E+01
end
)";

const std::string kFirstV = "  V  200.0   1000.0   0.60000000E+00-0.60000000E+02 0.20000000E+03 0.20000000E+01";

class TransportImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeBytes(app.path() + "/thermo.inp", kThermo);
        ImportRecorder quiet;
        ASSERT_TRUE(
                importThermoFile(app.path() + "/thermo.inp", ChemicalDatabase::Species, quiet.callbacks(), species())
                        .ok);
    }
    std::string species() const { return app.dataFile("Species.json"); }
    ImportOutcome importTransport(const std::string& text)
    {
        const std::string path = app.path() + "/trans.inp";
        writeBytes(path, text);
        return importTransportFile(path, ChemicalDatabase::Species, rec.callbacks(), species());
    }

    TempAppDir app;
    ImportRecorder rec;
};

} // namespace

TEST_F(TransportImport, FitsAreAddedToExistingEntries)
{
    ImportOutcome out = importTransport(kGoodTransport);
    ASSERT_TRUE(out.ok) << out.detail;
    EXPECT_TRUE(rec.questions.empty());
    EXPECT_TRUE(rec.reports.empty());
    json doc = readJson(species());
    EXPECT_EQ(doc["Ar"]["Viscosity"], json::parse(R"([
        {"Coef": [0.6, -60.0, 200.0, 2.0], "T_int": [200.0, 1000.0]},
        {"Coef": [0.7, 70.0, -28000.0, 1.5], "T_int": [1000.0, 5000.0]}])"));
    EXPECT_EQ(doc["Ar"]["Conductivity"], json::parse(R"([
        {"Coef": [0.6, -60.0, 200.0, 2.6], "T_int": [200.0, 1000.0]},
        {"Coef": [0.7, 70.0, -28000.0, 2.0], "T_int": [1000.0, 5000.0]}])"));
    EXPECT_EQ(doc["Ar+"]["Viscosity"].size(), 1u);
    EXPECT_FALSE(doc["Ar+"].contains("Conductivity"));
    EXPECT_EQ(doc["Ar"]["Intervals"].size(), 1u); // the other keys are left as they were
}

// Layouts the reader must take: blank lines between records, comments between interval
// lines, counts at the very end of the name line, a Tmin of 0.
TEST_F(TransportImport, LooseLayoutsAreRead)
{
    const std::string text = "transport\n\nAr      V1C1\n! a comment\n"
                             "  V    0.0   1000.0   0.6E+00 -0.6E+02 0.2E+03 0.2E+01\n\n"
                             "  C  200.0   1000.0   0.6E+00 -0.6E+02 0.2E+03 0.26E+01\r\n\r\nAr+  V0C0\n";
    ImportOutcome out = importTransport(text);
    ASSERT_TRUE(out.ok) << out.detail << (rec.reports.empty() ? "" : rec.reports[0].first);
    json doc = readJson(species());
    EXPECT_EQ(doc["Ar"]["Viscosity"][0]["T_int"], json::parse("[0.0, 1000.0]"));
    EXPECT_EQ(doc["Ar"]["Conductivity"][0]["Coef"], json::parse("[0.6, -60.0, 200.0, 2.6]"));
    EXPECT_FALSE(doc["Ar+"].contains("Viscosity"));
}

TEST_F(TransportImport, BrokenRecordsAreReportedAndNothingIsWritten)
{
    struct Case {
        const char* what;
        std::string from, to, message;
    };
    const std::vector<Case> cases = {
            {"viscosity count", "V2C2", "VxC2", "Invalid number of viscosity intervals: x"},
            {"conductivity count", "V2C2  synthetic", "V2Cy  synthetic", "Invalid number of conductivity intervals: y"},
            {"tab indent", kFirstV, "\t" + kFirstV.substr(2),
             "Bad format, start of viscosity interval could not be found"},
            {"too many", "V2C2", "V3C2", "Bad format, start of viscosity interval could not be found"},
            {"negative Tmin", kFirstV, mutate(kFirstV, " 200.0", "-1.0"), "Error reading viscosity data for: Ar"},
            {"garbage", "  C 1000.0   5000.0   0.70000000E+00", "  C 1000.0   5000.0   0.70000x00E+00",
             "Error reading conductivity data for: Ar"},
            {"D exponent cut", "0.10000000E+01", "0.10000000D+", "Error reading viscosity data for: Ar+"},
            {"end of file", "  V  298.0   5000.0", "", ""},
    };
    const std::string before = readBytes(species());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        rec = ImportRecorder();
        std::string text = mutate(kGoodTransport, c.from, c.to);
        if (c.to.empty())
            text = kGoodTransport.substr(0, kGoodTransport.find(c.from));
        ImportOutcome out = importTransport(text);
        EXPECT_FALSE(out.ok);
        if (c.message.empty()) {
            EXPECT_TRUE(rec.reports.empty());
            EXPECT_NE(out.detail.find("Ar+"), std::string::npos) << out.detail;
        } else {
            EXPECT_EQ(rec.messages(), std::vector<std::string>{c.message});
        }
        EXPECT_EQ(readBytes(species()), before);
    }
}

TEST_F(TransportImport, UnknownNamesAndInteractionRecordsArePassedOver)
{
    std::string text = mutate(kGoodTransport, "Ar                                V2C2",
                              "Zz                                V2C2");
    ImportOutcome out = importTransport(text);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(
            rec.messages(),
            std::vector<std::string>{"No specie named 'Zz' could be found in specie database. Data will NOT be read"});
    json doc = readJson(species());
    EXPECT_FALSE(doc.contains("Zz"));
    EXPECT_FALSE(doc["Ar"].contains("Viscosity"));
    EXPECT_TRUE(doc["Ar+"].contains("Viscosity"));

    // An interaction record names two species: never filed under the first.
    rec = ImportRecorder();
    text = mutate(kGoodTransport, "Ar                                V2C2", "Ar              Ar+               V2C2");
    out = importTransport(text);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.passedOver, 1);
    EXPECT_FALSE(readJson(species())["Ar"].contains("Viscosity"));
}

TEST_F(TransportImport, OverwriteQuestion)
{
    ASSERT_TRUE(importTransport(kGoodTransport).ok);
    // Ar is asked about; V1C0 for Ar replaces both kinds on Yes, so its conductivity goes.
    const std::string second = mutate(mutate(kGoodTransport, "V2C2", "V1C0"), "  V 1000.0", "! V 1000.0");
    const std::string noC = second.substr(0, second.find("  C  200.0")) + second.substr(second.find("Ar+ "));
    const std::string stored = readBytes(species());
    for (const OverwriteCase& c : overwriteCases()) {
        SCOPED_TRACE(c.what);
        writeBytes(species(), stored);
        rec = ImportRecorder();
        rec.answer(c.answers);
        ImportOutcome out = importTransport(noC);
        EXPECT_TRUE(out.ok);
        ASSERT_EQ(rec.questions.size(), c.questions);
        EXPECT_EQ(rec.questions[0],
                  "You are about to overwrite viscosity and/or conductivity data for specie 'Ar'. Continue?");
        json doc = readJson(species());
        EXPECT_EQ(doc["Ar"]["Viscosity"].size(), c.firstReplaced ? 1u : 2u);
        EXPECT_EQ(doc["Ar"].contains("Conductivity"), !c.firstReplaced);
        EXPECT_EQ(out.kept, int(!c.firstReplaced) + int(!c.secondReplaced));
    }
}

// A database the import cannot read is left as it is; a write that fails is reported.
TEST_F(TransportImport, DatabaseThatCannotBeReadOrWrittenIsLeftAlone)
{
    const std::string path = app.path() + "/trans.inp";
    writeBytes(path, kGoodTransport);
    const std::string garbage = "{\"Ar\": [1, ";
    writeBytes(species(), garbage);
    ImportOutcome out = importTransportFile(path, ChemicalDatabase::Species, rec.callbacks(), species());
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(readBytes(species()), garbage);
    EXPECT_EQ(rec.reports.size(), 1u);

    // A database in a folder that does not exist: read as missing, then the write fails.
    rec = ImportRecorder();
    const std::string unwritable = app.path() + "/no/such/folder/Species.json";
    out = importTransportFile(path, ChemicalDatabase::Species, rec.callbacks(), unwritable);
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.written);
    EXPECT_FALSE(std::filesystem::exists(unwritable));
    ASSERT_FALSE(rec.reports.empty());
    EXPECT_NE(rec.reports.back().first.find("could not be written"), std::string::npos);
}

// A file that gives no record is a failed import and writes nothing.
TEST_F(TransportImport, FileWithoutRecordsFailsAndWritesNothing)
{
    const std::string before = readBytes(species());
    const std::string folder = app.path() + "/folder.inp";
    std::filesystem::create_directories(folder);
    for (const std::string& text : {std::string(), std::string(" \n\t\n"), std::string("! comment\n"),
                                    std::string("transport property coefficients\nend\n")}) {
        SCOPED_TRACE(testing::PrintToString(text));
        rec = ImportRecorder();
        ImportOutcome out = importTransport(text);
        EXPECT_FALSE(out.ok);
        EXPECT_FALSE(out.written);
        EXPECT_FALSE(out.detail.empty());
        EXPECT_EQ(readBytes(species()), before);
    }
    ImportOutcome out = importTransportFile(folder, ChemicalDatabase::Species, rec.callbacks(), species());
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(out.detail.empty());
    EXPECT_EQ(readBytes(species()), before);

    // nor is a missing database created
    const std::string absent = app.path() + "/Data/Absent.json";
    out = importTransportFile(folder, ChemicalDatabase::Species, rec.callbacks(), absent);
    EXPECT_FALSE(out.ok);
    EXPECT_FALSE(std::filesystem::exists(absent));
}

// LF, CR LF, CR CR LF and CR alone read alike.
TEST_F(TransportImport, EveryLineEndReadsAlike)
{
    const std::string before = readBytes(species());
    ASSERT_TRUE(importTransport(kGoodTransport).ok);
    const json expected = readJson(species());
    for (const std::string lineEnd : {"\r\n", "\r\r\n", "\r"}) {
        SCOPED_TRACE(testing::PrintToString(lineEnd));
        writeBytes(species(), before);
        std::string text;
        for (char c : kGoodTransport)
            text += c == '\n' ? lineEnd : std::string(1, c);
        rec = ImportRecorder();
        ImportOutcome out = importTransport(text);
        ASSERT_TRUE(out.ok) << out.detail << (rec.reports.empty() ? "" : rec.reports[0].first);
        EXPECT_TRUE(rec.reports.empty());
        EXPECT_EQ(readJson(species()), expected);
    }
}

// A Latin-1 name finds the entry a Latin-1 thermodynamic file (or a UTF-8 one) made.
TEST_F(TransportImport, Latin1NamesFindTheirEntry)
{
    std::string thermo = kThermo;
    thermo.replace(0, 2, "Cell\xE9"); // the first record, Ar, renamed
    writeBytes(app.path() + "/latin1.inp", thermo);
    ImportRecorder quiet;
    ASSERT_TRUE(
            importThermoFile(app.path() + "/latin1.inp", ChemicalDatabase::Species, quiet.callbacks(), species()).ok);

    const std::string latin1 = "Cell\xE9  V1C0\n" + kFirstV + "\n";
    const std::string utf8 = "Cell\xC3\xA9  V1C1\n" + kFirstV + "\n  C" + kFirstV.substr(3) + "\n";
    for (const std::string& text : {latin1, utf8}) {
        rec = ImportRecorder();
        ImportOutcome out = importTransport(text);
        ASSERT_TRUE(out.ok) << out.detail;
        EXPECT_EQ(out.stored, 1);
        EXPECT_EQ(out.passedOver, 0);
    }
    // the second import found the data of the first and asked about the decoded name
    EXPECT_EQ(rec.questions,
              std::vector<std::string>{"You are about to overwrite viscosity and/or conductivity data for specie "
                                       "'Cell\xC3\xA9'. Continue?"});
    const json doc = readJson(species());
    ASSERT_TRUE(doc.contains("Cell\xC3\xA9"));
    EXPECT_EQ(doc.at("Cell\xC3\xA9").at("Conductivity").size(), 1u);
}

TEST(TransportImportWhole, PublishedFileOntoPublishedSpecies)
{
    TempAppDir app;
    ImportRecorder rec;
    const std::string species = app.dataFile("Species.json");
    ASSERT_TRUE(importThermoFile(importDataFile("thermo.inp"), ChemicalDatabase::Species, rec.callbacks(), species).ok);
    rec = ImportRecorder();
    ImportOutcome out
            = importTransportFile(importDataFile("trans.inp"), ChemicalDatabase::Species, rec.callbacks(), species);
    ASSERT_TRUE(out.ok) << out.detail;
    // 107 records: 66 pure-species fits, 61 of them for species of the thermodynamic file;
    // 41 interaction records (two names) are passed over.
    EXPECT_EQ(out.stored, 61);
    EXPECT_EQ(out.passedOver, 46);
    EXPECT_TRUE(rec.questions.empty());
    ASSERT_EQ(rec.reports.size(), 1u);
    EXPECT_EQ(rec.reports[0].first, "5 species could not be found in specie database. Data will NOT be read");
    EXPECT_EQ(rec.reports[0].second, "CCLF3, CCL2F2, CCL3F, CHCLF2, CHCL2F");

    json doc = readJson(species);
    // Ar: the file's digits, exponents written with a blank sign ("0.61205763E 00").
    ASSERT_EQ(doc["Ar"]["Viscosity"].size(), 3u);
    EXPECT_EQ(doc["Ar"]["Viscosity"][0],
              json::parse(R"({"Coef": [0.61205763, -67.714354, 190.4066, 2.1588272], "T_int": [200.0, 1000.0]})"));
    EXPECT_EQ(doc["Ar"]["Conductivity"][2]["Coef"], json::parse("[0.76269502, 623.41752, -718995.52, 0.56927918]"));
    // Species followed by interaction records keep their own pure fits.
    for (const char* name : {"H2O", "CO2", "N2", "H2", "O", "e-"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(doc[name].contains("Viscosity"));
        EXPECT_TRUE(doc[name].contains("Conductivity"));
    }
    EXPECT_EQ(doc["H2O"]["Conductivity"].size(), 3u);
}
