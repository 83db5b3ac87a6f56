// End to end: the databases imported from the public NASA Glenn files by the program's
// importers, the published liquid hydrogen / liquid oxygen propellant stored as the
// propellant tab stores it, loaded for a run, and its chamber in equilibrium at the
// published pressure against the published chamber state.
#include <cmath>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/json_file.h"
#include "databases/import_mechanism.h"
#include "databases/import_thermo.h"
#include "engine/engine_messages.h"
#include "propellant/mixture_loader.h"
#include "propellant/propellant_entry.h"
#include "support/h2o2_mechanism.h"
#include "support/imported_databases.h"
#include "support/message_recorder.h"
#include "support/temp_app_dir.h"

namespace {

std::string publicData(const std::string& name)
{
    return std::string(KAVRO_TEST_DATA_DIR) + "/import/" + name;
}

TEST(ReferencePropellant, ChamberOfTheStoredHydrogenOxygenPropellant)
{
    TempAppDir dir;
    MessageRecorder boxes;
    setEngineMessageHandler([](const EngineMessage&) {});
    // The whole public thermodynamic file: its products section into the species, every
    // record into the reactants (H2(L) and O2(L) are single-temperature reactants).
    ImportCallbacks quiet;
    ASSERT_TRUE(importThermoFile(publicData("thermo.inp"), ChemicalDatabase::Species, quiet).ok);
    ASSERT_TRUE(importThermoFile(publicData("thermo.inp"), ChemicalDatabase::Reactants, quiet).ok);
    ASSERT_TRUE(importMechanismFile(hydrogenOxygenMechanismFile(), quiet).ok);

    // The published case: O/F 5.55157, mass fractions 0.15263517 and 0.84736483, the
    // nine gases and two condensed phases of water it considers.
    PropellantEntry e;
    e.composition = {{"H2(L)", 15.263517}, {"O2(L)", 84.736483}};
    e.elements = {"H", "O", "E"};
    e.species = {"H", "H2", "H2O", "H2O2", "HO2", "O", "O2", "OH", "O3", "H2O(L)", "H2O(cr)"};
    ASSERT_TRUE(writeJsonFile(dir.dataFile("Propellants.json"), {{"LOX-LH2", toJson(e)}}));

    flagsL = 0;
    flagsF = 0;
    std::vector<std::string> names;
    ViewMessages handed;
    auto m = loadPropellantMixture("LOX-LH2", &handed, &names);
    showViewMessages(nullptr, handed);
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_EQ(flagsF.load(), 0u);
    EXPECT_TRUE(boxes.messages().empty());
    EXPECT_EQ(names, e.species);
    ASSERT_EQ(m->nSpecies, 11);
    ASSERT_EQ(m->nReactants, 2);
    EXPECT_EQ(m->reactants[0]->referenceTemperature, 20.27);
    EXPECT_EQ(m->reactants[1]->referenceTemperature, 90.17);

    double T = 3800.0;
    ASSERT_TRUE(m->solveEquilibrium(T, 53.3172e5, true));
    // Published chamber: 3383.84 K, M = 12.716.
    EXPECT_NEAR(T, 3383.84, 3383.84 * 5e-4);
    EXPECT_NEAR(1.0 / m->totalMoles, 12.716, 12.716 * 5e-4);
    std::printf("chamber %.2f K (published 3383.84), M %.4f (published 12.716)\n", T, 1.0 / m->totalMoles);
    setEngineMessageHandler({});
}

// Water saved with an empty interval list, which the species editor refuses to save ("A
// species needs at least one Cp interval"): the propellant is refused at load, naming
// water and the rule, instead of giving a chamber that holds no water's heat capacity.
TEST(ReferencePropellant, WaterWithoutCpIntervalsRefusesThePropellant)
{
    TempAppDir dir;
    MessageRecorder boxes;
    setEngineMessageHandler([](const EngineMessage&) {});
    const ImportedDatabases& db = importedDatabases();
    nlohmann::json species = db.species;
    ASSERT_TRUE(species.contains("H2O"));
    species["H2O"]["Intervals"] = nlohmann::json::array();
    ASSERT_TRUE(writeJsonFile(dir.dataFile("Species.json"), species));
    ASSERT_TRUE(writeJsonFile(dir.dataFile("Reactants.json"), db.reactants));
    ASSERT_TRUE(writeJsonFile(dir.dataFile("Kinetics.json"), db.kinetics));
    const nlohmann::json entry
            = propellantEntry({"H", "H2", "H2O", "H2O2", "HO2", "O", "O2", "OH", "O3", "H2O(L)", "H2O(cr)"},
                              {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, {"H", "O", "E"});
    ASSERT_TRUE(writeJsonFile(dir.dataFile("Propellants.json"), {{"LOX/LH2", entry}}));

    flagsL = 0;
    ViewMessages handed;
    auto m = loadPropellantMixture("LOX/LH2", &handed);
    showViewMessages(nullptr, handed);
    EXPECT_EQ(flagsL.load(), code::L07);
    EXPECT_EQ(m->nSpecies, 0);
    ASSERT_EQ(boxes.texts(), QStringList{"Invalid specie 'H2O' in the species database, propellant load failed"});
    EXPECT_EQ(boxes.messages()[0].informativeText, "A species needs at least one Cp interval");
    setEngineMessageHandler({});
}

} // namespace
