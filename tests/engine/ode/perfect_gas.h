#pragma once
// A perfect-gas propellant with closed-form nozzle flow: two inert gaseous species,
// each the only carrier of its element, with constant Cp (one term, exponent 0, so
// h = cp T) and no reactions. The reactants are the same two species defined at one
// temperature with a formation enthalpy of cp Tc, so the chamber temperature is Tc
// whatever the pressure, equilibrium and frozen flow coincide, and gamma is constant.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/mixture.h"
#include "engine/rocket_variables.h"
#include "nozzle_setup.h"

namespace perfect_gas {

constexpr double R = 8314.51;
constexpr double MA = 28.0, MB = 44.0; // kg/kmol
constexpr double CPA = 3.5, CPB = 4.5; // Cp/R
constexpr double WA = 0.6, WB = 0.4; // mass fractions
constexpr double TC = 3000.0; // chamber temperature, K

inline double moles()
{
    return WA / MA + WB / MB;
}
inline double gasConstant()
{
    return R * moles();
}
inline double cp()
{
    return R * (CPA * WA / MA + CPB * WB / MB);
}
inline double gamma()
{
    return cp() / (cp() - gasConstant());
}

inline std::shared_ptr<Species> gas(const std::string& name, const std::string& element, double M, double cpR)
{
    return std::make_shared<Species>(
            1, 1, 1, 0, 0, name, std::vector<ElementCount>{{1.0, element}}, 0.0, M, 0,
            std::vector<std::vector<double>>{{cpR}}, std::vector<std::vector<double>>{{0.0}},
            std::vector<std::pair<double, double>>{{0.0, 0.0}}, std::vector<std::pair<double, double>>{{10.0, 20000.0}},
            std::vector<std::pair<double, double>>{}, std::vector<std::array<double, 4>>{},
            std::vector<std::pair<double, double>>{}, std::vector<std::array<double, 4>>{}, -1.0);
}

inline std::shared_ptr<Species> reactant(const std::string& name, const std::string& element, double M, double cpR,
                                         double massFraction)
{
    auto s = std::make_shared<Species>(
            1, 0, 0, 0, 0, name, std::vector<ElementCount>{{1.0, element}}, cpR * R * TC, M, 0,
            std::vector<std::vector<double>>{}, std::vector<std::vector<double>>{},
            std::vector<std::pair<double, double>>{}, std::vector<std::pair<double, double>>{},
            std::vector<std::pair<double, double>>{}, std::vector<std::array<double, 4>>{},
            std::vector<std::pair<double, double>>{}, std::vector<std::array<double, 4>>{}, 298.15);
    s->moles = massFraction / M;
    return s;
}

inline std::shared_ptr<Mixture> mixture()
{
    std::vector<std::shared_ptr<Species>> products{gas("A", "He", MA, CPA), gas("B", "Ne", MB, CPB)};
    std::vector<std::shared_ptr<Species>> reactants{reactant("A0", "He", MA, CPA, WA),
                                                    reactant("B0", "Ne", MB, CPB, WB)};
    auto m = std::make_shared<Mixture>(2, 2, 3, 0, products, reactants, std::vector<std::string>{"He", "Ne", "E"},
                                       nullptr);
    m->setReactantEnthalpy(298.15);
    return m;
}

// Area over throat area at Mach M.
inline double areaRatio(double M)
{
    const double g = gamma();
    return std::pow(2.0 / (g + 1.0) * (1.0 + 0.5 * (g - 1.0) * M * M), (g + 1.0) / (2.0 * (g - 1.0))) / M;
}

// Mach number at an area ratio, on the subsonic or the supersonic branch.
inline double machAt(double ratio, bool supersonic)
{
    double lo = supersonic ? 1.0 : 1e-9, hi = supersonic ? 50.0 : 1.0;
    for (int k = 0; k < 200; ++k) {
        const double mid = 0.5 * (lo + hi);
        const bool above = areaRatio(mid) > ratio;
        if (supersonic == above)
            hi = mid;
        else
            lo = mid;
    }
    return 0.5 * (lo + hi);
}

inline double temperatureRatio(double M)
{
    return 1.0 / (1.0 + 0.5 * (gamma() - 1.0) * M * M);
}
inline double pressureRatio(double M)
{
    const double g = gamma();
    return std::pow(temperatureRatio(M), g / (g - 1.0));
}
inline double cStar()
{
    const double g = gamma();
    return std::sqrt(gasConstant() * TC) / (std::sqrt(g) * std::pow(2.0 / (g + 1.0), (g + 1.0) / (2.0 * (g - 1.0))));
}

// Mach number at the end of an isentropic expansion from pc to pe.
inline double expansionMach(double pc, double pe)
{
    const double g = gamma();
    return std::sqrt(2.0 / (g - 1.0) * (std::pow(pc / pe, (g - 1.0) / g) - 1.0));
}
// Flow velocity at Mach M of the expansion from the chamber.
inline double velocityAt(double M)
{
    return M * std::sqrt(gamma() * gasConstant() * TC * temperatureRatio(M));
}

// The grain propellant of the runs that need one: density 1800 kg/m3 and one burn-law
// interval from 0.1 to 100 MPa, r = 1.5e-6 p^0.5 (m/s with p in Pa).
constexpr double RHO_P = 1800.0, LAW_A = 1.5e-6, LAW_N = 0.5;
inline void setBurnLaw(RocketVariables& rv)
{
    rv.propellantDensity = RHO_P;
    rv.vieilleLimits = {{1e5, 1e8}};
    rv.vieilleA = {LAW_A};
    rv.vieilleN = {LAW_N};
}
// Throat area through which a burning area Ab of that propellant balances at chamber
// pressure pc: At = rho_p a pc^n Ab c*/pc.
inline double balancedThroat(double Ab, double pc)
{
    return Ab * RHO_P * LAW_A * std::pow(pc, LAW_N) * cStar() / pc;
}
// Burning area that balances at chamber pressure pc through the throat At.
inline double balancedBurningArea(double pc, double At)
{
    return std::pow(pc, 1.0 - LAW_N) * At / (RHO_P * LAW_A * cStar());
}

using nozzle_test::setNozzle;

} // namespace perfect_gas
