#include "calculations/calculation_options.h"

namespace calc {

OptionEnables optionEnables(const OptionSwitches& s)
{
    OptionEnables e;
    e.frozenBox = s.ode;
    e.frozenPoint = s.ode && s.frozen;
    e.chamberArea = s.fac;
    e.pressure = !s.grainMode;
    e.grain = s.grainMode;
    e.wallTemperature = s.heatWall;
    e.uniformTemperature = s.uniformTemperature;
    return e;
}

ModeVisibility modeVisibility(bool babyMode, bool solidsHidden)
{
    ModeVisibility v;
    v.kinetic = !babyMode;
    v.grain = !babyMode && !solidsHidden;
    v.finiteArea = !babyMode;
    v.chamberArea = !babyMode;
    v.uniformTemperature = !babyMode;
    return v;
}

} // namespace calc
