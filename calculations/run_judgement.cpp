#include "calculations/run_judgement.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/flags.h"
#include "core/physical_limits.h"
#include "engine/rocket_variables.h"

namespace calc {

namespace {

bool finite(double v)
{
    return std::isfinite(v);
}

bool positive(double v)
{
    return std::isfinite(v) && v > 0.0;
}

bool chamberTemperature(double T)
{
    return std::isfinite(T) && T > physical::minChamberTemperature;
}

// The summary figures both kinds of run show.
bool summaryPhysical(const RocketVariables& run)
{
    return physical::chamberPressureInRange(run.injectorPressure) && chamberTemperature(run.chamberT)
            && positive(run.runMassFlow) && positive(run.cStar) && finite(run.thrust) && finite(run.specificImpulse)
            && finite(run.CE);
}

// The first `count` entries of every vector are finite (and above 0 where asked).
bool allFinite(const std::vector<double>& v, std::size_t count)
{
    return v.size() >= count && std::all_of(v.begin(), v.begin() + count, finite);
}
bool allPositive(const std::vector<double>& v, std::size_t count)
{
    return v.size() >= count && std::all_of(v.begin(), v.begin() + count, positive);
}

RunFault judgePressureRun(const RocketVariables& run)
{
    const std::size_t n = run.stationCount;
    if (n < 2 || run.throatIndex >= n || run.x.size() < n || run.area.size() < n)
        return RunFault::NoResult;
    if (!physical::chamberPressureInRange(run.chamberPressure) || !summaryPhysical(run))
        return RunFault::FiguresOutOfRange;
    for (const std::vector<double>* v : {&run.p, &run.T, &run.rho})
        if (!allPositive(*v, n))
            return RunFault::FiguresOutOfRange;
    for (const std::vector<double>* v : {&run.h, &run.s, &run.molecularWeight, &run.gamma, &run.cp, &run.cv,
                                         &run.soundSpeed, &run.u, &run.mach, &run.massFlow})
        if (!allFinite(*v, n))
            return RunFault::FiguresOutOfRange;
    if (run.calcTransport)
        for (const std::vector<double>* v : {&run.viscosity, &run.conductivity, &run.prandtl})
            if (!allFinite(*v, n))
                return RunFault::FiguresOutOfRange;
    if (run.calcHeatTransfer && !allFinite(run.bartzH, n))
        return RunFault::FiguresOutOfRange;
    for (const std::vector<double>& fractions : run.moleFractions)
        if (!allFinite(fractions, n))
            return RunFault::FiguresOutOfRange;
    if (!allFinite(run.chamberMoleFractions, run.chamberMoleFractions.size()))
        return RunFault::FiguresOutOfRange;
    for (double v : {run.chamberRho, run.chamberH, run.chamberS, run.chamberMW, run.chamberGamma, run.chamberCp,
                     run.chamberCv, run.chamberSoundSpeed})
        if (!finite(v))
            return RunFault::FiguresOutOfRange;
    if (run.calcTransport
        && !(finite(run.chamberViscosity) && finite(run.chamberConductivity) && finite(run.chamberPrandtl)))
        return RunFault::FiguresOutOfRange;
    if (run.calcHeatTransfer && !finite(run.chamberBartzH))
        return RunFault::FiguresOutOfRange;
    return RunFault::None;
}

RunFault judgeGrainRun(const RocketVariables& run)
{
    const std::size_t n = run.burnPoints;
    const std::vector<double>* series[]
            = {&run.burnTimes,  &run.burnChamberPressure, &run.burnChamberT, &run.burnMassFlow,
               &run.burnThrust, &run.burnCStar,           &run.burnCE,       &run.burnIsp,
               &run.burnRate};
    if (n < 2 || run.burnArea.size() < n)
        return RunFault::NoResult;
    for (const std::vector<double>* s : series)
        if (s->size() < n)
            return RunFault::NoResult;
    // The burnout: the points after the last one that burnt, with burning surface and a
    // balanced chamber. A grain burns out on an area of rounding size or with a chamber
    // that would balance at or below the ambient pressure; such points keep 0.
    std::size_t burning = n;
    while (burning > 0 && !(run.burnArea[burning - 1] > 0.0 && run.burnChamberPressure[burning - 1] != 0.0))
        --burning;
    // No point burnt above the ambient pressure.
    if (burning == 0)
        return RunFault::UnbalancedBurnPoint;
    // A point that never balanced keeps a chamber pressure of 0: the more precise fault.
    // A burn does not stop and start again either.
    for (std::size_t i = 0; i < burning; ++i)
        if (run.burnChamberPressure[i] == 0.0)
            return RunFault::UnbalancedBurnPoint;
    if (!positive(run.burnTime) || !summaryPhysical(run))
        return RunFault::FiguresOutOfRange;
    for (std::size_t i = 0; i < burning; ++i) {
        const bool physical = physical::chamberPressureInRange(run.burnChamberPressure[i])
                && chamberTemperature(run.burnChamberT[i]) && positive(run.burnMassFlow[i])
                && positive(run.burnCStar[i]) && positive(run.burnRate[i]) && finite(run.burnThrust[i])
                && finite(run.burnIsp[i]) && finite(run.burnCE[i]);
        if (!physical)
            return RunFault::FiguresOutOfRange;
    }
    for (std::size_t i = 0; i < n; ++i)
        if (!finite(run.burnTimes[i]) || (i > 0 && run.burnTimes[i] < run.burnTimes[i - 1]))
            return RunFault::FiguresOutOfRange;
    return RunFault::None;
}

} // namespace

RunFault judgeRunFigures(const RocketVariables& run)
{
    return run.isGrain ? judgeGrainRun(run) : judgePressureRun(run);
}

uint32_t faultCode(RunFault fault)
{
    switch (fault) {
    case RunFault::None: return 0;
    case RunFault::NoResult: return code::ODE05;
    case RunFault::FiguresOutOfRange: return code::ODE06;
    case RunFault::UnbalancedBurnPoint: return code::ODE07;
    }
    return code::ODE05;
}

} // namespace calc
