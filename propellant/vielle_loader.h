#pragma once
// The burn law of a stored solid propellant for grain runs: its density and Vieille's law
// r = a p^n per pressure interval, in SI.
#include <string>
#include <utility>
#include <vector>

#include "core/view_message.h"

// Reads the entry `name` of Propellants.json into the caller's storage: the density in
// kg/m^3, the (lower, upper) limits of every interval in Pa, a for p in Pa and r in m/s,
// and n. A last interval stored without an upper limit is open above (upper +infinity),
// so that the engine uses it for every pressure from its lower limit on without warning.
// False, with the four outputs untouched and the box of the refusal (the propellant
// providers' box, parentless: providerViewMessage) appended to `refusals` for the
// caller's view to show; the loader itself shows nothing:
//   - the file missing (F06, no box), unopenable ("Propellants file could not be
//     opened, ...") or unparsable (F22, "Propellant file was corrupted, save process
//     aborted");
//   - no usable burn law: "Empty Vielle parameters for propellant, grain combustion
//     cannot be calculated", for an entry that is missing or saved without solid data,
//     has no interval, holds a value of the wrong type, a density <= 0, or an a <= 0
//     or n = 0 (the engine inverts the law as p = (r/a)^(1/n));
//   - a law no grain run can use: "Invalid Vielle parameters for propellant, grain
//     combustion cannot be calculated", with the rule in the informative text, for an
//     exponent n >= 1 (no stable chamber pressure: production grows as fast as the
//     nozzle flow or faster), or limits, a or the density that are not finite or not
//     positive once in SI, limits that descend or an upper limit below its lower one.
//   Exponents below 0 are laws of real propellants (the plateau intervals of the
//   potassium nitrate / sucrose tables): a run judges whether their points balance.
// An undefined pressure or density unit index raises the unit code through the
// conversion (a then stays unscaled); a burn-rate unit other than mm/s is m/s.
// `refusals` is never null.
bool loadVielleParameters(const std::string& name, double& density, std::vector<std::pair<double, double>>& limits,
                          std::vector<double>& a, std::vector<double>& n, ViewMessages* refusals);
