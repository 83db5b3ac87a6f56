#include "nozzle/nozzle_provider.h"

#include <algorithm>

#include "core/flags.h"
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

// Stations and throat data of a contour in `unit` (a comb_units index), to SI.
void toSI(const std::vector<double>& xIn, const std::vector<double>& AIn, double dt, double rc, int unit,
          std::vector<double>& x, std::vector<double>& A, double& throatDiameter, double& throatCurvatureRadius)
{
    const auto u = static_cast<int16_t>(unit);
    std::vector<double> xs(xIn.size()), as(AIn.size());
    std::transform(xIn.begin(), xIn.end(), xs.begin(), [u](double v) { return convertToSI(unitKind::Length, v, u); });
    std::transform(AIn.begin(), AIn.end(), as.begin(), [u](double v) { return convertToSI(unitKind::Area, v, u); });
    x = std::move(xs);
    A = std::move(as);
    throatDiameter = convertToSI(unitKind::Length, dt, u);
    throatCurvatureRadius = convertToSI(unitKind::Length, rc, u);
}

bool loadCurrent(std::vector<double>& x, std::vector<double>& A, double& throatDiameter, double& throatCurvatureRadius)
{
    const CurrentNozzle& cn = currentNozzle;
    if (cn.empty()) {
        tabMessage(nullptr, Msg::Critical, "Nozzle load failed, no nozzle displayed in nozzle definition tab");
        return false;
    }
    toSI(cn.x, cn.A, cn.throatDiameter, cn.throatCurvatureRadius, cn.unitIndex, x, A, throatDiameter,
         throatCurvatureRadius);
    return true;
}

} // namespace

bool loadNozzle(const std::string& name, std::vector<double>& x, std::vector<double>& A, double& throatDiameter,
                double& throatCurvatureRadius)
{
    if (name == "Current")
        return loadCurrent(x, A, throatDiameter, throatCurvatureRadius);

    const NozzleDocument doc = readNozzleFile();
    if (!doc.opened()) {
        raiseFlag(flagsL, code::L08);
        MessageRequest request = tabRequest(Msg::Critical, nozzleFileCannotOpenMessage);
        request.windowIcon = true;
        showMessage(nullptr, request);
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
    toSI(xs, as, dt, rc, entry.units, x, A, throatDiameter, throatCurvatureRadius);
    return true;
}
