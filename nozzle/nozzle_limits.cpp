#include "nozzle/nozzle_limits.h"

#include <algorithm>
#include <cmath>

#include "core/physical_limits.h"
#include "core/units.h"
#include "nozzle/contour.h"

namespace nozzle {

namespace {

int16_t unitOf(int index)
{
    return index >= INT16_MIN && index <= INT16_MAX ? static_cast<int16_t>(index) : int16_t(-1);
}

// Enough digits to show the limits exactly (0.001 mm, 1000000 mm), not so many that the
// rounding of the unit conversion shows.
QString number(double value)
{
    return QString::number(value, 'g', 12);
}

bool stationsInRange(const StationsSI& s)
{
    if (s.x.size() < 2 || s.A.size() != s.x.size() || !physical::lengthInRange(s.throatDiameter)
        || !(s.throatCurvatureRadius >= 0.0 && std::isfinite(s.throatCurvatureRadius)))
        return false;
    for (std::size_t i = 0; i < s.x.size(); ++i) {
        const double diameter = std::sqrt(4.0 * s.A[i] / pi);
        if (!(std::fabs(s.x[i]) <= physical::maxLength) || (i > 0 && !(s.x[i] >= s.x[i - 1]))
            || !physical::lengthInRange(diameter))
            return false;
    }
    return true;
}

} // namespace

FormLengths::FormLengths(int unitIndex) : unit_(unitOf(unitIndex))
{ }

double FormLengths::metres(double value) const
{
    return unit_ >= 0 && unit_ <= 3 ? convertToSI(unitKind::Length, value, unit_) : value;
}

bool FormLengths::diameterFits(double value) const
{
    return physical::lengthInRange(metres(value));
}

bool FormLengths::sideFits(double value) const
{
    return value > 0.0 && metres(value) <= physical::maxLength; // false for NaN
}

bool FormLengths::filletFits(double value) const
{
    return value == 0.0 || physical::lengthInRange(metres(value));
}

QString FormLengths::shown(double metresValue) const
{
    static const char* const names[] = {"mm", "cm", "dm", "m"};
    if (unit_ < 0 || unit_ > 3)
        return number(metresValue) + QStringLiteral(" m");
    return number(convertFromSI(unitKind::Length, metresValue, unit_)) + QLatin1Char(' ') + QLatin1String(names[unit_]);
}

QString FormLengths::diameterRule() const
{
    return QStringLiteral("Diameters must lie between %1 and %2")
            .arg(shown(physical::minLength), shown(physical::maxLength));
}

QString FormLengths::sideRule() const
{
    return QStringLiteral("The convergent and divergent sides must be at most %1 long").arg(shown(physical::maxLength));
}

QString FormLengths::filletRule() const
{
    return QStringLiteral("Fillet radii must be 0 or lie between %1 and %2")
            .arg(shown(physical::minLength), shown(physical::maxLength));
}

std::optional<StationsSI> usableStations(const std::vector<double>& x, const std::vector<double>& A,
                                         double throatDiameter, double throatCurvatureRadius, int unitIndex)
{
    const int16_t u = unitOf(unitIndex);
    StationsSI s;
    s.x.resize(x.size());
    s.A.resize(A.size());
    std::transform(x.begin(), x.end(), s.x.begin(), [u](double v) { return convertToSI(unitKind::Length, v, u); });
    std::transform(A.begin(), A.end(), s.A.begin(), [u](double v) { return convertToSI(unitKind::Area, v, u); });
    s.throatDiameter = convertToSI(unitKind::Length, throatDiameter, u);
    s.throatCurvatureRadius = convertToSI(unitKind::Length, throatCurvatureRadius, u);
    if (!stationsInRange(s))
        return std::nullopt;
    return s;
}

QString stationsRule()
{
    return QStringLiteral("Every station must lie within %1 m of the throat, each no nearer the entrance than the one "
                          "before, with a diameter between %2 m and %3 m")
            .arg(number(physical::maxLength), number(physical::minLength), number(physical::maxLength));
}

} // namespace nozzle
