// The judgement of a finished run's figures: a hand-made good pressure run and grain run
// are results; each figure made impossible on its own (not finite, or outside the range
// in which a real engine works) makes the run a failure with its code.
#include <cmath>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

#include "../calc_fixtures.h"
#include "calculations/performance_summary.h"
#include "calculations/run_judgement.h"
#include "core/flags.h"
#include "engine/rocket_variables.h"

using namespace calc;

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();
const double inf = std::numeric_limits<double>::infinity();

// A pressure run of three stations as an equilibrium run leaves it, with its summary:
// chamber 3 MPa and 3000 K; throat rho 2 kg/m^3, u 1000 m/s, A 1e-3 m^2 (mass flow 2
// kg/s, c* 1500 m/s); exit 0.2 MPa, u 2500 m/s, A 4e-3 m^2.
RocketVariables pressureRun()
{
    RocketVariables r;
    calc_test::threeStations(r);
    r.p = {2.99e6, 1.7e6, 2e5};
    r.T = {2995.0, 2700.0, 1800.0};
    r.rho = {3.0, 2.0, 0.5};
    r.h = {-1e5, -6e5, -3.2e6};
    r.s = {1e4, 1e4, 1e4};
    r.molecularWeight = {22.0, 22.0, 22.0};
    r.gamma = {1.2, 1.2, 1.25};
    r.cp = {2000.0, 2000.0, 1900.0};
    r.cv = {1600.0, 1600.0, 1500.0};
    r.soundSpeed = {1100.0, 1000.0, 850.0};
    r.u = {100.0, 1000.0, 2500.0};
    r.mach = {0.09, 1.0, 2.9};
    r.massFlow = {2.0, 2.0, 2.0};
    r.speciesNames = {"H2O", "CO2"};
    r.moleFractions = {{0.6, 0.6, 0.6}, {0.4, 0.4, 0.4}};
    r.chamberMoleFractions = {0.6, 0.4};
    r.chamberPressure = 3e6;
    r.injectorPressure = 3e6;
    r.chamberT = 3000.0;
    computeSummary(r, 1e5);
    return r;
}

// A grain run of four points: chamber 2 MPa and 1700 K at every point, mass flow 1
// kg/s, c* 900 m/s, burn rate 1 cm/s over 3 cm of web; the summary of it.
RocketVariables grainRun()
{
    RocketVariables r;
    r.isGrain = true;
    r.burnPoints = 4;
    r.burnDistance = {0.0, 0.01, 0.02, 0.03};
    r.burnArea = {0.01, 0.011, 0.012, 0.013};
    r.burnTimes = {0.0, 1.0, 2.0, 3.0};
    r.burnChamberPressure.assign(4, 2e6);
    r.burnChamberT.assign(4, 1700.0);
    r.burnMassFlow.assign(4, 1.0);
    r.burnThrust.assign(4, 1500.0);
    r.burnCStar.assign(4, 900.0);
    r.burnCE.assign(4, 1.6);
    r.burnIsp.assign(4, 1500.0);
    r.burnRate.assign(4, 0.01);
    computeSummary(r, 1e5);
    return r;
}

struct Case {
    const char* what;
    std::function<void(RocketVariables&)> spoil;
    RunFault fault;
};

} // namespace

