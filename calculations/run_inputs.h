#pragma once
// Small pure rules behind the inputs of the calculation tab: writing numbers into the
// form (core/number_text.h reads them), the station a frozen-flow position falls on, the run names, and the reactants
// that a uniform temperature cannot reach.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <QString>

#include "core/number_text.h"

class Mixture;

namespace calc {

// The text a form field shows for a number: general format, `digits` significant digits.
QString formatNumber(double value, int digits);

// Station of the contour x (ascending, SI) nearest to v: scanning upwards, the first
// station whose successor is not nearer. A tie goes to the lower index; 0 for one station.
uint32_t nearestStation(const std::vector<double>& x, double v);

// A frozen-flow position typed by the user, placed on the contour.
struct FrozenPlacement {
    uint32_t station = 0; // the slider position
    bool clamped = false; // v lay outside [x.front(), x.back()] and was moved to the end
    double x = 0.0; // the position used [m] (the end station's x when clamped)
};
// nullopt when the contour has no station.
std::optional<FrozenPlacement> placeFrozenPoint(const std::vector<double>& x, double v);

// The chamber area combo's entry for m^2 (0 mm^2, 1 cm^2, 2 dm^2, 3 m^2): a nozzle's
// entrance area is shown in it.
constexpr int areaUnitSquareMetres = 3;

// The x of a station written in the unit of the length combo (0 mm, 1 cm, 2 dm, 3 m).
double lengthInUnit(double xMetres, int unitIndex);

// The rule of each number field of a run, typed or put back from a stored configuration:
// a number (core/number_text.h) inside its physical range after conversion to SI
// (core/physical_limits.h); nullopt when the field's "Invalid ..." message is due.
// Ambient pressure [Pa]: 0 (vacuum) or more, below 1e10 Pa.
std::optional<double> ambientPressureField(const QString& text, int unitIndex);
// Nozzle wall temperature [K], as typed: 0 or more, at most 10000 K.
std::optional<double> wallTemperatureField(const QString& text);
// Uniform reactant temperature [K]: above 0, at most 10000 K.
std::optional<double> uniformTemperatureField(const QString& text);
// Chamber area of a finite-area combustor [m^2]: above 0 and finite.
std::optional<double> chamberAreaField(const QString& text, int unitIndex);

// `typed` made unique among the names of the finished runs: "A" against {A, A_1} gives
// "A_2"; a suffix added by an earlier clash is replaced, never stacked.
std::string uniqueRunName(const std::string& typed, const std::vector<std::string>& finishedNames);

// A reactant defined at one temperature only that a uniform temperature cannot move.
struct SingleDefinedReactant {
    std::string name;
    double temperature; // K
};
// The reactants of the mixture, in order, whose single definition temperature differs
// from homT.
std::vector<SingleDefinedReactant> singleDefinedReactants(const Mixture& mixture, double homT);
// "Rectant '<name>' is only defined at <T> K" with T in `digits` significant digits.
QString singleDefinedWarning(const SingleDefinedReactant& reactant, int digits);
inline const QString singleDefinedCheckBox = QStringLiteral("Do not show other single-defined reactants");

} // namespace calc
