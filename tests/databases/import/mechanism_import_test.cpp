// Mechanism import: CHEMKIN reactions into Kinetics.json.
#include <gtest/gtest.h>

#include "databases/import_mechanism.h"
#include "import_test_support.h"
#include "support/h2o2_mechanism.h"
#include "support/temp_app_dir.h"

using nlohmann::json;

namespace {

const std::string kGoodMechanism = R"(! test fixture: mechanism (synthetic)
ELEMENTS
H O AR
END
SPECIES
H2 O2 H O OH HO2 H2O AR
END
REACTIONS
H+O2<=>O+OH                     1.0E+14   0.0    1.6E+04
O+H2=>H+OH                      5.0E+04   2.7    6.3E+03
H+O2(+M)<=>HO2(+M)              4.6E+12   0.4    0.0
  LOW  /  6.4E+20  -1.7  5.2E+02 /
  TROE /  0.5  1.0E-30  1.0E+30 /
  H2/2.0/ H2O/12.0/ AR/0.7/
O+O+M<=>O2+M                    1.2E+17  -1.0    0.0
AR/0.8/ H2/2.4/
H+OH+M=H2O+M                    2.2E+22  -2.0    0.0
OH+OH<=>O+H2O                   3.6E+04   2.4   -2.1E+03
END
)";

class MechanismImport : public ::testing::Test {
protected:
    std::string kinetics() const { return app.dataFile("Kinetics.json"); }
    ImportOutcome importText(const std::string& text)
    {
        const std::string path = app.path() + "/in.mech";
        writeBytes(path, text);
        return importMechanismFile(path, rec.callbacks(), kinetics());
    }

    TempAppDir app;
    ImportRecorder rec;
};

struct Expected {
    const char* key;
    bool forward;
    double A, b, Ea;
    const char* thirdBody; // JSON text, or nullptr for none
};

void expectEntries(const json& doc, const std::vector<Expected>& expected)
{
    for (const Expected& x : expected) {
        SCOPED_TRACE(x.key);
        ASSERT_TRUE(doc.contains(x.key));
        const json& e = doc[x.key];
        EXPECT_EQ(e["Forward"], x.forward);
        EXPECT_EQ(e["A"], json::array({x.A, 0}));
        EXPECT_EQ(e["b"], x.b);
        EXPECT_EQ(e["Ea"], json::array({x.Ea, 0}));
        EXPECT_EQ(e["isActive"], true);
        if (x.thirdBody)
            EXPECT_EQ(e["Third Body"], json::parse(x.thirdBody));
        else
            EXPECT_FALSE(e.contains("Third Body"));
    }
}

} // namespace

TEST_F(MechanismImport, ReactionsWithTheirRatesAndThirdBodies)
{
    ImportOutcome out = importText(kGoodMechanism);
    ASSERT_TRUE(out.ok) << out.detail;
    EXPECT_TRUE(rec.questions.empty());
    EXPECT_TRUE(rec.reports.empty());
    json doc = readJson(kinetics());
    EXPECT_EQ(doc.size(), 6u);
    expectEntries(doc,
                  {
                          {"1H + 1O2 = 1O + 1OH", false, 1e14, 0.0, 16000.0, nullptr},
                          {"1O + 1H2 = 1H + 1OH", true, 50000.0, 2.7, 6300.0, nullptr},
                          // fall-off: the high-pressure rate alone, never times [M]
                          {"1H + 1O2 = 1HO2", false, 4.6e12, 0.4, 0.0, nullptr},
                          {"2O = 1O2", false, 1.2e17, -1.0, 0.0, R"([["AR", 0.8], ["H2", 2.4]])"},
                          // "+M" without efficiencies: every species counts once
                          {"1H + 1OH = 1H2O", false, 2.2e22, -2.0, 0.0, R"([["H", 1.0]])"},
                          {"2OH = 1O + 1H2O", false, 36000.0, 2.4, -2100.0, nullptr},
                  });
    EXPECT_EQ(doc["1O + 1H2 = 1H + 1OH"]["Reactants"], json::parse(R"([["O", 1.0], ["H2", 1.0]])"));
    EXPECT_EQ(doc["1O + 1H2 = 1H + 1OH"]["Products"], json::parse(R"([["H", 1.0], ["OH", 1.0]])"));
}

