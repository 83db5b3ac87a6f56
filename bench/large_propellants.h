#pragma once
// The large propellants of the speed benchmarks and of the figure listing, built as a run
// builds them: the whole public NASA Glenn thermodynamic file (tests/data/import) imported
// by the program's importer, the products every species of the file made only of the
// propellant's elements (condensed phases and ions included), the mixture assembled by
// the propellant loader.
//   kerosene:  "RP-1" with liquid oxygen, O/F 2.4, 100 bar
//   composite: 68 % ammonium perchlorate, 18 % aluminium, 14 % binder
//              (C 7.075 H 10.65 O 0.223 N 0.063, -58 kJ/mol), 50 bar
// A whole case is the chamber, the throat and three supersonic stations (area ratios 5,
// 20 and 50) in equilibrium with an infinite-area combustor.
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "databases/compatible_lists.h"
#include "engine/mixture.h"
#include "engine/rocket_variables.h"
#include "propellant/mixture_loader.h"
#include "support/imported_databases.h"

namespace large_propellants {

struct ThermoFile {
    nlohmann::json species;
    nlohmann::json reactants;
    nlohmann::json kinetics = nlohmann::json::object();
};

inline const ThermoFile& thermoFile()
{
    static const ThermoFile file = [] {
        ThermoFile f;
        f.species = wholeThermoFile().species;
        f.reactants = wholeThermoFile().reactants;
        f.reactants["HTPB binder"] = binder::reactantEntry();
        return f;
    }();
    return file;
}

struct Propellant {
    std::vector<std::pair<std::string, double>> composition; // reactant, relative mass
    std::vector<std::string> elements; // without "E"
    double chamberPressure = 0.0; // Pa
};

inline Propellant kerosene()
{
    return {{{"RP-1", 1.0}, {"O2(L)", 2.4}}, {"C", "H", "O"}, 100e5};
}

inline Propellant composite()
{
    return {{{"NH4CLO4(I)", 68.0}, {"AL(cr)", 18.0}, {"HTPB binder", 14.0}}, {"N", "H", "Cl", "O", "Al", "C"}, 50e5};
}

// Every product of the file the propellant's elements can form.
inline std::vector<std::string> compatibleProducts(const Propellant& p)
{
    std::vector<std::string> elements = p.elements;
    elements.push_back("E");
    return collectCompatibleSpecies(elements, thermoFile().species);
}

inline std::shared_ptr<Mixture> mixture(const Propellant& p)
{
    nlohmann::json composition = nlohmann::json::array();
    for (const auto& [name, mass] : p.composition)
        composition.push_back({name, mass});
    std::vector<std::string> elements = p.elements;
    elements.push_back("E");
    const nlohmann::json entry = {{"Composition", composition},
                                  {"ELEMENTS", elements},
                                  {"Species", compatibleProducts(p)},
                                  {"Reactions", nlohmann::json::array()}};
    const ThermoFile& f = thermoFile();
    ViewMessages boxes;
    auto m = assemblePropellantMixture(entry, {f.reactants, f.species, f.kinetics}, &boxes);
    showViewMessages(nullptr, boxes);
    if (!m || m->nSpecies == 0)
        throw std::runtime_error("the propellant mixture could not be built");
    return m;
}

// Throat and three supersonic stations (area ratios 5, 20, 50), throat area 0.01 m^2.
inline std::shared_ptr<RocketVariables> wholeCase(double chamberPressure)
{
    auto rv = std::make_shared<RocketVariables>();
    rv->chamberPressure = chamberPressure;
    const double At = 0.01;
    rv->x = {0.0, 0.2, 0.5, 0.9};
    rv->area = {At, 5.0 * At, 20.0 * At, 50.0 * At};
    rv->stationCount = 4;
    rv->throatIndex = 0;
    rv->frozenIndex = rv->stationCount;
    rv->resizeStations();
    return rv;
}

} // namespace large_propellants
