// Species and reactant entries: the exact file text, round trips, tolerant reading and
// the invariants an entry must keep before it is written.
#include <cmath>

#include <gtest/gtest.h>

#include "core/json_file.h"
#include "databases/species_entry.h"

namespace {

SpeciesEntry argon()
{
    SpeciesEntry e;
    e.composition = {{1.0, "Ar"}};
    e.phase = 0;
    e.enthalpy = 0.0;
    e.enthalpyUnit = 0;
    e.molecWeight = 39.948;
    e.molecWeightUnit = 0;
    e.intervals = {{200.0, 6000.0, -745.375, 4.38, {2.5}, {0.0}}};
    e.viscosity = {{200.0, 5000.0, {0.6, -60.0, 200.0, 2.0}}};
    e.conductivity = {{200.0, 5000.0, {0.6, -60.0, 200.0, 2.6}}};
    e.isActive = true;
    return e;
}

ReactantEntry ammoniumPerchlorate()
{
    ReactantEntry e;
    e.composition = {{1.0, "N"}, {4.0, "H"}, {1.0, "Cl"}, {4.0, "O"}};
    e.phase = 2;
    e.enthalpy = -295.0;
    e.enthalpyUnit = 2;
    e.enthalpyTemperature = 298.15;
    e.molecWeight = 117.5;
    return e;
}

// The file a writer produces for one species typed in the editor (indent 4, keys in
// byte order, floats with a point, integers without, one trailing newline).
const char* const argonFile = R"({
    "Ar": {
        "Composition": [
            [
                1.0,
                "Ar"
            ]
        ],
        "Conductivity": [
            {
                "Coef": [
                    0.6,
                    -60.0,
                    200.0,
                    2.6
                ],
                "T_int": [
                    200.0,
                    5000.0
                ]
            }
        ],
        "Enthalpy": [
            0.0,
            0
        ],
        "Intervals": [
            {
                "T_int": [
                    200.0,
                    6000.0
                ],
                "a": [
                    2.5
                ],
                "b": [
                    -745.375,
                    4.38
                ],
                "exp": [
                    0.0
                ]
            }
        ],
        "MolecWeight": [
            39.948,
            0
        ],
        "Phase": 0,
        "Viscosity": [
            {
                "Coef": [
                    0.6,
                    -60.0,
                    200.0,
                    2.0
                ],
                "T_int": [
                    200.0,
                    5000.0
                ]
            }
        ],
        "isActive": true
    }
}
)";

TEST(SpeciesEntryFile, SpeciesWritesTheExactFileText)
{
    nlohmann::json doc = nlohmann::json::object();
    doc["Ar"] = toJson(argon());
    EXPECT_EQ(serializeJson(doc), argonFile);
}

TEST(SpeciesEntryFile, EntriesReadBackUnchanged)
{
    const SpeciesEntry species = argon();
    auto back = speciesEntryFromJson(nlohmann::json::parse(argonFile)["Ar"], SubstanceKind::Species);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, species);

    const ReactantEntry reactant = ammoniumPerchlorate();
    const nlohmann::json stored = nlohmann::json::parse(serializeJson(toJson(reactant)));
    EXPECT_EQ(stored.dump(),
              R"({"Composition":[[1.0,"N"],[4.0,"H"],[1.0,"Cl"],[4.0,"O"]],"Enthalpy":[-295.0,2,298.15],)"
              R"("MolecWeight":[117.5,0],"Phase":2,"isActive":true})");
    auto reactantBack = reactantEntryFromJson(stored);
    ASSERT_TRUE(reactantBack);
    EXPECT_EQ(*reactantBack, reactant);
    EXPECT_EQ(validateEntry(*reactantBack, SubstanceKind::Reactant), "");
}

TEST(SpeciesEntryFile, OptionalKeysAreLeftOutWhenEmpty)
{
    SpeciesEntry e = argon();
    e.viscosity.clear();
    e.conductivity.clear();
    const nlohmann::json j = toJson(e);
    EXPECT_FALSE(j.contains("Viscosity"));
    EXPECT_FALSE(j.contains("Conductivity"));
    EXPECT_EQ(j["Enthalpy"].size(), 2u);
}

