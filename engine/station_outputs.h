#pragma once
// Station outputs written the same way by the equilibrium and the kinetic nozzle runs.
#include "engine/mixture.h"
#include "engine/rocket_variables.h"

// Mass flow (rho u A) and Mach number of station j; the station's sound speed must be
// written first.
inline void recordStationFlow(RocketVariables& rv, unsigned j)
{
    rv.massFlow[j] = rv.rho[j] * rv.u[j] * rv.area[j];
    rv.mach[j] = rv.u[j] / rv.soundSpeed[j];
}

// Molecular weight and mole fractions of station j from the mixture as it stands. A
// fraction row shorter than the stations grows with zeros.
inline void recordStationComposition(RocketVariables& rv, const Mixture& m, unsigned j)
{
    rv.molecularWeight[j] = 1.0 / m.totalMoles;
    for (std::size_t i = 0; i < rv.moleFractions.size() && i < m.species.size(); ++i) {
        if (rv.moleFractions[i].size() <= j)
            rv.moleFractions[i].resize(j + 1, 0.0);
        rv.moleFractions[i][j] = m.species[i]->moleFraction;
    }
}

// Viscosity, conductivity and the two Prandtl numbers of station j from the mixture's
// last transport evaluation.
inline void recordStationTransport(RocketVariables& rv, const Mixture& m, unsigned j)
{
    rv.viscosity[j] = m.viscosity;
    rv.conductivity[j] = m.conductivity;
    rv.prandtlCp[j] = m.prandtlCp;
    rv.prandtl[j] = m.prandtl;
}
