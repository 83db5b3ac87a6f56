// Kinetic nozzle flow: construction, switch stations, the subsonic first point, the
// right-hand side handed to CVODES and the owners of the integrator's objects.
#include <algorithm>
#include <cmath>

#include <QDebug>

#include "core/curves.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/ode.h"
#include "engine/odk.h"

// ---------------------------------------------------------------------------------
// Integrator owners

void OdkIntegrator::ContextDeleter::operator()(std::remove_pointer_t<SUNContext>* c) const
{
    SUNContext ctx = c;
    SUNContext_Free(&ctx);
}

void OdkIntegrator::VectorDeleter::operator()(std::remove_pointer_t<N_Vector>* v) const
{
    N_VDestroy(v);
}

void OdkIntegrator::MatrixDeleter::operator()(std::remove_pointer_t<SUNMatrix>* m) const
{
    SUNMatDestroy(m);
}

void OdkIntegrator::SolverDeleter::operator()(std::remove_pointer_t<SUNLinearSolver>* s) const
{
    SUNLinSolFree(s);
}

void OdkIntegrator::MemoryDeleter::operator()(void* mem) const
{
    CVodeFree(&mem);
}

namespace {
// CVODES reports its failures through the returned codes; its own explanation goes to
// the debug log instead of the console.
void cvodesErrorToLog(int errorCode, const char* module, const char* function, char* message, void*)
{
    qDebug() << "CVODES" << errorCode << module << function << message;
}
} // namespace

bool OdkIntegrator::create(sunindextype length)
{
    release();
    SUNContext ctx = nullptr;
    if (SUNContext_Create(nullptr, &ctx) != 0 || !ctx)
        return false;
    context_.reset(ctx);
    memory_.reset(CVodeCreate(CV_BDF, ctx));
    if (!memory_)
        return false;
    CVodeSetErrHandlerFn(memory_.get(), cvodesErrorToLog, nullptr);
    initial_.reset(N_VNew_Serial(length, ctx));
    output_.reset(N_VNew_Serial(length, ctx));
    if (!initial_ || !output_)
        return false;
    N_VConst(0.0, initial_.get());
    N_VConst(0.0, output_.get());
    matrix_.reset(SUNDenseMatrix(length, length, ctx));
    if (!matrix_)
        return false;
    solver_.reset(SUNLinSol_Dense(output_.get(), matrix_.get(), ctx));
    return static_cast<bool>(solver_);
}

bool OdkIntegrator::initialise(CVRhsFn rhs, double x0, double relTol, double absTol)
{
    if (!memory_ || !solver_)
        return false;
    if (CVodeInit(memory_.get(), rhs, x0, initial_.get()) != CV_SUCCESS)
        return false;
    if (CVodeSStolerances(memory_.get(), relTol, absTol) != CV_SUCCESS)
        return false;
    return CVodeSetLinearSolver(memory_.get(), solver_.get(), matrix_.get()) == CVLS_SUCCESS;
}

int OdkIntegrator::release()
{
    memory_.reset();
    solver_.reset();
    matrix_.reset();
    output_.reset();
    initial_.reset();
    if (!context_)
        return 0;
    SUNContext ctx = context_.release();
    return SUNContext_Free(&ctx);
}

// ---------------------------------------------------------------------------------
// Construction

ODK::ODK(std::shared_ptr<Mixture> m, std::shared_ptr<RocketVariables> r, bool withTransport, bool withHeat)
    : mixture(std::move(m)), rocket(std::move(r)), transport(withTransport), heatTransfer(withHeat)
{
    RocketVariables& rv = *rocket;
    const std::size_t n = rv.stationCount;
    for (auto* v :
         {&computedArea, &stationT, &stationU, &stationRho, &stationGasConstant, &stationCp, &stationMassFlow})
        v->assign(n, 0.0);
    clearFlag(flagsODK,
              code::ODK00 | code::ODK01 | code::ODK02 | code::ODK03 | code::ODK04 | code::ODK05 | code::ODK06
                      | code::ODK07 | code::ODK08);

    const std::size_t nSpecies = mixture->nSpecies;
    rv.speciesNames = mixture->speciesNames;
    rv.resizeStations();
    rv.chamberMoleFractions.resize(nSpecies, 0.0);
    rv.odkSpeciesSource.resize(nSpecies, 0.0);
    rv.moleFractions.resize(nSpecies);
    for (auto& row : rv.moleFractions)
        row.resize(rv.x.size(), 0.0);

    rv.convergentSwitchIndex = 0;
    rv.divergentSwitchIndex = 0;
    rv.odkMinArea = rv.area.empty() ? 0.0 : rv.area[0];

    // Switch stations, on the stations that exist in both the coordinate and the area
    // lists; a throat outside them leaves the defaults (the run refuses such a nozzle).
    const std::size_t stations = std::min<std::size_t>(n, std::min(rv.x.size(), rv.area.size()));
    const uint32_t t = rv.throatIndex;
    const bool throatValid = t < stations && rv.area[t] > 0.0;
    bool convergentFound = false;
    bool divergentFound = false;
    if (throatValid) {
        const double At = rv.area[t];
        for (uint32_t i = 1; i < t; ++i) {
            if (rv.area[i] / At <= CONV_E_P_SWITCH) {
                rv.convergentSwitchIndex = i;
                convergentFound = true;
                break;
            }
        }
        for (uint32_t i = t; i < stations; ++i) {
            if (rv.area[i] / At >= DIV_E_P_SWITCH) {
                rv.divergentSwitchIndex = i;
                divergentFound = true;
                break;
            }
        }
    }
    if (!convergentFound) {
        rv.convergentSwitchIndex = t > 0 ? t - 1 : 0;
        raiseFlag(flagsODK, code::ODK03);
    }
    if (!divergentFound) {
        rv.divergentSwitchIndex = t + 1;
        raiseFlag(flagsODK, code::ODK04);
    }

    std::vector<double> slope;
    derivativesAtNodes(rv.stationScale, rv.x, slope);
    rv.stationScaleSlope = slope;

    userData.odk = this;
    userData.rocket = &rocket;
    userData.areaGiven = &areaGiven;
}

