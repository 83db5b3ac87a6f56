#include "nozzle/optimisation.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/curves.h"
#include "core/flags.h"
#include "core/number_text.h"
#include "core/physical_limits.h"
#include "core/preferences.h"
#include "engine/mixture.h"
#include "engine/ode.h"
#include "engine/rocket_variables.h"
#include "nozzle/contour.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/nozzle_model.h"

QStringList targetUnitItems(int target)
{
    switch (target) {
    case optTarget::ChamberPressure: return {"Mpa", "atm", "bar"};
    case optTarget::Thrust: return {"N", "kN", "kgf"};
    case optTarget::CombustionTime: return {"s", "ms"};
    case optTarget::TotalImpulse: return {"N s", "kN s", "kgf s"};
    case optTarget::SpecificImpulse: return {"m/s", "km/s", "s"};
    default: return {};
    }
}

UnitKind targetUnitKind(int target)
{
    switch (target) {
    case optTarget::ChamberPressure: return unitKind::Pressure;
    case optTarget::Thrust: return unitKind::Force;
    case optTarget::CombustionTime: return unitKind::Time;
    case optTarget::TotalImpulse: return unitKind::Impulse;
    case optTarget::SpecificImpulse: return unitKind::Velocity;
    default: return unitKind::Single;
    }
}

bool isMaximisation(int target)
{
    return target == optTarget::Thrust || target == optTarget::TotalImpulse || target == optTarget::SpecificImpulse;
}

OptimisationProviders& optimisationProviders()
{
    static OptimisationProviders providers = standardOptimisationProviders();
    return providers;
}

double grainReferenceArea(int rule, double initialArea, const std::vector<double>& y, const std::vector<double>& A)
{
    const std::size_t n = std::min(y.size(), A.size());
    if (n == 0)
        return initialArea;
    switch (rule) {
    case 1: return A[n - 1];
    case 2: return *std::min_element(A.begin(), A.begin() + static_cast<std::ptrdiff_t>(n));
    case 3: return *std::max_element(A.begin(), A.begin() + static_cast<std::ptrdiff_t>(n));
    case 4: {
        const double distance = y[n - 1];
        if (!(distance > 0.0) || !std::isfinite(distance))
            return initialArea; // a grain that burns no distance has no mean
        return integrate(A, y, 0.0, distance) / distance;
    }
    default: return initialArea;
    }
}

namespace {

double number(const QString& text)
{
    return readFormNumber(text);
}

} // namespace

PropellantSelection selectOptimisationPropellant(const std::string& name)
{
    PropellantSelection out;
    clearFlag(flagsL, code::propellantLoadCodes);
    out.mixture = optimisationProviders().propellantMixture(name, &out.messages);
    out.critical = flagRaised(flagsL, code::propellantLoadCodes) || !out.mixture;
    if (!out.critical)
        out.mixture->setReactantEnthalpy(OPT_TREAC);
    return out;
}

Reported<GrainSelection> selectOptimisationGrain(const std::string& name, RocketVariables& record)
{
    Reported<GrainSelection> out;
    clearFlag(flagsL, code::L09);
    const double initial
            = optimisationProviders().grainBurnback(name, &record.burnDistance, &record.burnArea, &out.messages);
    out.value = GrainSelection::Deselect;
    if (initial < 0.0)
        return out;
    record.combustionArea = initial;
    record.burnPoints = static_cast<uint32_t>(record.burnDistance.size());
    for (std::vector<double>* series :
         {&record.burnTimes, &record.burnChamberPressure, &record.burnChamberT, &record.burnMassFlow,
          &record.burnThrust, &record.burnCStar, &record.burnCE, &record.burnIsp, &record.burnRate})
        series->resize(record.burnPoints, 0.0);
    record.isGrain = true;
    out.value = GrainSelection::Critical;
    if (flagRaised(flagsL, code::L09))
        return out;
    record.combustionArea = grainReferenceArea(OPT_AREA, initial, record.burnDistance, record.burnArea);
    out.value = GrainSelection::Loaded;
    return out;
}

