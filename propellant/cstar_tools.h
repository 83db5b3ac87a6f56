#pragma once
// The propellant tab's two c* tools as computations: the c* of the chamber equilibrium
// over a range of chamber pressures, and over the mass ratio of two reactants at one
// pressure; with the grids, the graph naming and colour rules and the click read-out.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include <QString>
#include <QStringList>
#include <Qt>

class Mixture;

// p_i = minimum + (maximum - minimum) i/(N - 1), i = 0 .. N-1: the last is the maximum
// itself. Empty for fewer than two points.
std::vector<double> cStarPressureGrid(uint32_t points, double minimum, double maximum);
// r_i = minimum + (maximum - minimum) i/(N + 1), i = 0 .. N-1: the maximum is never
// reached.
std::vector<double> mixtureRatioGrid(uint32_t count, double minimum, double maximum);

// Amounts (kmol per kg of propellant) of two reactants whose masses are in the ratio r
// (first to second): r/(r+1) kg and 1/(r+1) kg over their molar masses.
struct RatioAmounts {
    double first = 0.0;
    double second = 0.0;
};
RatioAmounts amountsForRatio(double ratio, double firstMolarMass, double secondMolarMass);

// One curve: keys (Pa, or ratios) and c* values (m/s). `converged` false when a point's
// equilibrium failed: the curve then stops there and must not be drawn.
struct CStarCurve {
    std::vector<double> keys;
    std::vector<double> values;
    bool converged = true;
};
// The chamber equilibrium (fixed enthalpy) at each pressure, each started from the
// temperature of the one before (the first from `seedTemperature`).
CStarCurve cStarOverPressures(Mixture& mixture, const std::vector<double>& pressures, double seedTemperature);
// The same at one pressure over the mass ratios of the mixture's first two reactants.
CStarCurve cStarOverRatios(Mixture& mixture, const std::vector<double>& ratios, double pressure,
                           double seedTemperature);

// Index of the largest value; the first of equal ones.
std::size_t bestIndex(const std::vector<double>& values);

// The ratio sweep's best lies at its first or last ratio: the optimum may lie beyond the
// range, so the composition is left as typed and the user is told so. The details name
// the ratios searched (`first` to `last`), the best, the pressure (Pa, shown in MPa) and
// the preferences that set the range, with `digits` significant digits.
inline const char* const ratioRangeEndText
        = "The highest c* lies at an end of the ratios searched, so the composition was left unchanged";
QString ratioRangeEndDetails(double first, double last, double best, double pressure, int digits);

// `base`, or base + "_" + k with the smallest k that no name in `names` bears (the walk
// restarts from the first name after each clash).
QString uniqueGraphName(const QString& base, const QStringList& names);

// The pen colour of a new graph by the number of graphs once it is added: red, blue,
// green, yellow, black, magenta, cyan; none (a random colour) from the eighth on.
std::optional<Qt::GlobalColor> graphColour(int graphCount);

// The read-out of a clicked point, numbers with `digits` significant digits:
// "Chamber pressure: <p/1e6> MPa\nC*: <c*> m/s" or "Ratio: <r>\nC*: <c*> m/s".
QString readoutText(bool ratioCurve, double key, double value, int digits);

// Axis labels that tell which curves the plot holds.
inline const char* const pressureAxisLabel = "Chamber pressure [Pa]";
inline const char* const ratioAxisLabel = "First to second reactant ratio [-]";
