// Nozzle stations: construction of the solver, the frozen temperature iteration, the
// station and throat solves, throat sizing from a grain's gas production and the exit
// adapted to the ambient pressure.
#include <algorithm>
#include <cmath>

#include "core/flags.h"
#include "core/preferences.h"
#include "engine/ode.h"

ODE::ODE(std::shared_ptr<Mixture> m, std::shared_ptr<RocketVariables> r, uint32_t frozen, bool withTransport,
         bool withHeat)
    : mixture(std::move(m)), rocket(std::move(r)), frozenIndex(frozen), transport(withTransport), heatTransfer(withHeat)
{
    construct();
}

ODE::ODE(std::shared_ptr<Mixture> m, std::shared_ptr<RocketVariables> r, bool withTransport, bool withHeat)
    : mixture(std::move(m)), rocket(std::move(r)), transport(withTransport), heatTransfer(withHeat)
{
    frozenIndex = rocket->x.empty() ? 0u : static_cast<uint32_t>(rocket->x.size() - 1);
    construct();
}

ODE::ODE(bool outputs, std::shared_ptr<Mixture> m, std::shared_ptr<RocketVariables> r, bool withTransport,
         bool withHeat)
    : ODE(std::move(m), std::move(r), withTransport, withHeat)
{
    writeOutputs = outputs;
}

void ODE::construct()
{
    flagsODE.store(0, std::memory_order_relaxed);
    RocketVariables& rv = *rocket;
    rv.speciesNames = mixture->speciesNames;
    rv.resizeStations();
    const std::size_t n = mixture->nSpecies;
    rv.chamberMoleFractions.resize(n, 0.0);
    rv.odkSpeciesSource.resize(n, 0.0);
    rv.moleFractions.resize(n);
    for (auto& row : rv.moleFractions)
        row.resize(rv.x.size(), 0.0);
    rv.injectorPressure = rv.chamberPressure;
}

void ODE::frozenTemperature(unsigned k, double P)
{
    Mixture& m = *mixture;
    double& T = rocket->T[k];
    m.pressure = P;
    m.logPressureRatio = std::log(P / 100000.0);
    // Newton on s(ln T) at fixed composition and pressure: ds/dlnT = cp. The correction
    // that meets the tolerance is applied too, so the station sits at the corrected
    // temperature rather than one pass behind it.
    double d = 0.0;
    for (uint32_t pass = 0; pass < MAX_ITER_FROZEN; ++pass) {
        T = std::exp(std::log(T) + d);
        m.enthalpyEntropy(T);
        m.frozenProperties(T);
        d = (rocket->chamberS - m.entropy) / m.cp;
        if (std::fabs(d) <= FROZ_COND) {
            T = std::exp(std::log(T) + d);
            m.enthalpyEntropy(T);
            m.frozenProperties(T);
            return;
        }
    }
    raiseFlag(flagsODE, code::ODE02);
}

void ODE::stationState(unsigned k)
{
    RocketVariables& rv = *rocket;
    const Mixture& m = *mixture;
    rv.u[k] = std::sqrt(2.0 * (rv.chamberH - m.enthalpy));
    rv.soundSpeed[k] = m.soundSpeed;
    rv.gamma[k] = m.gamma;
    rv.rho[k] = m.density;
}

double subsonicPressureEstimate(double lnThroatPressureRatio, double areaRatio)
{
    const double c = std::log(areaRatio);
    double Y = lnThroatPressureRatio / (areaRatio + 10.587 * c * c * c + 9.454 * c);
    if (areaRatio < 1.09)
        Y *= 0.9;
    return Y;
}

namespace {

// A station's flux balance solved on the quadratic model of the flux about the sonic
// point. Near the sonic point y* of an isentrope, with y = ln(pc/p),
//   M^2 = 1 + (g + 1)/g (y - y*),   ln(rho u) = ln(rho u)max - (g + 1)/(2 g^2) (y - y*)^2,
// from d ln(rho u)/dy = (1/M^2 - 1)/g and d ln M^2/dy = (g + 1)/g at M = 1: the
// area-Mach number relation A/A* - 1 = 2 (M - 1)^2/(g + 1) (Anderson, Modern
// Compressible Flow, ch. 5). The two roots of a flux lie symmetric about y*.
struct SonicModel {
    double Y; // ln(pc/p) of the root on the station's side, or of the sonic point
    bool root; // false: the flux asked for is above the largest one
};

// From the state at ln(pc/p) = Y with Mach number squared M2 and isentropic exponent g;
// residual = ln(rho u A / (rho_t u_t A_t)), positive when the state passes more than the
// throat.
SonicModel sonicModel(double Y, double M2, double g, double residual, bool supersonic)
{
    const double sonic = Y - g * (M2 - 1.0) / (g + 1.0);
    const double k = (g + 1.0) / (2.0 * g * g);
    const double d = Y - sonic;
    const double square = d * d + residual / k;
    if (!(square > 0.0))
        return {sonic, false};
    const double half = std::sqrt(square);
    return {supersonic ? sonic + half : sonic - half, true};
}

} // namespace

