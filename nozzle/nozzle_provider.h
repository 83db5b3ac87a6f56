#pragma once
// The nozzle of a run: loadNozzle fills a run's station x coordinates [m], station
// areas [m^2], throat diameter [m] and throat curvature radius [m].
//   "Current": the current nozzle of the nozzle tab, converted from its unit. When the
//     tab has accepted no contour yet: the box "Nozzle load failed, no nozzle displayed
//     in nozzle definition tab" and false, without a load code.
//   any other name: the member of Nozzles.json, rebuilt by the contour routines and
//     converted from its "Units". A missing file (F08), an unparsable one (F24), one that
//     cannot be opened (with its box), a name that is not stored, an entry of the wrong
//     shape or one whose geometry the nozzle tab would refuse raise L08 and give false.
//   either: stations a run cannot compute (nozzle::usableStations, nozzle_limits.h)
//     raise L08 and give false; for "Current" a box says why ("Nozzle load failed, the
//     nozzle displayed in nozzle definition tab cannot be computed", the rule beside it).
// The outputs are written only when the result is true. L08 is never cleared here: the
// caller clears it before the call. The boxes (critical, untitled, without parent) are
// appended to `refusals`, never null, for the caller's view to show; the loader shows
// nothing.
#include <string>
#include <vector>

#include "core/view_message.h"

bool loadNozzle(const std::string& name, std::vector<double>& x, std::vector<double>& A, double& throatDiameter,
                double& throatCurvatureRadius, ViewMessages* refusals);