TEST(RunJudgement, AGoodPressureRunIsAResultAndEachImpossibleFigureIsNot)
{
    calc_test::resetCalculationGlobals();
    const Case cases[] = {
            {"as computed", [](RocketVariables&) {}, RunFault::None},
            // An over-expanded nozzle: the exit below an ambient pressure so high that the
            // thrust is negative. A result all the same.
            {"negative thrust", [](RocketVariables& r) { computeSummary(r, 5e6); }, RunFault::None},
            {"chamber pressure 1 Pa",
             [](RocketVariables& r) {
                 r.chamberPressure = r.injectorPressure = 1.0;
                 computeSummary(r, 0.0);
             },
             RunFault::FiguresOutOfRange},
            {"shown chamber pressure 1e-300 Pa", [](RocketVariables& r) { r.injectorPressure = 1e-300; },
             RunFault::FiguresOutOfRange},
            {"chamber pressure 1e10 Pa",
             [](RocketVariables& r) {
                 r.chamberPressure = 1e10;
                 computeSummary(r, 1e5);
             },
             RunFault::FiguresOutOfRange},
            {"chamber pressure NaN", [](RocketVariables& r) { r.injectorPressure = notANumber; },
             RunFault::FiguresOutOfRange},
            {"chamber at 77 K", [](RocketVariables& r) { r.chamberT = 77.0; }, RunFault::FiguresOutOfRange},
            {"chamber at 200 K", [](RocketVariables& r) { r.chamberT = 200.0; }, RunFault::FiguresOutOfRange},
            {"no mass flow",
             [](RocketVariables& r) {
                 r.u[1] = 0.0;
                 computeSummary(r, 1e5);
             },
             RunFault::FiguresOutOfRange},
            {"thrust -inf (ambient pressure infinite)", [](RocketVariables& r) { computeSummary(r, inf); },
             RunFault::FiguresOutOfRange},
            // A chamber of 1e-300 MPa: a mass flow near 0 and an Isp near -1e303.
            {"chamber 1e-294 Pa, Isp -1e303",
             [](RocketVariables& r) {
                 r.chamberPressure = r.injectorPressure = 1e-294;
                 r.rho = {1e-300, 1e-300, 1e-300};
                 r.p = {1e-294, 5e-295, 1e-295};
                 computeSummary(r, 1e5);
             },
             RunFault::FiguresOutOfRange},
            {"negative c*", [](RocketVariables& r) { r.cStar = -1500.0; }, RunFault::FiguresOutOfRange},
            {"station pressure 0", [](RocketVariables& r) { r.p[2] = 0.0; }, RunFault::FiguresOutOfRange},
            {"station temperature NaN", [](RocketVariables& r) { r.T[0] = notANumber; }, RunFault::FiguresOutOfRange},
            {"exit velocity NaN", [](RocketVariables& r) { r.u[0] = notANumber; }, RunFault::FiguresOutOfRange},
            {"Mach infinite", [](RocketVariables& r) { r.mach[2] = inf; }, RunFault::FiguresOutOfRange},
            {"mole fraction NaN", [](RocketVariables& r) { r.moleFractions[1][2] = notANumber; },
             RunFault::FiguresOutOfRange},
            {"chamber gamma NaN", [](RocketVariables& r) { r.chamberGamma = notANumber; }, RunFault::FiguresOutOfRange},
            // Transport and wall heat figures count only when the run computed them.
            {"viscosity NaN, not computed", [](RocketVariables& r) { r.viscosity[1] = notANumber; }, RunFault::None},
            {"viscosity NaN, computed",
             [](RocketVariables& r) {
                 r.calcTransport = true;
                 r.viscosity[1] = notANumber;
             },
             RunFault::FiguresOutOfRange},
            {"wall heat coefficient 5e-203, computed",
             [](RocketVariables& r) {
                 r.calcHeatTransfer = true;
                 r.bartzH = {5e-203, 5e-203, 5e-203};
             },
             RunFault::None},
            {"wall heat coefficient NaN, computed",
             [](RocketVariables& r) {
                 r.calcHeatTransfer = true;
                 r.bartzH[0] = notANumber;
             },
             RunFault::FiguresOutOfRange},
            {"no stations", [](RocketVariables& r) { r.stationCount = 0; }, RunFault::NoResult},
    };
    for (const Case& c : cases) {
        RocketVariables r = pressureRun();
        c.spoil(r);
        EXPECT_EQ(judgeRunFigures(r), c.fault) << c.what;
    }
}

