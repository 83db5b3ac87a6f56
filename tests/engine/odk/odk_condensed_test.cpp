// Kinetic runs of propellants with condensed products. A condensed phase carries mass
// and enthalpy but takes no volume, in the kinetic flow as in the equilibrium and frozen
// ones: without reactions the kinetic flow is the frozen flow of the first station's
// composition, station by station; with reactions it lies between the frozen and the
// equilibrium flows. Counting the condensed moles as gas expands the condensed phase
// like a gas and gives more impulse than equilibrium.
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include "../support/quiet_engine.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/ode.h"
#include "engine/odk.h"
#include "kinetic_cases.h"
#include "starting_nozzle.h"

namespace {

using namespace odk_test;

class OdkCondensed : public ::testing::Test {
protected:
    void SetUp() override
    {
        startQuietEngine();
        savedConv = CONV_COND;
        savedIterOde = MAX_ITER_ODE;
        savedPointTol = POINT_TOL_ODK;
    }
    void TearDown() override
    {
        CONV_COND = savedConv;
        MAX_ITER_ODE = savedIterOde;
        POINT_TOL_ODK = savedPointTol;
        endQuietEngine();
    }
    double savedConv = 0.0;
    uint32_t savedIterOde = 0;
    double savedPointTol = 0.0;
};

enum class Flow { Equilibrium, Frozen, Kinetic };

// A run of the starting set's conical nozzle (exit area ratio 25) on 200 stations at
// chamber pressure pc, in vacuum; frozen flows freeze at the first station.
std::shared_ptr<RocketVariables> run(const std::shared_ptr<Mixture>& m, Flow flow, double pc)
{
    auto rv = startingConicalNozzle(200);
    rv->chamberPressure = pc;
    flagsODE = 0;
    flagsODK = 0;
    bool failed = true;
    if (flow == Flow::Kinetic) {
        ODK odk(m, rv, false, false);
        odk.calculateIAC();
        failed = odk.failed;
    } else if (flow == Flow::Frozen) {
        ODE ode(m, rv, 0u, false, false);
        ode.calculateIAC();
        failed = ode.failed;
    } else {
        ODE ode(m, rv, false, false);
        ode.calculateIAC();
        failed = ode.failed;
    }
    EXPECT_FALSE(failed);
    return rv;
}

struct CondensedCase {
    const char* name;
    std::function<std::shared_ptr<Mixture>()> mixture;
    double pc; // Pa
    const char* condensed; // the condensed product that must be present
};

TEST_F(OdkCondensed, WithoutReactionsTheKineticFlowIsTheFrozenFlowAtEveryStation)
{
    // The frozen run's stations converge in ln p to CONV_COND, which at low Mach
    // numbers moves the velocity by about 1e-4, and the kinetic run's given pressures
    // near the throat to POINT_TOL_ODK; both are made tighter so the comparison
    // measures the flows, not those tolerances.
    CONV_COND = 1e-9;
    MAX_ITER_ODE = 50;
    POINT_TOL_ODK = 1e-6;
    const CondensedCase cases[] = {
            {"potassium nitrate / sucrose at 5 MPa", potassiumNitrateSucrose, 5e6, "K2CO3(L)"},
            {"aluminised hydrogen/oxygen at 53.3 bar", [] { return hydrogenOxygenAluminium(0.2, 1.0, false); },
             53.3172e5, "AL2O3(L)"},
    };
    for (const CondensedCase& c : cases) {
        auto frozenMixture = c.mixture();
        auto frozen = run(frozenMixture, Flow::Frozen, c.pc);
        auto kineticMixture = c.mixture();
        auto kinetic = run(kineticMixture, Flow::Kinetic, c.pc);
        ASSERT_EQ(flagsODK.load() & (code::ODK00 | code::ODK01 | code::ODK02), 0u) << c.name;

        std::size_t condensed = kineticMixture->nSpecies;
        for (std::size_t i = 0; i < kineticMixture->nSpecies; ++i)
            if (kineticMixture->speciesNames[i] == c.condensed)
                condensed = i;
        ASSERT_LT(condensed, kineticMixture->nSpecies) << c.name;
        ASSERT_GT(kinetic->moleFractions[condensed][0], 0.01) << c.name << ": no condensed phase to test";

        std::printf("%s: vacuum Isp frozen %.3f, kinetic %.3f m/s\n", c.name, vacuumIsp(*frozen), vacuumIsp(*kinetic));
        auto rel = [](double a, double b) { return std::fabs(a / b - 1.0); };
        for (unsigned k = 0; k < kinetic->stationCount; ++k) {
            // At the throat the area is stationary, so its state rests on the throat
            // tolerances of both runs (THROAT_TOL_ODK is 1e-4 in area).
            const double tolerance = k == kinetic->throatIndex ? 1e-4 : 1e-5;
            EXPECT_LT(rel(kinetic->p[k], frozen->p[k]), tolerance) << c.name << ", station " << k;
            EXPECT_LT(rel(kinetic->T[k], frozen->T[k]), tolerance) << c.name << ", station " << k;
            EXPECT_LT(rel(kinetic->u[k], frozen->u[k]), tolerance) << c.name << ", station " << k;
            EXPECT_LT(rel(kinetic->rho[k], frozen->rho[k]), tolerance) << c.name << ", station " << k;
            // (The frozen run's first station is its freezing point, an equilibrium one.)
            if (k > 0) {
                EXPECT_LT(rel(kinetic->soundSpeed[k], frozen->soundSpeed[k]), tolerance) << c.name << ", station " << k;
            }
            // The same composition, shown the same way: the molecular weight of the gas
            // per kg of mixture and each species' share of all moles.
            EXPECT_LT(rel(kinetic->molecularWeight[k], frozen->molecularWeight[k]), 1e-6)
                    << c.name << ", station " << k;
            EXPECT_NEAR(kinetic->moleFractions[condensed][k], frozen->moleFractions[condensed][k], 1e-6)
                    << c.name << ", station " << k;
        }
        EXPECT_LT(rel(vacuumIsp(*kinetic), vacuumIsp(*frozen)), 1e-5) << c.name;
    }
}

TEST_F(OdkCondensed, WithReactionsTheKineticFlowLiesBetweenFrozenAndEquilibrium)
{
    // Aluminised hydrogen/oxygen: the gas recombines on the way out as fast as the
    // mechanism lets it, the alumina stays liquid (no reaction names it). Frozen flow
    // recombines nothing, equilibrium everything and also solidifies the alumina.
    const double pc = 53.3172e5;
    auto equilibrium = run(hydrogenOxygenAluminium(0.2, 1.0, false), Flow::Equilibrium, pc);
    auto frozen = run(hydrogenOxygenAluminium(0.2, 1.0, false), Flow::Frozen, pc);
    const unsigned e = equilibrium->stationCount - 1;
    const double ispEq = vacuumIsp(*equilibrium), ispFr = vacuumIsp(*frozen);
    ASSERT_GT(ispEq - ispFr, 50.0) << "recombination should add impulse";
    for (const double rateFactor : {1e-3, 1.0, 1e3}) {
        auto kinetic = run(hydrogenOxygenAluminium(0.2, rateFactor, true), Flow::Kinetic, pc);
        ASSERT_EQ(flagsODK.load() & (code::ODK00 | code::ODK01 | code::ODK02), 0u) << rateFactor;
        const double isp = vacuumIsp(*kinetic);
        std::printf("rates x%g: vacuum Isp frozen %.2f, kinetic %.2f, equilibrium %.2f m/s; exit T %.1f, %.1f, "
                    "%.1f K\n",
                    rateFactor, ispFr, isp, ispEq, frozen->T[e], kinetic->T[e], equilibrium->T[e]);
        EXPECT_GE(isp, ispFr) << "rates x" << rateFactor;
        EXPECT_LE(isp, ispEq) << "rates x" << rateFactor;
        EXPECT_GE(kinetic->T[e], frozen->T[e]) << "rates x" << rateFactor;
        EXPECT_LE(kinetic->T[e], equilibrium->T[e]) << "rates x" << rateFactor;
    }
}

} // namespace
