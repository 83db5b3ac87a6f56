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
#include "grain/grain_store.h"

using namespace grain;

namespace {

bool positive(double v)
{
    return v > 0.0 && std::isfinite(v);
}

// The stored values pass the checks the tab made before saving them; anything else did
// not come from the tab and would hand a run a curve of no real grain.
bool plausible(const GrainEntry& e)
{
    const std::vector<double>& p = e.parameters;
    const bool knownCombustion = e.combustion >= RadialAndBase && e.combustion <= Base;
    const bool samples = e.points >= 2 && e.points <= kMaxSamples;
    switch (e.geometry) {
    case Cylindrical:
        return knownCombustion && samples && positive(p[0]) && positive(p[1]) && p[1] < p[0] && positive(p[2])
                && p[3] >= 1.0;
    case Frontal: return positive(p[0]) && positive(p[1]);
    case Star: {
        const double Dext = p[0], Dpoint = p[1], Din = p[2];
        return knownCombustion && samples && positive(Dext) && positive(Dpoint) && positive(Din) && Din < Dext
                && Dpoint <= Dext && Din <= Dpoint && positive(p[3]) && p[4] >= 1.0 && p[5] >= 2.0;
    }
    default: return false;
    }
}

// An index outside int16 must not wrap onto a valid unit: the conversion refuses -1.
int16_t unitIndexOf(int64_t index)
{
    return index >= INT16_MIN && index <= INT16_MAX ? static_cast<int16_t>(index) : int16_t(-1);
}

// Points of a star a run can compute: at most 100 (real stars have 4 to 12). The charges
// are limited by physical::maxCharges.
constexpr double maxStarPoints = 100.0;

// The stored geometry in SI is one of a real grain: every diameter and length in range,
// the web (the distance the burn advances from the bore or the star to the case) at least
// 1 micrometre, and counts small enough to compute. A grain of 5e-324 mm, of 1e308 mm or
// of 2^31 charges is refused here rather than run.
bool sizesInRange(const GrainEntry& e)
{
    const std::vector<double>& p = e.parameters;
    const int16_t unit = unitIndexOf(e.units);
    auto metres = [unit](double v) { return convertToSI(unitKind::Length, v, unit); };
    switch (e.geometry) {
    case Cylindrical: {
        const double Dext = metres(p[0]), Di = metres(p[1]), L = metres(p[2]);
        return physical::lengthInRange(Dext) && physical::lengthInRange(Di) && physical::lengthInRange(L)
                && (Dext - Di) / 2.0 >= physical::minLength && p[3] <= physical::maxCharges;
    }
    case Frontal: return physical::lengthInRange(metres(p[0])) && physical::lengthInRange(metres(p[1]));
    case Star: {
        const double Dext = metres(p[0]), Dpoint = metres(p[1]), Din = metres(p[2]), L = metres(p[3]);
        return physical::lengthInRange(Dext) && physical::lengthInRange(Dpoint) && physical::lengthInRange(Din)
                && physical::lengthInRange(L) && (Dext - Din) / 2.0 >= physical::minLength
                && p[4] <= physical::maxCharges && p[5] <= maxStarPoints;
    }
    default: return false;
    }
}

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

double fail()
{
    raiseFlag(flagsL, code::L09);
    return -1.0;
}

// The curve in SI handed to the caller, returning its first area, when a run can use it;
// otherwise L09 and the outputs untouched.
double deliver(std::vector<double> distance, std::vector<double> area, std::vector<double>* y, std::vector<double>* A)
{
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
        const std::size_t n = std::min(currentGrain.y.size(), currentGrain.area.size());
        const int16_t unit = unitIndexOf(currentGrain.unitIndex);
        std::vector<double> distance(n), area(n);
        for (std::size_t i = 0; i < n; ++i) {
            distance[i] = convertToSI(unitKind::Length, currentGrain.y[i], unit);
            area[i] = convertToSI(unitKind::Area, currentGrain.area[i], unit);
        }
        return deliver(std::move(distance), std::move(area), y, A);
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
    if (!entry || !plausible(*entry) || !sizesInRange(*entry))
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

    const int16_t unit = unitIndexOf(entry->units);
    for (std::size_t i = 0; i < distance.size(); ++i) {
        distance[i] = convertToSI(unitKind::Length, distance[i], unit);
        area[i] = convertToSI(unitKind::Area, area[i], unit);
    }
    return deliver(std::move(distance), std::move(area), y, A);
}