TEST(RunJudgement, AGoodGrainRunIsAResultAndEachImpossibleFigureIsNot)
{
    calc_test::resetCalculationGlobals();
    const Case cases[] = {
            {"as computed", [](RocketVariables&) {}, RunFault::None},
            // The last point has burnt out (no burning surface): no chamber there, the burn
            // ends with it.
            {"burnout at the last point",
             [](RocketVariables& r) {
                 r.burnArea[3] = 0.0;
                 for (auto* s : {&r.burnChamberPressure, &r.burnChamberT, &r.burnMassFlow, &r.burnThrust, &r.burnCStar,
                                 &r.burnCE, &r.burnIsp, &r.burnRate})
                     (*s)[3] = 0.0;
             },
             RunFault::None},
            // The stored curve ends on an area of rounding size, and the point before it
            // balanced below the ambient pressure: both have burnt out, kept 0, and the
            // burn ended at point 1.
            {"burnout on an area of rounding size",
             [](RocketVariables& r) {
                 r.burnArea[2] = 1e-4;
                 r.burnArea[3] = 1.3e-8;
                 for (auto* s : {&r.burnChamberPressure, &r.burnChamberT, &r.burnMassFlow, &r.burnThrust, &r.burnCStar,
                                 &r.burnCE, &r.burnIsp, &r.burnRate})
                     (*s)[2] = (*s)[3] = 0.0;
                 r.burnTimes = {0.0, 1.0, 1.0, 1.0};
                 computeSummary(r, 1e5);
             },
             RunFault::None},
            // A burning point that found no balanced pressure keeps 0 (V02 at that point).
            {"point 2 unbalanced",
             [](RocketVariables& r) {
                 for (auto* s : {&r.burnChamberPressure, &r.burnChamberT, &r.burnMassFlow, &r.burnThrust, &r.burnCStar,
                                 &r.burnCE, &r.burnIsp, &r.burnRate})
                     (*s)[2] = 0.0;
                 computeSummary(r, 1e5);
             },
             RunFault::UnbalancedBurnPoint},
            {"no point burns", [](RocketVariables& r) { r.burnArea.assign(4, 0.0); }, RunFault::UnbalancedBurnPoint},
            // Every point balanced at or below the ambient pressure: none burnt.
            {"no point burns above the ambient pressure",
             [](RocketVariables& r) {
                 for (auto* s : {&r.burnTimes, &r.burnChamberPressure, &r.burnChamberT, &r.burnMassFlow, &r.burnThrust,
                                 &r.burnCStar, &r.burnCE, &r.burnIsp, &r.burnRate})
                     s->assign(4, 0.0);
                 computeSummary(r, 1e5);
             },
             RunFault::UnbalancedBurnPoint},
            // A burn law with n = 1: the pressure search ran away.
            {"chamber 2.3e19 Pa at a point", [](RocketVariables& r) { r.burnChamberPressure[1] = 2.3e19; },
             RunFault::FiguresOutOfRange},
            {"chamber 2.4e-5 Pa at a point", [](RocketVariables& r) { r.burnChamberPressure[3] = 2.4e-5; },
             RunFault::FiguresOutOfRange},
            {"mean chamber pressure 8.4e18 Pa", [](RocketVariables& r) { r.injectorPressure = 8.4e18; },
             RunFault::FiguresOutOfRange},
            {"burn time 0",
             [](RocketVariables& r) {
                 r.burnTimes.assign(4, 0.0);
                 computeSummary(r, 1e5);
             },
             RunFault::FiguresOutOfRange},
            {"burn time 1.3e-14 s: figures of a burn of no length",
             [](RocketVariables& r) {
                 r.burnTimes = {0.0, 0.4e-14, 0.9e-14, 1.3e-14};
                 r.burnMassFlow.assign(4, 1.6e13);
                 r.burnThrust.assign(4, 1.4e16);
                 r.burnChamberPressure.assign(4, 2.3e19);
                 computeSummary(r, 1e5);
             },
             RunFault::FiguresOutOfRange},
            {"burn time infinite",
             [](RocketVariables& r) {
                 r.burnTimes[3] = inf;
                 computeSummary(r, 1e5);
             },
             RunFault::FiguresOutOfRange},
            {"times going back", [](RocketVariables& r) { r.burnTimes[2] = 0.5; }, RunFault::FiguresOutOfRange},
            {"chamber at 150 K at a point", [](RocketVariables& r) { r.burnChamberT[0] = 150.0; },
             RunFault::FiguresOutOfRange},
            {"no mass flow at a point", [](RocketVariables& r) { r.burnMassFlow[1] = 0.0; },
             RunFault::FiguresOutOfRange},
            {"c* NaN at a point", [](RocketVariables& r) { r.burnCStar[2] = notANumber; }, RunFault::FiguresOutOfRange},
            {"thrust NaN at a point", [](RocketVariables& r) { r.burnThrust[2] = notANumber; },
             RunFault::FiguresOutOfRange},
            {"negative thrust at every point",
             [](RocketVariables& r) {
                 r.burnThrust.assign(4, -20.0);
                 r.burnIsp.assign(4, -20.0);
                 r.burnCE.assign(4, -20.0 / 900.0);
                 computeSummary(r, 1e5);
             },
             RunFault::None},
            {"a series shorter than the points", [](RocketVariables& r) { r.burnRate.resize(2); }, RunFault::NoResult},
    };
    for (const Case& c : cases) {
        RocketVariables r = grainRun();
        c.spoil(r);
        EXPECT_EQ(judgeRunFigures(r), c.fault) << c.what;
    }
}

TEST(RunJudgement, EachFaultHasItsCriticalCode)
{
    EXPECT_EQ(faultCode(RunFault::None), 0u);
    EXPECT_EQ(faultCode(RunFault::NoResult), code::ODE05);
    EXPECT_EQ(faultCode(RunFault::FiguresOutOfRange), code::ODE06);
    EXPECT_EQ(faultCode(RunFault::UnbalancedBurnPoint), code::ODE07);
}
