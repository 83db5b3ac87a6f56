#pragma once
// Nozzle contours and relative checks shared by the nozzle-flow tests.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/rocket_variables.h"

namespace nozzle_test {

// |value/expected - 1| within the tolerance, naming what was checked.
inline void expectRelative(double value, double expected, double tolerance, const std::string& what)
{
    EXPECT_LE(std::fabs(value / expected - 1.0), tolerance) << what << ": " << value << " against " << expected;
}

// A nozzle given by area ratios (throat ratio 1 at throatIndex), throat area At, its
// stations `step` metres apart with the throat at x = 0; no freezing.
inline void setNozzle(RocketVariables& rv, const std::vector<double>& ratios, unsigned throatIndex, double At,
                      double step = 0.01)
{
    rv.stationCount = static_cast<uint32_t>(ratios.size());
    rv.throatIndex = throatIndex;
    rv.frozenIndex = rv.stationCount;
    rv.x.clear();
    rv.area.clear();
    for (std::size_t j = 0; j < ratios.size(); ++j) {
        rv.x.push_back((static_cast<double>(j) - throatIndex) * step);
        rv.area.push_back(ratios[j] * At);
    }
    rv.throatDiameter = std::sqrt(4.0 * At / M_PI);
    rv.resizeStations();
}

} // namespace nozzle_test
