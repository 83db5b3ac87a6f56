// The entry reading: a stored species or reactant entry as the engine's record (units,
// counts, reference temperature), reactant amounts, and entries that cannot be records.
#include <cmath>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "propellant/entry_reading.h"
#include "propellant/fixture_entries.h"

namespace {

using nlohmann::json;

// A water entry with two Cp intervals of seven terms, one viscosity and two conductivity
// intervals; `edit` changes it before it is read.
json waterEntry()
{
    json seven = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0, 7.0};
    json exps = {-2.0, -1.0, 0.0, 1.0, 2.0, 3.0, 4.0};
    return {{"Composition", {{2.0, "H"}, {1.0, "O"}}},
            {"Enthalpy", {-241.826, 2}},
            {"MolecWeight", {18.01528, 0}},
            {"Phase", 0},
            {"Intervals",
             {{{"T_int", {200.0, 1000.0}}, {"a", seven}, {"b", {-3.0e4, 5.0}}, {"exp", exps}},
              {{"T_int", {1000.0, 6000.0}}, {"a", seven}, {"b", {-3.1e4, 6.0}}, {"exp", exps}}}},
            {"Viscosity", {{{"Coef", {0.5, -50.0, 1000.0, 1.5}}, {"T_int", {373.2, 1073.2}}}}},
            {"Conductivity",
             {{{"Coef", {1.0, 2.0, 3.0, 4.0}}, {"T_int", {373.2, 1073.2}}},
              {{"Coef", {5.0, 6.0, 7.0, 8.0}}, {"T_int", {1073.2, 5000.0}}}}},
            {"isActive", true}};
}

TEST(EntryReading, SpeciesRecordFromItsEntry)
{
    auto s = speciesRecord("H2O", waterEntry(), SubstanceKind::Species);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->name, "H2O");
    EXPECT_EQ(s->nComposition, 2);
    ASSERT_EQ(s->composition.size(), 2u);
    EXPECT_EQ(s->composition[0].symbol, "H");
    EXPECT_EQ(s->composition[0].count, 2.0);
    EXPECT_EQ(s->composition[1].symbol, "O");
    EXPECT_EQ(s->nIntervals, 2);
    EXPECT_EQ(s->nTerms, 7);
    EXPECT_EQ(s->nViscosityIntervals, 1);
    EXPECT_EQ(s->nConductivityIntervals, 2);
    EXPECT_TRUE(s->hasTransport);
    // -241.826 kJ/mol is -241.826e6 J/kmol; 18.01528 g/mol is 18.01528 kg/kmol.
    EXPECT_NEAR(s->formationEnthalpy, -241.826e6, 1e-3);
    EXPECT_DOUBLE_EQ(s->molarMass, 18.01528);
    EXPECT_EQ(s->phase, 0);
    EXPECT_EQ(s->temperatureRanges[1], std::make_pair(1000.0, 6000.0));
    EXPECT_EQ(s->integrationConstants[0], std::make_pair(-3.0e4, 5.0));
    EXPECT_EQ(s->exponents[0][1], -1.0);
    EXPECT_EQ(s->conductivityFits[1][3], 8.0);
    EXPECT_EQ(s->viscosityRanges[0], std::make_pair(373.2, 1073.2));
    EXPECT_EQ(s->referenceTemperature, -1.0);
    EXPECT_EQ(s->moles, 0.0);
}

