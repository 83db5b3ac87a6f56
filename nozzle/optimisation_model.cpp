#include "nozzle/optimisation_model.h"

#include <utility>

#include "core/calculation_activity.h"
#include "core/flag_codes.h"
#include "core/flags.h"
#include "engine/mixture.h"
#include "engine/ode.h"
#include "engine/rocket_variables.h"
#include "engine/threader.h"
#include "nozzle/current_nozzle.h"

OptimisationModel::OptimisationModel() : optRecord(std::make_shared<RocketVariables>())
{ }

OptimisationModel::~OptimisationModel()
{
    if (!optThread)
        return;
    const bool abortAsked = optRunning;
    if (abortAsked)
        abortFlag = 1;
    optThread->quit();
    optThread->wait();
    if (abortAsked) {
        abortFlag = 0;
        // Its completion is never delivered: the run stops counting here.
        calculationFinished();
    }
}

Reported<bool> OptimisationModel::selectPropellant(const std::string& name)
{
    PropellantSelection selection = selectOptimisationPropellant(name);
    optMixture = selection.mixture;
    return {selection.critical, std::move(selection.messages)};
}

Reported<GrainSelection> OptimisationModel::selectGrain(const std::string& name)
{
    return selectOptimisationGrain(name, *optRecord);
}

void OptimisationModel::targetChanged()
{
    optRecord->optBestValue = 0.0;
}

double OptimisationModel::bestValue() const
{
    return optRecord->optBestValue;
}

PreparedOptimisation OptimisationModel::prepareRun(const OptimisationForm& form,
                                                   const std::function<bool()>& rebuildNozzle,
                                                   const CurrentNozzle& nozzle) const
{
    PreparedOptimisation prepared;
    prepared.target = form.target;
    prepared.nozzleType = form.nozzleType;
    // The run's own record: the panel's grain, and everything the start adds.
    auto run = std::make_shared<RocketVariables>(*optRecord);
    OptimisationSteps steps;
    steps.loadBurnLaw = [&form](RocketVariables& r, ViewMessages* refusals) {
        return optimisationProviders().burnLaw(form.propellant, r.propellantDensity, r.vieilleLimits, r.vieilleA,
                                               r.vieilleN, refusals);
    };
    steps.rebuildNozzle = rebuildNozzle;
    prepared.start = prepareOptimisation(form, steps, nozzle, *run);
    if (!prepared.start.started())
        return prepared;
    if (!optMixture) {
        prepared.start.refusal = "A critical error occured in propellant definition";
        prepared.start.informative = "Please check active flags for further detail";
        return prepared;
    }
    prepared.record = std::move(run);
    return prepared;
}

QThread* OptimisationModel::startRun(PreparedOptimisation run, QObject* context, std::function<void(bool)> onFinished)
{
    // The warning words collect the run's own warnings.
    clearRunFlags();
    optTarget = static_cast<int16_t>(run.target);
    optNozzleType = static_cast<int16_t>(run.nozzleType);
    optTargetValue = run.start.targetValue;
    optLengthUnit = run.start.lengthUnit;
    optRunRecord = run.record;
    optAbortRequested = false;
    // Equilibrium flow at every station, without transport properties or wall heat transfer.
    auto* ode = new ODE(optMixture, std::move(run.record), false, false);
    auto* worker = new Threader(ode, optimisationMember(run.start.member), std::function<void()>());
    optRunning = true;
    calculationStarted();
    optThread = Threader::start(worker, context, std::move(onFinished));
    return optThread;
}

bool OptimisationModel::requestAbort()
{
    if (!optRunning)
        return false;
    optAbortRequested = true;
    abortFlag = 1;
    return true;
}

OptimisationCompletion OptimisationModel::finishRun(bool success, const OptimisationFormNow& now)
{
    if (optRunning)
        calculationFinished();
    optRunning = false;
    OptimisationCompletion done;
    done.nozzleType = optNozzleType;
    const std::shared_ptr<RocketVariables> result = std::move(optRunRecord);
    if (optAbortRequested) {
        // The result is discarded and the byte cleared.
        optAbortRequested = false;
        abortFlag = 0;
        done.outcome = OptimisationOutcome::Aborted;
        return done;
    }
    if (!success || !result) {
        done.outcome = OptimisationOutcome::Failed;
        if (result)
            done.reason = sizingRefusalText(*result, now.target == optTarget ? now.targetUnit : 0);
        return done;
    }
    const bool exitWritten = isMaximisation(optTarget) || now.adaptExit;
    done.reason = writeBackRefusal(*result, exitWritten);
    if (!done.reason.isEmpty()) {
        done.outcome = OptimisationOutcome::Failed;
        return done;
    }
    optRecord->optBestValue = result->optBestValue;
    optRecord->throatArea = result->throatArea;
    optRecord->exitArea = result->exitArea;
    done.outcome = OptimisationOutcome::Succeeded;
    done.writeBack = optimisationWriteBack(optTarget, *result, optLengthUnit, now.targetUnit, now.adaptExit);
    // The optimum goes into the target field only while that field still shows the
    // target the run was for.
    if (now.target != optTarget)
        done.writeBack.targetValue.reset();
    return done;
}