TEST_F(MechanismImport, PublishedHydrogenOxygenMechanism)
{
    ImportOutcome out = importMechanismFile(hydrogenOxygenMechanismFile(), rec.callbacks(), kinetics());
    ASSERT_TRUE(out.ok) << out.detail;
    EXPECT_EQ(out.stored, 27);
    EXPECT_EQ(out.droppedReactions, 0);
    EXPECT_TRUE(rec.questions.empty());
    EXPECT_TRUE(rec.reports.empty());
    json doc = readJson(kinetics());
    EXPECT_EQ(doc.size(), 27u);
    expectEntries(doc,
                  {
                          {"2O = 1O2", false, 1.2e17, -1.0, 0.0, R"([["H2", 2.4], ["H2O", 15.4]])"},
                          {"1O + 1H = 1OH", false, 5.0e17, -1.0, 0.0, R"([["H2", 2.0], ["H2O", 6.0]])"},
                          {"1O + 1H2 = 1H + 1OH", false, 3.87e4, 2.7, 6260.0, nullptr},
                          {"1H + 1O2 = 1HO2", false, 2.8e18, -0.86, 0.0, R"([["O2", 0.0], ["H2O", 0.0]])"},
                          {"1H + 2O2 = 1HO2 + 1O2", false, 2.08e19, -1.24, 0.0, nullptr},
                          {"1H + 1O2 + 1H2O = 1HO2 + 1H2O", false, 1.126e19, -0.76, 0.0, nullptr},
                          {"1H + 1O2 = 1O + 1OH", false, 2.65e16, -0.6707, 17041.0, nullptr},
                          {"2H = 1H2", false, 1.0e18, -1.0, 0.0, R"([["H2", 0.0], ["H2O", 0.0]])"},
                          {"2H + 1H2 = 2H2", false, 9.0e16, -0.6, 0.0, nullptr},
                          {"1H + 1OH = 1H2O", false, 2.2e22, -2.0, 0.0, R"([["H2", 0.73], ["H2O", 3.65]])"},
                          {"1H + 1HO2 = 2OH", false, 0.84e14, 0.0, 635.0, nullptr},
                          {"2OH = 1H2O2", false, 7.4e13, -0.37, 0.0, nullptr}, // fall-off
                          {"2OH = 1O + 1H2O", false, 3.57e4, 2.4, -2110.0, nullptr},
                          // duplicate pairs: both rate expressions kept
                          {"1OH + 1HO2 = 1O2 + 1H2O", false, 1.45e13, 0.0, -500.0, nullptr},
                          {"1OH + 1HO2 = 1O2 + 1H2O (2)", false, 0.5e16, 0.0, 17330.0, nullptr},
                          {"1OH + 1H2O2 = 1HO2 + 1H2O", false, 2.0e12, 0.0, 427.0, nullptr},
                          {"1OH + 1H2O2 = 1HO2 + 1H2O (2)", false, 1.7e18, 0.0, 29410.0, nullptr},
                          {"2HO2 = 1O2 + 1H2O2", false, 1.3e11, 0.0, -1630.0, nullptr},
                          {"2HO2 = 1O2 + 1H2O2 (2)", false, 4.2e14, 0.0, 12000.0, nullptr},
                  });
    EXPECT_EQ(doc["2H + 1H2 = 2H2"]["Reactants"], json::parse(R"([["H", 2.0], ["H2", 1.0]])"));
    EXPECT_EQ(doc["2H + 1H2 = 2H2"]["Products"], json::parse(R"([["H2", 2.0]])"));
    EXPECT_EQ(doc["1H + 1O2 + 1H2O = 1HO2 + 1H2O"]["Products"], json::parse(R"([["HO2", 1.0], ["H2O", 1.0]])"));
}

