#include "calculations/run_inputs.h"

#include <cmath>

#include "core/physical_limits.h"
#include "core/units.h"
#include "engine/mixture.h"

namespace calc {

QString formatNumber(double value, int digits)
{
    return QString::number(value, 'g', digits);
}

uint32_t nearestStation(const std::vector<double>& x, double v)
{
    for (std::size_t i = 1; i < x.size(); ++i) {
        if (std::fabs(v - x[i]) >= std::fabs(v - x[i - 1]))
            return static_cast<uint32_t>(i - 1);
    }
    return x.empty() ? 0u : static_cast<uint32_t>(x.size() - 1);
}

std::optional<FrozenPlacement> placeFrozenPoint(const std::vector<double>& x, double v)
{
    if (x.empty())
        return std::nullopt;
    FrozenPlacement out;
    out.x = v;
    if (v < x.front()) {
        out.x = x.front();
        out.clamped = true;
    } else if (v > x.back()) {
        out.x = x.back();
        out.clamped = true;
    }
    out.station = nearestStation(x, out.x);
    return out;
}

double lengthInUnit(double xMetres, int unitIndex)
{
    return xMetres * std::pow(10.0, 3 - unitIndex);
}

std::optional<double> ambientPressureField(const QString& text, int unitIndex)
{
    const std::optional<double> pascals = readPressure(text, unitIndex);
    if (!pascals || !physical::ambientPressureInRange(*pascals))
        return std::nullopt;
    return pascals;
}

std::optional<double> wallTemperatureField(const QString& text)
{
    const std::optional<double> kelvin = readNumber(text);
    if (!kelvin || *kelvin < 0.0 || *kelvin > physical::maxGivenTemperature)
        return std::nullopt;
    return kelvin;
}

std::optional<double> uniformTemperatureField(const QString& text)
{
    const std::optional<double> kelvin = readNumber(text);
    if (!kelvin || !(*kelvin > 0.0) || *kelvin > physical::maxGivenTemperature)
        return std::nullopt;
    return kelvin;
}

std::optional<double> chamberAreaField(const QString& text, int unitIndex)
{
    const std::optional<double> typed = readNumber(text);
    if (!typed || !(*typed > 0.0))
        return std::nullopt;
    const double area = convertToSI(unitKind::Area, *typed, static_cast<int16_t>(unitIndex));
    if (!(area > 0.0) || !std::isfinite(area))
        return std::nullopt;
    return area;
}

std::string uniqueRunName(const std::string& typed, const std::vector<std::string>& finishedNames)
{
    std::string name = typed;
    unsigned j = 1;
    for (std::size_t k = 0; k < finishedNames.size();) {
        if (finishedNames[k] != name) {
            ++k;
            continue;
        }
        if (j > 1)
            name.resize(name.size() - 1 - std::to_string(j - 1).size());
        name += "_" + std::to_string(j);
        ++j;
        k = 0;
    }
    return name;
}

std::vector<SingleDefinedReactant> singleDefinedReactants(const Mixture& mixture, double homT)
{
    std::vector<SingleDefinedReactant> out;
    for (const auto& r : mixture.reactants) {
        if (r && r->referenceTemperature != -1.0 && r->referenceTemperature != homT)
            out.push_back({r->name, r->referenceTemperature});
    }
    return out;
}

QString singleDefinedWarning(const SingleDefinedReactant& reactant, int digits)
{
    return "Rectant '" + QString::fromStdString(reactant.name) + "' is only defined at "
            + formatNumber(reactant.temperature, digits) + " K";
}

} // namespace calc
