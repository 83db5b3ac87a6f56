#include "nozzle/optimisation.h"

QStringList targetUnitItems(int target)
{
    switch (target) {
    case optTarget::ChamberPressure: return {"Mpa", "atm", "bar"};
    case optTarget::Thrust: return {"N", "kN", "kgf"};
    case optTarget::CombustionTime: return {"s", "ms"};
    case optTarget::TotalImpulse: return {"N s", "kN s", "kgf s"};
    case optTarget::SpecificImpulse: return {"m/s", "km/s", "s"};
    default: return {};
    }
}

UnitKind targetUnitKind(int target)
{
    switch (target) {
    case optTarget::ChamberPressure: return unitKind::Pressure;
    case optTarget::Thrust: return unitKind::Force;
    case optTarget::CombustionTime: return unitKind::Time;
    case optTarget::TotalImpulse: return unitKind::Impulse;
    case optTarget::SpecificImpulse: return unitKind::Velocity;
    default: return unitKind::Single;
    }
}

bool isMaximisation(int target)
{
    return target == optTarget::Thrust || target == optTarget::TotalImpulse || target == optTarget::SpecificImpulse;
}
