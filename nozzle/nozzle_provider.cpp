#include "nozzle/nozzle_provider.h"

#include <algorithm>
#include <cmath>

#include "core/flags.h"
#include "core/physical_limits.h"
#include "core/units.h"
#include "nozzle/contour.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/nozzle_model.h"
#include "nozzle/nozzle_store.h"
#include "nozzle/tab_messages.h"

namespace {

bool loadFailed()
{
    raiseFlag(flagsL, code::L08);
    return false;
}

// Stations a run can use, in SI: at least two; every x finite, not falling, within 1 km
// of the throat; every area finite, with an equivalent diameter of 1 micrometre to 1 km;
// the throat diameter in the same range and the throat curvature radius finite and not
// negative. A hand-edited divergent length of 1.797e308, an exit or entrance diameter of
// 1e308 or a throat of 5e-324 pass the contour's checks but give stations no run can
// compute: they are refused here.
bool stationsUsable(const std::vector<double>& x, const std::vector<double>& A, double throatDiameter,
                    double throatCurvatureRadius)
{
    if (x.size() < 2 || A.size() != x.size() || !physical::lengthInRange(throatDiameter)
        || !(throatCurvatureRadius >= 0.0 && std::isfinite(throatCurvatureRadius)))
        return false;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double diameter = std::sqrt(4.0 * A[i] / nozzle::pi);
        if (!(std::fabs(x[i]) <= physical::maxLength) || (i > 0 && !(x[i] >= x[i - 1]))
            || !physical::lengthInRange(diameter))
            return false;
    }
    return true;
}

// Stations and throat data of a contour in `unit` (a comb_units index), converted to SI
// and handed to the caller when a run can use them; otherwise L08 and the outputs
// untouched.
bool deliverInSI(const std::vector<double>& xIn, const std::vector<double>& AIn, double dt, double rc, int unit,
                 std::vector<double>& x, std::vector<double>& A, double& throatDiameter, double& throatCurvatureRadius)
{
    const auto u = static_cast<int16_t>(unit);
    std::vector<double> xs(xIn.size()), as(AIn.size());
    std::transform(xIn.begin(), xIn.end(), xs.begin(), [u](double v) { return convertToSI(unitKind::Length, v, u); });
    std::transform(AIn.begin(), AIn.end(), as.begin(), [u](double v) { return convertToSI(unitKind::Area, v, u); });
    const double dtSI = convertToSI(unitKind::Length, dt, u);
    const double rcSI = convertToSI(unitKind::Length, rc, u);
    if (!stationsUsable(xs, as, dtSI, rcSI))
        return loadFailed();
    x = std::move(xs);
    A = std::move(as);
    throatDiameter = dtSI;
    throatCurvatureRadius = rcSI;
    return true;
}

bool loadCurrent(std::vector<double>& x, std::vector<double>& A, double& throatDiameter, double& throatCurvatureRadius,
                 ViewMessages* refusals)
{
    const CurrentNozzle& cn = currentNozzle;
    if (cn.empty()) {
        refusals->push_back(ViewMessage{
                tabRequest(Msg::Critical, "Nozzle load failed, no nozzle displayed in nozzle definition tab"), true});
        return false;
    }
    return deliverInSI(cn.x, cn.A, cn.throatDiameter, cn.throatCurvatureRadius, cn.unitIndex, x, A, throatDiameter,
                       throatCurvatureRadius);
}

} // namespace

bool loadNozzle(const std::string& name, std::vector<double>& x, std::vector<double>& A, double& throatDiameter,
                double& throatCurvatureRadius, ViewMessages* refusals)
{
    if (name == "Current")
        return loadCurrent(x, A, throatDiameter, throatCurvatureRadius, refusals);

    const NozzleDocument doc = readNozzleFile();
    if (!doc.opened()) {
        raiseFlag(flagsL, code::L08);
        MessageRequest request = tabRequest(Msg::Critical, nozzleFileCannotOpenMessage);
        request.windowIcon = true;
        refusals->push_back(ViewMessage{request, true});
        return false;
    }
    if (doc.status != JsonReadStatus::Ok)
        return loadFailed(); // F08 or F24 raised by the read
    auto it = doc.document.find(name);
    NozzleEntry entry;
    if (it == doc.document.end() || !parseNozzleEntry(*it, entry))
        return loadFailed();

    // A hand-edited entry reaches a run only with a geometry the nozzle tab would accept:
    // the same checks guard the station count and every quantity the contour needs.
    std::vector<double> xs, as;
    double dt = 0.0, rc = 0.0;
    if (entry.type == 0) {
        if (!checkBezier(bezierFormFor(entry.points, entry.parameters, entry.options[0]), 17).accepted())
            return loadFailed();
        BezierParameters p{};
        std::copy(entry.parameters.begin(), entry.parameters.end(), p.begin());
        bezierContour(xs, as, dt, rc, entry.points, p, entry.options[0]);
    } else {
        if (!checkConical(conicalFormFor(entry.points, entry.parameters, entry.options), 17).accepted())
            return loadFailed();
        ConicalParameters p{};
        std::copy(entry.parameters.begin(), entry.parameters.end(), p.begin());
        const ConicalOptions o{entry.options[0], entry.options[1], entry.options[2], entry.options[3]};
        conicalContour(xs, as, dt, rc, entry.points, p, o);
    }
    return deliverInSI(xs, as, dt, rc, entry.units, x, A, throatDiameter, throatCurvatureRadius);
}
