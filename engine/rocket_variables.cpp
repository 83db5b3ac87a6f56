#include "engine/rocket_variables.h"

#include <algorithm>

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

bool throatIsNarrowest(const RocketVariables& rv)
{
    const std::size_t n = std::min<std::size_t>(rv.stationCount, rv.area.size());
    if (rv.throatIndex >= n)
        return false;
    const double limit = rv.area[rv.throatIndex] * (1.0 - THROAT_AREA_TOLERANCE);
    for (std::size_t k = 0; k < n; ++k) {
        if (rv.area[k] < limit)
            return false;
    }
    return true;
}
