// Kinetic nozzle flow: the global iteration of the run and the station outputs.
#include <algorithm>
#include <cmath>
#include <vector>

#include "core/curves.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/bartz.h"
#include "engine/ode.h"
#include "engine/odk.h"
#include "engine/station_outputs.h"

namespace {
bool integratorSucceeded(int result)
{
    return result == CV_SUCCESS || result == CV_TSTOP_RETURN || result == CV_ROOT_RETURN;
}

bool aborted()
{
    return abortFlag.load(std::memory_order_relaxed) != 0;
}

// Steps the integrator may take to reach the next station: CVODES' default of 500 for
// every hundredth of the nozzle length the interval spans, and never fewer. A coarse
// grid's long intervals (or stiff chemistry across one of them) get room in proportion;
// the budget still ends a step size that collapses, which no abort could reach.
long stepBudget(const RocketVariables& rv, unsigned from, unsigned to)
{
    constexpr long stepsPerHundredth = 500;
    const double length = rv.x[rv.stationCount - 1] - rv.x[0];
    const double share = length > 0.0 ? (rv.x[to] - rv.x[from]) / length : 0.0;
    const double budget = std::ceil(share * 100.0) * stepsPerHundredth;
    return std::max(stepsPerHundredth, static_cast<long>(std::min(budget, 1e9)));
}

// Where the cubic through (0, a0) and (h, a1) with slopes m0 <= 0 and m1 > 0 there
// (Hermite form) has its minimum: the root in [0, h] of its quadratic derivative at
// which the derivative rises through zero.
double hermiteMinimumOffset(double h, double a0, double a1, double m0, double m1)
{
    // Derivative with respect to s = offset/h: qa s^2 + qb s + qc.
    const double qa = 6.0 * (a0 - a1) + 3.0 * h * (m0 + m1);
    const double qb = 6.0 * (a1 - a0) - h * (4.0 * m0 + 2.0 * m1);
    const double qc = h * m0;
    // Where the straight line between the two slopes is zero: the answer when the
    // derivative is (nearly) linear.
    double s = m0 / (m0 - m1);
    const double disc = qb * qb - 4.0 * qa * qc;
    if (qa != 0.0 && disc >= 0.0) {
        // The two roots in the cancellation-free form.
        const double q = -0.5 * (qb + std::copysign(std::sqrt(disc), qb));
        for (const double r : {q / qa, q != 0.0 ? qc / q : -1.0}) {
            if (r >= 0.0 && r <= 1.0 && 2.0 * qa * r + qb >= 0.0) {
                s = r;
                break;
            }
        }
    }
    return std::clamp(s, 0.0, 1.0) * h;
}

// Stations past either end of a stretch of the given curve that the windows of its
// interpolation and differentiation (core/curves.h) read.
unsigned curveWindowReach()
{
    return std::max(INTER_PREC, DER_PREC) + 1u;
}

// Frees the integrator on every way out of the run that did not close it already.
struct IntegratorGuard {
    OdkIntegrator& integrator;
    ~IntegratorGuard() { integrator.release(); }
};
} // namespace

bool ODK::reinitialise(double x0, N_Vector y)
{
    if (CVodeReInit(integrator.memory(), x0, y) != CV_SUCCESS) {
        raiseFlag(flagsODK, code::ODK00);
        return false;
    }
    if (CVodeSetUserData(integrator.memory(), &userData) != CV_SUCCESS) {
        raiseFlag(flagsODK, code::ODK00);
        return false;
    }
    return true;
}

void ODK::loadInitialState()
{
    const RocketVariables& rv = *rocket;
    const Mixture& m = *mixture;
    const std::size_t N = m.nSpecies;
    sunrealtype* y = N_VGetArrayPointer(integrator.initialState());
    for (std::size_t j = 0; j < N; ++j)
        y[j] = m.species[j]->moles;
    y[N] = rv.u[0];
    y[N + 1] = rv.T[0];
    y[N + 2] = rv.rho[0];
    y[N + 3] = rv.p[0];
}