OptimisationStart prepareOptimisation(const OptimisationForm& form, const OptimisationSteps& steps,
                                      const CurrentNozzle& nozzle, RocketVariables& run)
{
    OptimisationStart s;
    auto refuse = [&s](const QString& text, const QString& informative = QString()) {
        s.refusal = text;
        s.informative = informative;
        return s;
    };
    const QString checkFlags = "Please check active flags for further detail";
    if (form.propellantIndex < 0)
        return refuse("A propellant must be selected");
    if (flagRaised(flagsL, code::propellantLoadCodes))
        return refuse("A critical error occured in propellant definition", checkFlags);
    if (form.grainIndex < 0)
        return refuse("A grain must be selected");
    if (flagRaised(flagsL, code::L09))
        return refuse("A critical error occured in grain definition", checkFlags);
    if (!steps.loadBurnLaw(run, &s.messages)) {
        s.silent = true; // the loader's boxes say why
        return s;
    }
    if (!steps.rebuildNozzle())
        return refuse("A full nozzle definition is requiered for optimization");

    // The nozzle in SI. Its throat is the station nearest x = 0, the smallest area.
    const auto unit = static_cast<int16_t>(nozzle.unitIndex);
    s.lengthUnit = nozzle.unitIndex;
    run.stationCount = static_cast<uint32_t>(nozzle.x.size());
    run.resizeStations();
    run.x.resize(run.stationCount);
    run.area.resize(run.stationCount);
    uint32_t throat = 0;
    for (uint32_t j = 0; j < run.stationCount; ++j) {
        run.x[j] = convertToSI(unitKind::Length, nozzle.x[j], unit);
        run.area[j] = convertToSI(unitKind::Area, nozzle.A[j], unit);
        if (std::fabs(nozzle.x[j]) < std::fabs(nozzle.x[throat]))
            throat = j;
    }
    run.throatIndex = throat;
    run.frozenIndex = run.stationCount;
    run.throatDiameter = convertToSI(unitKind::Length, nozzle.throatDiameter, unit);
    run.throatCurvatureRadius = convertToSI(unitKind::Length, nozzle.throatCurvatureRadius, unit);

    // Each value is checked in SI against the range of what it stands for, the ranges of
    // a run of the calculation tab: a number is not yet a pressure (1e6 MPa is 1e12 Pa).
    const std::optional<double> ambient = readPressure(form.ambient, form.ambientUnit);
    if (!ambient || !physical::ambientPressureInRange(*ambient))
        return refuse("Invalid ambient pressure");
    // The maximisations always adapt the exit, the other targets when asked to.
    if (!(*ambient > 0.0) && (isMaximisation(form.target) || form.adaptExit))
        return refuse("Invalid ambient pressure",
                      "An adapted exit expands the gas to the ambient pressure: to 0 (vacuum) no exit is wide "
                      "enough. Give the ambient pressure the nozzle is for, or size the throat without adapting "
                      "the exit.");
    run.ambientPressure = *ambient;

    if (!isMaximisation(form.target)) {
        const bool pressure = form.target == optTarget::ChamberPressure;
        const std::optional<double> typed = readNumber(form.targetValue);
        if (!typed || !(*typed > 0.0))
            return refuse("Invalid optimization target");
        s.targetValue = convertToSI(targetUnitKind(form.target), *typed, static_cast<int16_t>(form.targetUnit));
        if (pressure ? !physical::chamberPressureInRange(s.targetValue) : !physical::burnTimeInRange(s.targetValue))
            return refuse("Invalid optimization target");
        // A chamber at or below the ambient pressure blows no gas out of the nozzle.
        if (pressure && !physical::chamberAboveAmbient(s.targetValue, run.ambientPressure))
            return refuse("Invalid optimization target");
        s.member = pressure ? OptimisationMember::Pressure : OptimisationMember::BurnTime;
        if (pressure)
            run.targetPressure = s.targetValue;
        else
            run.targetBurnTime = s.targetValue;
        run.adaptExit = form.adaptExit;
    } else {
        // A lower limit of 0 leaves the range open downwards; any other is a chamber.
        const std::optional<double> pMin = readPressure(form.minPressure, form.minPressureUnit);
        if (!pMin || (*pMin != 0.0 && !physical::chamberPressureInRange(*pMin)))
            return refuse("Invalid optimization restriction for minimum chamber pressure");
        s.minChamberPressure = *pMin;
        const std::optional<double> pMax = readPressure(form.maxPressure, form.maxPressureUnit);
        if (!pMax || !physical::chamberPressureInRange(*pMax))
            return refuse("Invalid optimization restriction for maximum chamber pressure");
        s.maxChamberPressure = *pMax;
        if (s.minChamberPressure > s.maxChamberPressure)
            return refuse("Maximum allowable chamber pressure needs to be greater than minimum");
        const double rMin = number(form.minThroatRadius);
        if (!(rMin >= 0.0))
            return refuse("Invalid optimization restriction for minimum throat radius");
        s.minThroatRadius = convertToSI(unitKind::Length, rMin, static_cast<int16_t>(form.minThroatRadiusUnit));
        if (run.area.empty() || s.minThroatRadius * s.minThroatRadius * nozzle::pi >= run.area[0])
            return refuse("Minimum throat radius must be smaller than nozzle's entrance radius");
        const double ratio = number(form.minAreaRatio);
        if (!(ratio >= 1.0))
            return refuse("Invalid optimization restriction for exit and throat area relation");
        s.minAreaRatio = ratio;
        s.member = OptimisationMember::Performance;
        run.optMinPressure = s.minChamberPressure;
        run.optMaxPressure = s.maxChamberPressure;
        run.optMinThroatRadius = s.minThroatRadius;
        run.optMinAreaRatio = s.minAreaRatio;
        run.optTarget = static_cast<uint8_t>(form.target - 1); // 0 thrust, 2 total impulse, 3 specific impulse
    }
    if (flagsL.load() != 0 || unitFlag.load() != 0) {
        s.reportFlags = true;
        return refuse("Critical errors prior to calculations, process aborted");
    }
    return s;
}

