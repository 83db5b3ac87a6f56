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
// box; a name that is not stored, an entry that is incomplete, of another type, of an
// unknown geometry or with values no grain can have (a diameter, length or web below 1
// micrometre or above 1 km once in metres, more than 1000 charges or 100 star points)
// raise L09. So does a burn-back curve a run cannot use, also the "Current" one: fewer
// than two samples, distances not rising from 0, areas not finite, a first area of 0, or
// an area of 0 before the end of the burn. The outputs are only
// changed on success. A unit index the conversion does not know raises "U" and leaves the
// values in the stored unit. The callers clear L09 before the call and read it after.
// The boxes (critical, untitled, without parent) are appended to `refusals`, never null,
// for the caller's view to show; the loader shows nothing.
double loadGrainBurnback(const std::string& name, std::vector<double>* y, std::vector<double>* A,
                         ViewMessages* refusals);
