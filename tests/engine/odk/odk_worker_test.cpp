// The kinetic run on its own thread: the worker reports finished() in the GUI thread,
// then the worker and the kinetic solver go away while the mixture and the record
// stay with the results.
#include <cmath>
#include <memory>

#include <gtest/gtest.h>

#include "../ode/perfect_gas.h"
#include "../support/worker_run.h"
#include "core/flags.h"
#include "engine/engine_messages.h"
#include "engine/odk.h"
#include "engine/threader.h"
#include "kinetic_cases.h"

namespace {

TEST(OdkWorker, KineticRunOnItsOwnThread)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    flagsODK = 0;
    abortFlag = 0;
    auto mixture = perfect_gas::mixture();
    auto rocket = std::make_shared<RocketVariables>();
    odk_test::smoothNozzle(*rocket, 15, 35, 0.05, 4.0, 16.0, 0.1, 0.4);
    rocket->chamberPressure = 2e6;

    auto* worker = new Threader(new ODK(mixture, rocket, false, false), &ODK::calculateIAC);
    EXPECT_EQ(worker->mode, 2);
    const worker_run::Outcome out = worker_run::run(worker, 60000);
    ASSERT_TRUE(out.cleanedUp());
    EXPECT_TRUE(out.result);
    EXPECT_TRUE(out.inGuiThread);
    EXPECT_EQ(flagsODK.load() & odk_test::ALL_ODK, 0u);
    // The record holds the kinetic results and outlives the solver.
    EXPECT_EQ(mixture.use_count(), 1);
    EXPECT_EQ(rocket.use_count(), 1);
    const unsigned e = rocket->stationCount - 1;
    EXPECT_GT(rocket->mach[e], 3.0);
    EXPECT_NEAR(rocket->mach[rocket->throatIndex], 1.0, 1e-3);
    setEngineMessageHandler({});
}

TEST(OdkWorker, KineticRunsWithoutResultsAreReportedAsFailed)
{
    // A contour the kinetic run refuses, and a run whose integration fails: the worker
    // reports failure, never a success with empty stations.
    setEngineMessageHandler([](const EngineMessage&) {});
    abortFlag = 0;
    struct Case {
        const char* label;
        void (*spoil)(RocketVariables&);
        uint32_t code;
    };
    const Case cases[] = {
            {"divergent part dipping below the throat",
             [](RocketVariables& rv) { rv.area[rv.throatIndex + 3] = 0.9 * rv.area[rv.throatIndex]; }, code::ODK00},
            {"right-hand side not a number", [](RocketVariables& rv) { rv.odkSourceA = std::nan(""); }, code::ODK01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        flagsODK = 0;
        auto rocket = std::make_shared<RocketVariables>();
        odk_test::smoothNozzle(*rocket, 15, 35, 0.05, 4.0, 16.0, 0.1, 0.4);
        rocket->chamberPressure = 2e6;
        auto* odk = new ODK(perfect_gas::mixture(), rocket, false, false);
        c.spoil(*rocket);
        auto* worker = new Threader(odk, &ODK::calculateIAC);
        const worker_run::Outcome out = worker_run::run(worker, 60000);
        ASSERT_TRUE(out.cleanedUp());
        EXPECT_FALSE(out.result);
        EXPECT_TRUE(flagRaised(flagsODK, c.code));
    }
    setEngineMessageHandler({});
}

} // namespace