TEST(SpeciesEntryFile, MalformedEntriesAreRefusedWithoutCrashing)
{
    const nlohmann::json good = toJson(argon());
    struct Case {
        const char* name;
        nlohmann::json value;
    };
    auto without = [&](const char* key) {
        nlohmann::json j = good;
        j.erase(key);
        return j;
    };
    auto with = [&](const char* key, nlohmann::json v) {
        nlohmann::json j = good;
        j[key] = std::move(v);
        return j;
    };
    const std::vector<Case> cases = {
            {"null", nullptr},
            {"empty object", nlohmann::json::object()},
            {"array", nlohmann::json::array()},
            {"no Composition", without("Composition")},
            {"no Intervals for a species", without("Intervals")},
            {"Composition pair reversed",
             with("Composition", nlohmann::json::array({nlohmann::json::array({"Ar", 1.0})}))},
            {"Composition pair too short", with("Composition", {{1.0}})},
            {"Phase as text", with("Phase", "gas")},
            {"Phase not whole", with("Phase", 0.5)},
            {"Enthalpy one element", with("Enthalpy", {0.0})},
            {"MolecWeight unit as text", with("MolecWeight", {39.9, "g/mol"})},
            {"interval without b", with("Intervals", {{{"T_int", {200.0, 300.0}}, {"a", {1.0}}, {"exp", {0.0}}}})},
            {"interval T_int one element",
             with("Intervals", {{{"T_int", {200.0}}, {"a", {1.0}}, {"b", {0.0, 0.0}}, {"exp", {0.0}}}})},
            {"Coef three numbers", with("Viscosity", {{{"Coef", {1.0, 2.0, 3.0}}, {"T_int", {200.0, 300.0}}}})},
            {"isActive as number", with("isActive", 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        EXPECT_FALSE(speciesEntryFromJson(c.value, SubstanceKind::Species, &error));
        EXPECT_FALSE(error.empty());
    }
}

TEST(SpeciesEntryInvariants, BrokenEntriesGiveAMessage)
{
    struct Case {
        const char* name;
        SpeciesEntry entry;
        SubstanceKind kind;
        bool valid;
        EntryUse use = EntryUse::Writing;
    };
    auto species = [](auto change) {
        SpeciesEntry e = argon();
        change(e);
        return e;
    };
    const SpeciesEntry reactant = ammoniumPerchlorate();
    auto reactantWith = [&](auto change) {
        SpeciesEntry e = reactant;
        change(e);
        return e;
    };
    using K = SubstanceKind;
    const std::vector<Case> cases = {
            {"argon", argon(), K::Species, true},
            {"one-temperature reactant", reactant, K::Reactant, true},
            {"ion: E -1", species([](SpeciesEntry& e) {
                 e.composition = {{1, "Ar"}, {-1, "E"}};
             }),
             K::Species, true},
            {"E 0", species([](SpeciesEntry& e) {
                 e.composition = {{1, "Ar"}, {0, "E"}};
             }),
             K::Species, true},
            {"H 0", species([](SpeciesEntry& e) {
                 e.composition = {{0, "H"}};
             }),
             K::Species, false},
            {"no composition", species([](SpeciesEntry& e) { e.composition.clear(); }), K::Species, false},
            {"unknown symbol", species([](SpeciesEntry& e) {
                 e.composition = {{1, "CL"}};
             }),
             K::Species, false},
            {"molar mass 0", species([](SpeciesEntry& e) { e.molecWeight = 0; }), K::Species, false},
            {"molar mass -1e308", species([](SpeciesEntry& e) { e.molecWeight = -1e308; }), K::Species, false},
            // 1e308 kg/mol is 1e311 kg/kmol, beyond a double.
            {"molar mass 1e308 kg/mol", species([](SpeciesEntry& e) {
                 e.molecWeight = 1e308;
                 e.molecWeightUnit = 1;
             }),
             K::Species, false},
            {"molar mass 1e308 g/mol", species([](SpeciesEntry& e) {
                 e.composition = {{1e308 / 39.948, "Ar"}};
                 e.molecWeight = 1e308;
             }),
             K::Species, true},
            // -1e308 kJ/mol is -1e314 J/kmol, beyond a double; 1e308 J/kmol is a double,
            // but 2.5e306 J per kg of argon.
            {"enthalpy -1e308 kJ/mol", species([](SpeciesEntry& e) {
                 e.enthalpy = -1e308;
                 e.enthalpyUnit = 2;
             }),
             K::Species, false},
            {"enthalpy 1e308 J/kmol", species([](SpeciesEntry& e) { e.enthalpy = 1e308; }), K::Species, false},
            // The proton's heat of formation, 1536.2 kJ/mol for 1.0074 g/mol: 1.5e9 J/kg.
            {"H+", species([](SpeciesEntry& e) {
                 e.composition = {{1, "H"}, {-1, "E"}};
                 e.enthalpy = 1536.246;
                 e.enthalpyUnit = 2;
                 e.molecWeight = 1.0073914;
             }),
             K::Species, true},
            // 1e12 J/kg is the limit: 39.948e12 J/kmol is at it, twice that beyond it.
            {"enthalpy at the limit per kg", species([](SpeciesEntry& e) { e.enthalpy = 39.948e12; }), K::Species,
             true},
            {"enthalpy beyond the limit per kg", species([](SpeciesEntry& e) { e.enthalpy = -79.9e12; }), K::Species,
             false},
            {"infinite count", species([](SpeciesEntry& e) {
                 e.composition = {{HUGE_VAL, "Ar"}};
             }),
             K::Species, false},
            // A molar mass within 1 % of the weight of its formula (IUPAC standard atomic
            // weights: H 1.008, O 15.999, Ar 39.948 g/mol).
            {"H2O at NASA's 18.01528 g/mol", species([](SpeciesEntry& e) {
                 e.composition = {{2, "H"}, {1, "O"}};
                 e.molecWeight = 18.01528;
             }),
             K::Species, true},
            {"H2 typed as 2 g/mol (0.8 % under 2.016)", species([](SpeciesEntry& e) {
                 e.composition = {{2, "H"}};
                 e.molecWeight = 2.0;
             }),
             K::Species, true},
            {"H2 at 20.1588 g/mol", species([](SpeciesEntry& e) {
                 e.composition = {{2, "H"}};
                 e.molecWeight = 20.1588;
             }),
             K::Species, false},
            {"O2 at 2 g/mol", species([](SpeciesEntry& e) {
                 e.composition = {{2, "O"}};
                 e.molecWeight = 2.0;
             }),
             K::Species, false},
            {"O2 at 0.032 kg/mol", species([](SpeciesEntry& e) {
                 e.composition = {{2, "O"}};
                 e.molecWeight = 0.032;
                 e.molecWeightUnit = 1;
             }),
             K::Species, true},
            // 39.948 x 1.02 and 39.948 x 0.98: 2 % off either way.
            {"argon 2 % heavy", species([](SpeciesEntry& e) { e.molecWeight = 40.74696; }), K::Species, false},
            {"argon 2 % light", species([](SpeciesEntry& e) { e.molecWeight = 39.14904; }), K::Species, false},
            // Ar+ is an argon atom less an electron (5.486e-4 g/mol): 39.9475 g/mol.
            {"Ar+", species([](SpeciesEntry& e) {
                 e.composition = {{1, "Ar"}, {-1, "E"}};
                 e.molecWeight = 39.9474514;
             }),
             K::Species, true},
            {"39 hydrogen atoms in 39.948 g/mol", species([](SpeciesEntry& e) {
                 e.composition = {{39, "H"}};
             }),
             K::Species, false},
            {"a lone electron count of -1", species([](SpeciesEntry& e) {
                 e.composition = {{-1, "E"}};
             }),
             K::Species, false},
            {"electron", species([](SpeciesEntry& e) {
                 e.composition = {{1, "E"}};
                 e.molecWeight = 5.48579903e-4;
             }),
             K::Species, true},
            {"1e308 electrons", species([](SpeciesEntry& e) {
                 e.composition = {{1, "Ar"}, {1e308, "E"}};
             }),
             K::Species, false},
            {"infinite electron count", species([](SpeciesEntry& e) {
                 e.composition = {{1, "Ar"}, {-HUGE_VAL, "E"}};
             }),
             K::Species, false},
            {"phase 3", species([](SpeciesEntry& e) { e.phase = 3; }), K::Species, false},
            {"enthalpy unit 4", species([](SpeciesEntry& e) { e.enthalpyUnit = 4; }), K::Species, false},
            {"species without intervals", species([](SpeciesEntry& e) { e.intervals.clear(); }), K::Species, false},
            {"touching intervals", species([](SpeciesEntry& e) {
                 e.intervals = {{200, 1000, 0, 0, {1}, {0}}, {1000, 6000, 0, 0, {1}, {0}}};
             }),
             K::Species, true},
            {"overlapping intervals", species([](SpeciesEntry& e) {
                 e.intervals = {{200, 1000.0007, 0, 0, {1}, {0}}, {1000, 6000, 0, 0, {1}, {0}}};
             }),
             K::Species, false},
            {"Tmin == Tmax", species([](SpeciesEntry& e) {
                 e.intervals = {{300, 300, 0, 0, {1}, {0}}};
             }),
             K::Species, false},
            {"unequal term counts", species([](SpeciesEntry& e) {
                 e.intervals = {{200, 1000, 0, 0, {1, 2}, {0, 1}}, {1000, 6000, 0, 0, {1}, {0}}};
             }),
             K::Species, false},
            {"a and exp of different length", species([](SpeciesEntry& e) {
                 e.intervals = {{200, 1000, 0, 0, {1, 2}, {0}}};
             }),
             K::Species, false},
            {"no terms", species([](SpeciesEntry& e) {
                 e.intervals = {{200, 1000, 0, 0, {}, {}}};
             }),
             K::Species, false},
            {"viscosity Tmax below Tmin", species([](SpeciesEntry& e) {
                 e.viscosity = {{3000, 300, {1, 1, 1, 1}}};
             }),
             K::Species, true},
            {"negative conductivity T", species([](SpeciesEntry& e) {
                 e.conductivity = {{-1, 300, {1, 1, 1, 1}}};
             }),
             K::Species, false},
            {"species with a formation temperature", species([](SpeciesEntry& e) { e.enthalpyTemperature = 298.15; }),
             K::Species, false},
            {"reactant without intervals or temperature",
             reactantWith([](SpeciesEntry& e) { e.enthalpyTemperature.reset(); }), K::Reactant, false},
            {"reactant temperature 0", reactantWith([](SpeciesEntry& e) { e.enthalpyTemperature = 0; }), K::Reactant,
             false},
            {"reactant temperature -1 K", reactantWith([](SpeciesEntry& e) { e.enthalpyTemperature = -1; }),
             K::Reactant, false},
            {"256 composition pairs", species([](SpeciesEntry& e) {
                 e.composition.assign(256, {1, "H"});
                 e.molecWeight = 256 * 1.008;
             }),
             K::Species, false},
            {"255 composition pairs", species([](SpeciesEntry& e) {
                 e.composition.assign(255, {1, "H"});
                 e.molecWeight = 255 * 1.008;
             }),
             K::Species, true},
            // A loader takes a stored entry as the program reads it: a third "Enthalpy"
            // element beside Cp intervals, and a unit index outside the list, whose value
            // the unit conversion keeps (raising U). The other rules hold.
            {"loaded species with a formation temperature",
             species([](SpeciesEntry& e) { e.enthalpyTemperature = 298.15; }), K::Species, true, EntryUse::Loading},
            {"loaded reactant with Cp intervals and a formation temperature",
             species([](SpeciesEntry& e) { e.enthalpyTemperature = 250.0; }), K::Reactant, true, EntryUse::Loading},
            {"loaded enthalpy unit 7", species([](SpeciesEntry& e) { e.enthalpyUnit = 7; }), K::Species, true,
             EntryUse::Loading},
            {"loaded molar mass unit -1", species([](SpeciesEntry& e) { e.molecWeightUnit = -1; }), K::Species, true,
             EntryUse::Loading},
            {"loaded molar mass 0 of unit 5", species([](SpeciesEntry& e) {
                 e.molecWeight = 0;
                 e.molecWeightUnit = 5;
             }),
             K::Species, false, EntryUse::Loading},
            {"loaded H2 at 20.1588 g/mol", species([](SpeciesEntry& e) {
                 e.composition = {{2, "H"}};
                 e.molecWeight = 20.1588;
             }),
             K::Species, false, EntryUse::Loading},
            {"loaded reactant without intervals or temperature",
             reactantWith([](SpeciesEntry& e) { e.enthalpyTemperature.reset(); }), K::Reactant, false,
             EntryUse::Loading},
            {"loaded species without intervals", species([](SpeciesEntry& e) { e.intervals.clear(); }), K::Species,
             false, EntryUse::Loading},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(validateEntry(c.entry, c.kind, c.use).empty(), c.valid) << validateEntry(c.entry, c.kind, c.use);
    }
}

} // namespace