// Variants of the good file: those that cannot be read leave Kinetics.json untouched.
TEST_F(MechanismImport, VariantsOfTheFile)
{
    struct Case {
        const char* what;
        std::string from, to;
        bool ok;
        const char* key = nullptr; // ok: an entry to look at
        double A = 0.0;
    };
    const std::vector<Case> cases = {
            {"two blanks before A", "H+O2<=>O+OH                     1.0E+14", "H+O2<=>O+OH  1.0E+14", false},
            {"units on REACTIONS", "REACTIONS\n", "REACTIONS MOLES\n", false},
            {"abbreviated keyword", "ELEMENTS\n", "ELEM\n", false},
            {"no END", "-2.1E+03\nEND\n", "-2.1E+03\n", false},
            {"unreadable A", "1.0E+14", "1.0x+14", false},
            {"missing Ea", "3.6E+04   2.4   -2.1E+03", "3.6E+04   2.4", false},
            {"reverse rate", "O+H2=>H+OH                      5.0E+04   2.7    6.3E+03\n",
             "O+H2=>H+OH                      5.0E+04   2.7    6.3E+03\n REV / 1.0E+04 0.0 0.0 /\n", false},
            {"equation without arrow", "OH+OH<=>O+H2O                   3.6E+04   2.4   -2.1E+03\n",
             "OH+OH                   3.6E+04   2.4   -2.1E+03 =O+H2O\n", false},
            {"efficiencies without third body", "OH+OH<=>O+H2O                   3.6E+04   2.4   -2.1E+03\n",
             "OH+OH<=>O+H2O                   3.6E+04   2.4   -2.1E+03\nH2/2.0/\n", false},
            {"Fortran exponent", "1.0E+14", "1.0D+14", true, "1H + 1O2 = 1O + 1OH", 1e14},
            {"numbers on the next line", "H+O2<=>O+OH                     1.0E+14", "H+O2<=>O+OH\n   1.0E+14", true,
             "1H + 1O2 = 1O + 1OH", 1e14},
            {"DUPLICATE after a reaction", "O+H2=>H+OH                      5.0E+04   2.7    6.3E+03\n",
             "O+H2=>H+OH                      5.0E+04   2.7    6.3E+03\n DUPLICATE\n", true, "1O + 1H2 = 1H + 1OH",
             5e4},
            {"numeric coefficient", "OH+OH<=>O+H2O", "2OH<=>O+H2O", true, "2OH = 1O + 1H2O", 3.6e4},
            {"blanks around terms", "OH+OH<=>O+H2O", "OH + OH <=> O + H2O", true, "2OH = 1O + 1H2O", 3.6e4},
            {"named collider", "H+O2(+M)<=>HO2(+M)", "H+O2(+AR)<=>HO2(+AR)", true, "1H + 1O2 = 1HO2", 4.6e12},
            {"THERMO section before REACTIONS", "END\nREACTIONS", "END\nTHERMO\n  300.0 1000.0 5000.0\nEND\nREACTIONS",
             true, "2OH = 1O + 1H2O", 3.6e4},
    };
    const std::string before = "{\n    \"Keep\": {}\n}\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(kinetics(), before);
        rec = ImportRecorder();
        const std::string text = mutate(kGoodMechanism, c.from, c.to);
        ASSERT_EQ(text.find("<mutation not found"), std::string::npos);
        ImportOutcome out = importText(text);
        EXPECT_EQ(out.ok, c.ok) << out.detail;
        if (!c.ok) {
            EXPECT_FALSE(out.detail.empty());
            EXPECT_EQ(readBytes(kinetics()), before);
        } else {
            json doc = readJson(kinetics());
            EXPECT_EQ(doc.size(), 7u);
            EXPECT_EQ(doc[c.key]["A"][0], c.A);
            EXPECT_FALSE(doc["1H + 1O2 = 1HO2"].contains("Third Body"));
        }
    }
}

