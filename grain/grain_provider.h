#pragma once
// The one way the rest of the program obtains a grain: its burn-back curve in SI.
#include <string>
#include <vector>

#include "core/view_message.h"

// Fills y (burnt distance, m) and A (combustion area, m^2), one element per sample, and
// returns A[0], the area at ignition; -1 when the grain cannot be loaded.
//
// "Current" (exactly) is the grain the grain tab shows (currentGrain); when the tab has
// computed none, a box says so and no code is raised. Any other name is looked up
// in Grains.json and its curve is computed from the stored parameters: a missing file
// raises F10 and L09, an unparsable one F26 and L09, one that cannot be opened L09 and a
// box; a name that is not stored, an entry that is incomplete or of another type, or a
// grain that breaks a rule of grainEntryFault (grain_limits.h: lengths and web in
// physical range, at most 1000 charges and 100 star points...) raise L09, and so does a
// "Current" grain that breaks one. So does a burn-back curve a run cannot use, also the
// "Current" one: fewer than two samples, distances not rising from 0, areas not finite,
// a first area of 0, or an area of 0 or below before the end of the burn. The last sample
// follows the burnout rule (settledBurnout, burnback.h) with a residue of 1e-4 of the
// first area. The outputs are only changed on success. A unit index
// the conversion does not know raises "U" and leaves the values in the stored unit. The
// callers clear L09 before the call and read it after.
// The boxes (critical, untitled, without parent) are appended to `refusals`, never null,
// for the caller's view to show; the loader shows nothing.
double loadGrainBurnback(const std::string& name, std::vector<double>* y, std::vector<double>* A,
                         ViewMessages* refusals);
