// The kinetic run on its own thread: the worker reports finished() in the GUI thread,
// then the worker and the kinetic solver go away while the mixture and the record
// stay with the results.
#include <functional>
#include <memory>

#include <QCoreApplication>
#include <QEventLoop>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "engine/engine_messages.h"
#include "engine/odk.h"
#include "engine/threader.h"
#include "../ode/perfect_gas.h"
#include "kinetic_cases.h"

namespace {

bool waitFor(const std::function<bool()>& pred, int timeoutMs = 60000)
{
    if (pred())
        return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred())
            loop.quit();
    });
    poll.start(2);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    return pred();
}

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
    QPointer<Threader> alive(worker);
    bool arrived = false, result = false, inGuiThread = false;
    QObject context;
    QPointer<QThread> thread = Threader::start(worker, &context, [&](bool res) {
        arrived = true;
        result = res;
        inGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    ASSERT_TRUE(waitFor([&] { return arrived && thread.isNull() && alive.isNull(); }));
    EXPECT_TRUE(result);
    EXPECT_TRUE(inGuiThread);
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
