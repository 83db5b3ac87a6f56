#pragma once
// The hydrogen/oxygen kinetic case: the eight species of the published H2/O2 mechanism
// (support/h2o2_mechanism.h, imported into the test databases), the liquid propellant of
// the published rocket reference case, and a smooth nozzle contour with its throat at
// x = 0. Two propellants with condensed products besides: the same one with aluminium
// (alumina), and potassium nitrate / sucrose (potassium carbonate, ../test_mixtures.h).
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "../test_mixtures.h"
#include "engine/mixture.h"
#include "engine/reaction.h"
#include "engine/rocket_variables.h"
#include "support/imported_databases.h"

namespace odk_test {

// Every kinetic code: ODK00 to ODK08, bits 0 to 8 of flagsODK.
constexpr uint32_t ALL_ODK = 0x1FF;

// Vacuum specific impulse of the exit station: thrust per mass flow, m/s.
inline double vacuumIsp(const RocketVariables& rv)
{
    const unsigned e = rv.stationCount - 1;
    return rv.u[e] + rv.p[e] / (rv.rho[e] * rv.u[e]);
}

inline const std::vector<std::string>& mechanismSpecies()
{
    static const std::vector<std::string> names{"H2", "H", "O", "O2", "OH", "H2O", "HO2", "H2O2"};
    return names;
}

inline int speciesIndex(const std::string& name)
{
    const auto& names = mechanismSpecies();
    for (std::size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int>(i);
    throw std::runtime_error("unknown species " + name);
}

// The eight mechanism species with the liquid hydrogen/oxygen propellant of the
// published rocket case (O/F 5.55157), built by the propellant loader from the imported
// databases; with every reaction of the imported mechanism unless withReactions is
// false, each pre-exponential factor multiplied by rateFactor (the reverse rates follow
// through the equilibrium constants).
inline std::shared_ptr<Mixture> hydrogenOxygenKinetic(double rateFactor = 1.0, bool withReactions = true,
                                                      TransportData transport = TransportData::Without)
{
    auto m = propellantMixture(mechanismSpecies(), {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, {"H", "O", "E"},
                               withReactions ? mechanismReactionKeys() : std::vector<std::string>{}, transport);
    for (auto& r : m->reactions)
        r->A *= rateFactor;
    return m;
}

// The hydrogen/oxygen case with aluminium among the reactants (a share `aluminium` of
// the mass, the rest liquid hydrogen and oxygen at O/F 5.55157): the mechanism's eight
// species and alumina, liquid and solid, the only product that holds aluminium. No
// reaction names alumina, so a kinetic flow carries the amount of the first station.
inline std::shared_ptr<Mixture> hydrogenOxygenAluminium(double aluminium, double rateFactor = 1.0,
                                                        bool withReactions = true)
{
    std::vector<std::string> products = mechanismSpecies();
    products.push_back("AL2O3(L)");
    products.push_back("AL2O3(a)");
    const double rest = 1.0 - aluminium;
    auto m = propellantMixture(
            products, {{"AL(cr)", aluminium}, {"H2(L)", 0.15263517 * rest}, {"O2(L)", 0.84736483 * rest}},
            {"Al", "H", "O", "E"}, withReactions ? mechanismReactionKeys() : std::vector<std::string>{});
    for (auto& r : m->reactions)
        r->A *= rateFactor;
    return m;
}

// A smooth nozzle: radius rt (1 + k (x/L)^2) on each side of the throat at x = 0,
// convergent from area ratio `inlet` over length Lc, divergent to area ratio `exit`
// over length Ld, with `convergent` stations before the throat and `divergent` after.
inline void smoothNozzle(RocketVariables& rv, unsigned convergent, unsigned divergent, double throatRadius = 0.05,
                         double inlet = 4.0, double exit = 25.0, double Lc = 0.1, double Ld = 0.5)
{
    const double kc = std::sqrt(inlet) - 1.0;
    const double kd = std::sqrt(exit) - 1.0;
    rv.x.clear();
    rv.area.clear();
    for (unsigned i = 0; i < convergent; ++i) {
        const double x = -Lc + Lc * i / convergent;
        const double r = throatRadius * (1.0 + kc * (x / Lc) * (x / Lc));
        rv.x.push_back(x);
        rv.area.push_back(M_PI * r * r);
    }
    for (unsigned i = 0; i <= divergent; ++i) {
        const double x = Ld * i / divergent;
        const double r = throatRadius * (1.0 + kd * (x / Ld) * (x / Ld));
        rv.x.push_back(x);
        rv.area.push_back(M_PI * r * r);
    }
    rv.throatIndex = convergent;
    rv.stationCount = static_cast<uint32_t>(rv.x.size());
    rv.frozenIndex = rv.stationCount;
    rv.throatDiameter = 2.0 * throatRadius;
    rv.throatCurvatureRadius = throatRadius;
    rv.resizeStations();
}

} // namespace odk_test