ODK::PassEnd ODK::integrateSegment(unsigned from, unsigned to, int segment, bool finalPass)
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const std::size_t N = m.nSpecies;
    N_Vector out = integrator.outputState();
    sunrealtype* y = N_VGetArrayPointer(out);
    // The integration stops at every station (its state there is a step's end, not an
    // interpolant), but it carries its step history on through the station: a restart
    // begins the next interval again with first-order steps at the tolerance, and
    // restarting at every station made the errors of what the flow conserves (mass
    // flow, total enthalpy) and of the exit state grow with the station count, to
    // 2e-5 on 100,000 stations.
    //
    // The given curves come from local polynomials whose window moves at each station,
    // so the right-hand side has a kink there. Where the curve is smooth (the contour,
    // or the given pressures interpolated between the corrected ones) the kink is of the
    // order of the polynomials' own error, and the history crosses it. The near-throat
    // corrections move each corrected pressure on its own: there the integration
    // restarts. Should a kink still stop the integrator, the interval is taken again
    // from a restart at the station before.
    std::vector<double>& previous = stationStateWork;
    previous.assign(y, y + N + 4);
    bool restarted = true; // the integrator starts at x[from]
    for (unsigned k = from + 1; k <= to; ++k) {
        sunrealtype reached = rv.x[from];
        CVodeSetStopTime(integrator.memory(), rv.x[k]);
        CVodeSetMaxNumSteps(integrator.memory(), stepBudget(rv, k - 1, k));
        int result = CVode(integrator.memory(), rv.x[to], out, &reached, CV_NORMAL);
        if (!integratorSucceeded(result) && !restarted) {
            std::copy(previous.begin(), previous.end(), y);
            if (!reinitialise(rv.x[k - 1], out))
                return PassEnd::Stopped;
            CVodeSetStopTime(integrator.memory(), rv.x[k]);
            result = CVode(integrator.memory(), rv.x[to], out, &reached, CV_NORMAL);
        }
        if (!integratorSucceeded(result)) {
            raiseFlag(flagsODK, code::ODK01);
            closeSolver(result);
            return PassEnd::Stopped;
        }
        const double u = y[N];
        const double T = y[N + 1];
        const double rho = y[N + 2];
        const double Y = y[N + 3];
        stationGasConstant[k] = m.gasConstant;
        stationCp[k] = m.cp;
        stationU[k] = u;
        stationT[k] = T;
        stationRho[k] = rho;
        stationMassFlow[k] = u * rho * rv.area[k];
        if (segment == 2) {
            computedArea[k] = Y;
            // The area's slope at the station (for locateSmallestArea), from the state
            // itself: it records no smaller area than the station's own.
            odkRightHandSide(rv.x[k], out, integrator.workState(), &userData);
            computedAreaSlope[k] = N_VGetArrayPointer(integrator.workState())[N + 3] / Y;
            if (Y < rv.odkMinArea) {
                rv.odkMinArea = Y;
                rv.odkMinAreaX = rv.x[k];
                rv.odkMinAreaU = u;
                rv.odkMinAreaRho = rho;
            }
        } else {
            rv.p[k] = Y;
        }
        if (finalPass) {
            for (std::size_t j = 0; j < N; ++j)
                m.species[j]->moles = y[j];
            rv.u[k] = u;
            rv.T[k] = T;
            rv.rho[k] = rho;
            stationOutputs(k);
        }
        previous.assign(y, y + N + 4);
        restarted = segment == 2 && !interpolatedPressure[k];
        if (restarted && k < to && !reinitialise(rv.x[k], out))
            return PassEnd::Stopped;
    }
    return PassEnd::Completed;
}

