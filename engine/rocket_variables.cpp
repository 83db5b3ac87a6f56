#include "engine/rocket_variables.h"

#include "core/preferences.h"

RocketVariables::RocketVariables() : chamberT(T_SEED)
{ }

void RocketVariables::resizeStations()
{
    const std::size_t n = stationCount;
    for (std::vector<double>* v : {&T, &p, &h, &s, &rho, &soundSpeed, &u, &mach, &gamma, &cp, &cv, &viscosity,
                                   &conductivity, &prandtlCp, &prandtl, &massFlow, &molecularWeight})
        v->resize(n, 0.0);
    stationScale.resize(n, 1.0);
    bartzH.resize(n, 0.0);
}