bool ODK::nozzleSupported() const
{
    const RocketVariables& rv = *rocket;
    const std::size_t n = rv.stationCount;
    if (n == 0 || rv.x.size() < n || rv.area.size() < n)
        return false;
    // The solver's station vectors and switch stations were made for the record's
    // stations at construction; a contour changed since then is not this solver's.
    if (computedArea.size() != n || rv.T.size() < n)
        return false;
    if (!mixture || mixture->nSpecies == 0)
        return false;
    const unsigned w = static_cast<uint8_t>(DER_PREC + 1);
    // The derivative windows of the given curves need 2w + 1 stations.
    if (n < 2 * static_cast<std::size_t>(w) + 1)
        return false;
    const std::size_t t = rv.throatIndex;
    const std::size_t s1 = rv.convergentSwitchIndex;
    const std::size_t s2 = rv.divergentSwitchIndex;
    if (t < 1 || t + 1 >= n)
        return false;
    if (s1 >= t || s2 <= t)
        return false;
    // Segment 3 of every pass integrates DER_PREC + 1 stations past s2.
    if (s2 + static_cast<std::size_t>(DER_PREC) + 1 > n - 1)
        return false;
    for (std::size_t k = 0; k < n; ++k) {
        if (!(rv.area[k] > 0.0) || !std::isfinite(rv.area[k]) || !std::isfinite(rv.x[k]))
            return false;
        if (k > 0 && !(rv.x[k] > rv.x[k - 1]))
            return false;
    }
    // The flow must pass its sonic point at the declared throat: a station narrower
    // than the throat (a contour still falling after it, or a divergent part dipping
    // below it) leaves the integration nothing to converge to.
    if (!throatIsNarrowest(rv))
        return false;
    return rv.chamberPressure > 0.0 && std::isfinite(rv.chamberPressure);
}

// ---------------------------------------------------------------------------------
// First point

void ODK::saveComposition()
{
    const Mixture& m = *mixture;
    Composition& c = firstPointComposition;
    c.moles.resize(m.species.size());
    c.logMoles.resize(m.species.size());
    for (std::size_t j = 0; j < m.species.size(); ++j) {
        c.moles[j] = m.species[j]->moles;
        c.logMoles[j] = m.species[j]->logMoles;
    }
    c.totalMoles = m.totalMoles;
    c.logMoles_ = m.logMoles;
    c.gasMoles = m.gasMoles;
    c.allMoles = m.allMoles;
    c.temperature = m.temperature;
    c.valid = true;
}

void ODK::restoreComposition()
{
    // The integration leaves its own amounts in the species; the equilibrium of the
    // next first point starts from the last one instead.
    const Composition& c = firstPointComposition;
    Mixture& m = *mixture;
    if (!c.valid || c.moles.size() != m.species.size())
        return;
    for (std::size_t j = 0; j < m.species.size(); ++j) {
        m.species[j]->moles = c.moles[j];
        m.species[j]->logMoles = c.logMoles[j];
    }
    m.totalMoles = c.totalMoles;
    m.logMoles = c.logMoles_;
    m.gasMoles = c.gasMoles;
    m.allMoles = c.allMoles;
}

bool ODK::firstPoint()
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const unsigned t = rv.throatIndex;
    const double pc = rv.chamberPressure;
    const double A0 = rv.area[0];
    double Y = subsonicPressureEstimate(lnPressureRatio, A0 / rv.area[t]);
    if (!(Y > 0.0) || !std::isfinite(Y))
        Y = ln_Pinf_Pi_RESET;
    double T0 = rv.chamberT;
    double p0 = pc / std::exp(Y);
    const double mdot = targetMassFlow;

    restoreComposition();
    bool converged = false;
    for (uint32_t iter = 0; iter < MAX_ITER_ODE; ++iter) {
        m.enableIons();
        if (!m.solveEquilibrium(T0, p0, false))
            return false;
        m.enthalpyEntropy(T0);
        m.frozenProperties(T0);
        const double u0 = std::sqrt(2.0 * (rv.chamberH - m.enthalpy));
        const double a0 = m.soundSpeed;
        rv.T[0] = T0;
        rv.p[0] = p0;
        rv.u[0] = u0;
        rv.soundSpeed[0] = a0;
        rv.gamma[0] = m.gamma;
        rv.rho[0] = m.density;
        const double ratio = m.density * A0 * u0 / mdot;
        // The state stays at the pressure it was solved at: the integration starts from
        // a pressure, temperature and density that satisfy the equation of state.
        if (std::fabs(ratio - 1.0) <= CONV_COND) {
            converged = true;
            break;
        }
        Y += m.gamma * u0 * u0 / (u0 * u0 - a0 * a0) * std::log(ratio);
        if (Y < 0.0 || !std::isfinite(Y))
            Y = ln_Pinf_Pi_RESET;
        p0 = pc / std::exp(Y);
    }
    if (!converged)
        raiseFlag(flagsODE, code::ODE01);
    saveComposition();
    return true;
}

