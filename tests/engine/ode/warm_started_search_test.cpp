// The optimisations' pressure searches start each chamber from the last converged one,
// across the passes of the burn-time search and across the samples of a total-impulse
// search. Their results must be those of a start from the initial estimate: a grain run
// of a fresh ODE at the throat a search found (its first chamber from the initial
// estimate) gives the figure the search's own warm-started run gave, to the solver's
// tolerances, on hydrogen/oxygen, whose composition moves with the chamber pressure.
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "../support/quiet_engine.h"
#include "core/curves.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"
#include "engine/test_mixtures.h"
#include "nozzle_setup.h"

namespace {

using nozzle_test::expectRelative;

// A warm start converges to the cold start's chamber within the equilibrium iteration's
// tolerances; the figures built on it move no further than that.
constexpr double SAME = 1e-7;
constexpr double AT = 1.5e-4; // m^2

class WarmStartedSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        startQuietEngine();
        // Stations converged far below the comparison tolerance, so that the seeds a
        // station starts from (left by other samples) do not show in the figures.
        CONV_COND = 1e-10;
        THROAT_CONV = 1e-10;
        mixture = hydrogenOxygenRocket();
        mixture->setReactantEnthalpy(298.15);
        rocket = std::make_shared<RocketVariables>();
        RocketVariables& rv = *rocket;
        rv.chamberPressure = 3e6;
        rv.chamberT = 3800.0;
        // Burn law r = 1.5e-6 p^0.5 (m/s, p in Pa) from 0.1 to 100 MPa; density 1800 kg/m^3.
        rv.propellantDensity = 1800.0;
        rv.vieilleLimits = {{1e5, 1e8}};
        rv.vieilleA = {1.5e-6};
        rv.vieilleN = {0.5};
        // A progressive then regressive grain of 12 mm web.
        rv.burnPoints = 7;
        rv.burnDistance = {0, 0.002, 0.004, 0.006, 0.008, 0.010, 0.012};
        rv.burnArea = {0.03, 0.035, 0.04, 0.045, 0.05, 0.045, 0.04};
        rv.combustionArea = 0.04;
        rv.ambientPressure = 1e5;
    }
    void TearDown() override
    {
        CONV_COND = 4e-5;
        THROAT_CONV = 4e-5;
        endQuietEngine();
    }

    // The grain run of a fresh ODE on the contour as the search left it.
    void coldGrainRun(bool writeOutputs)
    {
        ODE cold(writeOutputs, mixture, rocket, false, false);
        cold.calculateIACGrain();
        ASSERT_FALSE(cold.failed);
    }

    std::shared_ptr<Mixture> mixture;
    std::shared_ptr<RocketVariables> rocket;
};

TEST_F(WarmStartedSearch, BurnTimeSearchEndsOnTheColdStartedBurnTime)
{
    RocketVariables& rv = *rocket;
    rv.targetBurnTime = 3.0;
    nozzle_test::setNozzle(rv, {6.0, 3.0, 1.0, 4.0, 10.0}, 2, AT);
    ODE search(mixture, rocket, false, false);
    ASSERT_TRUE(search.optimizeForBurnTime());
    // The last pass's grain run, every chamber of it warm-started.
    const double warm = rv.burnTimes.back();
    EXPECT_LT(std::fabs(warm - 3.0) / 3.0, OPT_TOL);
    EXPECT_EQ(rv.area[2], rv.throatArea);

    coldGrainRun(false);
    expectRelative(rv.burnTimes.back(), warm, SAME, "burn time of a cold-started run at the found throat");
    EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
}

TEST_F(WarmStartedSearch, TotalImpulseSearchValueIsTheColdStartedRunsImpulse)
{
    RocketVariables& rv = *rocket;
    nozzle_test::setNozzle(rv, {40.0, 20.0, 1.0, 4.0, 10.0}, 2, AT);
    rv.optMinPressure = 1e6;
    rv.optMaxPressure = 8e6;
    rv.optMinThroatRadius = 0.0;
    rv.optMinAreaRatio = 1.0;
    rv.optTarget = 2; // total impulse: a grain run at every sample
    ODE search(true, mixture, rocket, false, false);
    ASSERT_TRUE(search.optimizeForPerformance());
    const double warm = rv.optBestValue;
    ASSERT_GT(warm, 0.0);

    // The best sample's contour, run again from the initial estimate.
    rv.area[2] = rv.throatArea;
    rv.area.back() = rv.exitArea;
    coldGrainRun(true);
    const std::size_t n = rv.burnTimes.size();
    const double cold = integrate(rv.burnThrust, rv.burnTimes, 0.0, rv.burnTimes[n - 1]);
    expectRelative(cold, warm, SAME, "total impulse of a cold-started run at the best throat and exit");
    EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
}

} // namespace
