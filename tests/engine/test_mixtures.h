#pragma once
// Mixtures built the way a run builds them: a propellant entry (products, reactants with
// relative masses, elements) turned into a Mixture by the propellant loader from the
// databases imported from the public data files (tests/support/imported_databases.h).
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "engine/mixture.h"
#include "support/imported_databases.h"

inline std::shared_ptr<Mixture> buildMixture(const std::vector<std::string>& productNames,
                                             const std::vector<ReactantShare>& reactantShares,
                                             const std::vector<std::string>& elements,
                                             TransportData transport = TransportData::Without)
{
    return propellantMixture(productNames, reactantShares, elements, {}, transport);
}

// The hydrogen/oxygen rocket case of the published reference (O/F 5.55157).
inline std::shared_ptr<Mixture> hydrogenOxygenRocket(TransportData transport = TransportData::Without)
{
    return buildMixture({"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2", "O3", "H2O(L)", "H2O(cr)"},
                        {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, {"H", "O", "E"}, transport);
}

// The same rocket with one reactant's heat of formation stored as `joulesPerMole` (unit
// J/mol, at its stored temperature): the mixture the loader builds from that entry.
inline std::shared_ptr<Mixture> hydrogenOxygenRocketWith(const std::string& reactant, double joulesPerMole)
{
    const ImportedDatabases& db = importedDatabases();
    nlohmann::json reactants = db.reactants;
    nlohmann::json& enthalpy = reactants.at(reactant).at("Enthalpy");
    enthalpy = {joulesPerMole, 1, enthalpy.at(2)};
    ViewMessages boxes;
    auto m = assemblePropellantMixture(
            propellantEntry({"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2", "O3", "H2O(L)", "H2O(cr)"},
                            {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, {"H", "O", "E"}),
            {reactants, db.species, db.kinetics}, &boxes);
    showViewMessages(nullptr, boxes);
    return m;
}

// The amateur potassium nitrate / sucrose propellant (65/35 by mass), without reactions:
// potassium carbonate condenses in the chamber. Sucrose is typed in as a user does:
// C12H22O11, -2226.1 kJ/mol at 298.15 K.
inline std::shared_ptr<Mixture> potassiumNitrateSucrose()
{
    auto products = databaseRecords(
            {"K",      "KOH",    "K2",     "KH",     "KO",    "K2O2H2", "K2CO3",    "KCN",      "CO",
             "CO2",    "CH4",    "N2",     "NO",     "NH3",   "HCN",    "N",        "CN",       "H",
             "H2",     "H2O",    "O",      "O2",     "OH",    "HO2",    "K2CO3(a)", "K2CO3(b)", "K2CO3(L)",
             "KOH(a)", "KOH(b)", "KOH(c)", "KOH(L)", "K(cr)", "K(L)",   "KCN(L)",   "KCN(II)",  "C(gr)"});
    auto nitrate = databaseRecord("KNO3(a)");
    auto sucrose = std::make_shared<Species>(
            3, 0, 0, 0, 0, "Sucrose", std::vector<ElementCount>{{12, "C"}, {22, "H"}, {11, "O"}}, -2226.1e6, 342.2965,
            1, std::vector<std::vector<double>>{}, std::vector<std::vector<double>>{},
            std::vector<std::pair<double, double>>{}, std::vector<std::pair<double, double>>{},
            std::vector<std::pair<double, double>>{}, std::vector<std::array<double, 4>>{},
            std::vector<std::pair<double, double>>{}, std::vector<std::array<double, 4>>{}, 298.15);
    nitrate->moles = 0.65 / nitrate->molarMass;
    sucrose->moles = 0.35 / sucrose->molarMass;
    auto m = std::make_shared<Mixture>(static_cast<uint16_t>(products.size()), 2, 6, 0, products,
                                       std::vector<std::shared_ptr<Species>>{nitrate, sucrose},
                                       std::vector<std::string>{"K", "N", "O", "C", "H", "E"}, nullptr);
    m->setReactantEnthalpy(298.15);
    return m;
}

inline const Species* findSpecies(const Mixture& m, const std::string& name)
{
    for (const auto& s : m.species)
        if (s->name == name)
            return s.get();
    return nullptr;
}
