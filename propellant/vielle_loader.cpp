#include "propellant/vielle_loader.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "core/units.h"
#include "propellant/propellant_entry.h"
#include "propellant/propellant_file.h"
#include "propellant/provider_messages.h"

QString emptyVielleParametersMessage()
{
    return QStringLiteral("Empty Vielle parameters for propellant, grain combustion cannot be calculated");
}

namespace {

// A law with numbers no grain run can use.
const QString invalidParameters()
{
    return QStringLiteral("Invalid Vielle parameters for propellant, grain combustion cannot be calculated");
}

int16_t unitIndex(int stored)
{
    return stored < 0 || stored > 255 ? int16_t(-1) : static_cast<int16_t>(stored);
}

} // namespace

BurnLawSI burnLawInSI(const SolidPropellantData& law)
{
    const int16_t pressureUnit = unitIndex(law.pressureUnit);
    BurnLawSI out;
    for (std::size_t k = 0; k < law.intervals.size(); ++k) {
        const VielleInterval& i = law.intervals[k];
        const double lower = convertToSI(unitKind::Pressure, i.lower, pressureUnit);
        double upper = lower;
        if (i.upper)
            upper = convertToSI(unitKind::Pressure, *i.upper, pressureUnit);
        else if (k + 1 == law.intervals.size())
            upper = std::numeric_limits<double>::infinity();
        double coefficient = i.a;
        if (law.burnRateUnit == static_cast<int>(BurnRateUnit::MillimetrePerSecond))
            coefficient *= 0.001;
        // With f = 1 Pa in the law's pressure unit, a stored for pressures in that unit is
        // a f^n for pressures in Pa: a_u (f p)^n = (a_u f^n) p^n. An undefined unit
        // converts 1 to 1 (and raises the unit code), leaving a unscaled.
        coefficient *= std::pow(1.0 / convertToSI(unitKind::Pressure, 1.0, pressureUnit), i.n);
        out.limits.emplace_back(lower, upper);
        out.a.push_back(coefficient);
        out.n.push_back(i.n);
    }
    out.density = convertToSI(unitKind::Density, law.density, unitIndex(law.densityUnit));
    return out;
}

namespace {

// The faults of `law`, whose values in SI are `si` (burnLawInSI).
std::vector<BurnLawFault> faultsOf(const SolidPropellantData& law, const BurnLawSI& si)
{
    std::vector<BurnLawFault> faults;
    auto fault = [&faults](BurnLawField field, std::size_t interval, bool empty, const char* rule) {
        faults.push_back({field, interval, empty, QString::fromUtf8(rule)});
    };
    auto positiveFinite = [](double v) { return std::isfinite(v) && v > 0.0; };

    if (law.intervals.empty())
        fault(BurnLawField::Intervals, 0, true, "The burn law needs at least one pressure interval.");
    if (!(law.density > 0.0))
        fault(BurnLawField::Density, 0, false, "The density must be above 0.");
    else if (!positiveFinite(si.density))
        fault(BurnLawField::Density, 0, false, "The density must be above 0 and finite once converted to kg/m^3.");

    for (std::size_t k = 0; k < law.intervals.size(); ++k) {
        const VielleInterval& i = law.intervals[k];
        const auto [lower, upper] = si.limits[k];
        if (!std::isfinite(lower) || lower < 0.0)
            fault(BurnLawField::Lower, k, false, "Pressure limits must be 0 or more and finite once converted to Pa.");
        else if (k > 0 && !(lower >= si.limits[k - 1].first))
            fault(BurnLawField::Lower, k, false,
                  "The pressure intervals must be in ascending order: a lower limit may not be below the lower limit "
                  "of the interval before it.");
        // Only the open top of the last interval (no upper limit stored) reaches infinity.
        if (i.upper && !std::isfinite(upper))
            fault(BurnLawField::Upper, k, false, "Pressure limits must be 0 or more and finite once converted to Pa.");
        else if (!(upper >= lower))
            fault(BurnLawField::Upper, k, false, "An upper pressure limit may not be below its lower limit.");
        if (!(i.a > 0.0))
            fault(BurnLawField::Coefficient, k, false, "The coefficient a must be above 0.");
        else if (!positiveFinite(si.a[k]))
            fault(BurnLawField::Coefficient, k, false,
                  "The coefficient a must be finite once converted to m/s for pressures in Pa.");
        // n = 0 (a plateau: the same rate at every pressure) balances like any n below 1.
        if (!(i.n < 1.0))
            // rho a p^n Ab against p At/c*: with n >= 1 a pressure above the balance rises
            // further and one below it falls, so no steady burn exists.
            fault(BurnLawField::Exponent, k, false,
                  "The exponent n must be below 1: with n of 1 or more the gas production grows at least as fast "
                  "with the chamber pressure as the nozzle flow, so the chamber pressure of a grain has no stable "
                  "balance.");
    }
    return faults;
}

} // namespace

std::vector<BurnLawFault> burnLawFaults(const SolidPropellantData& law)
{
    return faultsOf(law, burnLawInSI(law));
}

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
    if (it == doc.document.end() || !solidDataFromJson(*it, solid) || !solid)
        return refuse(emptyVielleParametersMessage());
    BurnLawSI si = burnLawInSI(*solid);
    const std::vector<BurnLawFault> faults = faultsOf(*solid, si);
    if (std::any_of(faults.begin(), faults.end(), [](const BurnLawFault& f) { return f.empty; }))
        return refuse(emptyVielleParametersMessage());
    if (!faults.empty()) {
        const BurnLawFault& first = faults.front();
        const QString where = first.field == BurnLawField::Density
                ? QString()
                : QStringLiteral("Interval %1: ").arg(first.interval + 1);
        return refuse(invalidParameters(), where + first.rule);
    }

    density = si.density;
    limits = std::move(si.limits);
    a = std::move(si.a);
    n = std::move(si.n);
    return true;
}
