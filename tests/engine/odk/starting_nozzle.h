#pragma once
// The nozzle of the starting data set ("Conical 25"): a conical nozzle of 200 mm
// entrance, 100 mm throat and 500 mm exit diameter (exit area ratio 25), 30 and 15
// degree half-angles and a 50 mm throat fillet, built by the nozzle tab's own contour
// routine on any station count it accepts, in SI; with the chamber pressure of the
// starting configuration (53.3172 bar). Needs kavro_nozzle.
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/rocket_variables.h"
#include "nozzle/contour.h"

namespace odk_test {

inline std::shared_ptr<RocketVariables> startingConicalNozzle(uint32_t stations)
{
    auto rv = std::make_shared<RocketVariables>();
    std::vector<double> x, area;
    double throatDiameter = 0.0, curvature = 0.0;
    conicalContour(x, area, throatDiameter, curvature, stations,
                   ConicalParameters{200.0, 100.0, 500.0, 30.0, 15.0, 0.0, 50.0},
                   ConicalOptions{false, false, false, true});
    // The contour is in millimetres.
    for (double& v : x)
        v *= 1e-3;
    for (double& v : area)
        v *= 1e-6;
    rv->x = x;
    rv->area = area;
    rv->stationCount = stations;
    uint32_t throat = 0;
    for (uint32_t k = 1; k < stations; ++k)
        if (area[k] < area[throat])
            throat = k;
    rv->throatIndex = throat;
    rv->frozenIndex = stations;
    rv->throatDiameter = throatDiameter * 1e-3;
    rv->throatCurvatureRadius = curvature * 1e-3;
    rv->chamberPressure = 53.3172e5;
    rv->resizeStations();
    return rv;
}

} // namespace odk_test
