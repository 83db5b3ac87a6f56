#include "calculations/plot_series.h"

#include <algorithm>

#include "calculations/calculation_labels.h"
#include "engine/rocket_variables.h"

namespace calc {

namespace {

// Reference of a station variable when normalised.
enum class Reference { ChamberPressure, ChamberTemperature, ChamberEntropy, First, Exit, Throat };

struct StationVariable {
    const std::vector<double> RocketVariables::*values;
    Reference reference;
    bool needsTransport;
};

const StationVariable stationVariables[17] = {
        {&RocketVariables::p, Reference::ChamberPressure, false},
        {&RocketVariables::T, Reference::ChamberTemperature, false},
        {&RocketVariables::rho, Reference::First, false},
        {&RocketVariables::h, Reference::Exit, false},
        {&RocketVariables::s, Reference::ChamberEntropy, false},
        {&RocketVariables::molecularWeight, Reference::First, false},
        {&RocketVariables::gamma, Reference::First, false},
        {&RocketVariables::cp, Reference::First, false},
        {&RocketVariables::cv, Reference::First, false},
        {&RocketVariables::soundSpeed, Reference::First, false},
        {&RocketVariables::u, Reference::Exit, false},
        {&RocketVariables::mach, Reference::Exit, false},
        {&RocketVariables::massFlow, Reference::First, false},
        {&RocketVariables::conductivity, Reference::First, true},
        {&RocketVariables::viscosity, Reference::First, true},
        {&RocketVariables::prandtl, Reference::First, true},
        {&RocketVariables::bartzH, Reference::Throat, false},
};

// The first `count` values of v (fewer when v is shorter).
std::vector<double> head(const std::vector<double>& v, std::size_t count)
{
    return std::vector<double>(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(std::min(count, v.size())));
}

double referenceValue(const RocketVariables& run, const std::vector<double>& v, Reference r)
{
    auto atOr1 = [&v](std::size_t i) { return i < v.size() ? v[i] : 1.0; };
    switch (r) {
    case Reference::ChamberPressure: return run.chamberPressure;
    case Reference::ChamberTemperature: return run.chamberT;
    case Reference::ChamberEntropy: return run.chamberS;
    case Reference::First: return atOr1(0);
    case Reference::Exit: return atOr1(run.stationCount > 0 ? run.stationCount - 1 : 0);
    case Reference::Throat: return atOr1(run.throatIndex);
    }
    return 1.0;
}

} // namespace

PlotSeries stationSeries(const RocketVariables& run, int type, bool normalised)
{
    PlotSeries out;
    if (type < 0 || type >= 17)
        return out;
    const StationVariable& var = stationVariables[type];
    if (var.needsTransport && !run.calcTransport)
        return out;
    const std::size_t n = std::min<std::size_t>(run.stationCount, run.x.size());
    out.x = head(run.x, n);
    out.y = head(run.*var.values, n);
    out.x.resize(out.y.size());
    if (normalised) {
        const double ref = referenceValue(run, run.*var.values, var.reference);
        for (double& y : out.y)
            y /= ref;
    }
    out.suffix = "_" + (normalised ? normalisedStationaryVariables() : stationaryVariables()).at(type);
    out.drawn = true;
    return out;
}

PlotSeries speciesSeries(const RocketVariables& run, std::size_t species)
{
    PlotSeries out;
    if (species >= run.moleFractions.size() || species >= run.speciesNames.size())
        return out;
    const std::size_t n = std::min<std::size_t>(run.stationCount, run.x.size());
    out.x = head(run.x, n);
    out.y = head(run.moleFractions[species], n);
    out.x.resize(out.y.size());
    out.suffix = "_molar fraction of '" + QString::fromStdString(run.speciesNames[species]) + "'";
    out.drawn = true;
    return out;
}

std::vector<std::pair<std::string, bool>> speciesOffer(const RocketVariables& run)
{
    std::vector<std::pair<std::string, bool>> offered;
    for (std::size_t k = 0; k < run.speciesNames.size(); ++k) {
        const bool present = k < run.moleFractions.size()
                && std::any_of(run.moleFractions[k].begin(), run.moleFractions[k].end(),
                               [](double v) { return v != 0.0; });
        offered.emplace_back(run.speciesNames[k], !present);
    }
    return offered;
}

StationRows stationRowsFor(bool transport, bool wallHeat, int currentRow)
{
    StationRows rows;
    rows.current = currentRow;
    if (!transport) {
        for (int k = stationRow::firstTransport; k <= stationRow::lastTransport; ++k)
            rows.disabled.push_back(k);
        if (currentRow >= stationRow::firstTransport && currentRow <= stationRow::lastTransport)
            rows.current = 0;
    }
    if (!wallHeat) {
        rows.disabled.push_back(stationRow::wallHeat);
        if (rows.current == stationRow::wallHeat)
            rows.current = 0;
    }
    return rows;
}

PlotSeries timeSeries(const RocketVariables& run, int type, bool normalised)
{
    static const std::vector<double> RocketVariables::*series[8]
            = {&RocketVariables::burnChamberPressure, &RocketVariables::burnChamberT,
               &RocketVariables::burnThrust,          &RocketVariables::burnIsp,
               &RocketVariables::burnCStar,           &RocketVariables::burnCE,
               &RocketVariables::burnMassFlow,        &RocketVariables::burnRate};
    PlotSeries out;
    if (type < 0 || type >= 8)
        return out;
    const std::size_t n = std::min<std::size_t>(run.burnPoints, run.burnTimes.size());
    out.x = head(run.burnTimes, n);
    out.y = head(run.*series[type], n);
    out.x.resize(out.y.size());
    if (normalised && !out.y.empty()) {
        // The largest value, sign included (not the largest magnitude).
        const double largest = *std::max_element(out.y.begin(), out.y.end());
        for (double& y : out.y)
            y /= largest;
    }
    out.suffix = "_" + (normalised ? normalisedTimeVariables() : timeVariables()).at(type);
    out.drawn = true;
    return out;
}

std::optional<Qt::GlobalColor> graphColour(int graphCount)
{
    static const Qt::GlobalColor first[7]
            = {Qt::red, Qt::blue, Qt::green, Qt::yellow, Qt::black, Qt::magenta, Qt::cyan};
    if (graphCount >= 1 && graphCount <= 7)
        return first[graphCount - 1];
    return std::nullopt;
}

QString readOut(double x, double y, bool timeGraph, int digits)
{
    return "x:" + QString::number(x, 'g', digits) + (timeGraph ? " s" : " m")
            + "\ny:" + QString::number(y, 'g', digits);
}

} // namespace calc