// Heat of formation and molar mass in every unit the editor offers, and the reference
// temperature rule: only a reactant takes the third "Enthalpy" element.
TEST(EntryReading, UnitsAndReferenceTemperature)
{
    struct Case {
        const char* what;
        json enthalpy, molecWeight;
        SubstanceKind kind;
        bool withIntervals;
        double hf, M, reference; // J/kmol, kg/kmol, K
        double hfTolerance;
    } cases[] = {
            {"J/kmol", {-9.012e6, 0}, {2.01588, 0}, SubstanceKind::Species, true, -9.012e6, 2.01588, -1.0, 0.0},
            {"J/mol", {-9012.0, 1}, {2.01588, 0}, SubstanceKind::Species, true, -9.012e6, 2.01588, -1.0, 1e-6},
            {"kJ/mol", {-9.012, 2}, {0.00201588, 1}, SubstanceKind::Species, true, -9.012e6, 2.01588, -1.0, 1e-3},
            // 1 thermochemical cal = 4.184 J; the table's factor may differ in the 7th digit.
            {"cal/mol",
             {-2153.92, 3},
             {2.01588, 0},
             SubstanceKind::Species,
             true,
             -2153.92 * 4184.0,
             2.01588,
             -1.0,
             2153.92 * 4184.0 * 2e-6},
            {"reactant with a temperature",
             {-9012.0, 1, 20.27},
             {2.01588, 0},
             SubstanceKind::Reactant,
             false,
             -9.012e6,
             2.01588,
             20.27,
             1e-6},
            {"reactant without",
             {-9012.0, 1},
             {2.01588, 0},
             SubstanceKind::Reactant,
             true,
             -9.012e6,
             2.01588,
             -1.0,
             1e-6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        json e = waterEntry();
        e["Composition"] = {{2.0, "H"}}; // hydrogen, to fit its molar mass
        e["Enthalpy"] = c.enthalpy;
        e["MolecWeight"] = c.molecWeight;
        if (!c.withIntervals)
            e.erase("Intervals");
        auto s = speciesRecord("X", e, c.kind);
        ASSERT_TRUE(s);
        EXPECT_NEAR(s->formationEnthalpy, c.hf, c.hfTolerance);
        EXPECT_NEAR(s->molarMass, c.M, 1e-12);
        EXPECT_EQ(s->referenceTemperature, c.reference);
        EXPECT_EQ(s->nIntervals, c.withIntervals ? 2 : 0);
        EXPECT_EQ(s->nTerms, c.withIntervals ? 7 : 0);
    }
}

TEST(EntryReading, MissingTransportKeysGiveNoIntervals)
{
    json e = waterEntry();
    e.erase("Viscosity");
    e.erase("Conductivity");
    auto s = speciesRecord("H2O", e, SubstanceKind::Species);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->nViscosityIntervals, 0);
    EXPECT_EQ(s->nConductivityIntervals, 0);
    EXPECT_FALSE(s->hasTransport);
}

TEST(EntryReading, EntriesThatCannotBeRecords)
{
    auto edited = [](auto change) {
        json e = waterEntry();
        change(e);
        return e;
    };
    json manyAtoms = json::array();
    for (int k = 0; k < 256; ++k)
        manyAtoms.push_back({1.0, "H"});
    const struct {
        const char* what;
        json entry;
    } cases[] = {
            {"null (emptied by the start-up check)", json()},
            {"not an object", json::array({1, 2})},
            {"no composition", edited([](json& e) { e.erase("Composition"); })},
            {"molar mass as text", edited([](json& e) {
                 e["MolecWeight"] = {"18", 0};
             })},
            {"enthalpy without unit", edited([](json& e) { e["Enthalpy"] = {-241.8}; })},
            {"second interval shorter", edited([](json& e) {
                 e["Intervals"][1]["a"] = {1.0, 2.0};
             })},
            {"exponents shorter than coefficients", edited([](json& e) { e["Intervals"][0]["exp"] = {0.0}; })},
            {"viscosity coefficients missing", edited([](json& e) { e["Viscosity"][0].erase("Coef"); })},
            {"256 composition pairs (the count is a byte)", edited([&](json& e) { e["Composition"] = manyAtoms; })},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(speciesRecord("X", c.entry, SubstanceKind::Species));
        EXPECT_FALSE(speciesRecord("X", c.entry, SubstanceKind::Reactant));
    }
}

