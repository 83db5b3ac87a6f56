#include "engine/threader.h"

#include <QThread>

#include "engine/ode.h"
#include "engine/odk.h"

Threader::Threader(std::function<void()> progress) : QObject(nullptr), progressCallback(std::move(progress))
{
    connect(this, SIGNAL(progress()), this, SLOT(updateProgress()));
}

Threader::~Threader()
{
    delete ode;
    ode = nullptr;
    odkOwner.reset();
    odk = nullptr;
}

void Threader::runCalculations()
{
    bool res = true;
    switch (mode) {
    case 0:
        // A run that ended without a usable result (a failed chamber solve, or inputs
        // it refused) is not reported as a success.
        if (voidOdeRun && ode) {
            voidOdeRun(*ode);
            res = !ode->failed;
        } else {
            res = false;
        }
        break;
    case 1: res = boolOdeRun && ode ? boolOdeRun(*ode) : false; break;
    case 2:
        // Likewise a kinetic run that ended without its stations (refused, failed
        // integration, critical code) is reported as failed.
        if (odkRun && odk) {
            odkRun(*odk);
            res = !odk->failed;
        } else {
            res = false;
        }
        break;
    default: break;
    }
    emit finished(res);
}

void Threader::updateProgress()
{
    if (progressCallback)
        progressCallback();
}

QThread* Threader::start(Threader* worker, QObject* context, std::function<void(bool)> onFinished)
{
    auto* thread = new QThread;
    worker->moveToThread(thread);
    if (context && onFinished)
        connect(worker, &Threader::finished, context, [done = std::move(onFinished)](bool res) { done(res); });
    connect(worker, &Threader::finished, worker, &QObject::deleteLater);
    // Quit from the worker thread itself once the run is over; the pending deletion of
    // the worker is carried out as the thread finishes.
    connect(worker, &Threader::finished, thread, &QThread::quit, Qt::DirectConnection);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::started, worker, &Threader::runCalculations);
    thread->start(QThread::InheritPriority);
    return thread;
}
