// The rocket figures of a run worked by hand: a pressure run from its throat and exit
// stations, a grain run as time averages of its burn series.
#include <cmath>

#include <gtest/gtest.h>

#include "../calc_fixtures.h"
#include "calculations/performance_summary.h"
#include "engine/rocket_variables.h"

using namespace calc;

namespace {

// Three stations, the throat in the middle: rho_t 2, A_t 1e-3, u_t 1000; p_e 2e5,
// A_e 4e-3, u_e 2500; chamber 3e6 Pa.
RocketVariables pressureRun()
{
    RocketVariables r;
    calc_test::threeStations(r);
    r.rho = {3.0, 2.0, 0.5};
    r.u = {100.0, 1000.0, 2500.0};
    r.p = {2.99e6, 1.7e6, 2e5};
    r.chamberPressure = 3e6;
    r.injectorPressure = 3e6;
    r.chamberT = 1600.5;
    return r;
}

TEST(PerformanceSummary, PressureRunFromThroatAndExit)
{
    calc_test::resetCalculationGlobals();
    RocketVariables r = pressureRun();
    computeSummary(r, 1e5);
    // mdot = 2 * 1e-3 * 1000 = 2; F = (2e5 - 1e5) * 4e-3 + 2500 * 2 = 400 + 5000;
    // Isp = 5400 / 2; c* = 1e-3 * 3e6 / 2; CE = 2700 / 1500.
    EXPECT_DOUBLE_EQ(r.runMassFlow, 2.0);
    EXPECT_DOUBLE_EQ(r.thrust, 5400.0);
    EXPECT_DOUBLE_EQ(r.specificImpulse, 2700.0);
    EXPECT_DOUBLE_EQ(r.cStar, 1500.0);
    EXPECT_DOUBLE_EQ(r.CE, 1.8);
    EXPECT_EQ(r.burnTime, -1.0);

    const SummaryTexts t = summaryTexts(r, 10);
    EXPECT_EQ(t.time, "No Vielle parameters available");
    EXPECT_EQ(t.pressure, "3000000 Pa");
    EXPECT_EQ(t.temperature, "1600.5 K");
    EXPECT_EQ(t.massFlow, "2kg/s");
    EXPECT_EQ(t.thrust, "5400 N");
    EXPECT_EQ(t.isp, "2700 m/s");
    EXPECT_EQ(t.cstar, "1500 m/s");
    EXPECT_EQ(t.ce, "1.8");

    // Ambient pressure equal to the exit pressure: F = u_e mdot, Isp = u_e.
    computeSummary(r, 2e5);
    EXPECT_DOUBLE_EQ(r.thrust, 5000.0);
    EXPECT_DOUBLE_EQ(r.specificImpulse, 2500.0);

    // A finite-area run: c* from the entrance pressure the solver derived, while the
    // pressure shown stays the given one.
    r.chamberPressure = 2.9e6;
    computeSummary(r, 1e5);
    EXPECT_DOUBLE_EQ(r.cStar, 1450.0);
    EXPECT_EQ(summaryTexts(r, 10).pressure, "3000000 Pa");

    // No flow through the throat: the figures cannot be formed and say so.
    r.u[1] = 0.0;
    computeSummary(r, 1e5);
    EXPECT_EQ(summaryTexts(r, 10).isp, "N/A");
}

TEST(PerformanceSummary, GrainRunAveragesEachSeriesOverTheBurn)
{
    calc_test::resetCalculationGlobals(); // trapezoid rule
    RocketVariables r;
    r.isGrain = true;
    r.burnPoints = 3;
    // Uneven steps: t = 0, 1, 3. Trapezoids of s = 10, 20, 40: 15 + 60 = 75 over 3 s -> 25.
    r.burnTimes = {0.0, 1.0, 3.0};
    r.burnChamberPressure = {10.0, 20.0, 40.0};
    // Constant series give their constants.
    r.burnChamberT = {2000.0, 2000.0, 2000.0};
    r.burnMassFlow = {1.5, 1.5, 1.5};
    // Linear thrust: mean of the straight line between the end values.
    r.burnThrust = {100.0, 200.0, 400.0};
    r.burnIsp = {1500.0, 1500.0, 1500.0};
    r.burnCStar = {900.0, 900.0, 900.0};
    r.burnCE = {1.6, 1.6, 1.6};
    r.burnRate = {1.0, 2.0, 3.0};
    computeSummary(r, 1e5);
    EXPECT_DOUBLE_EQ(r.burnTime, 3.0);
    EXPECT_DOUBLE_EQ(r.injectorPressure, 25.0);
    EXPECT_DOUBLE_EQ(r.chamberT, 2000.0);
    EXPECT_DOUBLE_EQ(r.runMassFlow, 1.5);
    EXPECT_DOUBLE_EQ(r.thrust, 250.0);
    EXPECT_DOUBLE_EQ(r.specificImpulse, 1500.0);
    EXPECT_DOUBLE_EQ(r.cStar, 900.0);
    EXPECT_DOUBLE_EQ(r.CE, 1.6);
    EXPECT_EQ(summaryTexts(r, 10).time, "3 s");

    // One grain point: no burn interval to average over.
    r.burnPoints = 1;
    r.burnTimes = {0.0};
    computeSummary(r, 1e5);
    EXPECT_EQ(summaryTexts(r, 10).thrust, "N/A");
}

} // namespace
