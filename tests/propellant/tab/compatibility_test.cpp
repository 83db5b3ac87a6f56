// The compatibility lists the tab keeps: elements of the reactant rows (in order, the
// electron once and last), the species made of them, the reactions among those, the file
// failures, and the check of the user's selection before a save.
#include <filesystem>

#include "propellant/compatibility.h"
#include "propellant/tab_fixture.h"

namespace {

using Names = std::vector<std::string>;

class Compatibility : public PropellantTabTest {
protected:
    // A stand-in for the tab: the object the boxes are parented to.
    QObject tab;
};

TEST_F(Compatibility, ListsFollowTheReactantRows)
{
    const struct {
        const char* what;
        Names rows, elements, species, reactions;
    } cases[] = {
            {"no row", {}, {"E"}, {"e-"}, {}},
            {"fuel", {"Fuel"}, {"H", "E"}, {"H", "H+", "H2", "e-"}, {"dissociation", "no products", "no reactants"}},
            {"fuel and oxidiser",
             {"Fuel", "Oxidiser"},
             {"H", "O", "E"},
             {"H", "H+", "H2", "H2O", "O", "O2", "OH", "e-"},
             {"colliders absent", "dissociation", "no products", "no reactants", "water"}},
            {"oxidiser first",
             {"Oxidiser", "Fuel"},
             {"O", "H", "E"},
             {"H", "H+", "H2", "H2O", "O", "O2", "OH", "e-"},
             {"colliders absent", "dissociation", "no products", "no reactants", "water"}},
            {"aluminium",
             {"AlO", "Fuel"},
             {"Al", "O", "H", "E"},
             {"Al", "AlO", "H", "H+", "H2", "H2O", "O", "O2", "OH", "e-"},
             {"colliders absent", "dissociation", "no products", "no reactants", "water"}},
            // A reactant holding electrons (written first) still gives "E" once, last.
            {"electrons first",
             {"Electride", "Fuel"},
             {"Cs", "H", "E"},
             {"H", "H+", "H2", "e-"},
             {"dissociation", "no products", "no reactants"}},
            {"a row the database lacks",
             {"Gone", "Fuel"},
             {"H", "E"},
             {"H", "H+", "H2", "e-"},
             {"dissociation", "no products", "no reactants"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        showViewMessages(&tab, updateCompatibleSpeciesFor(c.rows));
        EXPECT_TRUE(showReported(&tab, updateCompatibleReactionsFor(false)));
        EXPECT_EQ(propellantElements, c.elements);
        EXPECT_EQ(compatibleSpecies, c.species);
        EXPECT_EQ(compatibleReactions, c.reactions);
    }
    EXPECT_TRUE(boxes.messages().empty());
    EXPECT_EQ(flagsF.load(), 0u);
}

TEST_F(Compatibility, FileFailures)
{
    // Reactants.json missing: F02 and both lists empty although the species exist.
    std::filesystem::remove(dir.dataFile("Reactants.json"));
    compatibleSpecies = {"stale"};
    showViewMessages(&tab, updateCompatibleSpeciesFor({"Fuel"}));
    EXPECT_TRUE(propellantElements.empty());
    EXPECT_TRUE(compatibleSpecies.empty());
    EXPECT_EQ(flagsF.load(), code::F(2));
    EXPECT_TRUE(boxes.messages().empty());

    // Kinetics.json missing: F04, no reaction, and still a success.
    SetUp();
    std::filesystem::remove(dir.dataFile("Kinetics.json"));
    showViewMessages(&tab, updateCompatibleSpeciesFor({"Fuel"}));
    compatibleReactions = {"stale"};
    EXPECT_TRUE(showReported(&tab, updateCompatibleReactionsFor(false)));
    EXPECT_TRUE(compatibleReactions.empty());
    EXPECT_EQ(flagsF.load(), code::F(4));

    const struct {
        const char* file;
        bool unparsable;
        bool speciesUpdate; // the species update reports it (else only the reactions')
        uint32_t flag;
        QString message;
    } cases[] = {
            {"Reactants.json", true, true, code::F(18), "Reactants file was corrupted, save process aborted"},
            {"Reactants.json", false, true, 0,
             "Reactants file could not be opened, it may be opened by another software or have accesibility "
             "restrictions"},
            {"Species.json", true, true, code::F(16), "Species file was corrupted, save process aborted"},
            {"Species.json", false, true, 0,
             "Species file could not be opened, it may be opened by another software or have accesibility "
             "restrictions"},
            {"Kinetics.json", true, false, code::F(20), "Kinetics file was corrupted, save process aborted"},
            {"Kinetics.json", false, false, 0,
             "Kinetics file could not be opened, it may be opened by another software or have accesibility "
             "restrictions"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file) + (c.unparsable ? " unparsable" : " unopenable"));
        SetUp();
        boxes.clear();
        const std::string path = dir.dataFile(c.file);
        std::filesystem::remove(path);
        if (c.unparsable)
            dir.write(std::string("Data/") + c.file, "{ broken");
        else
            std::filesystem::create_directory(path);
        showViewMessages(&tab, updateCompatibleSpeciesFor({"Fuel"}));
        if (c.speciesUpdate) {
            EXPECT_TRUE(compatibleSpecies.empty());
            EXPECT_TRUE(propellantElements.empty());
        } else {
            EXPECT_FALSE(compatibleSpecies.empty());
            EXPECT_FALSE(showReported(&tab, updateCompatibleReactionsFor(false)));
            EXPECT_TRUE(compatibleReactions.empty());
        }
        EXPECT_EQ(flagsF.load(), c.flag);
        ASSERT_EQ(boxes.texts(), QStringList{c.message});
        EXPECT_EQ(boxes.parents()[0], &tab);
        EXPECT_EQ(boxes.messages()[0].icon, Msg::Critical);
        EXPECT_FALSE(boxes.messages()[0].windowIcon);
        EXPECT_TRUE(boxes.messages()[0].title.isEmpty());
        std::filesystem::remove_all(path);
    }
}

TEST_F(Compatibility, SelectionCheckBeforeASave)
{
    showViewMessages(&tab, updateCompatibleSpeciesFor({"Fuel", "Oxidiser"}));
    ASSERT_TRUE(showReported(&tab, updateCompatibleReactionsFor(false)));
    // Every entry of the fixture is active: nothing to report.
    EXPECT_TRUE(showReported(&tab, updateCompatibleReactionsFor(true)));
    EXPECT_TRUE(boxes.messages().empty());

    setActive("Species.json", "H2", false);
    EXPECT_FALSE(showReported(&tab, updateCompatibleReactionsFor(true)));
    // "colliders absent" (2 O = O2) comes first in key order but uses no H2.
    ASSERT_EQ(boxes.texts(), QStringList{"Reaction 'dissociation' uses a non-selected specie as reactant"});
    EXPECT_EQ(boxes.messages()[0].informativeText,
              "Please deselect the reaction or select the appropriate specie in the database");
    EXPECT_EQ(boxes.parents()[0], nullptr);
    EXPECT_TRUE(boxes.messages()[0].windowIcon);
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Critical);

    // Deselected reactions pass; the product check then finds the water.
    boxes.clear();
    for (const char* r : {"dissociation", "no products"})
        setActive("Kinetics.json", r, false);
    setActive("Species.json", "H2", true);
    setActive("Species.json", "H2O", false);
    EXPECT_FALSE(showReported(&tab, updateCompatibleReactionsFor(true)));
    EXPECT_EQ(boxes.texts(), QStringList{"Reaction 'water' has a non-selected specie as product"});
    setActive("Kinetics.json", "water", false);
    EXPECT_TRUE(showReported(&tab, updateCompatibleReactionsFor(true)));

    // The check leaves the list alone, even when the files changed since.
    write("Kinetics.json", nlohmann::json::object());
    const Names before = compatibleReactions;
    EXPECT_TRUE(showReported(&tab, updateCompatibleReactionsFor(true)));
    EXPECT_EQ(compatibleReactions, before);
}

TEST_F(Compatibility, SelectionCheckRefusesAParticipantWithoutEntry)
{
    showViewMessages(&tab, updateCompatibleSpeciesFor({"Fuel", "Oxidiser"}));
    ASSERT_TRUE(showReported(&tab, updateCompatibleReactionsFor(false)));
    // The species file replaced since the lists were built: the water has no entry.
    nlohmann::json species = read("Species.json");
    species.erase("H2O");
    write("Species.json", species);
    EXPECT_FALSE(showReported(&tab, updateCompatibleReactionsFor(true)));
    EXPECT_EQ(boxes.texts(), QStringList{"Reaction 'water' has a non-selected specie as product"});
}

} // namespace