// ---------------------------------------------------------------------------------
// Right-hand side

int odkRightHandSide(sunrealtype x, N_Vector y, N_Vector ydot, void* user)
{
    OdkUserData& data = *static_cast<OdkUserData*>(user);
    ODK& odk = *data.odk;
    Mixture& m = *odk.mixture;
    RocketVariables& rv = **data.rocket;
    const bool areaGiven = *data.areaGiven;
    const sunrealtype* yv = N_VGetArrayPointer(y);
    sunrealtype* dy = N_VGetArrayPointer(ydot);
    const std::size_t N = m.nSpecies;
    ++odk.rhsEvaluations;

    for (std::size_t j = 0; j < N; ++j)
        m.species[j]->moles = yv[j];
    const double u = yv[N];
    const double T = yv[N + 1];
    const double rho = yv[N + 2];
    const double Y = yv[N + 3];

    if (!areaGiven && Y < rv.odkMinArea) {
        rv.odkMinArea = Y;
        rv.odkMinAreaX = x;
        rv.odkMinAreaU = u;
        rv.odkMinAreaRho = rho;
    }

    double p, A, g = 0.0, t = 0.0;
    if (areaGiven) {
        A = odk.stationCurve.value(rv.area, rv.x, x);
        g = odk.stationCurve.derivative(rv.area, rv.x, x) / A;
        p = Y;
    } else {
        p = odk.stationCurve.value(rv.p, rv.x, x);
        t = odk.stationCurve.derivative(rv.p, rv.x, x) / p;
        A = Y;
    }

    m.moleFractions();
    m.pressure = p;
    m.temperature = T;
    m.logPressureRatio = std::log(p / 100000.0);
    m.productionRates();
    // Without reactions the rates evaluate no species; the heat capacities and
    // enthalpies below must still be those of this temperature.
    if (m.nReactions == 0) {
        const TemperaturePowers powers(T);
        for (std::size_t j = 0; j < N; ++j)
            m.species[j]->thermo(powers);
    }
    m.frozenProperties(T);

    const double Rn = m.gasConstant;
    const double cp = m.cp;
    const double n = m.totalMoles;
    double W = 0.0;
    double Q = 0.0;
    for (std::size_t j = 0; j < N; ++j) {
        const double source = j < rv.odkSpeciesSource.size() ? rv.odkSpeciesSource[j] : 0.0;
        const double wj = m.productionRateValues[j] + source;
        W += wj;
        Q += wj * m.species[j]->enthalpyRT;
    }
    const double B = n * rho * u;
    const double C = Rn / cp;
    const double w = u * u / (Rn * T);
    const double SA = rv.odkSourceA;
    const double SB = rv.odkSourceB;
    const double SC = rv.odkSourceC;
    const double D = (SC - w * SB) * C;
    const double E = (C / B) * Q;
    const double F = SA + W / B + D - E - SB;
    const double G = 1.0 - C - 1.0 / w;
    const double H = areaGiven ? (F - g) / G : t;

    const double rhoU = rho * u;
    for (std::size_t j = 0; j < N; ++j) {
        const double source = j < rv.odkSpeciesSource.size() ? rv.odkSpeciesSource[j] : 0.0;
        dy[j] = (m.productionRateValues[j] + source) / rhoU;
    }
    dy[N] = (SB - H / w) * u;
    dy[N + 1] = (D - E + H * C) * T;
    dy[N + 2] = (-W / B - D + E - (C - 1.0) * H) * rho;
    dy[N + 3] = areaGiven ? p * H : (F - G * t) * A;
    return 0;
}

// ---------------------------------------------------------------------------------
// Closing

void ODK::closeSolver(int code)
{
    qDebug() << "ODK integrator closed with code" << code;
    if (integrator.release() != 0)
        raiseFlag(flagsODK, code::ODK02);
}

// ---------------------------------------------------------------------------------
// Run members the kinetic model does not offer

void ODK::calculateFAC()
{
    abortFlag.store(1, std::memory_order_relaxed);
}

void ODK::calculateIACGrain()
{
    abortFlag.store(1, std::memory_order_relaxed);
}

void ODK::calculateFACGrain()
{
    abortFlag.store(1, std::memory_order_relaxed);
}
