// The propellant's compatibility lists: the pure rules, the stand-in updater that reads
// the files, and how a dialog finds its updater.
#include <filesystem>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "databases/compatible_lists.h"
#include "support/database_globals.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace {

// Stands in for the propellant tab: records the rebuild requests made of it, in order.
struct CountingLists : CompatibleListsUpdater {
    std::vector<std::string> calls;
    void updateCompatibleSpecies() override { calls.push_back("species"); }
    bool updateCompatibleReactions(bool check) override
    {
        calls.push_back(check ? "reactions(true)" : "reactions(false)");
        return true;
    }
};

} // namespace

using nlohmann::json;
using Names = std::vector<std::string>;

TEST(CompatibleLists, ElementsInOrderOfFirstAppearanceThenElectron)
{
    const json reactants = json::parse(R"({
        "H2O": {"Composition": [[2.0, "H"], [1.0, "O"]]},
        "AlO": {"Composition": [[1.0, "Al"], [1.0, "O"]]},
        "Ion": {"Composition": [[1.0, "Cs"], [-1.0, "E"]]},
        "Bad": {"Composition": [[1.0], "x", [1.0, 5]]},
        "Null": null
    })");
    EXPECT_EQ(collectPropellantElements({"H2O", "AlO"}, reactants), (Names{"H", "O", "Al", "E"}));
    EXPECT_EQ(collectPropellantElements({"AlO", "H2O"}, reactants), (Names{"Al", "O", "H", "E"}));
    // no reactant rows: only the electron
    EXPECT_EQ(collectPropellantElements({}, reactants), (Names{"E"}));
    // a reactant holding "E" leaves it once, last
    EXPECT_EQ(collectPropellantElements({"Ion"}, reactants), (Names{"Cs", "E"}));
    EXPECT_EQ(collectPropellantElements({"Ion", "H2O"}, reactants), (Names{"Cs", "H", "O", "E"}));
    // unknown names and malformed compositions contribute nothing
    EXPECT_EQ(collectPropellantElements({"Nope", "Bad", "Null", "H2O"}, reactants), (Names{"H", "O", "E"}));
    EXPECT_EQ(collectPropellantElements({"H2O"}, json(nullptr)), (Names{"E"}));
}

TEST(CompatibleLists, SpeciesMadeOnlyOfPropellantElements)
{
    const json species = json::parse(R"({
        "H2O": {"Composition": [[2.0, "H"], [1.0, "O"]]},
        "OH-": {"Composition": [[1.0, "O"], [1.0, "H"], [1.0, "E"]]},
        "e-":  {"Composition": [[1.0, "E"]]},
        "CO":  {"Composition": [[1.0, "C"], [1.0, "O"]]},
        "Bad": {"Composition": [[1.0]]},
        "NoComposition": {"Phase": 0},
        "Null": null
    })");
    // ions count whenever their other elements are there, since "E" is always present;
    // entries without composition are compatible, malformed ones are not (key order)
    EXPECT_EQ(collectCompatibleSpecies({"H", "O", "E"}, species), (Names{"H2O", "NoComposition", "Null", "OH-", "e-"}));
    EXPECT_EQ(collectCompatibleSpecies({"E"}, species), (Names{"NoComposition", "Null", "e-"}));
    EXPECT_TRUE(collectCompatibleSpecies({"H"}, json::array()).empty());
}

TEST(CompatibleLists, ReactionsAmongCompatibleSpecies)
{
    const json kinetics = json::parse(R"({
        "H + H = H2":   {"Reactants": [["H", 2.0]], "Products": [["H2", 1.0]]},
        "CO + O = CO2": {"Reactants": [["CO", 1.0], ["O", 1.0]], "Products": [["CO2", 1.0]]},
        "empty":        {"Reactants": [], "Products": []},
        "junk":         {"Reactants": [[1.0, "H"]], "Products": [["H2", 1.0]]},
        "notalist":     {"Reactants": "H", "Products": [["H2", 1.0]]}
    })");
    EXPECT_EQ(collectCompatibleReactions({"H", "H2", "O"}, kinetics), (Names{"H + H = H2", "empty"}));
    EXPECT_EQ(collectCompatibleReactions({}, kinetics), (Names{"empty"}));
}

namespace {

class PlainListsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        SPECIES = app.dataFile("Species.json");
        REACTANTS = app.dataFile("Reactants.json");
        KINETICS = app.dataFile("Kinetics.json");
        flagsF.store(0);
        propellantElements = {"stale"};
        compatibleSpecies = {"stale"};
        compatibleReactions = {"stale"};
    }
    void TearDown() override { restoreBrowserGlobals(); }
    // The stand-in's updates, their refusals shown as the browser shows them.
    static void updateSpecies(PlainCompatibleLists& lists)
    {
        lists.updateCompatibleSpecies();
        showViewMessages(nullptr, lists.takeRefusals());
    }
    static bool updateReactions(PlainCompatibleLists& lists, bool check)
    {
        const bool updated = lists.updateCompatibleReactions(check);
        showViewMessages(nullptr, lists.takeRefusals());
        return updated;
    }
    void writeAll()
    {
        app.write("Data/Reactants.json", R"({"H2O2": {"Composition": [[2.0, "H"], [2.0, "O"]]},
                                             "Al": {"Composition": [[1.0, "Al"]]}})");
        app.write("Data/Species.json", R"({"H": {"Composition": [[1.0, "H"]]}, "H2": {"Composition": [[2.0, "H"]]},
                                           "Al": {"Composition": [[1.0, "Al"]]}})");
        app.write("Data/Kinetics.json", R"({"H + H = H2": {"Reactants": [["H", 2.0]], "Products": [["H2", 1.0]]},
                                            "Al = Al": {"Reactants": [["Al", 1.0]], "Products": [["Al", 1.0]]}})");
    }
    TempAppDir app;
    MessageRecorder messages;
};

} // namespace

