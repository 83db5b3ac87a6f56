#pragma once
// Mixtures built the way a run builds them: a propellant entry (products, reactants with
// relative masses, elements) turned into a Mixture by the propellant loader from the
// databases imported from the public data files (tests/support/imported_databases.h).
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

inline const Species* findSpecies(const Mixture& m, const std::string& name)
{
    for (const auto& s : m.species)
        if (s->name == name)
            return s.get();
    return nullptr;
}
