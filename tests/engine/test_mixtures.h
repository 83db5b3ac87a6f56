#pragma once
// Mixtures built the way the propellant loader builds them: reactant amounts in kmol per
// kg of propellant from their mass fractions, element list ending with the electron.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/mixture.h"
#include "thermo_records.h"

struct ReactantShare {
    std::string name;
    double massFraction;
};

inline std::shared_ptr<Mixture> buildMixture(const std::vector<std::string>& productNames,
                                             const std::vector<ReactantShare>& reactantShares,
                                             const std::vector<std::string>& elements)
{
    const ThermoRecords& db = thermoRecords();
    std::vector<std::shared_ptr<Species>> products = db.make(productNames);
    std::vector<std::shared_ptr<Species>> reactants;
    double total = 0.0;
    for (const ReactantShare& r : reactantShares)
        total += r.massFraction;
    for (const ReactantShare& r : reactantShares) {
        auto s = db.make(r.name);
        s->moles = r.massFraction / (s->molarMass * total);
        reactants.push_back(s);
    }
    return std::make_shared<Mixture>(static_cast<uint16_t>(products.size()), static_cast<uint16_t>(reactants.size()),
                                     static_cast<uint16_t>(elements.size()), 0, products, reactants, elements, nullptr);
}

// The hydrogen/oxygen rocket case of the published reference (O/F 5.55157).
inline std::shared_ptr<Mixture> hydrogenOxygenRocket()
{
    return buildMixture({"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2", "O3", "H2O(L)", "H2O(cr)"},
                        {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, {"H", "O", "E"});
}

inline const Species* findSpecies(const Mixture& m, const std::string& name)
{
    for (const auto& s : m.species)
        if (s->name == name)
            return s.get();
    return nullptr;
}