ODK::PassEnd ODK::integrationPass(bool finalPass)
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const std::size_t N = m.nSpecies;
    const unsigned s1 = rv.convergentSwitchIndex;
    const unsigned s2 = rv.divergentSwitchIndex;
    const unsigned last = finalPass ? rv.stationCount - 1 : s2 + DER_PREC + 1;

    rv.odkMinArea = rv.area[0];
    rv.odkMinAreaX = rv.x[0];
    if (!firstPoint())
        return PassEnd::Stopped;
    if (finalPass)
        stationOutputs(0);

    N_Vector y0 = integrator.initialState();
    loadInitialState();
    stationMassFlow[0] = rv.u[0] * rv.rho[0] * rv.area[0];
    stationU[0] = rv.u[0];
    stationT[0] = rv.T[0];
    stationRho[0] = rv.rho[0];
    N_VScale(1.0, y0, integrator.outputState());
    if (!reinitialise(rv.x[0], y0))
        return PassEnd::Stopped;

    // Segment 1: area given, up to the convergent switch station.
    areaGiven = true;
    if (integrateSegment(0, s1, 1, finalPass) == PassEnd::Stopped)
        return PassEnd::Stopped;

    // Segment 2: pressure given through the throat region; the state carries the area.
    N_Vector out = integrator.outputState();
    sunrealtype* yo = N_VGetArrayPointer(out);
    yo[N + 3] = rv.area[s1];
    computedArea[s1] = rv.area[s1];
    areaGiven = false;
    if (!reinitialise(rv.x[s1], out))
        return PassEnd::Stopped;
    if (integrateSegment(s1, s2, 2, finalPass) == PassEnd::Stopped)
        return PassEnd::Stopped;
    locateSmallestArea();

    // Segment 3: area given again, from the state at s2 moved onto the nozzle's area.
    // Where that step cannot be taken (a flow far from converged), from the given
    // pressure at s2 with the state as integrated.
    if (stepOntoNozzleArea(yo)) {
        if (finalPass) {
            rv.p[s2] = yo[N + 3];
            rv.u[s2] = yo[N];
            rv.T[s2] = yo[N + 1];
            rv.rho[s2] = yo[N + 2];
            stationOutputs(s2);
        }
    } else {
        yo[N + 3] = rv.p[s2];
    }
    areaGiven = true;
    if (!reinitialise(rv.x[s2], out))
        return PassEnd::Stopped;
    if (integrateSegment(s2, last, 3, finalPass) == PassEnd::Stopped)
        return PassEnd::Stopped;
    return PassEnd::Completed;
}

bool ODK::stepOntoNozzleArea(sunrealtype* y)
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const std::size_t N = m.nSpecies;
    const unsigned s2 = rv.divergentSwitchIndex;
    const double u = y[N], T = y[N + 1], rho = y[N + 2], reachedArea = y[N + 3];
    if (!(u > 0.0) || !(T > 0.0) || !(rho > 0.0) || !(reachedArea > 0.0))
        return false;
    // The frozen properties of the state's composition at its temperature.
    for (std::size_t j = 0; j < N; ++j)
        m.species[j]->moles = y[j];
    m.moleFractions();
    const TemperaturePowers powers(T);
    for (std::size_t j = 0; j < N; ++j)
        m.species[j]->thermo(powers);
    m.pressure = rv.p[s2];
    m.frozenProperties(T);
    const double C = m.gasConstant / m.cp;
    const double w = u * u / (m.gasConstant * T);
    const double G = 1.0 - C - 1.0 / w;
    const double step = -std::log(rv.area[s2] / reachedArea) / G;
    if (!(G > 0.0) || !std::isfinite(step) || std::fabs(step) > SWITCH_STEP_LIMIT)
        return false;
    y[N] = u * std::exp(-step / w);
    y[N + 1] = T * std::exp(C * step);
    y[N + 2] = rho * std::exp((1.0 - C) * step);
    y[N + 3] = rv.p[s2] * std::exp(step);
    return true;
}

