// The kinetic run on its own thread: the worker reports finished() in the GUI thread,
// then the worker and the kinetic solver go away while the mixture and the record
// stay with the results.
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
    EXPECT_EQ(flagsODK.load() & 0x1FFu, 0u);
    // The record holds the kinetic results and outlives the solver.
    EXPECT_EQ(mixture.use_count(), 1);
    EXPECT_EQ(rocket.use_count(), 1);
    const unsigned e = rocket->stationCount - 1;
    EXPECT_GT(rocket->mach[e], 3.0);
    EXPECT_NEAR(rocket->mach[rocket->throatIndex], 1.0, 1e-3);
    setEngineMessageHandler({});
}

} // namespace
