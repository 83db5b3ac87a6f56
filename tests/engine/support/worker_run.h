#pragma once
// Runs a Threader from a test: the GUI event loop turns until the worker has reported
// and both the worker and its thread are gone (or the time is up).
#include <functional>

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>
#include <QPointer>
#include <QThread>
#include <QTimer>

#include "engine/threader.h"

namespace worker_run {

// Runs the GUI event loop until pred() holds or the time is up; pred() at the end.
inline bool waitFor(const std::function<bool()>& pred, int timeoutMs)
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

struct Outcome {
    bool arrived = false; // finished() was received
    bool result = false; // what finished() carried
    bool inGuiThread = false; // finished() was received in the GUI thread
    bool threadLeft = true; // the worker's thread still existed when the wait ended
    bool workerLeft = true; // the worker itself still existed when the wait ended
    // The worker reported and took its thread and itself away.
    bool cleanedUp() const { return arrived && !threadLeft && !workerLeft; }
};

// Starts the worker and waits for its report and for the worker and its thread to go.
inline Outcome run(Threader* worker, int timeoutMs)
{
    Outcome out;
    QPointer<Threader> alive(worker);
    QObject context;
    QPointer<QThread> thread = Threader::start(worker, &context, [&out](bool res) {
        out.arrived = true;
        out.result = res;
        out.inGuiThread = QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    waitFor([&] { return out.arrived && thread.isNull() && alive.isNull(); }, timeoutMs);
    out.threadLeft = !thread.isNull();
    out.workerLeft = !alive.isNull();
    return out;
}

} // namespace worker_run
