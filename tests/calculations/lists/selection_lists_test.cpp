// The names the propellant, nozzle and grain lists offer, over the states of their files.
#include <filesystem>

#include <gtest/gtest.h>

#include "../calc_fixtures.h"
#include "calculations/selection_lists.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

using namespace calc;

namespace {

class SelectionListFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        PROPELLANT = app.dataFile("Propellants.json");
        NOZZLE = app.dataFile("Nozzles.json");
        GRAIN = app.dataFile("Grains.json");
    }
    void TearDown() override
    {
        PROPELLANT.clear();
        NOZZLE.clear();
        GRAIN.clear();
        calc_test::resetCalculationGlobals();
    }
    TempAppDir app;
    MessageRecorder messages;
};

TEST_F(SelectionListFiles, MissingFilesListNothingButCurrentAndRaiseTheirCodes)
{
    const auto lists = showReported(nullptr, readSelectionLists());
    ASSERT_TRUE(lists);
    EXPECT_TRUE(lists->propellants.isEmpty());
    EXPECT_EQ(lists->nozzles, QStringList({"Current"}));
    EXPECT_EQ(lists->grains, QStringList({"Current"}));
    EXPECT_EQ(flagsF.load(), (1u << 6) | (1u << 8) | (1u << 10)); // F06, F08, F10
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(SelectionListFiles, NamesComeInByteOrderAndAnUnparsableFileListsNone)
{
    app.write("Data/Propellants.json", R"({"alpha": {}, "Zeta": {}, "KNSU": {"Density": 1}})");
    app.write("Data/Nozzles.json", R"({"Conical": {}, "Bell": {}})");
    app.write("Data/Grains.json", "this is not JSON");
    auto lists = showReported(nullptr, readSelectionLists());
    ASSERT_TRUE(lists);
    EXPECT_EQ(lists->propellants, QStringList({"KNSU", "Zeta", "alpha"}));
    EXPECT_EQ(lists->nozzles, QStringList({"Current", "Bell", "Conical"}));
    EXPECT_EQ(lists->grains, QStringList({"Current"}));
    EXPECT_EQ(flagsF.load(), 1u << 26); // F26

    // Valid JSON that is not an object of items lists no name either; null is empty.
    flagsF.store(0);
    app.write("Data/Propellants.json", "[1, 2]");
    app.write("Data/Grains.json", "null");
    lists = showReported(nullptr, readSelectionLists());
    ASSERT_TRUE(lists);
    EXPECT_TRUE(lists->propellants.isEmpty());
    EXPECT_EQ(lists->grains, QStringList({"Current"}));
    EXPECT_EQ(flagsF.load(), 1u << 22); // F22
}

TEST_F(SelectionListFiles, AFileThatCannotBeOpenedStopsTheRefresh)
{
    app.write("Data/Propellants.json", R"({"P1": {}})");
    std::filesystem::create_directories(NOZZLE);
    EXPECT_FALSE(showReported(nullptr, readSelectionLists()));
    EXPECT_EQ(messages.texts(),
              QStringList({"Nozzle file could not be opened, it may be opened by another "
                           "software or have accesibility restrictions"}));
    EXPECT_EQ(messages.messages()[0].icon, Msg::Critical);
}

TEST(SelectionKept, ByNameWhileTheItemExists)
{
    const QStringList after = {"Current", "Aaa", "Bell", "Conical"};
    EXPECT_EQ(positionAfterRefresh("Bell", after), 2);
    EXPECT_EQ(positionAfterRefresh("Current", after), 0);
    EXPECT_EQ(positionAfterRefresh("Gone", after), -1);
    EXPECT_EQ(positionAfterRefresh("", after), -1);
}

} // namespace