std::function<bool(ODE&)> optimisationMember(OptimisationMember member)
{
    switch (member) {
    case OptimisationMember::Pressure: return [](ODE& ode) { return ode.optimizeForPressure(); };
    case OptimisationMember::BurnTime: return [](ODE& ode) { return ode.optimizeForBurnTime(); };
    case OptimisationMember::Performance: break;
    }
    return [](ODE& ode) { return ode.optimizeForPerformance(); };
}

OptimisationWriteBack optimisationWriteBack(int target, const RocketVariables& result, int lengthUnit, int targetUnit,
                                            bool adaptExitNow)
{
    OptimisationWriteBack w;
    const auto unit = static_cast<int16_t>(lengthUnit);
    auto diameter
            = [unit](double area) { return convertFromSI(unitKind::Length, 2.0 * std::sqrt(area / nozzle::pi), unit); };
    const bool maximisation = isMaximisation(target);
    if (maximisation)
        w.targetValue = convertFromSI(targetUnitKind(target), result.optBestValue, static_cast<int16_t>(targetUnit));
    w.throatDiameter = diameter(result.throatArea);
    if (maximisation || adaptExitNow)
        w.exitDiameter = diameter(result.exitArea);
    return w;
}

QString sizingRefusalText(const RocketVariables& result, int pressureUnit)
{
    using Refusal = RocketVariables::SizingRefusal;
    switch (result.sizingRefusal) {
    case Refusal::None: return {};
    case Refusal::PressureNotReached: {
        if (!(result.settledPressure > 0.0))
            return QStringLiteral("From ignition the motor does not reach the target: its burn law gives the chamber "
                                  "no balance between the ambient pressure and the target. No nozzle was written.");
        const QStringList units = targetUnitItems(optTarget::ChamberPressure);
        const int unit = pressureUnit >= 0 && pressureUnit < units.size() ? pressureUnit : 0;
        const double settled = convertFromSI(unitKind::Pressure, result.settledPressure, static_cast<int16_t>(unit));
        return QStringLiteral("From ignition the motor settles at %1 %2, below the target: the chamber filling from "
                              "the ambient pressure meets a balance of the burn law with this throat there first. No "
                              "nozzle was written.")
                .arg(QString::number(settled, 'g', 4), units[unit]);
    }
    case Refusal::ExitUnbounded:
        return QStringLiteral("An exit adapted to this ambient pressure would be wider than any nozzle: the nearer the "
                              "ambient pressure is to 0, the wider the exit that expands the gas to it. No nozzle was "
                              "written.");
    case Refusal::BurnRateUnreachable:
        return QStringLiteral("The combustion time needs a mean burn rate of %1 mm/s, which the burn law gives at no "
                              "chamber pressure: an interval with n = 0 burns at its coefficient a at every pressure. "
                              "No nozzle was written.")
                .arg(QString::number(result.requiredBurnRate * 1000.0, 'g', 4));
    }
    return {};
}

QString writeBackRefusal(const RocketVariables& result, bool exitWritten)
{
    auto diameter = [](double area) { return 2.0 * std::sqrt(area / nozzle::pi); }; // m
    const double throat = diameter(result.throatArea);
    const double exit = diameter(result.exitArea);
    auto mm = [](double metres) { return QString::number(metres * 1000.0, 'g', 4); };
    const QString range = QStringLiteral("a nozzle's diameters lie between %1 and %2 mm")
                                  .arg(mm(physical::minLength), mm(physical::maxLength));
    if (!physical::lengthInRange(throat))
        return QStringLiteral("The sized throat would be %1 mm across; %2. No nozzle was written.")
                .arg(mm(throat), range);
    if (!exitWritten)
        return {};
    if (!physical::lengthInRange(exit))
        return QStringLiteral("The adapted exit would be %1 mm across; %2: the nearer the ambient pressure is to 0, "
                              "the wider the exit that expands the gas to it. No nozzle was written.")
                .arg(mm(exit), range);
    if (!(exit > throat))
        return QStringLiteral("The adapted exit would be %1 mm across, not wider than the %2 mm throat: the ambient "
                              "pressure lies above the throat's. No nozzle was written.")
                .arg(mm(exit), mm(throat));
    return {};
}
