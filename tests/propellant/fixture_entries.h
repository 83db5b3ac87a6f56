#pragma once
// Small hand-made database entries for the provider tests: gases with a constant Cp/R,
// reactants defined at one temperature, and reactions between them.
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace fixture {

using nlohmann::json;

// A species entry with one Cp interval, Cp/R = 3.5 from 200 K to 6000 K.
inline json gas(const std::vector<std::pair<double, std::string>>& composition, double molarMass, double enthalpy = 0.0)
{
    json comp = json::array();
    for (const auto& [count, symbol] : composition)
        comp.push_back({count, symbol});
    return {{"Composition", comp},
            {"Enthalpy", {enthalpy, 0}},
            {"MolecWeight", {molarMass, 0}},
            {"Phase", 0},
            {"Intervals", json::array({{{"T_int", {200.0, 6000.0}}, {"a", {3.5}}, {"b", {0.0, 0.0}}, {"exp", {0.0}}}})},
            {"isActive", true}};
}

// A reactant defined at one temperature: "Enthalpy" [h J/kmol, 0, T].
inline json reactant(const std::vector<std::pair<double, std::string>>& composition, double molarMass, double enthalpy,
                     double temperature)
{
    json comp = json::array();
    for (const auto& [count, symbol] : composition)
        comp.push_back({count, symbol});
    return {{"Composition", comp},
            {"Enthalpy", {enthalpy, 0, temperature}},
            {"MolecWeight", {molarMass, 0}},
            {"Phase", 1},
            {"isActive", true}};
}

inline json terms(const std::vector<std::pair<std::string, double>>& list)
{
    json out = json::array();
    for (const auto& [name, value] : list)
        out.push_back({name, value});
    return out;
}

inline json reaction(const std::vector<std::pair<std::string, double>>& reactants,
                     const std::vector<std::pair<std::string, double>>& products, double Ea = 0.0, int EaUnit = 0)
{
    return {{"Reactants", terms(reactants)},
            {"Products", terms(products)},
            {"A", {1e13, 0}},
            {"b", 0.5},
            {"Ea", {Ea, EaUnit}},
            {"Forward", false},
            {"isActive", true}};
}

// Hydrogen and oxygen gases, two liquid reactants and a few reactions.
inline json speciesDoc()
{
    return {{"H2", gas({{2, "H"}}, 2.016)},
            {"H", gas({{1, "H"}}, 1.008, 218e6)},
            {"O2", gas({{2, "O"}}, 32.0)},
            {"O", gas({{1, "O"}}, 16.0, 249e6)},
            {"H2O", gas({{2, "H"}, {1, "O"}}, 18.015, -241.8e6)},
            {"OH", gas({{1, "O"}, {1, "H"}}, 17.007, 39e6)}};
}

inline json reactantsDoc()
{
    return {{"Fuel", reactant({{2, "H"}}, 2.016, -9.0e6, 20.27)},
            {"Oxidiser", reactant({{2, "O"}}, 32.0, -13.0e6, 90.17)}};
}

inline json kineticsDoc()
{
    json k = {{"dissociation", reaction({{"H2", 1}}, {{"H", 2}})},
              {"water", reaction({{"H2", 1}, {"O", 1}}, {{"H2O", 1}}, 4184.0, 1)},
              {"no products", reaction({{"H2", 1}}, {})},
              {"no reactants", reaction({}, {{"H2", 1}})},
              {"uses argon", reaction({{"H2", 1}, {"AR", 1}}, {{"H", 2}, {"AR", 1}})},
              {"colliders absent", reaction({{"O", 2}}, {{"O2", 1}})}};
    k["dissociation"]["Third Body"] = terms({{"H2", 2.5}, {"AR", 0.8}, {"H2O", 6.0}});
    k["colliders absent"]["Third Body"] = terms({{"AR", 0.8}, {"HE", 0.7}});
    k["no products"].erase("Products");
    return k;
}

} // namespace fixture
