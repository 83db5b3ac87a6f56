#pragma once
// Which run options the calculation tab offers, given the switches chosen: the frozen
// point only with the equilibrium model, a nozzle and its box checked; the chamber area
// only with the finite-area combustor; the wall temperature only with wall heat; the
// pressure field or the grain list by mode. And what the two restricted display modes
// hide.
#include <QString>

namespace calc {

struct OptionSwitches {
    bool ode = true; // equilibrium model (false: kinetic)
    bool frozen = false; // "Frozen at: " checked
    bool fac = false; // finite-area combustor
    bool grainMode = false; // grain burn (false: chamber pressure)
    bool heatWall = false; // wall heat transfer
    bool uniformTemperature = false;
};

struct OptionEnables {
    bool frozenBox = true; // check_froz
    bool frozenPoint = false; // line_froz, combo_units_length, Slider_frozen
    bool chamberArea = false; // line_chamberA, combo_unitsA
    bool pressure = true; // line_spec_pres, combo_units_pres
    bool grain = false; // comb_grain
    bool wallTemperature = false; // label_wallT, line_wallT, label_KwallT
    bool uniformTemperature = false; // line_homT
};
OptionEnables optionEnables(const OptionSwitches& switches);

// Widgets shown while baby mode and the hidden solid-motor options are in force.
struct ModeVisibility {
    bool kinetic = true; // radio_odk
    bool grain = true; // comb_grain, radio_spec_grain
    bool finiteArea = true; // radio_FAC
    bool chamberArea = true; // line_chamberA, combo_unitsA
    bool uniformTemperature = true; // check_homT, line_homT
};
ModeVisibility modeVisibility(bool babyMode, bool solidsHidden);

inline const QString nozzleFirst = QStringLiteral("A Nozzle must be chosen first");

} // namespace calc