void ODK::locateSmallestArea()
{
    // The smallest value the integration met is a poor guide to where the area is
    // smallest: the area is flat there, so its integration error moves that point by a
    // good part of a station spacing on fine grids. Its slope is not flat: the minimum
    // lies where the slope turns positive, on the cubic through the two stations around
    // that point (their areas and slopes).
    RocketVariables& rv = *rocket;
    const unsigned s1 = rv.convergentSwitchIndex;
    const unsigned s2 = rv.divergentSwitchIndex;
    bool found = false;
    for (unsigned k = s1 + 1; k < s2; ++k) {
        const double a0 = computedArea[k];
        const double a1 = computedArea[k + 1];
        const double m0 = computedAreaSlope[k] * a0;
        const double m1 = computedAreaSlope[k + 1] * a1;
        if (!(m0 <= 0.0 && m1 > 0.0) || !std::isfinite(a0) || !std::isfinite(a1))
            continue;
        const double h = rv.x[k + 1] - rv.x[k];
        const double offset = hermiteMinimumOffset(h, a0, a1, m0, m1);
        const double s = offset / h;
        const double area = (2.0 * s * s * s - 3.0 * s * s + 1.0) * a0 + (s * s * s - 2.0 * s * s + s) * h * m0
                + (3.0 * s * s - 2.0 * s * s * s) * a1 + (s * s * s - s * s) * h * m1;
        // Several turns (a flow that is not smooth yet): the deepest one.
        if (found && !(area < rv.odkMinArea))
            continue;
        found = true;
        rv.odkMinArea = area;
        rv.odkMinAreaX = rv.x[k] + offset;
        rv.odkMinAreaU = stationU[k] + s * (stationU[k + 1] - stationU[k]);
        rv.odkMinAreaRho = stationRho[k] + s * (stationRho[k + 1] - stationRho[k]);
    }
}

void ODK::chooseCorrectedStations()
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const unsigned s1 = rv.convergentSwitchIndex;
    const unsigned s2 = rv.divergentSwitchIndex;
    std::fill(interpolatedPressure.begin(), interpolatedPressure.end(), 0);
    // Out from the throat to the switch station `end`, one direction at a time. The
    // switch stations end the curve: s1 holds the pressure segment 1 integrated, s2 is
    // always corrected (segment 3 starts there). The last station chosen is left to the
    // interpolation too when it lies closer than half a step to the switch station:
    // knots that crowd together give the curve a slope that follows the noise of their
    // separate corrections.
    auto walk = [&](unsigned end) {
        const int direction = end > t ? 1 : -1;
        double last = std::log(rv.p[t]);
        unsigned lastStation = t;
        for (unsigned k = t + direction; k != end; k += direction) {
            const double lnp = std::log(rv.p[k]);
            if (std::fabs(lnp - last) < CORRECTED_PRESSURE_STEP) {
                interpolatedPressure[k] = 1;
            } else {
                last = lnp;
                lastStation = k;
            }
        }
        if (lastStation != t && std::fabs(std::log(rv.p[end]) - last) < 0.5 * CORRECTED_PRESSURE_STEP)
            interpolatedPressure[lastStation] = 1;
    };
    walk(s1);
    walk(s2);
}

void ODK::interpolatePressures()
{
    RocketVariables& rv = *rocket;
    const unsigned s1 = rv.convergentSwitchIndex;
    const unsigned s2 = rv.divergentSwitchIndex;
    if (std::none_of(interpolatedPressure.begin() + s1, interpolatedPressure.begin() + s2, [](char c) { return c; }))
        return;
    // The curve through the corrected stations from s1 to s2, in ln p over x. The
    // interpolating polynomials keep their order where the stations are evenly spread
    // (chooseCorrectedStations spaces them); each value is held between the two
    // corrected stations around it, so that no interpolated pressure leaves the
    // interval it lies in.
    std::vector<double> xs, lnp;
    for (unsigned k = s1; k <= s2; ++k) {
        if (interpolatedPressure[k])
            continue;
        xs.push_back(rv.x[k]);
        lnp.push_back(std::log(rv.p[k]));
    }
    for (unsigned k = s1 + 1; k < s2; ++k) {
        if (!interpolatedPressure[k])
            continue;
        const std::size_t right
                = static_cast<std::size_t>(std::upper_bound(xs.begin(), xs.end(), rv.x[k]) - xs.begin());
        const double upstream = lnp[right - 1];
        const double downstream = lnp[right];
        const double value = std::clamp(interpolate(lnp, xs, rv.x[k]), std::min(upstream, downstream),
                                        std::max(upstream, downstream));
        rv.p[k] = std::min(std::exp(value), rv.p[k - 1]);
    }
}

