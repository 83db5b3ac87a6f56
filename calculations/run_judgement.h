#pragma once
// Whether a finished run is a result. A run is kept only when every figure that its
// summary, its table and its plots show is finite and physical; anything else is a failed
// run with a code that the Critical Errors menu explains.
#include <cstdint>

class RocketVariables;

namespace calc {

enum class RunFault {
    None,
    NoResult, // the record lacks what the views read (too few stations or burn samples)
    FiguresOutOfRange, // ODE06: a figure not finite or outside its physical range
    UnbalancedBurnPoint, // ODE07: a burning point of a grain without a balanced pressure
};

// Judges the figures of a run whose solver reported success, after its summary
// (computeSummary). Chamber pressure (the nozzle's and the one shown) in (1 Pa, 1e10 Pa),
// chamber temperature above 200 K, mass flow and c* above 0, thrust, specific impulse
// and CE finite (a negative thrust of an over-expanded nozzle is a result).
//   Pressure run: every station's pressure, temperature and density finite and above 0,
//   every other station figure, mole fraction and chamber figure that the run computed
//   finite.
//   Grain run: burn time finite and above 0; at every point of the burn the nine burn
//   series finite, the chamber pressure balanced (a point that never balanced keeps 0)
//   and in range, the temperature, mass flow, c* and burn rate as above, the times
//   ascending. The burn ends with the last point that has burning area and a balanced
//   chamber; the points after it are the burnout (their series stay empty). A run in
//   which no point burnt is an unbalanced grain.
RunFault judgeRunFigures(const RocketVariables& run);

// The code of a fault (a mask of flagsODE): ODE05, ODE06 or ODE07; 0 for None.
uint32_t faultCode(RunFault fault);

} // namespace calc