bool ODE::stateAtPressure(unsigned k, bool frozen)
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    if (frozen) {
        frozenTemperature(k, rv.p[k]);
    } else {
        m.enableIons();
        if (!m.solveEquilibrium(rv.T[k], rv.p[k], false))
            return false;
        m.enthalpyEntropy(rv.T[k]);
        m.equilibriumProperties(rv.T[k]);
    }
    stationState(k);
    return true;
}

bool ODE::solveStation(unsigned j, bool frozen)
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    if (j == t)
        return true;
    Mixture& m = *mixture;
    const double pc = rv.chamberPressure;
    const double b = rv.area[j] / rv.area[t];
    const double c = std::log(b);
    const double L = lnPressureRatio;
    double Y;
    if (j < t) {
        Y = subsonicPressureEstimate(L, b);
    } else if (b >= 2.0) {
        Y = rv.gamma[t] + 1.4 * c;
    } else {
        Y = L + std::sqrt(3.294 * c * c + 1.535 * c);
    }
    if (j > 0)
        rv.T[j] = rv.T[j - 1];
    // The station's state at Y: pressure, composition (or frozen temperature) and flow.
    auto solveAt = [&](double lnRatio) {
        rv.p[j] = pc / std::exp(lnRatio);
        if (m.phasePairActive && j > 0 && rv.p[j] > rv.p[j - 1])
            rv.p[j] = rv.p[j - 1];
        return stateAtPressure(j, frozen);
    };
    const double throatFlux = rv.rho[t] * rv.u[t];
    // Every flux below the throat's is passed twice along the isentrope, subsonic and
    // supersonic; the station's side of the throat says which. Newton's step is singular
    // at the sonic point: a state on the wrong side of it (a flow frozen at or just past
    // an equilibrium throat is still subsonic in the frozen sense there, so the first
    // frozen stations' estimates fall on the subsonic root), or one whose step would
    // reach further than the sonic point lies, is moved with the quadratic model.
    const bool supersonic = j > t;
    for (uint32_t pass = 0; pass < MAX_ITER_ODE; ++pass) {
        if (!solveAt(Y))
            return false;
        const double u = rv.u[j], a = rv.soundSpeed[j], g = rv.gamma[j];
        const double residual = c - std::log(throatFlux / (rv.rho[j] * u));
        const double M2 = u * u / (a * a);
        double dY = g * u * u / (u * u - a * a) * residual;
        // A station that cannot pass its flux (above the isentrope's largest) is left at
        // the sonic point, unconverged.
        bool rootAhead = true;
        const bool wrongSide = supersonic ? M2 <= 1.0 : M2 >= 1.0;
        if (wrongSide || !(std::fabs(dY) <= g * std::fabs(M2 - 1.0) / (g + 1.0))) {
            const SonicModel model = sonicModel(Y, M2, g, residual, supersonic);
            dY = model.Y - Y;
            rootAhead = model.root;
        }
        Y += dY;
        if (Y < 0.0)
            Y = ln_Pinf_Pi_RESET;
        // The correction that meets the tolerance is applied too: the station ends on
        // the state one Newton step further, whose mass-flux error is second order in
        // dY, rather than on the state the step was computed from (about 1e-4 off in
        // Isp at Mach 0.4 with the default CONV_COND).
        if (std::fabs(dY) <= CONV_COND && rootAhead)
            return solveAt(Y);
    }
    raiseFlag(flagsODE, code::ODE01);
    return true;
}

bool ODE::solveThroat(bool frozen)
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    auto solveAtThroatPressure = [&] {
        if (!stateAtPressure(t, frozen)) {
            throatFailed = true;
            return false;
        }
        return true;
    };
    if (!solveAtThroatPressure())
        return true;
    const double u2 = rv.u[t] * rv.u[t];
    const double a2 = rv.soundSpeed[t] * rv.soundSpeed[t];
    const bool converged = std::fabs((u2 - a2) / u2) <= THROAT_CONV;
    const double g = rv.gamma[t];
    rv.p[t] = rv.p[t] * (1.0 + g * u2 / a2) / (1.0 + g);
    if (!converged)
        return false;
    // As at the other stations, the throat ends on the state of its last correction.
    solveAtThroatPressure();
    return true;
}

bool ODE::throatIteration(bool frozen)
{
    throatFailed = false;
    for (uint32_t pass = 0; pass < MAX_ITER_THROAT; ++pass) {
        if (solveThroat(frozen))
            return !throatFailed;
    }
    raiseFlag(flagsODE, code::ODE00);
    return true;
}