void ODK::correctPressure(unsigned k, double d)
{
    RocketVariables& rv = *rocket;
    const unsigned s1 = rv.convergentSwitchIndex;
    const double pc = rv.chamberPressure;
    rv.p[k] = pc / std::exp(std::log(pc / rv.p[k]) + d);
    // Never above the corrected station upstream (an interpolated one is about to
    // follow its neighbours).
    unsigned upstream = k - 1;
    while (upstream > s1 && interpolatedPressure[upstream])
        --upstream;
    rv.p[k] = std::min(rv.p[k], rv.p[upstream]);
}

void ODK::followSwitchStation(double before)
{
    // Segment 3 of the next pass starts from the new p[s2], but the given curve of
    // segment 2 reads the stations past s2 as the last pass integrated them from the
    // old one. On a fine grid the step between those would be a kink many stations
    // deep; they are moved with s2 until the next pass integrates them again.
    RocketVariables& rv = *rocket;
    const unsigned s2 = rv.divergentSwitchIndex;
    if (!(before > 0.0) || rv.p[s2] == before)
        return;
    const double factor = rv.p[s2] / before;
    const unsigned reach = curveWindowReach();
    for (unsigned k = s2 + 1; k <= s2 + reach && k < rv.stationCount; ++k)
        rv.p[k] *= factor;
}

bool ODK::nearThroatCorrections(std::vector<double>& corrections)
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const unsigned s1 = rv.convergentSwitchIndex;
    const unsigned s2 = rv.divergentSwitchIndex;
    const double At = rv.area[t];
    corrections.assign(rv.stationCount, 0.0);
    std::vector<char> missing(rv.stationCount, 0);
    bool exceeded = false;
    for (unsigned k = s1 + 1; k <= s2; ++k) {
        if (k == t || interpolatedPressure[k])
            continue;
        // d ln A = -G d ln p with the frozen G, and the flow's own sensitivity along
        // the segment, -(d ln A/dx)/(d ln p/dx). Near the frozen sonic point (just past
        // the throat when the flow reacts) the frozen G vanishes while the area still
        // responds: the correction takes the larger of the two, or it overshoots.
        const double u = stationU[k];
        double G = 1.0 - stationGasConstant[k] / stationCp[k] - stationGasConstant[k] * stationT[k] / (u * u);
        const double slope = differentiate(rv.p, rv.x, rv.x[k]) / rv.p[k];
        const double along = slope != 0.0 ? std::fabs(computedAreaSlope[k] / slope) : 0.0;
        if (std::isfinite(along))
            G = k > t ? std::max(G, along) : std::min(G, -along);
        G = k > t ? std::max(POINT_A_MAX_CORRECTION, G) : std::min(-POINT_A_MAX_CORRECTION, G);
        // The frozen G is about twice the true sensitivity where the flow is near
        // equilibrium, so only half the correction is taken (the whole one overshoots
        // and the near-throat points oscillate). The mass flow has just been scaled by
        // At/odkMinArea, which scales every computed area alike: what is left to match
        // is the area relative to the smallest one. That miss is the station's own
        // mass-flow error, which is held to half of POINT_TOL_ODK (the rest is left to
        // the throat's own miss and to the stations interpolated between) as well as
        // the step in ln p to POINT_TOL_ODK: where |G| is large the step alone lets
        // the mass flow miss by more than the tolerance.
        const double miss = std::log(rv.area[k] / At * rv.odkMinArea / computedArea[k]);
        const double d = 0.5 * miss / G;
        if (!std::isfinite(d))
            continue;
        corrections[k] = d;
        if (std::fabs(d) > POINT_TOL_ODK || std::fabs(miss) > 0.5 * POINT_TOL_ODK) {
            exceeded = true;
            missing[k] = 1;
        }
    }
    if (!exceeded)
        return false;
    const double pS2 = rv.p[s2];
    for (unsigned k = s1 + 1; k <= s2; ++k) {
        if (missing[k])
            correctPressure(k, corrections[k]);
    }
    followSwitchStation(pS2);
    return true;
}