// Entries the species and reactant editor refuses to save give no record either, and say
// which rule they break; entries that cannot be read at all give none and no rule.
TEST(EntryReading, EntriesTheEditorRefusesGiveNoRecordAndTheirRule)
{
    auto edited = [](auto change) {
        json e = waterEntry();
        change(e);
        return e;
    };
    const struct {
        const char* what;
        json entry;
        SubstanceKind kind;
        const char* rule; // the start of the rule's message; empty: unreadable
    } cases[] = {
            // Defined at one temperature, as a reactant may be: a species needs Cp data.
            {"species without intervals", edited([](json& e) {
                 e.erase("Intervals");
                 e["Enthalpy"] = {-9012.0, 1, 20.27};
             }),
             SubstanceKind::Species, "A species needs at least one Cp interval"},
            {"species with an empty interval list", edited([](json& e) { e["Intervals"] = json::array(); }),
             SubstanceKind::Species, "A species needs at least one Cp interval"},
            {"second interval below the first", edited([](json& e) {
                 e["Intervals"][1]["T_int"] = {100.0, 200.0};
             }),
             SubstanceKind::Species, "Invalid Cp Tmin: 100"},
            {"molar mass -18", edited([](json& e) {
                 e["MolecWeight"] = {-18.0, 0};
             }),
             SubstanceKind::Reactant, "Invalid molecular weight: -18"},
            {"second interval shorter (one term count for all)", edited([](json& e) {
                 e["Intervals"][1]["a"] = {1.0, 2.0};
             }),
             SubstanceKind::Species, "Every Cp interval must have the same number of terms"},
            {"molar mass as text", edited([](json& e) {
                 e["MolecWeight"] = {"18", 0};
             }),
             SubstanceKind::Species, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::string rule = "left over";
        EXPECT_FALSE(speciesRecord("X", c.entry, c.kind, &rule));
        EXPECT_EQ(rule.rfind(c.rule, 0), 0u) << rule;
        if (!*c.rule) {
            EXPECT_TRUE(rule.empty()) << rule;
        }
    }
    // Defined at one temperature, the entry is a valid reactant.
    json oneTemperature = waterEntry();
    oneTemperature.erase("Intervals");
    oneTemperature["Enthalpy"] = {-9012.0, 1, 20.27};
    std::string rule = "left over";
    auto s = speciesRecord("X", oneTemperature, SubstanceKind::Reactant, &rule);
    ASSERT_TRUE(s);
    EXPECT_TRUE(rule.empty());
    EXPECT_EQ(s->referenceTemperature, 20.27);
    // With its Cp intervals too, as stored entries have always been read: a reactant
    // takes the third element as its reference temperature, a species ignores it.
    json withIntervals = waterEntry();
    withIntervals["Enthalpy"] = {-241826.0, 1, 298.15};
    s = speciesRecord("X", withIntervals, SubstanceKind::Reactant, &rule);
    ASSERT_TRUE(s) << rule;
    EXPECT_EQ(s->referenceTemperature, 298.15);
    EXPECT_EQ(s->nIntervals, 2);
    s = speciesRecord("X", withIntervals, SubstanceKind::Species, &rule);
    ASSERT_TRUE(s) << rule;
    EXPECT_EQ(s->referenceTemperature, -1.0);

    // The records of a list stop at the first such entry and name it with its rule.
    json reactants = fixture::reactantsDoc();
    reactants["Oxidiser"]["Enthalpy"] = {-13.0e6, 0, -1.0};
    std::vector<std::shared_ptr<Species>> records;
    std::string failed;
    EXPECT_FALSE(buildReactantRecords({{"Fuel", 1.0}, {"Oxidiser", 3.0}}, reactants, records, &failed, &rule));
    EXPECT_EQ(failed, "Oxidiser");
    EXPECT_EQ(rule.rfind("Invalid temperature for formation enthalpy: -1", 0), 0u) << rule;
}

TEST(EntryReading, ReactantAmountsInKmolPerKgOfPropellant)
{
    // Relative masses 1 and 3 of molar masses 2.016 and 32: 1/4 kg of the first per kg,
    // that is 1/(4 x 2.016) kmol; 3/4 kg of the second, 3/(4 x 32) kmol.
    const json reactants = fixture::reactantsDoc();
    std::vector<std::shared_ptr<Species>> records;
    ASSERT_TRUE(buildReactantRecords({{"Fuel", 1.0}, {"Oxidiser", 3.0}}, reactants, records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_DOUBLE_EQ(records[0]->moles, 1.0 / 8.064);
    EXPECT_DOUBLE_EQ(records[1]->moles, 3.0 / 128.0);
    EXPECT_EQ(records[0]->referenceTemperature, 20.27);
    // Scaling every relative mass changes nothing.
    ASSERT_TRUE(buildReactantRecords({{"Fuel", 70.0}, {"Oxidiser", 210.0}}, reactants, records));
    EXPECT_DOUBLE_EQ(records[1]->moles, 3.0 / 128.0);

    std::string failed;
    EXPECT_FALSE(buildReactantRecords({{"Fuel", 1.0}, {"Gone", 1.0}}, reactants, records, &failed));
    EXPECT_EQ(failed, "Gone");
    EXPECT_FALSE(buildSpeciesRecords({"H2", "Q"}, fixture::speciesDoc(), records, &failed));
    EXPECT_EQ(failed, "Q");
}

TEST(EntryReading, ElectronOnceAndLast)
{
    const struct {
        std::vector<std::string> stored, handed;
    } cases[] = {
            {{"H", "O", "E"}, {"H", "O", "E"}}, {{"H", "E", "O", "E"}, {"H", "O", "E"}}, // a reactant holding electrons
            {{"H", "O"}, {"H", "O", "E"}},      {{"Al", "O", "Al", "E"}, {"Al", "O", "E"}}, {{}, {"E"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mixtureElements(c.stored), c.handed);
}

} // namespace
