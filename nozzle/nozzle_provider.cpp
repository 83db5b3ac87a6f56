#include "nozzle/nozzle_provider.h"

#include <algorithm>
#include <optional>

#include "core/flags.h"
#include "core/units.h"
#include "nozzle/contour.h"
#include "nozzle/current_nozzle.h"
#include "nozzle/nozzle_limits.h"
#include "nozzle/nozzle_model.h"
#include "nozzle/nozzle_store.h"
#include "nozzle/tab_messages.h"

namespace {

bool loadFailed()
{
    raiseFlag(flagsL, code::L08);
    return false;
}

// Stations and throat data of a contour in `unit` (a comb_units index), converted to SI
// and handed to the caller when a run can use them (nozzle::usableStations); otherwise
// L08 and the outputs untouched.
bool deliverInSI(const std::vector<double>& xIn, const std::vector<double>& AIn, double dt, double rc, int unit,
                 std::vector<double>& x, std::vector<double>& A, double& throatDiameter, double& throatCurvatureRadius)
{
    std::optional<nozzle::StationsSI> s = nozzle::usableStations(xIn, AIn, dt, rc, unit);
    if (!s)
        return loadFailed();
    x = std::move(s->x);
    A = std::move(s->A);
    throatDiameter = s->throatDiameter;
    throatCurvatureRadius = s->throatCurvatureRadius;
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
    if (deliverInSI(cn.x, cn.A, cn.throatDiameter, cn.throatCurvatureRadius, cn.unitIndex, x, A, throatDiameter,
                    throatCurvatureRadius))
        return true;
    // The tab refuses such a contour itself; should one reach here all the same, the run
    // is told why rather than only that no nozzle is selected.
    refusals->push_back(ViewMessage{
            tabRequest(Msg::Critical,
                       "Nozzle load failed, the nozzle displayed in nozzle definition tab cannot be computed",
                       nozzle::stationsRule()),
            true});
    return false;
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
        BezierForm form = bezierFormFor(entry.points, entry.parameters, entry.options[0]);
        form.unitIndex = entry.units;
        if (!checkBezier(form, 17).accepted())
            return loadFailed();
        BezierParameters p{};
        std::copy(entry.parameters.begin(), entry.parameters.end(), p.begin());
        bezierContour(xs, as, dt, rc, entry.points, p, entry.options[0]);
    } else {
        ConicalForm form = conicalFormFor(entry.points, entry.parameters, entry.options);
        form.unitIndex = entry.units;
        if (!checkConical(form, 17).accepted())
            return loadFailed();
        ConicalParameters p{};
        std::copy(entry.parameters.begin(), entry.parameters.end(), p.begin());
        const ConicalOptions o{entry.options[0], entry.options[1], entry.options[2], entry.options[3]};
        conicalContour(xs, as, dt, rc, entry.points, p, o);
    }
    return deliverInSI(xs, as, dt, rc, entry.units, x, A, throatDiameter, throatCurvatureRadius);
}
