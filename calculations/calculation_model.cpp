#include "calculations/calculation_model.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QThread>

#include "calculations/calculation_options.h"
#include "calculations/configuration_store.h"
#include "calculations/run_inputs.h"
#include "calculations/run_judgement.h"
#include "core/calculation_activity.h"
#include "core/flag_codes.h"
#include "core/flags.h"
#include "core/message_box.h"
#include "core/number_text.h"
#include "core/physical_limits.h"
#include "core/preferences.h"
#include "core/units.h"
#include "engine/mixture.h"
#include "engine/ode.h"
#include "engine/odk.h"
#include "engine/threader.h"

namespace calc {

namespace {

constexpr uint32_t criticalKineticCodes = code::ODK00 | code::ODK01 | code::ODK02;
constexpr uint32_t criticalFlowCodes = code::ODE05 | code::ODE06 | code::ODE07 | code::ODE08;

} // namespace

RunMemberChoice chooseRunMember(bool ode, bool infiniteArea, bool grainRun)
{
    if (ode) {
        if (infiniteArea)
            return {grainRun ? RunMember::OdeIacGrain : RunMember::OdeIac, {}};
        if (!grainRun)
            return {RunMember::OdeFac, {}};
        return {RunMember::Unsupported, QStringLiteral("ODE FAC with grain not yet supported")};
    }
    if (infiniteArea && !grainRun)
        return {RunMember::OdkIac, {}};
    if (infiniteArea)
        return {RunMember::Unsupported, QStringLiteral("ODK with grain not yet supported")};
    if (grainRun)
        return {RunMember::Unsupported, QStringLiteral("ODK FAC with grain not yet supported")};
    return {RunMember::Unsupported, QStringLiteral("ODK FAC not yet supported")};
}

PreparedRun::PreparedRun() = default;
PreparedRun::PreparedRun(PreparedRun&&) noexcept = default;
PreparedRun& PreparedRun::operator=(PreparedRun&&) noexcept = default;
PreparedRun::~PreparedRun() = default;

bool frozenPointOffered(const TabForm& form)
{
    OptionSwitches switches;
    switches.ode = form.ode;
    switches.frozen = form.frozen;
    return optionEnables(switches).frozenPoint;
}

namespace {

// The run raised a code of its own that makes it a critical error.
bool criticalCodeRaised(const RunReport& report)
{
    return report.unitRaised || report.newLoadCodes != 0 || (report.kineticCodes & criticalKineticCodes) != 0
            || (report.flowCodes & criticalFlowCodes) != 0;
}

} // namespace

RunOutcome judgeRun(const RunReport& report)
{
    if (criticalCodeRaised(report))
        return RunOutcome::CriticalError;
    if (report.speciesCodes & code::SP10)
        return RunOutcome::NotConverged;
    if (report.abortRequested)
        return RunOutcome::Aborted;
    // The solver ended without a usable result and said why through no code.
    if (!report.result)
        return RunOutcome::CriticalError;
    return RunOutcome::Succeeded;
}

CalculationModel::CalculationModel(QObject* messageParent, CalculationProviders providers)
    : parent_(messageParent), providers_(std::move(providers))
{
    results.push_back(std::make_shared<RocketVariables>());
}

CalculationModel::~CalculationModel()
{
    // A run whose completion never came back (the tab closed during it) stops counting.
    if (running)
        calculationFinished();
}

std::size_t CalculationModel::finishedCount() const
{
    return results.size() - 1 - (runRecord_ ? 1 : 0);
}

std::vector<std::shared_ptr<RocketVariables>> CalculationModel::finishedRuns() const
{
    return {results.begin(), results.begin() + static_cast<std::ptrdiff_t>(finishedCount())};
}

void CalculationModel::noteSelectionCodes(uint32_t before)
{
    if (running)
        loadCodesBySelections_ |= flagsL.load() & ~before;
}

ViewMessages CalculationModel::selectPropellant(const std::string& name, bool uniformTemperatureOn)
{
    clearFlag(flagsL, code::propellantLoadCodes);
    const uint32_t before = flagsL.load();
    ViewMessages messages;
    if (providers_.loadPropellantMixture)
        mixture = providers_.loadPropellantMixture(name, &edited().speciesNames, &messages);
    if (!mixture)
        mixture = std::make_shared<Mixture>(); // raises L07: nothing can be computed with it
    noteSelectionCodes(before);
    if (uniformTemperatureOn)
        reapplyUniformTemperature();
    return messages;
}

void CalculationModel::reapplyUniformTemperature()
{
    if (homT == 0.0 || !mixture)
        return;
    singleDefinedWarnings(6);
    mixture->setReactantEnthalpy(homT);
    warnSingleDefined = true;
}

ViewMessages CalculationModel::restoreReactantTemperatures(const std::string& propellant)
{
    return selectPropellant(propellant, false);
}

NozzleSelection CalculationModel::selectNozzle(const std::string& name)
{
    NozzleSelection out;
    clearFlag(flagsL, code::L08);
    const uint32_t before = flagsL.load();
    RocketVariables& rv = edited();
    out.loaded = providers_.loadNozzle
            && providers_.loadNozzle(name, rv.x, rv.area, rv.throatDiameter, rv.throatCurvatureRadius, &out.messages);
    noteSelectionCodes(before);
    if (!out.loaded || rv.x.empty() || rv.area.size() != rv.x.size()) {
        out.loaded = false;
        return out;
    }
    rv.throatIndex = nearestStation(rv.x, 0.0);
    rv.stationCount = static_cast<uint32_t>(rv.x.size());
    rv.resizeStations();
    out.throatIndex = rv.throatIndex;
    out.stationCount = rv.stationCount;
    out.entranceArea = rv.area.front();
    return out;
}

Reported<bool> CalculationModel::selectGrain(const std::string& name)
{
    Reported<bool> out;
    clearFlag(flagsL, code::L09);
    const uint32_t before = flagsL.load();
    RocketVariables& rv = edited();
    // The initial burning area (the first of the curve), negative when not loaded.
    rv.combustionArea = providers_.loadGrainBurnback
            ? providers_.loadGrainBurnback(name, rv.burnDistance, rv.burnArea, &out.messages)
            : -1.0;
    noteSelectionCodes(before);
    if (rv.combustionArea < 0.0)
        return out;
    rv.burnPoints = static_cast<uint32_t>(rv.burnDistance.size());
    for (std::vector<double>* s : {&rv.burnTimes, &rv.burnChamberPressure, &rv.burnChamberT, &rv.burnMassFlow,
                                   &rv.burnThrust, &rv.burnCStar, &rv.burnCE, &rv.burnIsp, &rv.burnRate})
        s->resize(rv.burnPoints, 0.0);
    out.value = true;
    return out;
}

CalculationModel::PressureChoice CalculationModel::selectChamberPressure(const QString& text, int unitIndex)
{
    PressureChoice out;
    if (text.isEmpty()) {
        out.messages.push_back(tabViewMessage(Msg::Critical, text::noPressure));
        return out;
    }
    // A number that no pressure in pascals can hold (1e308 MPa) is no pressure either.
    const std::optional<double> pascals = readPressure(text, unitIndex);
    if (!pascals || !std::isfinite(*pascals)) {
        out.messages.push_back(tabViewMessage(Msg::Critical, text::invalidPressure));
        out.echo.clearPressure = true;
        return out;
    }
    edited().chamberPressure = *pascals;
    out.accepted = true;
    return out;
}

void CalculationModel::singleDefinedWarnings(int digits)
{
    for (const SingleDefinedReactant& r : singleDefinedReactants(*mixture, homT)) {
        if (!warnSingleDefined)
            continue;
        MessageRequest box;
        box.icon = Msg::Warning;
        box.text = singleDefinedWarning(r, digits);
        box.checkBoxText = singleDefinedCheckBox;
        box.buttons = Msg::Ok;
        box.defaultButton = Msg::Ok;
        warnSingleDefined = !showMessage(parent_, box).checked;
    }
}

Reported<bool> CalculationModel::applyUniformTemperature(const QString& text)
{
    const std::optional<double> t = uniformTemperatureField(text);
    if (!t) {
        // The last accepted temperature stays: a refused one must not reach a run.
        return {false, {tabViewMessage(Msg::Critical, text::invalidHomT)}};
    }
    homT = *t;
    if (!mixture)
        return {true, {}};
    singleDefinedWarnings(NUM_DIS_PREC);
    mixture->setReactantEnthalpy(homT);
    warnSingleDefined = true;
    return {true, {}};
}

Reported<std::optional<uint32_t>> CalculationModel::placeFrozenPoint(const QString& text, int lengthUnit) const
{
    const RocketVariables& rv = *results.back();
    const std::size_t stations = std::min<std::size_t>(rv.x.size(), rv.stationCount);
    const std::vector<double> x(rv.x.begin(), rv.x.begin() + static_cast<std::ptrdiff_t>(stations));
    if (x.empty())
        return {}; // no nozzle yet: nothing to place the point on
    const std::optional<double> typed = readNumber(text);
    if (!typed)
        return {std::nullopt, {tabViewMessage(Msg::Critical, text::invalidPosition)}};
    const std::optional<FrozenPlacement> p
            = calc::placeFrozenPoint(x, convertToSI(unitKind::Length, *typed, static_cast<int16_t>(lengthUnit)));
    return {p->station, {}};
}

RunStart CalculationModel::prepareRun(const TabForm& form, const FormActions& actions)
{
    clearRunFlags();
    RocketVariables& rv = edited();
    RunStart start;
    // A refusal ends the start; its box (none for a check that showed its own: the
    // rereads of the "Current" items) is the last thing the view shows.
    auto refuse = [&start](const QString& text, const QString& informative = QString()) {
        start.messages.push_back(tabViewMessage(Msg::Critical, text, informative));
        return std::move(start);
    };
    auto refuseWith = [&start](ViewMessages messages) {
        start.messages = std::move(messages);
        return std::move(start);
    };

    if (form.name.isEmpty())
        return refuse(text::noName);
    std::vector<std::string> finishedNames;
    for (const auto& r : finishedRuns())
        finishedNames.push_back(r->configurationName);
    rv.configurationName = uniqueRunName(form.name.toStdString(), finishedNames);

    if (form.autosave && !(actions.save && actions.save()))
        return start;

    if (form.propellantIndex < 0 || !mixture)
        return refuse(text::noPropellant);
    if (flagRaised(flagsL, code::propellantLoadCodes))
        return refuse("Calculations can not be performed with a critical error in propellant definition",
                      text::checkFlags);

    if (form.nozzleIndex < 0)
        return refuse(text::noNozzle);
    // "Current" is whatever the nozzle tab shows now; one that is gone refuses the run, and
    // one the loader refused with its box refuses it without a second box.
    const CurrentReread currentNozzle = form.nozzleIndex == 0
            ? (actions.rereadCurrentNozzle ? actions.rereadCurrentNozzle() : CurrentReread{})
            : CurrentReread{true, false};
    if (!currentNozzle.selected)
        return currentNozzle.told ? std::move(start) : refuse(text::noNozzle);
    if (flagRaised(flagsL, code::L08))
        return refuse("Calculations can not be performed with a critical error in nozzle definition", text::checkFlags);
    // A choice that never brought stations into the record leaves nothing to compute on.
    if (rv.x.empty() || rv.stationCount == 0)
        return refuse(text::noNozzle);
    rv.propellantName = form.propellant.toStdString();
    rv.nozzleName = form.nozzle.toStdString();

    if (form.grainMode) {
        if (form.grainIndex < 0)
            return refuse(text::noGrain);
        // "Current" read again: one the grain tab no longer shows leaves no grain selected,
        // one it shows but no run can take (out of the grain limits) raises L09 and is
        // refused as every grain with that code is.
        const CurrentReread currentGrain = form.grainIndex == 0
                ? (actions.rereadCurrentGrain ? actions.rereadCurrentGrain() : CurrentReread{})
                : CurrentReread{true, false};
        // The loader's box has said why the grain cannot be used: no second box.
        if (currentGrain.told && (!currentGrain.selected || flagRaised(flagsL, code::L09)))
            return start;
        if (flagRaised(flagsL, code::L09))
            return refuse("Calculations can not be performed with a critical error in grain geometry definition",
                          text::checkFlags);
        if (!currentGrain.selected)
            return refuse(text::noGrain);
        rv.grainName = form.grain.toStdString();
        // Refused with the loader's box: every check before it ended the start, so no
        // other box is in the start yet.
        if (!providers_.loadVielleParameters
            || !providers_.loadVielleParameters(rv.propellantName, rv.propellantDensity, rv.vieilleLimits, rv.vieilleA,
                                                rv.vieilleN, &start.messages))
            return start;
        rv.isGrain = true;
    } else {
        PressureChoice pressure = selectChamberPressure(form.pressure, form.pressureUnit);
        start.echo = pressure.echo;
        if (!pressure.accepted)
            return refuseWith(std::move(pressure.messages));
        // The field takes 0, but no chamber burns at it (nor at 1e-300 MPa, nor beyond
        // 1e10 Pa): the run is refused with the field's own words.
        if (!physical::chamberPressureInRange(rv.chamberPressure))
            return refuse(text::invalidPressure);
        rv.isGrain = false;
        rv.givenPressure = rv.chamberPressure;
    }

    if (form.homTChecked) {
        Reported<bool> applied = applyUniformTemperature(form.homT);
        if (!applied.value)
            return refuseWith(std::move(applied.messages));
    }
    // 0: the reactants are at their own temperatures.
    rv.reactantTemperature = form.homTChecked ? homT : 0.0;

    if (unitFlag.load() != 0)
        return refuse("A unit used was invalid",
                      "This is probably caused by a manual alteration of the save files, please revert it");
    if (flagsL.load() != 0)
        return refuse("Unrecognized critical error has occured", text::checkFlags);

    const std::optional<double> ambient = ambientPressureField(form.ambient, form.ambientUnit);
    if (!ambient)
        return refuse(text::invalidAmbient);
    // No gas leaves a chamber that is not above the ambient pressure. A grain run's chamber
    // pressure is known only once the grain burns: its burn points are judged in the run.
    if (!rv.isGrain && !physical::chamberAboveAmbient(rv.chamberPressure, *ambient))
        return refuse(text::invalidAmbient, text::ambientOverChamber);
    rv.ambientPressure = *ambient;

    const std::optional<double> wall = wallTemperatureField(form.wallTemperature);
    if (!wall)
        return refuse(text::invalidWall);
    rv.wallTemperature = *wall;

    rv.isIAC = !form.fac;
    rv.chamberArea = 0.0;
    if (form.fac) {
        const std::optional<double> area = chamberAreaField(form.chamberArea, form.areaUnit);
        if (!area)
            return refuse(text::invalidArea);
        // The nozzle loaded above gives the throat (its station at x = 0).
        const double throat = rv.throatIndex < rv.area.size() ? rv.area[rv.throatIndex] : 0.0;
        if (throat > 0.0 && !physical::chamberWiderThanThroat(*area, throat))
            return refuse(text::invalidArea, text::chamberNarrowerThanThroat);
        // A chamber thousands of times wider than the throat is an infinite-area one: the
        // finite-area model cannot start there.
        if (throat > 0.0 && *area / throat > physical::maxContractionRatio)
            return refuse(text::invalidArea);
        rv.chamberArea = *area;
    }

    // The frozen point is read only where the form offers it (the equilibrium model with
    // "Frozen at" ticked); otherwise nothing is frozen.
    const bool frozenFlow = frozenPointOffered(form);
    rv.frozenIndex = rv.stationCount;
    if (frozenFlow) {
        Reported<std::optional<uint32_t>> frozen = placeFrozenPoint(form.frozenPosition, form.lengthUnit);
        if (!frozen.value)
            return refuseWith(std::move(frozen.messages));
        start.echo.frozenStation = frozen.value;
        rv.frozenIndex = *frozen.value;
    }
    rv.calcTransport = form.transport;
    rv.calcHeatTransfer = form.heatWall;
    rv.isODE = form.ode;

    // Unsupported combinations are refused before anything starts (the abort byte is
    // shared with the nozzle tab's optimisations and must not be touched).
    const RunMemberChoice choice = chooseRunMember(rv.isODE, rv.isIAC, rv.isGrain);
    if (choice.member == RunMember::Unsupported) {
        ViewMessage box = tabViewMessage(Msg::Critical, choice.message);
        box.parentless = true;
        return refuseWith({box});
    }

    // The run computes on copies: the form goes on editing its own record and mixture.
    PreparedRun& run = start.run.emplace();
    run.record = std::make_shared<RocketVariables>(rv);
    run.member = choice.member;
    std::shared_ptr<Mixture> runMixture = copyMixtureForRun(*mixture);
    if (rv.isODE) {
        ODE* ode = frozenFlow ? new ODE(runMixture, run.record, rv.frozenIndex, rv.calcTransport, rv.calcHeatTransfer)
                              : new ODE(runMixture, run.record, rv.calcTransport, rv.calcHeatTransfer);
        switch (choice.member) {
        case RunMember::OdeIacGrain: run.worker = std::make_unique<Threader>(ode, &ODE::calculateIACGrain); break;
        case RunMember::OdeFac: run.worker = std::make_unique<Threader>(ode, &ODE::calculateFAC); break;
        default: run.worker = std::make_unique<Threader>(ode, &ODE::calculateIAC); break;
        }
    } else {
        auto* odk = new ODK(runMixture, run.record, rv.calcTransport, rv.calcHeatTransfer);
        run.worker = std::make_unique<Threader>(odk, &ODK::calculateIAC);
    }
    return start;
}

QThread* CalculationModel::startRun(PreparedRun run, QObject* context, std::function<void(bool)> onFinished)
{
    results.insert(results.end() - 1, run.record);
    runRecord_ = run.record;
    running = true;
    calculationStarted();
    loadCodesAtStart_ = flagsL.load();
    loadCodesBySelections_ = 0;
    unitAtStart_ = unitFlag.load() != 0;
    runThread_ = Threader::start(run.worker.release(), context, std::move(onFinished));
    return runThread_;
}

void CalculationModel::stopRunOnClose()
{
    if (!runThread_)
        return;
    // The abort byte is shared with the nozzle tab's optimisations: it is set only while
    // this tab's own run is going and given back afterwards.
    const bool abortAsked = running;
    if (abortAsked)
        abortFlag.store(1);
    runThread_->quit();
    runThread_->wait();
    if (abortAsked)
        abortFlag.store(0);
}

CalculationModel::Completion CalculationModel::finishRun(bool result)
{
    if (running)
        calculationFinished();
    running = false;
    RunReport report;
    report.result = result;
    report.abortRequested = abortFlag.load() != 0;
    report.unitRaised = !unitAtStart_ && unitFlag.load() != 0;
    report.newLoadCodes = flagsL.load() & ~loadCodesAtStart_ & ~loadCodesBySelections_;
    report.kineticCodes = flagsODK.load();
    report.speciesCodes = flagsSP.load();
    report.flowCodes = flagsODE.load();

    Completion c;
    c.outcome = judgeRun(report);
    const auto it = std::find(results.begin(), results.end(), runRecord_);
    c.runIndex = static_cast<std::size_t>(it - results.begin());
    if (c.outcome == RunOutcome::Succeeded && it != results.end()) {
        computeSummary(**it, (*it)->ambientPressure);
        // A figure no engine can show makes the run a failure, not a result.
        const RunFault fault = judgeRunFigures(**it);
        if (fault != RunFault::None) {
            raiseFlag(flagsODE, faultCode(fault));
            c.outcome = RunOutcome::CriticalError;
        }
    }
    if (c.outcome == RunOutcome::CriticalError) {
        // Every failed run names its reason in the Critical Errors menu (the judgement of
        // the figures may have raised it just now).
        report.flowCodes = flagsODE.load();
        if (!criticalCodeRaised(report)) {
            const bool unbalancedGrain = runRecord_ && runRecord_->isGrain && flagRaised(flagsV, code::V02);
            raiseFlag(flagsODE, unbalancedGrain ? code::ODE07 : code::ODE05);
        }
    }
    if (c.outcome != RunOutcome::Succeeded) {
        if (it != results.end())
            results.erase(it);
        abortFlag.store(0);
    }
    runRecord_.reset();
    return c;
}

SaveOutcome CalculationModel::saveConfiguration(const TabForm& form)
{
    SaveOutcome out;
    auto refuse = [&out](const QString& text) {
        out.messages.push_back(tabViewMessage(Msg::Critical, text));
        return std::move(out);
    };
    auto refuseWith = [&out](ViewMessages messages) {
        out.messages = std::move(messages);
        return std::move(out);
    };
    if (form.name.isEmpty())
        return refuse("Cannot have empty name");
    if (form.propellantIndex < 0)
        return refuse(text::noPropellant);
    if (form.nozzleIndex < 0)
        return refuse(text::noNozzle);
    Configuration c;
    c.propellant = form.propellant.toStdString();
    c.nozzle = form.nozzle.toStdString();
    c.grainMode = form.grainMode;
    if (form.grainMode) {
        if (form.grainIndex < 0)
            return refuse(text::noGrain);
        c.grain = form.grain.toStdString();
    } else {
        PressureChoice pressure = selectChamberPressure(form.pressure, form.pressureUnit);
        out.echo = pressure.echo;
        if (!pressure.accepted)
            return refuseWith(std::move(pressure.messages));
        c.pressure = readNumber(form.pressure).value_or(0.0);
        c.pressureUnit = form.pressureUnit;
    }
    c.ode = form.ode;
    c.frozen = frozenPointOffered(form);
    if (c.frozen) {
        Reported<std::optional<uint32_t>> station = placeFrozenPoint(form.frozenPosition, form.lengthUnit);
        if (!station.value)
            return refuseWith(std::move(station.messages));
        out.echo.frozenStation = station.value;
        c.frozenStation = *station.value;
    }
    c.fac = form.fac;
    c.areaUnit = form.areaUnit;
    // The numbers are stored as typed, once the field's rule has accepted them.
    if (form.fac) {
        if (!chamberAreaField(form.chamberArea, form.areaUnit))
            return refuse(text::invalidArea);
        c.chamberArea = readNumber(form.chamberArea).value_or(0.0);
    }
    if (!ambientPressureField(form.ambient, form.ambientUnit))
        return refuse(text::invalidAmbient);
    c.ambient = readNumber(form.ambient).value_or(0.0);
    c.ambientUnit = form.ambientUnit;
    if (form.homTChecked) {
        Reported<bool> applied = applyUniformTemperature(form.homT);
        if (!applied.value)
            return refuseWith(std::move(applied.messages));
    }
    c.uniformTemperature = form.homTChecked;
    c.homT = readNumber(form.homT).value_or(0.0);
    c.transport = form.transport;
    c.heatWall = form.heatWall;
    if (form.heatWall) {
        edited().wallTemperature = readNumber(form.wallTemperature).value_or(0.0);
        const std::optional<double> wall = wallTemperatureField(form.wallTemperature);
        if (!wall)
            return refuse(text::invalidWall);
        c.wallTemperature = *wall;
    }
    Reported<bool> stored = storeConfiguration(parent_, form.name.toStdString(), configurationEntry(c));
    out.saved = stored.value;
    out.messages = std::move(stored.messages);
    return out;
}

void CalculationModel::clearResults()
{
    std::vector<std::shared_ptr<RocketVariables>> kept;
    // A run still going keeps its record: its completion finds it there.
    if (runRecord_)
        kept.push_back(runRecord_);
    kept.push_back(std::make_shared<RocketVariables>());
    results = std::move(kept);
}

} // namespace calc
