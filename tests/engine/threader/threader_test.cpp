// The worker: a run on its own thread reports finished() in the GUI thread, then the
// worker, its solver and the thread go away while the mixture and the record stay; an
// abort request stops a grain run that is under way.
#include <atomic>
#include <functional>
#include <memory>

#include <QPointer>
#include <QThread>

#include <gtest/gtest.h>

#include "../ode/perfect_gas.h"
#include "../support/quiet_engine.h"
#include "../support/worker_run.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"
#include "engine/threader.h"

namespace {

using namespace perfect_gas;

// The thread-finishing waits of these runs.
const int TIMEOUT_MS = 20000;

using worker_run::Outcome;

bool waitFor(const std::function<bool()>& pred)
{
    return worker_run::waitFor(pred, TIMEOUT_MS);
}

class Worker : public ::testing::Test {
protected:
    void SetUp() override
    {
        startQuietEngine();
        mixture = perfect_gas::mixture();
        rocket = std::make_shared<RocketVariables>();
        rocket->chamberPressure = 4e6;
        setNozzle(*rocket, {3.0, 1.0, 4.0, 10.0}, 1, 1e-3);
    }
    void TearDown() override { endQuietEngine(); }

    // Starts the worker and waits until its thread is gone.
    Outcome run(Threader* worker)
    {
        const Outcome out = worker_run::run(worker, TIMEOUT_MS);
        EXPECT_TRUE(out.cleanedUp()) << "arrived " << out.arrived << ", thread left " << out.threadLeft
                                     << ", worker left " << out.workerLeft;
        return out;
    }

    std::shared_ptr<Mixture> mixture;
    std::shared_ptr<RocketVariables> rocket;
};

TEST_F(Worker, RunFinishesInTheGuiThreadAndCleansUp)
{
    // Several runs one after another: each leaves no thread or worker behind.
    for (int k = 0; k < 3; ++k) {
        rocket->T.assign(rocket->stationCount, 0.0);
        auto* worker = new Threader(new ODE(mixture, rocket, false, false), &ODE::calculateIAC);
        EXPECT_EQ(worker->mode, 0);
        const Outcome out = run(worker);
        EXPECT_TRUE(out.result);
        EXPECT_TRUE(out.inGuiThread);
        EXPECT_NEAR(rocket->T[1], TC * 2.0 / (gamma() + 1.0), 1.0);
        // The solver went with the worker; the mixture and the record stay with us.
        EXPECT_EQ(rocket.use_count(), 1);
        EXPECT_EQ(mixture.use_count(), 1);
    }
}

TEST_F(Worker, BoolMembersPassTheirResultOn)
{
    setBurnLaw(*rocket);
    rocket->combustionArea = 0.04;
    rocket->targetPressure = 3e6;
    auto* sizing = new Threader(new ODE(mixture, rocket, false, false), &ODE::optimizeForPressure);
    EXPECT_EQ(sizing->mode, 1);
    EXPECT_TRUE(run(sizing).result);

    auto* failing = new Threader(new ODE(mixture, rocket, false, false),
                                 std::function<bool(ODE&)>([](ODE&) { return false; }));
    EXPECT_EQ(failing->mode, 1);
    const Outcome out = run(failing);
    EXPECT_TRUE(out.arrived);
    EXPECT_FALSE(out.result);

    // A missing member is a failed run, not a dead process.
    auto* empty = new Threader(new ODE(mixture, rocket, false, false), std::function<void(ODE&)>());
    EXPECT_FALSE(run(empty).result);
}

TEST_F(Worker, RefusedRunIsNotASuccess)
{
    // A finite-area chamber no wider than the throat is refused by the run.
    rocket->chamberArea = 0.5e-3;
    auto* worker = new Threader(new ODE(mixture, rocket, false, false), &ODE::calculateFAC);
    const Outcome out = run(worker);
    EXPECT_TRUE(out.arrived);
    EXPECT_FALSE(out.result);
}

TEST_F(Worker, FiniteAreaGrainRunEndsAsAborted)
{
    auto* worker = new Threader(new ODE(mixture, rocket, false, false), &ODE::calculateFACGrain);
    const Outcome out = run(worker);
    EXPECT_TRUE(out.result);
    EXPECT_EQ(abortFlag.load(), 1);
}

TEST_F(Worker, AbortStopsAGrainRunUnderWay)
{
    // A long burn: thousands of burn-back points, each a chamber-pressure balance.
    const int points = 20000;
    setBurnLaw(*rocket);
    rocket->burnPoints = points;
    for (int i = 0; i < points; ++i) {
        rocket->burnDistance.push_back(1e-6 * i);
        rocket->burnArea.push_back(0.02 + 0.02 * (i % 2)); // alternating: every point needs several passes
    }
    rocket->burnTimes.assign(points, -5.0);
    std::atomic<bool> started{false};
    auto* worker = new Threader(new ODE(mixture, rocket, false, false), [&started](ODE& ode) {
        started = true;
        ode.calculateIACGrain();
    });
    Outcome out;
    QObject context;
    QPointer<QThread> thread = Threader::start(worker, &context, [&out](bool res) {
        out.arrived = true;
        out.result = res;
    });
    ASSERT_TRUE(waitFor([&] { return started.load(); }));
    abortFlag = 1;
    ASSERT_TRUE(waitFor([&] { return out.arrived && thread.isNull(); }));
    // Stopped early: the burn times were never computed.
    EXPECT_EQ(rocket->burnTimes.back(), -5.0);
    EXPECT_EQ(rocket->burnTimes[0], -5.0);
}

} // namespace
