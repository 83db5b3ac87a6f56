#include "propellant/vielle_loader.h"

#include <cmath>
#include <limits>
#include <optional>

#include "core/units.h"
#include "propellant/propellant_entry.h"
#include "propellant/propellant_file.h"
#include "propellant/provider_messages.h"

namespace {

const QString emptyParameters()
{
    return QStringLiteral("Empty Vielle parameters for propellant, grain combustion cannot be calculated");
}

// A law with numbers no grain run can use.
const QString invalidParameters()
{
    return QStringLiteral("Invalid Vielle parameters for propellant, grain combustion cannot be calculated");
}
const QString invalidParametersDetail()
{
    return QStringLiteral("Every interval needs pressure limits in ascending order, a coefficient a above 0 and an "
                          "exponent n below 1 (with n of 1 or more the chamber pressure of a grain has no stable "
                          "balance), and the density must be above 0, all finite once converted to SI.");
}

// The factor f with p[unit] = f p[Pa]: a stored for pressures in that unit becomes
// a f^n for pressures in Pa, since a_u (f p)^n = (a_u f^n) p^n.
std::optional<double> pressureUnitPerPascal(int unit)
{
    switch (unit) {
    case static_cast<int>(PressureUnit::MPa): return 1e-6;
    case static_cast<int>(PressureUnit::Atm): return 1.0 / 101325.0;
    case static_cast<int>(PressureUnit::Bar): return 1e-5;
    }
    return std::nullopt;
}

int16_t unitIndex(int stored)
{
    return stored < 0 || stored > 255 ? int16_t(-1) : static_cast<int16_t>(stored);
}

} // namespace

bool loadVielleParameters(const std::string& name, double& density, std::vector<std::pair<double, double>>& limits,
                          std::vector<double>& a, std::vector<double>& n, ViewMessages* refusals)
{
    auto refuse = [refusals](const QString& text, const QString& informativeText = {}) {
        refusals->push_back(providerViewMessage(text, informativeText));
        return false;
    };
    const PropellantDocument doc = readPropellantFile();
    switch (doc.status) {
    case JsonReadStatus::Ok: break;
    case JsonReadStatus::Missing: return false;
    case JsonReadStatus::CannotOpen: return refuse(cannotOpenFileMessage(QStringLiteral("Propellants")));
    case JsonReadStatus::Unparsable:
        return refuse(corruptedFileMessage(QStringLiteral("Propellant"), QStringLiteral("save")));
    }

    std::optional<SolidPropellantData> solid;
    auto it = doc.document.find(name);
    if (it == doc.document.end() || !solidDataFromJson(*it, solid) || !solid || solid->intervals.empty()) {
        return refuse(emptyParameters());
    }
    bool usable = solid->density > 0;
    for (const VielleInterval& i : solid->intervals)
        usable = usable && i.a > 0 && i.n != 0;
    if (!usable) {
        return refuse(emptyParameters());
    }

    // With n >= 1 the gas production grows at least as fast with the chamber pressure as
    // the nozzle flow (rho a p^n Ab against p At/c*): a pressure above the balance rises
    // further, one below it falls, so no steady burn exists.
    for (const VielleInterval& i : solid->intervals) {
        if (!(i.n < 1.0)) {
            return refuse(invalidParameters(), invalidParametersDetail());
        }
    }

    const int P = solid->pressureUnit;
    const std::optional<double> f = pressureUnitPerPascal(P);
    std::vector<std::pair<double, double>> newLimits;
    std::vector<double> newA, newN;
    for (std::size_t k = 0; k < solid->intervals.size(); ++k) {
        const VielleInterval& i = solid->intervals[k];
        const double lower = convertToSI(unitKind::Pressure, i.lower, unitIndex(P));
        double upper = lower;
        if (i.upper)
            upper = convertToSI(unitKind::Pressure, *i.upper, unitIndex(P));
        else if (k + 1 == solid->intervals.size())
            upper = std::numeric_limits<double>::infinity();
        double coefficient = i.a;
        if (solid->burnRateUnit == static_cast<int>(BurnRateUnit::MillimetrePerSecond))
            coefficient *= 0.001;
        if (f)
            coefficient *= std::pow(*f, i.n);
        // Finite in SI (a stored 1e308 MPa is not), not negative, ascending, and a burn rate
        // a run can compute.
        const bool ascending = newLimits.empty() || lower >= newLimits.back().first;
        if (!std::isfinite(lower) || lower < 0.0 || !(upper >= lower) || !ascending || !std::isfinite(coefficient)
            || !(coefficient > 0.0)) {
            return refuse(invalidParameters(), invalidParametersDetail());
        }
        newLimits.emplace_back(lower, upper);
        newA.push_back(coefficient);
        newN.push_back(i.n);
    }
    const double densitySI = convertToSI(unitKind::Density, solid->density, unitIndex(solid->densityUnit));
    if (!std::isfinite(densitySI) || !(densitySI > 0.0)) {
        return refuse(invalidParameters(), invalidParametersDetail());
    }
    density = densitySI;
    limits = std::move(newLimits);
    a = std::move(newA);
    n = std::move(newN);
    return true;
}
