#pragma once
// The rules a grain must meet for a run to compute it, in one place: the grain tab's save,
// the provider's load of a stored grain and of the tab's "Current" grain all ask here,
// so that the tab never saves a grain that every run then refuses.
#include <cstdint>
#include <optional>

#include <QString>

#include "grain/grain_entry.h"

namespace grain {

// A broken rule: the grain tab's own refusal for the field (its "Invalid ..." text) and
// the rule with its limits, in the entry's unit, for the box's informative text.
struct GrainFault {
    QString message;
    QString rule;
};

// The first rule `entry` breaks, in the order the tab checks its fields; nothing when a
// run can compute the grain. Besides the tab's own checks (diameters in order, at least
// one charge, two star points, two samples) every diameter, length and web must lie in
// physical::lengthInRange once in metres, and the counts stay within physical::maxCharges,
// physical::maxStarPoints and kMaxSamples. A unit the conversion does not know raises
// "U" and the values are judged as stored.
std::optional<GrainFault> grainEntryFault(const GrainEntry& entry);

// The parts of grainEntryFault that the length sweep of a cylindrical grain asks alone:
// the two diameters of a cylinder in `units` and the web between them, and the number
// of charges.
std::optional<GrainFault> boreFault(double Dext, double Di, int units);
std::optional<GrainFault> chargesFault(double charges);

// The sample count of a burn-back curve: 2 to kMaxSamples, or "Invalid number of points".
// Part of grainEntryFault for the grains whose stored curve has that many samples; the tab
// asks it alone for the curve it draws of a frontal grain.
std::optional<GrainFault> sampleCountFault(int64_t points);

// The stored unit index as the conversion takes it: one outside int16 becomes -1, an
// index the conversion refuses, rather than wrapping onto a valid unit.
int16_t unitIndexOf(int64_t index);

} // namespace grain
