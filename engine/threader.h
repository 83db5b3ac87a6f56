#pragma once
// Runs one member of a nozzle-flow solver on a worker thread and reports its end to
// the thread that started it. The Threader owns its solver and deletes it with itself;
// the solver's mixture and run record are shared and outlive it.
//
// The run member is any callable taking the solver: one returning bool (the
// optimisations) makes a mode-1 worker whose result is passed on by finished(); one
// returning nothing (the runs) a mode-0 worker that reports true unless the solver
// marked the run as failed. A missing member reports false instead of ending the
// process.
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include <QObject>

#include "engine/ode.h"

class ODK;
class QThread;

class Threader : public QObject {
    Q_OBJECT

    template <class T>
    struct Identity {
        using type = T;
    };

public:
    int16_t mode = -1; // 0 void ODE member, 1 bool ODE member, 2 ODK member
    ODE* ode = nullptr;
    ODK* odk = nullptr;
    std::function<void(ODE&)> voidOdeRun;
    std::function<bool(ODE&)> boolOdeRun;
    std::function<void(ODK&)> odkRun;
    std::function<void()> progressCallback;

    // Modes 0 and 1, chosen by what the member returns.
    template <class F, std::enable_if_t<std::is_invocable_v<F&, ODE&>, int> = 0>
    Threader(ODE* solver, F run, std::function<void()> progress = {}) : Threader(std::move(progress))
    {
        ode = solver;
        if constexpr (std::is_same_v<std::invoke_result_t<F&, ODE&>, bool>) {
            mode = 1;
            boolOdeRun = std::move(run);
        } else {
            mode = 0;
            voidOdeRun = std::move(run);
        }
    }

    // Mode 2, the kinetic solver (its type is complete where this is called).
    template <class K, std::enable_if_t<std::is_same_v<K, ODK>, int> = 0>
    Threader(K* solver, std::function<void(typename Identity<K>::type&)> run, std::function<void()> progress = {})
        : Threader(std::move(progress))
    {
        mode = 2;
        odk = solver;
        odkOwner = std::shared_ptr<void>(solver);
        odkRun = std::move(run);
    }

    ~Threader() override;

    // Moves the worker to a new thread and starts it. onFinished(res) runs in the
    // context object's thread; afterwards the worker is deleted and the thread quits
    // and deletes itself, so no idle thread is left behind. The thread is returned for
    // a caller that must wait for it at shutdown (abort first, then quit and wait).
    static QThread* start(Threader* worker, QObject* context, std::function<void(bool)> onFinished);

signals:
    void finished(bool res);
    void progress();

public slots:
    void runCalculations();
    void updateProgress();

private:
    explicit Threader(std::function<void()> progress);
    std::shared_ptr<void> odkOwner;
};