void ODK::throatPressureCorrection()
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const double q = interpolateExcludingNode(rv.p, rv.x, t);
    const double offset = rv.odkMinAreaX - rv.x[t];
    // Smallest area downstream of the throat, then upstream: the throat pressure moves
    // towards the value its neighbours predict, in proportion to the offset.
    const double downstream = offset / (rv.x[t + 1] - rv.x[t]);
    if (downstream > THROATPOS_TOL_ODK) {
        rv.p[t] *= std::exp(std::log(q / rv.p[t]) * THROAT_P_POS_RELEVANCE * std::min(1.0, downstream));
        rv.p[t] = std::min(rv.p[t], rv.p[t - 1]);
    }
    const double upstream = offset / (rv.x[t - 1] - rv.x[t]);
    if (upstream > THROATPOS_TOL_ODK) {
        rv.p[t] *= std::exp(std::log(q / rv.p[t]) * THROAT_P_POS_RELEVANCE * std::min(1.0, upstream));
        rv.p[t] = std::min(rv.p[t], rv.p[t - 1]);
    }
}

void ODK::sonicPressureCorrection()
{
    // The area reached at the throat station is off, or the smallest area lies beside
    // it: the flow reaches its smallest area (its sonic point) beside the station.
    // Relaxing towards the neighbours' prediction, in steps that shrink with
    // the offset (the obvious correction), crawls there; the pressure at which the flow
    // reaches its smallest area is where the throat station belongs, and half the way
    // to it is taken, as for the other near-throat points (the whole way overshoots
    // once the neighbours follow).
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const double offset = rv.odkMinAreaX - rv.x[t];
    const double downstream = offset / (rv.x[t + 1] - rv.x[t]);
    const double upstream = offset / (rv.x[t - 1] - rv.x[t]);
    if (downstream <= THROATPOS_TOL_ODK && upstream <= THROATPOS_TOL_ODK)
        return;
    const double pMin = interpolate(rv.p, rv.x, rv.odkMinAreaX);
    if (!(pMin > 0.0) || !std::isfinite(pMin))
        return;
    rv.p[t] *= std::exp(0.5 * std::log(pMin / rv.p[t]));
    rv.p[t] = std::min(rv.p[t], rv.p[t - 1]);
}

bool ODK::throatPositionAccepted() const
{
    const RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const double offset = rv.odkMinAreaX - rv.x[t];
    if (offset >= 0.0)
        return offset <= THROATPOS_TOL_ODK * (rv.x[t + 1] - rv.x[t]);
    return -offset <= THROATPOS_TOL_ODK * (rv.x[t] - rv.x[t - 1]);
}