TEST_F(PlainListsFixture, RebuildsFromFilesAndReactantRows)
{
    writeAll();
    PlainCompatibleLists lists([] { return Names{"H2O2"}; });
    updateSpecies(lists);
    EXPECT_EQ(propellantElements, (Names{"H", "O", "E"}));
    EXPECT_EQ(compatibleSpecies, (Names{"H", "H2"}));
    EXPECT_TRUE(updateReactions(lists, false));
    EXPECT_EQ(compatibleReactions, (Names{"H + H = H2"}));
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(flagsF.load(), 0u);
}

TEST_F(PlainListsFixture, MissingReactantsEmptiesBothListsAndRaisesF02)
{
    app.write("Data/Species.json", R"({"e-": {"Composition": [[1.0, "E"]]}})");
    PlainCompatibleLists lists;
    updateSpecies(lists);
    EXPECT_TRUE(propellantElements.empty());
    EXPECT_TRUE(compatibleSpecies.empty());
    EXPECT_TRUE(flagRaised(flagsF, code::fileMissing(code::Reactants)));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(PlainListsFixture, MissingKineticsGivesEmptyReactionsAndSucceeds)
{
    writeAll();
    std::filesystem::remove(KINETICS);
    PlainCompatibleLists lists;
    EXPECT_TRUE(updateReactions(lists, false));
    EXPECT_TRUE(compatibleReactions.empty());
    EXPECT_TRUE(flagRaised(flagsF, code::fileMissing(code::Kinetics)));
}

TEST_F(PlainListsFixture, UnreadableFilesAreReported)
{
    writeAll();
    app.write("Data/Species.json", "{ not json");
    PlainCompatibleLists lists([] { return Names{"H2O2"}; });
    updateSpecies(lists);
    EXPECT_TRUE(compatibleSpecies.empty());
    EXPECT_TRUE(propellantElements.empty());
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.lastText(), "Species file was corrupted, save process aborted");
    EXPECT_EQ(messages.messages().back().icon, Msg::Critical);
    EXPECT_TRUE(flagRaised(flagsF, code::fileCorrupt(code::Species)));

    messages.clear();
    std::filesystem::remove(KINETICS);
    std::filesystem::create_directory(KINETICS); // exists, cannot be opened as a file
    EXPECT_FALSE(updateReactions(lists, false));
    EXPECT_TRUE(compatibleReactions.empty());
    EXPECT_EQ(messages.lastText(), "Species file was corrupted, save process aborted");

    messages.clear();
    writeAll();
    std::filesystem::remove(REACTANTS);
    std::filesystem::create_directory(REACTANTS);
    updateSpecies(lists);
    EXPECT_EQ(messages.lastText(),
              "Reactants file could not be opened, it may be opened by another software or have accesibility "
              "restrictions");
}

TEST_F(PlainListsFixture, TheStandInsRefusalsComeBackToTheDialog)
{
    writeAll();
    app.write("Data/Species.json", "{ not json");
    // Both updates refuse the unreadable species file: two boxes, without a parent.
    const ViewMessages refusals = rebuildCompatibleLists(nullptr);
    ASSERT_EQ(refusals.size(), 2u);
    for (const ViewMessage& m : refusals) {
        EXPECT_EQ(m.box.text, "Species file was corrupted, save process aborted");
        EXPECT_EQ(m.box.icon, Msg::Critical);
        EXPECT_TRUE(m.parentless);
    }
    EXPECT_TRUE(messages.messages().empty()); // shown by the dialog, not by the lists
    EXPECT_TRUE(compatibleListsUpdaterFor(nullptr).takeRefusals().empty()); // handed over once
}

TEST(CompatibleLists, DialogsAskTheirOwnerSpeciesFirst)
{
    CountingLists tab;
    EXPECT_TRUE(rebuildCompatibleLists(&tab).empty());
    EXPECT_EQ(tab.calls, (Names{"species", "reactions(false)"}));
    EXPECT_EQ(&compatibleListsUpdaterFor(&tab), static_cast<CompatibleListsUpdater*>(&tab));

    // without an owner the dialogs get the stand-in, the same one every time
    CompatibleListsUpdater& a = compatibleListsUpdaterFor(nullptr);
    CompatibleListsUpdater& b = compatibleListsUpdaterFor(nullptr);
    EXPECT_EQ(&a, &b);
    EXPECT_NE(dynamic_cast<PlainCompatibleLists*>(&a), nullptr);
}
