#pragma once
// The hydrogen/oxygen reactions of the public GRI-Mech 3.0 rate data (the H2/O2 subset,
// without argon), as reaction records over a given species list. A in mol, cm3, s, K;
// Ea in cal/mol. The one fall-off reaction, 2OH (+M) = H2O2 (+M), is kept at its
// high-pressure limit, without a third body.
#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/reaction.h"

struct TabulatedReaction {
    std::vector<std::pair<double, std::string>> reactants, products;
    double A, b, Ea;
    bool thirdBody;
    std::vector<std::pair<std::string, double>> efficiencies;
};

inline const std::vector<TabulatedReaction>& hydrogenOxygenMechanism()
{
    static const std::vector<TabulatedReaction> reactions{
            {{{2, "O"}}, {{1, "O2"}}, 1.200e17, -1.0, 0.0, true, {{"H2", 2.4}, {"H2O", 15.4}}},
            {{{1, "O"}, {1, "H"}}, {{1, "OH"}}, 5.000e17, -1.0, 0.0, true, {{"H2", 2.0}, {"H2O", 6.0}}},
            {{{1, "O"}, {1, "H2"}}, {{1, "H"}, {1, "OH"}}, 3.870e04, 2.7, 6260.0, false, {}},
            {{{1, "O"}, {1, "HO2"}}, {{1, "OH"}, {1, "O2"}}, 2.000e13, 0.0, 0.0, false, {}},
            {{{1, "O"}, {1, "H2O2"}}, {{1, "OH"}, {1, "HO2"}}, 9.630e06, 2.0, 4000.0, false, {}},
            {{{1, "H"}, {1, "O2"}}, {{1, "HO2"}}, 2.800e18, -0.86, 0.0, true, {{"O2", 0.0}, {"H2O", 0.0}}},
            {{{1, "H"}, {2, "O2"}}, {{1, "HO2"}, {1, "O2"}}, 2.080e19, -1.24, 0.0, false, {}},
            {{{1, "H"}, {1, "O2"}, {1, "H2O"}}, {{1, "HO2"}, {1, "H2O"}}, 11.26e18, -0.76, 0.0, false, {}},
            {{{1, "H"}, {1, "O2"}}, {{1, "O"}, {1, "OH"}}, 2.650e16, -0.6707, 17041.0, false, {}},
            {{{2, "H"}}, {{1, "H2"}}, 1.000e18, -1.0, 0.0, true, {{"H2", 0.0}, {"H2O", 0.0}}},
            {{{2, "H"}, {1, "H2"}}, {{2, "H2"}}, 9.000e16, -0.6, 0.0, false, {}},
            {{{2, "H"}, {1, "H2O"}}, {{1, "H2"}, {1, "H2O"}}, 6.000e19, -1.25, 0.0, false, {}},
            {{{1, "H"}, {1, "OH"}}, {{1, "H2O"}}, 2.200e22, -2.0, 0.0, true, {{"H2", 0.73}, {"H2O", 3.65}}},
            {{{1, "H"}, {1, "HO2"}}, {{1, "O"}, {1, "H2O"}}, 3.970e12, 0.0, 671.0, false, {}},
            {{{1, "H"}, {1, "HO2"}}, {{1, "O2"}, {1, "H2"}}, 4.480e13, 0.0, 1068.0, false, {}},
            {{{1, "H"}, {1, "HO2"}}, {{2, "OH"}}, 0.840e14, 0.0, 635.0, false, {}},
            {{{1, "H"}, {1, "H2O2"}}, {{1, "HO2"}, {1, "H2"}}, 1.210e07, 2.0, 5200.0, false, {}},
            {{{1, "H"}, {1, "H2O2"}}, {{1, "OH"}, {1, "H2O"}}, 1.000e13, 0.0, 3600.0, false, {}},
            {{{1, "OH"}, {1, "H2"}}, {{1, "H"}, {1, "H2O"}}, 2.160e08, 1.51, 3430.0, false, {}},
            {{{2, "OH"}}, {{1, "H2O2"}}, 7.400e13, -0.37, 0.0, false, {}},
            {{{2, "OH"}}, {{1, "O"}, {1, "H2O"}}, 3.570e04, 2.4, -2110.0, false, {}},
            {{{1, "OH"}, {1, "HO2"}}, {{1, "O2"}, {1, "H2O"}}, 1.450e13, 0.0, -500.0, false, {}},
            {{{1, "OH"}, {1, "H2O2"}}, {{1, "HO2"}, {1, "H2O"}}, 2.000e12, 0.0, 427.0, false, {}},
            {{{1, "OH"}, {1, "H2O2"}}, {{1, "HO2"}, {1, "H2O"}}, 1.700e18, 0.0, 29410.0, false, {}},
            {{{2, "HO2"}}, {{1, "O2"}, {1, "H2O2"}}, 1.300e11, 0.0, -1630.0, false, {}},
            {{{2, "HO2"}}, {{1, "O2"}, {1, "H2O2"}}, 4.200e14, 0.0, 12000.0, false, {}},
            {{{1, "OH"}, {1, "HO2"}}, {{1, "O2"}, {1, "H2O"}}, 0.500e16, 0.0, 17330.0, false, {}},
    };
    return reactions;
}

// Position of a species in the given list (the order the mixture is built from).
inline uint16_t speciesPosition(const std::vector<std::string>& names, const std::string& name)
{
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end())
        throw std::runtime_error("no species " + name);
    return static_cast<uint16_t>(it - names.begin());
}

// A reaction record over the species list, the way the propellant loader builds one.
inline std::shared_ptr<Reaction> makeReaction(const TabulatedReaction& r, const std::vector<std::string>& names,
                                              bool forwardOnly = false)
{
    std::vector<uint16_t> ri, pi, ti;
    std::vector<double> rc, pc, te;
    for (const auto& [c, n] : r.reactants) {
        ri.push_back(speciesPosition(names, n));
        rc.push_back(c);
    }
    for (const auto& [c, n] : r.products) {
        pi.push_back(speciesPosition(names, n));
        pc.push_back(c);
    }
    for (const auto& [n, e] : r.efficiencies) {
        ti.push_back(speciesPosition(names, n));
        te.push_back(e);
    }
    return std::make_shared<Reaction>(static_cast<uint8_t>(ri.size()), static_cast<uint8_t>(pi.size()),
                                      static_cast<uint8_t>(ti.size()), ri, pi, rc, pc, forwardOnly ? 1 : 0, r.A, r.b,
                                      r.Ea, ti, te, r.thirdBody);
}

inline std::vector<std::shared_ptr<Reaction>> hydrogenOxygenReactions(const std::vector<std::string>& names)
{
    std::vector<std::shared_ptr<Reaction>> out;
    for (const TabulatedReaction& r : hydrogenOxygenMechanism())
        out.push_back(makeReaction(r, names));
    return out;
}
