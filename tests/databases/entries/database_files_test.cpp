// The states a database file can be in, the codes they raise, and what may be written.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/flags.h"
#include "core/preferences.h"
#include "databases/database_files.h"
#include "support/temp_app_dir.h"

namespace {

class DatabaseFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsF = 0;
        SPECIES = app.dataFile("Species.json");
        REACTANTS = app.dataFile("Reactants.json");
        KINETICS = app.dataFile("Kinetics.json");
    }
    void TearDown() override
    {
        SPECIES.clear();
        REACTANTS.clear();
        KINETICS.clear();
        flagsF = 0;
    }
    TempAppDir app;
};

TEST_F(DatabaseFiles, EachStateGivesItsStatusCodeAndDocument)
{
    struct Case {
        const char* name;
        ChemicalDatabase db;
        const char* file;
        const char* content; // nullptr: nothing at the path; "<dir>": a folder at the path
        JsonReadStatus status;
        uint32_t flags;
        bool writable;
        std::size_t entries;
    };
    using S = JsonReadStatus;
    using D = ChemicalDatabase;
    const std::vector<Case> cases = {
            {"species missing", D::Species, "Species.json", nullptr, S::Missing, code::F(0), true, 0},
            {"reactants missing", D::Reactants, "Reactants.json", nullptr, S::Missing, code::F(2), true, 0},
            {"kinetics missing", D::Kinetics, "Kinetics.json", nullptr, S::Missing, code::F(4), true, 0},
            {"species unparsable", D::Species, "Species.json", "{\"H\": ", S::Unparsable, code::F(16), false, 0},
            {"reactants unparsable", D::Reactants, "Reactants.json", "not json", S::Unparsable, code::F(18), false, 0},
            {"kinetics unparsable", D::Kinetics, "Kinetics.json", "{,}", S::Unparsable, code::F(20), false, 0},
            {"top level is an array", D::Species, "Species.json", "[1, 2]", S::Unparsable, code::F(16), false, 0},
            {"literal null", D::Kinetics, "Kinetics.json", "null\n", S::Ok, 0, true, 0},
            {"empty object", D::Species, "Species.json", "{}", S::Ok, 0, true, 0},
            {"one entry", D::Reactants, "Reactants.json", "{\"X\": {}}", S::Ok, 0, true, 1},
            {"cannot be opened", D::Species, "Species.json", "<dir>", S::CannotOpen, 0, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        flagsF = 0;
        const std::string path = app.dataFile(c.file);
        std::filesystem::remove_all(path);
        if (c.content && std::string(c.content) == "<dir>")
            std::filesystem::create_directories(path);
        else if (c.content)
            app.write(std::string("Data/") + c.file, c.content);

        const DatabaseDocument doc = readDatabase(c.db);
        EXPECT_EQ(doc.status, c.status);
        EXPECT_EQ(flagsF.load(), c.flags);
        EXPECT_EQ(doc.writable(), c.writable);
        EXPECT_EQ(doc.opened(), c.status != S::CannotOpen);
        EXPECT_EQ(doc.path, path);
        ASSERT_TRUE(doc.document.is_object());
        EXPECT_EQ(doc.document.size(), c.entries);
        std::filesystem::remove_all(path);
    }
}

TEST_F(DatabaseFiles, AnUnparsableFileIsNeverOverwritten)
{
    app.write("Data/Species.json", "{ broken");
    DatabaseDocument doc = readDatabase(ChemicalDatabase::Species);
    doc.document["H"] = {{"Phase", 0}};
    std::string error;
    EXPECT_FALSE(writeDatabase(doc, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(app.read("Data/Species.json"), "{ broken");
}

TEST_F(DatabaseFiles, WritesCreateTheFileWithIndentFourAndOneNewline)
{
    DatabaseDocument doc = readDatabase(ChemicalDatabase::Kinetics);
    ASSERT_EQ(doc.status, JsonReadStatus::Missing);
    doc.document["b"] = {{"z", 1}, {"a", 2.0}};
    doc.document["a"] = true;
    ASSERT_TRUE(writeDatabase(doc));
    EXPECT_EQ(app.read("Data/Kinetics.json"),
              "{\n    \"a\": true,\n    \"b\": {\n        \"a\": 2.0,\n        \"z\": 1\n    }\n}\n");
}

TEST_F(DatabaseFiles, AFailedWriteIsReportedAndLeavesNoFile)
{
    KINETICS = app.path() + "/no such folder/Kinetics.json";
    DatabaseDocument doc = readDatabase(ChemicalDatabase::Kinetics);
    doc.document["x"] = 1;
    std::string error;
    EXPECT_FALSE(writeDatabase(doc, &error));
    EXPECT_FALSE(std::filesystem::exists(KINETICS));
    EXPECT_NE(writeFailedMessage(ChemicalDatabase::Kinetics, KINETICS, error).find("could not be written"),
              std::string::npos);
}

TEST_F(DatabaseFiles, PathsFollowThePreferencesAndFallBackToTheDataFolder)
{
    EXPECT_EQ(databasePath(ChemicalDatabase::Reactants), app.dataFile("Reactants.json"));
    REACTANTS.clear();
    EXPECT_EQ(databasePath(ChemicalDatabase::Reactants), app.path() + "/Data/Reactants.json");
}

TEST(EmptyValue, NullEmptyObjectAndEmptyArrayOnly)
{
    using nlohmann::json;
    EXPECT_TRUE(isEmptyValue(json()));
    EXPECT_TRUE(isEmptyValue(json::object()));
    EXPECT_TRUE(isEmptyValue(json::array()));
    EXPECT_FALSE(isEmptyValue(json(false)));
    EXPECT_FALSE(isEmptyValue(json(0)));
    EXPECT_FALSE(isEmptyValue(json("")));
    EXPECT_FALSE(isEmptyValue(json::array({1})));
    const json doc = {{"a", nullptr}, {"b", json::object()}, {"c", {{"k", 1}}}};
    EXPECT_FALSE(holdsEntry(doc, "a"));
    EXPECT_FALSE(holdsEntry(doc, "b"));
    EXPECT_TRUE(holdsEntry(doc, "c"));
    EXPECT_FALSE(holdsEntry(doc, "d"));
    EXPECT_FALSE(holdsEntry(json(), "c"));
}

} // namespace
