#pragma once
// The rocket figures of a finished run: for a run at a given chamber pressure the
// throat and exit values, for a grain run the time averages over the burn.
#include <QString>

class RocketVariables;

namespace calc {

// Writes burnTime, runMassFlow, thrust, specificImpulse, cStar and CE into the record
// (for a grain run also injectorPressure and chamberT, the time averages). Pressure run,
// t the throat and e the exit station:
//   mdot = rho_t u_t A_t, F = (p_e - p_amb) A_e + u_e mdot, Isp = F/mdot,
//   c* = A_t p_c / mdot (p_c as the solver left it), CE = Isp/c*, burn time -1.
// Grain run: each figure is (1/t_b) * integral over [0, t_b] of its series (the rule of
// INT_METHOD), t_b the time of the last grain point.
void computeSummary(RocketVariables& run, double ambientPressure);

// What the "Rocket properties" fields show for a run, `digits` significant digits; a
// figure that is not a finite number (no mass flow, a burn of zero length) shows "N/A".
struct SummaryTexts {
    QString time, pressure, temperature, massFlow, thrust, isp, cstar, ce;
};
SummaryTexts summaryTexts(const RocketVariables& run, int digits);

inline const QString noBurnLaw = QStringLiteral("No Vielle parameters available");

} // namespace calc