void ODE::throatStart(double P)
{
    RocketVariables& rv = *rocket;
    const double g = rv.chamberGamma;
    rv.p[rv.throatIndex] = P / std::pow((1.0 + g) / 2.0, g / (g - 1.0));
    rv.T[rv.throatIndex] = rv.chamberT;
}

bool ODE::burnLawLookup(double P)
{
    const RocketVariables& rv = *rocket;
    const std::size_t n = std::min({rv.vieilleLimits.size(), rv.vieilleA.size(), rv.vieilleN.size()});
    if (n == 0 || !(P > 0.0))
        return false;
    auto raiseRangeCode = [this](uint32_t mask) {
        if (lawRangeCodes)
            raiseFlag(flagsV, mask);
    };
    bool found = false;
    for (std::size_t k = 0; k < n; ++k) {
        if (rv.vieilleLimits[k].first <= P && P < rv.vieilleLimits[k].second) {
            burnCoefficient = rv.vieilleA[k];
            burnExponent = rv.vieilleN[k];
            found = true;
        }
    }
    if (found)
        return true;
    if (P < rv.vieilleLimits[0].first) {
        burnCoefficient = rv.vieilleA[0];
        burnExponent = rv.vieilleN[0];
        raiseRangeCode(code::V00);
        return true;
    }
    if (P >= rv.vieilleLimits[n - 1].second) {
        burnCoefficient = rv.vieilleA[n - 1];
        burnExponent = rv.vieilleN[n - 1];
        raiseRangeCode(code::V01);
        return true;
    }
    // Between two intervals: no burn rate is defined there, and reusing the coefficients
    // of an earlier lookup (0 at first) would size a zero throat.
    raiseRangeCode(code::V00);
    return false;
}

bool ODE::solveSizingThroat()
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    m.equilibriumProperties(rv.chamberT);
    rv.chamberH = m.enthalpy;
    rv.chamberGamma = m.gamma;
    rv.chamberS = m.entropy;
    rv.chamberEntropySum = m.entropySum;
    throatStart(rv.targetPressure);
    return throatIteration(false);
}

bool ODE::sizeThroat()
{
    RocketVariables& rv = *rocket;
    sizingFailure = SizingFailure::None;
    const double P = rv.targetPressure;
    if (!solveSizingThroat()) {
        sizingFailure = SizingFailure::Equilibrium;
        return false;
    }
    if (!burnLawLookup(P)) {
        sizingFailure = SizingFailure::BurnLaw;
        return false;
    }
    const unsigned t = rv.throatIndex;
    rv.throatArea = rv.combustionArea * rv.propellantDensity * burnCoefficient * std::pow(P, burnExponent)
            / (rv.rho[t] * rv.u[t]);
    if (rv.adaptExit) {
        // The exit belongs to the throat just sized: the flow it passes is rho_t u_t
        // throatArea, whatever throat the nozzle's contour has now.
        double& throatStation = rv.area[t];
        const double contourThroat = throatStation;
        throatStation = rv.throatArea;
        const bool adapted = adaptedExitStation();
        throatStation = contourThroat;
        if (!adapted) {
            sizingFailure = SizingFailure::Exit;
            return false;
        }
    }
    rv.exitArea = rv.area[rv.stationCount - 1];
    return true;
}

bool ODE::adaptedExitStation()
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const unsigned t = rv.throatIndex;
    const unsigned e = rv.stationCount - 1;
    // Expansion to nothing has no finite exit; refuse instead of writing an infinite area.
    if (!(rv.ambientPressure > 0.0)) {
        raiseFlag(flagsV, code::OPT01);
        rv.sizingRefusal = RocketVariables::SizingRefusal::ExitUnbounded;
        return false;
    }
    lnPressureRatio = std::log(rv.chamberPressure / rv.p[t]);
    const double throatFlow = rv.rho[t] * rv.u[t] * rv.area[t];
    rv.T[e] = rv.T[t];
    if (OPT_FROZ) {
        frozenTemperature(e, rv.ambientPressure);
    } else {
        if (!m.solveEquilibrium(rv.T[e], rv.ambientPressure, false))
            return false;
        m.enthalpyEntropy(rv.T[e]);
    }
    rv.u[e] = std::sqrt(2.0 * (rv.chamberH - m.enthalpy));
    rv.rho[e] = rv.ambientPressure / (m.gasConstant * rv.T[e]);
    rv.area[e] = throatFlow / (rv.rho[e] * rv.u[e]);
    if (std::isinf(rv.area[e]))
        rv.sizingRefusal = RocketVariables::SizingRefusal::ExitUnbounded;
    return std::isfinite(rv.area[e]) && rv.area[e] > 0.0;
}
