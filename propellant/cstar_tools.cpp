#include "propellant/cstar_tools.h"

#include <cmath>

#include "engine/mixture.h"

std::vector<double> cStarPressureGrid(uint32_t points, double minimum, double maximum)
{
    std::vector<double> p;
    if (points < 2)
        return p;
    for (uint32_t i = 0; i < points; ++i)
        p.push_back(minimum + (maximum - minimum) * i / (points - 1));
    return p;
}

std::vector<double> mixtureRatioGrid(uint32_t count, double minimum, double maximum)
{
    std::vector<double> r;
    for (uint32_t i = 0; i < count; ++i)
        r.push_back(minimum + (maximum - minimum) * i / (static_cast<double>(count) + 1.0));
    return r;
}

RatioAmounts amountsForRatio(double ratio, double firstMolarMass, double secondMolarMass)
{
    return {1.0 / (firstMolarMass * (1.0 / ratio + 1.0)), 1.0 / ((ratio + 1.0) * secondMolarMass)};
}

namespace {

// One chamber point: the equilibrium from T (left at the converged temperature), then c*.
bool chamberPoint(Mixture& m, double& T, double pressure, CStarCurve& curve, double key)
{
    if (!m.solveEquilibrium(T, pressure, true)) {
        curve.converged = false;
        return false;
    }
    curve.keys.push_back(key);
    curve.values.push_back(m.characteristicVelocity());
    m.enableIons();
    return true;
}

} // namespace

CStarCurve cStarOverPressures(Mixture& m, const std::vector<double>& pressures, double seedTemperature)
{
    CStarCurve curve;
    double T = seedTemperature;
    for (double p : pressures)
        if (!chamberPoint(m, T, p, curve, p))
            break;
    return curve;
}

CStarCurve cStarOverRatios(Mixture& m, const std::vector<double>& ratios, double pressure, double seedTemperature)
{
    CStarCurve curve;
    if (m.nReactants < 2 || m.reactants.size() < 2) {
        curve.converged = false;
        return curve;
    }
    double T = seedTemperature;
    for (double r : ratios) {
        const RatioAmounts n = amountsForRatio(r, m.reactants[0]->molarMass, m.reactants[1]->molarMass);
        m.reactants[0]->moles = n.first;
        m.reactants[1]->moles = n.second;
        // The reactants' enthalpy and element totals of the new composition, at 298.15 K.
        m.updateReactantTotals(298.15);
        if (!chamberPoint(m, T, pressure, curve, r))
            break;
    }
    return curve;
}

std::size_t bestIndex(const std::vector<double>& values)
{
    std::size_t best = 0;
    for (std::size_t i = 1; i < values.size(); ++i)
        if (values[i] > values[best])
            best = i;
    return best;
}

QString ratioRangeEndDetails(double first, double last, double best, double pressure, int digits)
{
    auto number = [digits](double v) { return QString::number(v, 'g', digits); };
    return QStringLiteral("First to second reactant mass ratios from ") + number(first) + QStringLiteral(" to ")
            + number(last) + QStringLiteral(" were searched at ") + number(pressure / 1e6)
            + QStringLiteral(" MPa; c* is highest at ") + number(best)
            + QStringLiteral(". The range is set by the preferences COMP_OPT_MIN and COMP_OPT_MAX (\"First to second "
                             "reactant minimum ratio\" and \"maximum ratio\" on the \"Propellant Tab\" page of the "
                             "Preferences). Listing the two reactants the other way round searches the inverse "
                             "ratios.");
}

QString uniqueGraphName(const QString& base, const QStringList& names)
{
    QString candidate = base;
    int counter = 0;
    for (int i = 0; i < names.size(); ++i) {
        if (names[i] == candidate) {
            candidate = base + QStringLiteral("_") + QString::number(++counter);
            i = -1; // walk again from the first graph
        }
    }
    return candidate;
}

std::optional<Qt::GlobalColor> graphColour(int graphCount)
{
    switch (graphCount) {
    case 1: return Qt::red;
    case 2: return Qt::blue;
    case 3: return Qt::green;
    case 4: return Qt::yellow;
    case 5: return Qt::black;
    case 6: return Qt::magenta;
    case 7: return Qt::cyan;
    }
    return std::nullopt;
}

QString readoutText(bool ratioCurve, double key, double value, int digits)
{
    const QString cStar = QStringLiteral("\nC*: ") + QString::number(value, 'g', digits) + QStringLiteral(" m/s");
    if (ratioCurve)
        return QStringLiteral("Ratio: ") + QString::number(key, 'g', digits) + cStar;
    return QStringLiteral("Chamber pressure: ") + QString::number(key / 1e6, 'g', digits) + QStringLiteral(" MPa")
            + cStar;
}