bool ODK::runKinetic()
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    passesDone.store(0, std::memory_order_relaxed);
    rhsEvaluations = 0;
    IntegratorGuard guard{integrator};

    // A nozzle the iteration cannot handle is refused before any work.
    if (!nozzleSupported()) {
        raiseFlag(flagsODK, code::ODK00);
        return false;
    }

    // 1. Equilibrium start: chamber, the given pressure curve and the first guesses.
    const uint32_t spBefore = flagsSP.load(std::memory_order_relaxed);
    const uint32_t lBefore = flagsL.load(std::memory_order_relaxed);
    {
        ODE start(false, mixture, rocket, transport, heatTransfer);
        start.calculateIAC();
        if (start.failed)
            return false;
    }
    const uint32_t spNew = flagsSP.load(std::memory_order_relaxed) & ~spBefore;
    const uint32_t lNew = flagsL.load(std::memory_order_relaxed) & ~lBefore;
    if ((spNew & code::SP10) || (lNew & code::L01))
        return false;
    const unsigned t = rv.throatIndex;
    const double At = rv.area[t];
    for (unsigned k = 0; k < rv.stationCount; ++k) {
        if (!std::isfinite(rv.p[k]) || !(rv.p[k] > 0.0) || !std::isfinite(rv.u[k]) || !std::isfinite(rv.rho[k]))
            return false;
    }

    // 2. Equilibrium at the first station.
    if (!m.solveEquilibrium(rv.T[0], rv.p[0], false))
        return false;
    lnPressureRatio = std::log(rv.chamberPressure / rv.p[t]);

    // 3. Integrator, its initial state filled from the equilibrium start.
    const std::size_t N = m.nSpecies;
    if (!integrator.create(static_cast<sunindextype>(N + 4))) {
        raiseFlag(flagsODK, code::ODK00);
        return false;
    }
    loadInitialState();
    areaGiven = true;
    const CVLsJacFn jacobian = settings.jacobian == OdkJacobian::Analytic ? odkJacobian : nullptr;
    if (!integrator.initialise(odkRightHandSide, jacobian, rv.x[0], REL_TOL, ABS_TOL)
        || CVodeSetUserData(integrator.memory(), &userData) != CV_SUCCESS) {
        raiseFlag(flagsODK, code::ODK00);
        return false;
    }

    // 4. The mass flow of the equilibrium throat.
    targetMassFlow = rv.u[t] * rv.rho[t] * At;
    throatIterations = 0;
    massFlowIterations = 0;
    pointIterations = 0;
    const unsigned s2 = rv.divergentSwitchIndex;
    chooseCorrectedStations();

    // 5.-7. Iteration passes and their corrections.
    std::vector<double> corrections; // of the near-throat points in the last pass
    uint32_t g = 0;
    if (MAX_ITER_GLOBAL == 0) {
        raiseFlag(flagsODK, code::ODK05);
    } else {
        for (;;) {
            if (aborted())
                return false;
            if (integrationPass(false) == PassEnd::Stopped)
                return false;
            passesDone.fetch_add(1, std::memory_order_relaxed);

            bool nextPass = false;
            // a. Mass flow: with the pressures given, the computed area is proportional
            // to the mass flow, so the smallest one is scaled onto the throat. (A step
            // that weights the area's miss by a relevance factor, the obvious form,
            // overshoots once the smallest area misses the throat by more than about a
            // percent, and a nearly frozen flow then ends in a failed integration.)
            if (massFlowIterations < MAX_ITER_MF_ODK) {
                targetMassFlow *= At / rv.odkMinArea;
                if (std::fabs(rv.odkMinArea - At) / At > MF_TOL_ODK) {
                    ++massFlowIterations;
                    nextPass = true;
                } else {
                    massFlowIterations = 0;
                }
            } else {
                raiseFlag(flagsODK, code::ODK08);
                massFlowIterations = 0;
            }

            // b. Given pressures near the throat.
            corrections.clear();
            if (!nextPass) {
                if (pointIterations < MAX_ITER_POINTS_ODK) {
                    if (nearThroatCorrections(corrections)) {
                        ++pointIterations;
                        throatPressureCorrection();
                        nextPass = true;
                    }
                } else {
                    raiseFlag(flagsODK, code::ODK07);
                }
            }

            // c. Throat: the area reached there (relative to the smallest one, as the
            // near-throat points), then the position of the smallest area.
            bool finished = false;
            if (!nextPass) {
                pointIterations = 0;
                if (std::fabs(computedArea[t] / rv.odkMinArea - 1.0) > THROAT_TOL_ODK) {
                    sonicPressureCorrection();
                    nextPass = true;
                } else if (throatPositionAccepted()) {
                    finished = true;
                } else if (throatIterations >= MAX_ITER_THROAT_ODK) {
                    // The flow still reaches its smallest area, its sonic point, beside
                    // the throat station: the run keeps its results, but the throat
                    // station's state is not the sonic one, and the user is told.
                    throatIterations = 0;
                    raiseFlag(flagsODK, code::ODK06);
                    finished = true;
                } else {
                    // Scaling the mass flow (the obvious step) cannot move the smallest
                    // area; the throat pressure can.
                    sonicPressureCorrection();
                    ++throatIterations;
                    nextPass = true;
                }
            }
            if (nextPass)
                interpolatePressures();

            if (finished && !corrections.empty() && std::fabs(corrections[s2]) > 0.1 * POINT_TOL_ODK) {
                // The switch station's area mismatch is carried into the whole
                // divergent part (segment 3 starts there with the nozzle's area, so
                // its mass flux is off by as much), and the half steps leave it just
                // inside the tolerance, always on one side: the last correction found
                // for it is taken whole before the final pass. One within a tenth of
                // the tolerance is left alone (the integration's own noise).
                const double before = rv.p[s2];
                correctPressure(s2, 2.0 * corrections[s2]);
                followSwitchStation(before);
                interpolatePressures();
            }
            if (finished) {
                if (g >= MAX_ITER_GLOBAL)
                    raiseFlag(flagsODK, code::ODK05);
                break;
            }
            ++g;
            if (g >= MAX_ITER_GLOBAL) {
                raiseFlag(flagsODK, code::ODK05);
                break;
            }
        }
    }

    // 8. Final pass: the results.
    if (aborted())
        return false;
    if (integrationPass(true) == PassEnd::Stopped)
        return false;
    closeSolver(0);
    return true;
}

