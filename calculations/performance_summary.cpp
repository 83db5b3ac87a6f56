#include "calculations/performance_summary.h"

#include <cmath>
#include <vector>

#include "core/curves.h"
#include "engine/rocket_variables.h"

namespace calc {

namespace {

double at(const std::vector<double>& v, std::size_t i)
{
    return i < v.size() ? v[i] : std::nan("");
}

// Time average of a burn series over [0, tb].
double burnAverage(const std::vector<double>& series, const std::vector<double>& time, double tb)
{
    return integrate(series, time, 0.0, tb) / tb;
}

QString figure(double value, int digits, const char* suffix)
{
    if (!std::isfinite(value))
        return QStringLiteral("N/A");
    return QString::number(value, 'g', digits) + QString::fromLatin1(suffix);
}

} // namespace

void computeSummary(RocketVariables& run, double ambientPressure)
{
    if (run.isGrain) {
        const std::size_t last = run.burnPoints > 0 ? run.burnPoints - 1 : 0;
        const double tb = at(run.burnTimes, last);
        run.burnTime = tb;
        run.injectorPressure = burnAverage(run.burnChamberPressure, run.burnTimes, tb);
        run.chamberT = burnAverage(run.burnChamberT, run.burnTimes, tb);
        run.runMassFlow = burnAverage(run.burnMassFlow, run.burnTimes, tb);
        run.thrust = burnAverage(run.burnThrust, run.burnTimes, tb);
        run.specificImpulse = burnAverage(run.burnIsp, run.burnTimes, tb);
        run.cStar = burnAverage(run.burnCStar, run.burnTimes, tb);
        run.CE = burnAverage(run.burnCE, run.burnTimes, tb);
        return;
    }
    const std::size_t t = run.throatIndex;
    const std::size_t e = run.stationCount > 0 ? run.stationCount - 1 : 0;
    run.runMassFlow = at(run.rho, t) * at(run.area, t) * at(run.u, t);
    run.thrust = (at(run.p, e) - ambientPressure) * at(run.area, e) + at(run.u, e) * run.runMassFlow;
    run.specificImpulse = run.thrust / run.runMassFlow;
    run.cStar = at(run.area, t) * run.chamberPressure / run.runMassFlow;
    run.CE = run.specificImpulse / run.cStar;
    run.burnTime = -1.0;
}

SummaryTexts summaryTexts(const RocketVariables& run, int digits)
{
    SummaryTexts out;
    out.time = run.burnTime == -1.0 ? noBurnLaw : figure(run.burnTime, digits, " s");
    out.pressure = figure(run.injectorPressure, digits, " Pa");
    out.temperature = figure(run.chamberT, digits, " K");
    out.massFlow = figure(run.runMassFlow, digits, "kg/s");
    out.thrust = figure(run.thrust, digits, " N");
    out.isp = figure(run.specificImpulse, digits, " m/s");
    out.cstar = figure(run.cStar, digits, " m/s");
    out.ce = figure(run.CE, digits, "");
    return out;
}

} // namespace calc
