// Kinetic nozzle flow: the global iteration of the run and the station outputs.
#include <algorithm>
#include <cmath>

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
    for (unsigned k = from + 1; k <= to; ++k) {
        sunrealtype reached = rv.x[from];
        CVodeSetStopTime(integrator.memory(), rv.x[k]);
        const int result = CVode(integrator.memory(), rv.x[to], out, &reached, CV_NORMAL);
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
        // The given area or pressure comes from a local polynomial whose window moves
        // at every station, so the right-hand side has a kink there. The step history
        // carried across it fails the error test at these tolerances; the integration
        // restarts at each station instead.
        if (k < to && !reinitialise(rv.x[k], out))
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

    // Segment 3: area given again, from the given pressure at s2.
    yo[N + 3] = rv.p[s2];
    areaGiven = true;
    if (!reinitialise(rv.x[s2], out))
        return PassEnd::Stopped;
    if (integrateSegment(s2, last, 3, finalPass) == PassEnd::Stopped)
        return PassEnd::Stopped;
    return PassEnd::Completed;
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
    // The area reached at the throat station is off because the flow reaches its
    // smallest area (its sonic point) beside the station. Relaxing towards the
    // neighbours' prediction, in steps that shrink with the offset, crawls there; the
    // pressure at which the flow reaches its smallest area is where the throat station
    // belongs, and half the way to it is taken, as for the other near-throat points.
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
    // The integration resolves the smallest area to a fraction of a station: accepted
    // when it lies within half a station of the throat.
    const RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const double offset = rv.odkMinAreaX - rv.x[t];
    if (offset >= 0.0)
        return offset <= 0.5 * (rv.x[t + 1] - rv.x[t]);
    return -offset <= 0.5 * (rv.x[t] - rv.x[t - 1]);
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
    const unsigned s1 = rv.convergentSwitchIndex;
    const unsigned s2 = rv.divergentSwitchIndex;
    const double pc = rv.chamberPressure;

    // 5.-7. Iteration passes and their corrections.
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
            // to the mass flow, so the smallest one is scaled onto the throat.
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

            // b. Given pressures near the throat. The correction takes the frozen
            // sensitivity d ln A = -G d ln p, about twice the true one where the flow is
            // near equilibrium, so only half of it is applied.
            if (!nextPass) {
                if (pointIterations < MAX_ITER_POINTS_ODK) {
                    bool changed = false;
                    for (unsigned k = s1 + 1; k <= s2; ++k) {
                        if (k == t)
                            continue;
                        const double u = stationU[k];
                        double G = 1.0 - stationGasConstant[k] / stationCp[k]
                                - stationGasConstant[k] * stationT[k] / (u * u);
                        G = k > t ? std::max(POINT_A_MAX_CORRECTION, G) : std::min(-POINT_A_MAX_CORRECTION, G);
                        const double d = 0.5 * std::log(rv.area[k] / computedArea[k]) / G;
                        if (std::fabs(d) > POINT_TOL_ODK && std::isfinite(d)) {
                            rv.p[k] = pc / std::exp(std::log(pc / rv.p[k]) + d);
                            if (rv.p[k] > rv.p[k - 1])
                                rv.p[k] = rv.p[k - 1];
                            changed = true;
                        }
                    }
                    if (changed) {
                        ++pointIterations;
                        throatPressureCorrection();
                        nextPass = true;
                    }
                } else {
                    raiseFlag(flagsODK, code::ODK07);
                }
            }

            // c. Throat: the area reached there, then the position of the smallest area.
            bool finished = false;
            if (!nextPass) {
                pointIterations = 0;
                if (std::fabs(computedArea[t] - At) / At > THROAT_TOL_ODK) {
                    sonicPressureCorrection();
                    nextPass = true;
                } else if (throatIterations >= MAX_ITER_THROAT_ODK) {
                    throatIterations = 0;
                    raiseFlag(flagsODK, code::ODK06);
                    finished = true;
                } else if (!throatPositionAccepted()) {
                    targetMassFlow *= At / rv.odkMinArea;
                    ++throatIterations;
                    nextPass = true;
                } else {
                    finished = true;
                }
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

    recordStationComposition(rv, m, k);

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
