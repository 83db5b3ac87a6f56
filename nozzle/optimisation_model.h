#pragma once
// The nozzle optimisation panel without its widgets: the panel's propellant and record,
// the start of a run (the checks in their order, then the run's own copy of the record),
// the solver's worker on a thread of its own, the abort request, and what a finished run
// leaves for the form. The view reads the fields, calls these and writes the fields.
//
// A run works on its own copy of the panel's record, so a selection or a target change
// during the run never reaches the record the worker is using. The panel's mixture is
// never changed in place (a selection replaces it), so the run holds the one it started
// with.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QPointer>
#include <QThread>

#include "nozzle/optimisation.h"

class Mixture;
class QObject;
class RocketVariables;
struct CurrentNozzle;

// A start that passed its checks, not yet started (or the refusal of one that did not).
struct PreparedOptimisation {
    OptimisationStart start; // the verdict of the checks, and the start's values in SI
    std::shared_ptr<RocketVariables> record; // the run's own record; null when refused
    int target = optTarget::Thrust; // combo_opt_target at the start
    int nozzleType = 0; // comb_type at the start
    bool ready() const { return record != nullptr; }
};

// The form as it is when a run comes back: the write-back depends on it.
struct OptimisationFormNow {
    int target = optTarget::Thrust; // combo_opt_target
    int targetUnit = 0; // combo_opt_target_units
    bool adaptExit = true; // check_OptAdapt
};

enum class OptimisationOutcome {
    Aborted, // this panel asked for the abort: nothing to show or write
    Failed, // the solver found no result: "Optimization failed"
    Succeeded,
};

struct OptimisationCompletion {
    OptimisationOutcome outcome = OptimisationOutcome::Failed;
    int nozzleType = 0; // the type whose parameter area the run held, and whose fields take the result
    // For a success: the diameters, and the optimum only while the form still shows the
    // target the run was for.
    OptimisationWriteBack writeBack;
    // For a failure: why no nozzle was written, when the run says (sizingRefusalText).
    QString reason;
};

class OptimisationModel {
public:
    OptimisationModel();
    // A run still going is asked to stop and its thread awaited, so no worker outlives
    // the panel (the optimisations poll the abort byte; the pressure target ends by itself).
    ~OptimisationModel();
    OptimisationModel(const OptimisationModel&) = delete;
    OptimisationModel& operator=(const OptimisationModel&) = delete;

    // The panel's propellant: replaced on every selection; null until one is chosen.
    std::shared_ptr<Mixture> optMixture;
    // The panel's record: the grain of the last selection and the results of the last run.
    std::shared_ptr<RocketVariables> optRecord;

    // Propellant selection; true when a propellant load code came up (the mixture is
    // replaced all the same). Both selections hand back the loader's boxes, for the view
    // to show before its own.
    Reported<bool> selectPropellant(const std::string& name);
    Reported<GrainSelection> selectGrain(const std::string& name);
    // A new target: the optimum of the last maximisation no longer applies.
    void targetChanged();
    // The optimum of the last maximisation, SI (0 after a target change).
    double bestValue() const;

    // The checks of a start in their order, on a copy of the panel's record: the burn law
    // of the form's propellant into it, the nozzle rebuilt from the form (rebuildNozzle,
    // false when the form holds no full nozzle; it shows its own message), then `nozzle`
    // in SI and the form's values. A refusal comes back in `start` for the view to show,
    // after the burn-law loader's boxes (`start.messages`).
    PreparedOptimisation prepareRun(const OptimisationForm& form, const std::function<bool()>& rebuildNozzle,
                                    const CurrentNozzle& nozzle) const;
    // Clears the warning words the run will fill, keeps what the completion needs, builds
    // the solver and starts its worker; `onFinished` runs in the context's thread.
    QThread* startRun(PreparedOptimisation run, QObject* context, std::function<void(bool)> onFinished);
    // A press while a run is going: the abort byte is set and true returned (the view
    // reports it). The run stops when its solver next looks at the byte.
    bool requestAbort();
    // The run came back with the solver's result. The abort this panel asked for is
    // cleared (one asked for by another tab's run is that run's to clear).
    OptimisationCompletion finishRun(bool success, const OptimisationFormNow& now);

    bool running() const { return optRunning; }
    // The last run's thread while it exists (it quits once its run has reported).
    QThread* runThread() const { return optThread; }
    // The target value of the last started run, SI.
    double targetValue() const { return optTargetValue; }

private:
    double optTargetValue = 0.0;
    int16_t optNozzleType = 0; // comb_type when the running optimisation started
    int16_t optTarget = 0; // combo_opt_target when it started
    int optLengthUnit = 0; // unit of its stations, for the write-back
    QPointer<QThread> optThread; // the last run's thread (gone once it has finished)
    std::shared_ptr<RocketVariables> optRunRecord; // the running run's own record
    bool optRunning = false;
    bool optAbortRequested = false; // this panel set the abort byte for its run
};
