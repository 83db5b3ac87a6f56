#include "grain/grain_provider.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "core/flags.h"
#include "core/message_box.h"
#include "core/physical_limits.h"
#include "core/units.h"
#include "core/view_message.h"
#include "grain/burnback.h"
#include "grain/current_grain.h"
#include "grain/grain_limits.h"
#include "grain/grain_store.h"

using namespace grain;

namespace {

// The burn-back curve in SI is one a run can use: at least two samples, burnt distances
// finite, from 0 and rising, to a web of 1 micrometre to 1 km; areas finite, the first
// above 0, and none 0 or below before the end of the burn (a burnt-out grain does not
// burn again).
bool curveUsable(const std::vector<double>& y, const std::vector<double>& A)
{
    const std::size_t n = std::min(y.size(), A.size());
    if (n < 2 || !(y[0] == 0.0) || !physical::lengthInRange(y[n - 1]) || !(A[0] > 0.0))
        return false;
    bool burning = true;
    for (std::size_t i = 0; i < n; ++i) {
        if (!std::isfinite(y[i]) || !std::isfinite(A[i]) || A[i] < 0.0 || (i > 0 && !(y[i] > y[i - 1])))
            return false;
        if (A[i] == 0.0)
            burning = false;
        else if (!burning)
            return false;
    }
    return true;
}

// The burnout rule (settledBurnout, burnback.h) for the last sample of a loaded curve,
// sized against the area at ignition: ten times the largest residue the burn-back
// formulas leave at burnout over a sweep of star shapes (1.1e-5 of the ignition area,
// from the literal pi 3.141592 and the single-precision distances of the tab).
constexpr double kBurnoutResidue = 1e-4;

void settleBurnout(std::vector<double>& A)
{
    if (A.size() >= 2 && std::isfinite(A.front()) && A.front() > 0.0)
        A.back() = settledBurnout(A.back(), kBurnoutResidue * A.front());
}

double fail()
{
    raiseFlag(flagsL, code::L09);
    return -1.0;
}

// The curve in the grain's unit (a units index), converted to SI and handed to the caller,
// returning its first area, when a run can use it; otherwise L09 and the outputs untouched.
double deliverInSI(std::vector<double> distance, std::vector<double> area, int64_t unitIndex, std::vector<double>* y,
                   std::vector<double>* A)
{
    const int16_t unit = unitIndexOf(unitIndex);
    for (double& v : distance)
        v = convertToSI(unitKind::Length, v, unit);
    for (double& v : area)
        v = convertToSI(unitKind::Area, v, unit);
    settleBurnout(area);
    if (!curveUsable(distance, area))
        return fail();
    *y = std::move(distance);
    *A = std::move(area);
    return (*A)[0];
}

} // namespace

double loadGrainBurnback(const std::string& name, std::vector<double>* y, std::vector<double>* A,
                         ViewMessages* refusals)
{
    if (name == "Current") {
        if (currentGrain.area.empty() || currentGrain.y.empty()) {
            refusals->push_back(ViewMessage{
                    untitledRequest(Msg::Critical,
                                    QStringLiteral("Grain load failed, no grain active in Grain definition tab")),
                    true});
            return -1.0;
        }
        // The tab computes any grain it can draw; a run takes only one a stored grain could be.
        if (currentGrain.geometry && grainEntryFault(*currentGrain.geometry))
            return fail();
        const auto n = static_cast<std::ptrdiff_t>(std::min(currentGrain.y.size(), currentGrain.area.size()));
        std::vector<double> distance(currentGrain.y.begin(), currentGrain.y.begin() + n);
        std::vector<double> area(currentGrain.area.begin(), currentGrain.area.begin() + n);
        return deliverInSI(std::move(distance), std::move(area), currentGrain.unitIndex, y, A);
    }

    const GrainDocument doc = readGrainFile(); // raises F10 or F26
    switch (doc.status) {
    case JsonReadStatus::Ok: break;
    case JsonReadStatus::CannotOpen: {
        MessageRequest request;
        request.icon = Msg::Critical;
        request.title.clear();
        request.text = QString::fromUtf8(kGrainFileCannotOpen);
        refusals->push_back(ViewMessage{request, true});
        return fail();
    }
    default: return fail();
    }

    const auto found = doc.document.find(name);
    if (found == doc.document.end())
        return fail();
    const std::optional<GrainEntry> entry = parseGrainEntry(*found);
    if (!entry || grainEntryFault(*entry))
        return fail();

    const std::vector<double>& p = entry->parameters;
    std::vector<double> distance, area;
    switch (entry->geometry) {
    case Cylindrical:
        burnbackCylindrical(p[0], p[1], p[2], static_cast<uint32_t>(p[3]), static_cast<uint32_t>(entry->points),
                            entry->combustion, distance, area);
        break;
    case Frontal: {
        // A stored frontal grain burns its whole face from one end to the other: two
        // samples describe it, whatever its "Points".
        const double face = kPi * (p[1] / 2.0) * (p[1] / 2.0);
        distance = {0.0, p[0]};
        area = {face, face};
        break;
    }
    case Star:
        burnbackStar(p[0], p[1], p[2], p[3], static_cast<uint32_t>(p[4]), static_cast<uint32_t>(p[5]),
                     static_cast<uint32_t>(entry->points), entry->combustion, distance, area);
        break;
    }
    if (area.empty())
        return fail();
    return deliverInSI(std::move(distance), std::move(area), entry->units, y, A);
}