TEST_F(MechanismImport, ReactionNamingAnUnknownSpeciesIsDroppedAndCounted)
{
    ImportOutcome out = importText(
            mutate(mutate(kGoodMechanism, "OH+OH<=>O+H2O", "OH+XX<=>O+H2O"), "O+H2=>H+OH ", "O+H2=>H+2OX"));
    ASSERT_TRUE(out.ok) << out.detail;
    EXPECT_EQ(out.droppedReactions, 2);
    EXPECT_EQ(out.stored, 4);
    ASSERT_EQ(rec.reports.size(), 1u);
    EXPECT_EQ(rec.reports[0].first,
              "2 reactions were not imported: they name species that are not in the SPECIES list");
    EXPECT_NE(rec.reports[0].second.find("OH+XX<=>O+H2O"), std::string::npos);
    EXPECT_FALSE(readJson(kinetics()).contains("1OH = 1O + 1H2O"));
}

TEST_F(MechanismImport, SecondImportAndTheQuestions)
{
    ASSERT_TRUE(importText(kGoodMechanism).ok);
    const std::string first = readBytes(kinetics());

    // Yes to every question: the same entries again.
    rec = ImportRecorder();
    ASSERT_TRUE(importText(kGoodMechanism).ok);
    EXPECT_EQ(rec.questions.size(), 6u);
    EXPECT_EQ(rec.questions[0], "You are about to overwrite saved data for reaction '1H + 1O2 = 1O + 1OH'. Continue?");
    EXPECT_EQ(readBytes(kinetics()), first);

    // Cancel with "Do not show again": one question, nothing changes.
    json changed = readJson(kinetics());
    for (auto& e : changed)
        e["isActive"] = false;
    writeBytes(kinetics(), changed.dump(4) + "\n");
    const std::string edited = readBytes(kinetics());
    rec = ImportRecorder();
    rec.answer(OverwriteAnswer::Cancel, true);
    ImportOutcome out = importText(kGoodMechanism);
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(rec.questions.size(), 1u);
    EXPECT_EQ(out.kept, 6);
    EXPECT_EQ(readJson(kinetics()), json::parse(edited));
}

// A reaction typed in the editor under its own key is the same reaction.
TEST_F(MechanismImport, SameReactionUnderAnotherKey)
{
    const json editor = json::parse(R"({"H + O2 = O + OH": {"A": [1.0, 0], "Ea": [0.0, 0], "Forward": false,
        "Products": [["OH", 1.0], ["O", 1.0]], "Reactants": [["O2", 1.0], ["H", 1.0]], "b": 0.0, "isActive": true}})");
    for (OverwriteAnswer answer : {OverwriteAnswer::Yes, OverwriteAnswer::Cancel}) {
        writeBytes(kinetics(), editor.dump(4) + "\n");
        rec = ImportRecorder();
        rec.answer(answer);
        ASSERT_TRUE(importText(kGoodMechanism).ok);
        ASSERT_EQ(rec.questions.size(), 1u);
        EXPECT_EQ(rec.questions[0],
                  "A save with the same described reaction as '1H + 1O2 = 1O + 1OH' already exists. Continue?");
        json doc = readJson(kinetics());
        EXPECT_EQ(doc.contains("H + O2 = O + OH"), answer == OverwriteAnswer::Cancel);
        EXPECT_TRUE(doc.contains("1H + 1O2 = 1O + 1OH"));
    }
}

TEST_F(MechanismImport, UnparsableDatabaseIsNotOverwritten)
{
    writeBytes(kinetics(), "[1, 2");
    ImportOutcome out = importText(kGoodMechanism);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(readBytes(kinetics()), "[1, 2");
    EXPECT_EQ(rec.reports.size(), 1u);

    // A reaction given twice by hand: both kept, the name reported.
    const std::string twice = R"({"H + O2 = OH + O": {"b": 1}, "H + O2 = OH + O": {"b": 2}})";
    writeBytes(kinetics(), twice);
    rec = ImportRecorder();
    out = importText(kGoodMechanism);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(readBytes(kinetics()), twice);
    ASSERT_EQ(rec.reports.size(), 1u);
    EXPECT_NE(rec.reports[0].second.find("\"H + O2 = OH + O\""), std::string::npos) << rec.reports[0].second;
}