void ODK::calculateIAC()
{
    const bool completed = runKinetic();
    // A run without its final pass, or with a critical code, has no results to show;
    // an aborted run is the caller's to discard and is no failure of its own.
    const bool critical = flagRaised(flagsODK, code::ODK00 | code::ODK01 | code::ODK02);
    failed = critical || (!completed && !aborted());
}

void ODK::stationOutputs(unsigned k)
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const double T = rv.T[k];
    const double p = rv.p[k];

    m.moleFractions();
    m.pressure = p;
    m.logPressureRatio = std::log(p / 100000.0);
    m.temperature = T;

    // The mixing terms of the entropy and the transport fractions follow the station's
    // own composition, not the last equilibrium's.
    double gasMoles = 0.0;
    double transportMoles = 0.0;
    for (std::size_t j = 0; j < m.species.size(); ++j) {
        const Species& s = *m.species[j];
        if (s.moles > 0.0) {
            if (j < m.nGas)
                gasMoles += s.moles;
            if (s.hasTransport)
                transportMoles += s.moles;
        }
    }
    if (gasMoles > 0.0)
        m.logMoles = std::log(gasMoles);
    for (std::size_t j = 0; j < m.species.size(); ++j) {
        Species& s = *m.species[j];
        if (s.moles > 0.0) {
            s.logMoles = std::log(s.moles);
        } else {
            s.moles = 0.0;
            s.logMoles = m.logMoles + MIN_SP_LOG_N - 100.0;
        }
        s.transportFraction = (s.hasTransport && transportMoles > 0.0) ? s.moles / transportMoles : 0.0;
    }
    m.transportMoles = transportMoles;
    m.moleFractions();

    // Shown as the equilibrium stations show them: the molecular weight 1/n of the gas
    // per kg of mixture, and each species' share of all moles, condensed ones included.
    double allMoles = 0.0;
    for (std::size_t j = 0; j < m.species.size(); ++j)
        allMoles += m.species[j]->moles;
    rv.molecularWeight[k] = 1.0 / m.totalMoles;
    for (std::size_t i = 0; i < rv.moleFractions.size() && i < m.species.size(); ++i) {
        if (rv.moleFractions[i].size() <= k)
            rv.moleFractions[i].resize(k + 1, 0.0);
        rv.moleFractions[i][k] = allMoles > 0.0 ? m.species[i]->moles / allMoles : 0.0;
    }

    m.enthalpyEntropy(T);
    rv.h[k] = m.enthalpy;
    rv.s[k] = m.entropy;
    m.frozenProperties(T);
    rv.gamma[k] = m.gamma;
    rv.soundSpeed[k] = m.soundSpeed;
    rv.cp[k] = m.cp;
    rv.cv[k] = m.cv;
    recordStationFlow(rv, k);

    // The heat-transfer coefficient needs the viscosity and conductivity of this station.
    if (transport || heatTransfer) {
        m.frozenTransport(T, true);
        if (transport)
            recordStationTransport(rv, m, k);
    }
    if (heatTransfer) {
        const unsigned t = rv.throatIndex;
        // The flow is steady: the throat mass flux is this station's mass flow over the
        // throat area (the throat's own values may not be written yet in this pass).
        const double throatMassFlux = rv.massFlow[k] / rv.area[t];
        rv.bartzH[k]
                = bartzStationCoefficient(m.conductivity, m.viscosity, m.prandtl, throatMassFlux, rv.throatDiameter,
                                          rv.throatCurvatureRadius, rv.area[t] / rv.area[k], T, rv.wallTemperature);
    }
}
