#pragma once
// The burn law of a stored solid propellant for grain runs: its density and Vieille's law
// r = a p^n per pressure interval, in SI; and the rules a law must keep for a grain run
// to use it, which the propellant tab applies before it stores one.
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include "core/view_message.h"
#include "propellant/propellant_entry.h"

// A burn law in SI as the grain runs take it: the density in kg/m^3, the (lower, upper)
// limits of every interval in Pa, a for p in Pa and r in m/s, and n. A last interval
// stored without an upper limit is open above (upper +infinity), so that the engine uses
// it for every pressure from its lower limit on without warning.
struct BurnLawSI {
    double density = 0.0;
    std::vector<std::pair<double, double>> limits;
    std::vector<double> a, n;
};

// The law converted to SI. An undefined pressure or density unit index raises the unit
// code through the conversion (a then stays unscaled); a burn-rate unit other than mm/s
// is m/s.
BurnLawSI burnLawInSI(const SolidPropellantData& law);

// The fields of a burn law, in the order the propellant tab shows them.
enum class BurnLawField { Intervals, Density, Lower, Upper, Coefficient, Exponent };

// A rule of the burn law that a law breaks.
struct BurnLawFault {
    BurnLawField field = BurnLawField::Intervals;
    std::size_t interval = 0; // the interval of Lower to Exponent, from 0
    // True when the law holds no data (no interval); false for numbers no grain run can use.
    bool empty = false;
    QString rule; // the rule broken, as the user reads it
};

// "Empty Vielle parameters for propellant, grain combustion cannot be calculated": a law
// without usable data, as the loader and the propellant tab name it.
QString emptyVielleParametersMessage();

// Every rule `law` breaks, in field order (the intervals' presence, the density, then per
// interval its lower limit, upper limit, a and n); none for a law a grain run can use:
//   - at least one interval; the density above 0, and finite and above 0 in kg/m^3;
//   - limits finite and not negative in Pa (only the last interval's missing upper limit
//     is open), an upper limit not below its lower one, each
//     lower limit not below the one before;
//   - a above 0, and finite and above 0 once converted for p in Pa and r in m/s;
//   - n below 1: with n >= 1 the gas production grows at least as fast with the chamber
//     pressure as the nozzle flow, so no chamber pressure is a stable balance. Exponents
//     of 0 and below are laws of real propellants (plateau propellants, the intervals of
//     the potassium nitrate / sucrose tables): a run judges whether their points balance.
// The conversion to SI may raise the unit code as burnLawInSI does.
std::vector<BurnLawFault> burnLawFaults(const SolidPropellantData& law);

// Reads the entry `name` of Propellants.json into the caller's storage (the four outputs
// of BurnLawSI). False, with the four outputs untouched and the box of the refusal (the
// propellant providers' box, parentless: providerViewMessage) appended to `refusals` for
// the caller's view to show; the loader itself shows nothing:
//   - the file missing (F06, no box), unopenable ("Propellants file could not be
//     opened, ...") or unparsable (F22, "Propellant file was corrupted, save process
//     aborted");
//   - no usable burn law: "Empty Vielle parameters for propellant, grain combustion
//     cannot be calculated", for an entry that is missing or saved without solid data,
//     holds a value of the wrong type, or has no interval;
//   - a law no grain run can use: "Invalid Vielle parameters for propellant, grain
//     combustion cannot be calculated", with the interval and the rule in the informative
//     text, for the other faults of burnLawFaults.
// `refusals` is never null.
bool loadVielleParameters(const std::string& name, double& density, std::vector<std::pair<double, double>>& limits,
                          std::vector<double>& a, std::vector<double>& n, ViewMessages* refusals);
