#pragma once
// The nozzle optimisation panel's model: its targets with their units, what the panel
// shows for a target, and (see below) the checks that start a run and what the run is
// handed.
#include <cstdint>

#include <QStringList>

#include "core/units.h"

// The targets of combo_opt_target.
namespace optTarget {
constexpr int ChamberPressure = 0; // throat sized for a chamber pressure
constexpr int Thrust = 1; // best thrust within the restrictions
constexpr int CombustionTime = 2; // throat sized for a combustion time
constexpr int TotalImpulse = 3;
constexpr int SpecificImpulse = 4;
} // namespace optTarget

// The unit items of combo_opt_target_units for a target (none for an unknown one).
QStringList targetUnitItems(int target);
// The unit kind of the target's value: pressure, force, time, impulse, velocity.
UnitKind targetUnitKind(int target);
// Targets 1, 3 and 4 maximise a figure within restrictions; their value is a result,
// shown read-only. Targets 0 and 2 take a required value.
bool isMaximisation(int target);
