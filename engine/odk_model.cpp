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
    work_.reset(N_VNew_Serial(length, ctx));
    if (!initial_ || !output_ || !work_)
        return false;
    N_VConst(0.0, initial_.get());
    N_VConst(0.0, output_.get());
    N_VConst(0.0, work_.get());
    matrix_.reset(SUNDenseMatrix(length, length, ctx));
    if (!matrix_)
        return false;
    solver_.reset(SUNLinSol_Dense(output_.get(), matrix_.get(), ctx));
    return static_cast<bool>(solver_);
}

bool OdkIntegrator::initialise(CVRhsFn rhs, CVLsJacFn jacobian, double x0, double relTol, double absTol)
{
    if (!memory_ || !solver_)
        return false;
    if (CVodeInit(memory_.get(), rhs, x0, initial_.get()) != CV_SUCCESS)
        return false;
    if (CVodeSStolerances(memory_.get(), relTol, absTol) != CV_SUCCESS)
        return false;
    if (CVodeSetLinearSolver(memory_.get(), solver_.get(), matrix_.get()) != CVLS_SUCCESS)
        return false;
    // Attaching the solver selects the difference quotients; a Jacobian replaces them.
    return !jacobian || CVodeSetJacFn(memory_.get(), jacobian) == CVLS_SUCCESS;
}

int OdkIntegrator::release()
{
    memory_.reset();
    solver_.reset();
    matrix_.reset();
    work_.reset();
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
    for (auto* v : {&computedArea, &computedAreaSlope, &stationT, &stationU, &stationRho, &stationGasConstant,
                    &stationCp, &stationMassFlow})
        v->assign(n, 0.0);
    interpolatedPressure.assign(n, 0);
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

namespace {

// The terms of the right-hand side at one state, shared with its Jacobian.
struct FlowTerms {
    double u, T, rho, Y; // the state's flow components
    double p, A; // the pressure and the area the flow sees
    double g, t; // d ln A/dx (area given) and d ln p/dx (pressure given)
    double n, Rn, cp, W, Q, B, C, w, D, E, F, G, H;
};

// Sets the mixture to the state yv at x (amounts, fractions, T, p; the production rates,
// with their derivatives when asked, and the frozen properties) and forms the terms.
FlowTerms flowTerms(ODK& odk, RocketVariables& rv, bool areaGiven, double x, const sunrealtype* yv,
                    Mixture::RateDerivatives* derivatives)
{
    Mixture& m = *odk.mixture;
    const std::size_t N = m.nSpecies;
    for (std::size_t j = 0; j < N; ++j)
        m.species[j]->moles = yv[j];
    FlowTerms f{};
    f.u = yv[N];
    f.T = yv[N + 1];
    f.rho = yv[N + 2];
    f.Y = yv[N + 3];
    const double T = f.T;
    if (areaGiven) {
        f.A = odk.stationCurve.value(rv.area, rv.x, x);
        f.g = odk.stationCurve.derivative(rv.area, rv.x, x) / f.A;
        f.p = f.Y;
    } else {
        f.p = odk.stationCurve.value(rv.p, rv.x, x);
        f.t = odk.stationCurve.derivative(rv.p, rv.x, x) / f.p;
        f.A = f.Y;
    }

    m.moleFractions();
    m.pressure = f.p;
    m.temperature = T;
    m.logPressureRatio = std::log(f.p / 100000.0);
    if (derivatives)
        m.productionRateDerivatives(*derivatives);
    else
        m.productionRates();
    // Without reactions the rates evaluate no species; the heat capacities and
    // enthalpies below must still be those of this temperature.
    if (m.nReactions == 0) {
        const TemperaturePowers powers(T);
        for (std::size_t j = 0; j < N; ++j)
            m.species[j]->thermo(powers);
    }
    m.frozenProperties(T);

    // Condensed species take no volume: n (and R n) counts the gas only, so W, which
    // moves n, sums the gases' rates, while the enthalpy change Q and cp take every
    // species.
    f.Rn = m.gasConstant;
    f.cp = m.cp;
    f.n = m.totalMoles;
    double W = 0.0;
    double Q = 0.0;
    for (std::size_t j = 0; j < N; ++j) {
        const double source = j < rv.odkSpeciesSource.size() ? rv.odkSpeciesSource[j] : 0.0;
        const double wj = m.productionRateValues[j] + source;
        if (j < m.nGas)
            W += wj;
        Q += wj * m.species[j]->enthalpyRT;
    }
    f.W = W;
    f.Q = Q;
    const double u = f.u;
    const double Rn = f.Rn;
    f.B = f.n * f.rho * u;
    f.C = Rn / f.cp;
    f.w = u * u / (Rn * T);
    const double SA = rv.odkSourceA;
    const double SB = rv.odkSourceB;
    const double SC = rv.odkSourceC;
    f.D = (SC - f.w * SB) * f.C;
    f.E = (f.C / f.B) * Q;
    f.F = SA + W / f.B + f.D - f.E - SB;
    f.G = 1.0 - f.C - 1.0 / f.w;
    f.H = areaGiven ? (f.F - f.g) / f.G : f.t;
    return f;
}

// d(Cp/R)/dT of a species at T from the fit interval holding T; zero beyond the fit,
// where Cp is continued as a constant, and in a gap between intervals.
double heatCapacitySlope(const Species& s, double T)
{
    const std::size_t intervals = std::min<std::size_t>(
            {s.nIntervals, s.temperatureRanges.size(), s.coefficients.size(), s.exponents.size()});
    for (std::size_t i = 0; i < intervals; ++i) {
        if (!(s.temperatureRanges[i].first <= T && T < s.temperatureRanges[i].second))
            continue;
        double slope = 0.0;
        const std::vector<double>& a = s.coefficients[i];
        const std::vector<double>& e = s.exponents[i];
        for (std::size_t k = 0; k < std::min(a.size(), e.size()); ++k) {
            if (e[k] == 0.0)
                continue;
            // The NASA fits' whole exponents by multiplication, any other by pow.
            const double n = e[k] - 1.0;
            double t;
            if (n == std::floor(n) && std::fabs(n) <= 8.0) {
                t = 1.0;
                for (int i = 0; i < static_cast<int>(std::fabs(n)); ++i)
                    t *= T;
                if (n < 0.0)
                    t = 1.0 / t;
            } else {
                t = std::pow(T, n);
            }
            slope += a[k] * e[k] * t;
        }
        return slope;
    }
    return 0.0;
}

// What the integrator's user pointer leads to, for its callbacks.
struct OdkCall {
    ODK& odk;
    Mixture& mixture;
    RocketVariables& rocket;
    bool areaGiven;
};

OdkCall unpack(void* user)
{
    const OdkUserData& data = *static_cast<OdkUserData*>(user);
    return {*data.odk, *data.odk->mixture, **data.rocket, *data.areaGiven};
}

} // namespace

int odkRightHandSide(sunrealtype x, N_Vector y, N_Vector ydot, void* user)
{
    auto [odk, m, rv, areaGiven] = unpack(user);
    const sunrealtype* yv = N_VGetArrayPointer(y);
    sunrealtype* dy = N_VGetArrayPointer(ydot);
    const std::size_t N = m.nSpecies;
    ++odk.rhsEvaluations;

    if (!areaGiven && yv[N + 3] < rv.odkMinArea) {
        rv.odkMinArea = yv[N + 3];
        rv.odkMinAreaX = x;
        rv.odkMinAreaU = yv[N];
        rv.odkMinAreaRho = yv[N + 2];
    }

    const FlowTerms f = flowTerms(odk, rv, areaGiven, x, yv, nullptr);
    const double u = f.u;
    const double T = f.T;
    const double rho = f.rho;
    const double C = f.C;
    const double D = f.D;
    const double E = f.E;
    const double H = f.H;
    const double w = f.w;
    const double SB = rv.odkSourceB;

    const double rhoU = rho * u;
    for (std::size_t j = 0; j < N; ++j) {
        const double source = j < rv.odkSpeciesSource.size() ? rv.odkSpeciesSource[j] : 0.0;
        dy[j] = (m.productionRateValues[j] + source) / rhoU;
    }
    dy[N] = (SB - H / w) * u;
    dy[N + 1] = (D - E + H * C) * T;
    dy[N + 2] = (-f.W / f.B - D + E - (C - 1.0) * H) * rho;
    dy[N + 3] = areaGiven ? f.p * H : (f.F - f.G * f.t) * f.A;
    return 0;
}

// The Jacobian by forward differentiation of the terms above, one column (one state
// component z) at a time. The primitives change with z as
//   amount n_k of a gas: n, R n (by R), cp (by R Cp_k/R) and the rates through
//       x_j = n_j/n (n the gas moles), d w_j/d n_k = (d w_j/d x_k - sum_i x_i d w_j/d x_i)/n;
//   amount n_k of a condensed species: cp (by R Cp_k/R) and the rates through x_k alone,
//       d w_j/d n_k = (d w_j/d x_k)/n;
//   T: cp (by R sum n_j d(Cp_j/R)/dT), the rates, and H_j/RT (by (Cp_j/R - H_j/RT)/T);
//   the pressure (area given): the rates; the area (pressure given): A;
//   u and rho: only where they appear;
// and every term follows by the chain rule:
//   dB = dn rho u + n drho u + n rho du,   dC = (d(Rn) - C dcp)/cp,
//   dw = w (2 du/u - d(Rn)/Rn - dT/T),     dD = (SC - w SB) dC - SB C dw,
//   dE = (dC Q + C dQ - E dB)/B,           dF = (dW - (W/B) dB)/B + dD - dE,
//   dG = -dC + dw/w^2,                     dH = (dF - H dG)/G (area given; else 0).
int odkJacobian(sunrealtype x, N_Vector y, N_Vector, SUNMatrix J, void* user, N_Vector, N_Vector, N_Vector)
{
    auto [odk, m, rv, areaGiven] = unpack(user);
    const sunrealtype* yv = N_VGetArrayPointer(y);
    const std::size_t N = m.nSpecies;

    Mixture::RateDerivatives& rates = odk.rateDerivatives;
    const FlowTerms f = flowTerms(odk, rv, areaGiven, x, yv, &rates);
    const double SB = rv.odkSourceB;
    const double SC = rv.odkSourceC;
    const double R = R_UNIVERSAL;

    // Per species: its rate (with the source), H/RT, and the T slopes of Cp/R and H/RT.
    std::vector<double>& work = odk.jacobianWork;
    work.assign(4 * N + N, 0.0);
    double* r = work.data();
    double* h = r + N;
    double* hSlope = h + N;
    double* dr = hSlope + N;
    double* xWeighted = dr + N; // sum_i x_i d w_j/d x_i
    double cpSlope = 0.0;
    for (std::size_t j = 0; j < N; ++j) {
        const Species& s = *m.species[j];
        const double source = j < rv.odkSpeciesSource.size() ? rv.odkSpeciesSource[j] : 0.0;
        r[j] = m.productionRateValues[j] + source;
        h[j] = s.enthalpyRT;
        hSlope[j] = (s.cpR - s.enthalpyRT) / f.T;
        cpSlope += s.moles * heatCapacitySlope(s, f.T);
        double sum = 0.0;
        for (std::size_t i = 0; i < N; ++i)
            sum += m.species[i]->moleFraction * rates.moleFraction[j * N + i];
        xWeighted[j] = sum;
    }
    cpSlope *= R;

    const std::size_t columns = N + 4;
    for (std::size_t c = 0; c < columns; ++c) {
        // The primitives' changes along component c.
        double dn = 0.0, dRn = 0.0, dcp = 0.0, du = 0.0, dT = 0.0, drho = 0.0, dp = 0.0, dA = 0.0;
        double dQextra = 0.0;
        if (c < N) {
            const bool gas = c < m.nGas;
            dn = gas ? 1.0 : 0.0;
            dRn = gas ? R : 0.0;
            dcp = R * m.species[c]->cpR;
            for (std::size_t j = 0; j < N; ++j)
                dr[j] = f.n != 0.0 ? (rates.moleFraction[j * N + c] - (gas ? xWeighted[j] : 0.0)) / f.n : 0.0;
        } else if (c == N) {
            du = 1.0;
            std::fill(dr, dr + N, 0.0);
        } else if (c == N + 1) {
            dT = 1.0;
            dcp = cpSlope;
            for (std::size_t j = 0; j < N; ++j) {
                dr[j] = rates.temperature[j];
                dQextra += r[j] * hSlope[j];
            }
        } else if (c == N + 2) {
            drho = 1.0;
            std::fill(dr, dr + N, 0.0);
        } else if (areaGiven) {
            dp = 1.0;
            for (std::size_t j = 0; j < N; ++j)
                dr[j] = rates.pressure[j];
        } else {
            dA = 1.0;
            std::fill(dr, dr + N, 0.0);
        }
        double dW = 0.0, dQ = dQextra;
        for (std::size_t j = 0; j < N; ++j) {
            if (j < m.nGas)
                dW += dr[j];
            dQ += dr[j] * h[j];
        }

        const double dB = dn * f.rho * f.u + f.n * drho * f.u + f.n * f.rho * du;
        const double dC = (dRn - f.C * dcp) / f.cp;
        const double dw = f.w * (2.0 * du / f.u - dRn / f.Rn - dT / f.T);
        const double dD = (SC - f.w * SB) * dC - SB * f.C * dw;
        const double dE = (dC * f.Q + f.C * dQ - f.E * dB) / f.B;
        const double dWB = (dW - (f.W / f.B) * dB) / f.B;
        const double dF = dWB + dD - dE;
        const double dG = -dC + dw / (f.w * f.w);
        const double dH = areaGiven ? (dF - f.H * dG) / f.G : 0.0;

        sunrealtype* column = SUNDenseMatrix_Column(J, static_cast<sunindextype>(c));
        const double rhoU = f.rho * f.u;
        const double dRhoU = drho * f.u + f.rho * du;
        for (std::size_t j = 0; j < N; ++j)
            column[j] = (dr[j] - r[j] / rhoU * dRhoU) / rhoU;
        column[N] = (SB - f.H / f.w) * du - f.u * (dH / f.w - f.H * dw / (f.w * f.w));
        column[N + 1] = (dD - dE + dH * f.C + f.H * dC) * f.T + (f.D - f.E + f.H * f.C) * dT;
        column[N + 2] = (-dWB - dD + dE - dC * f.H - (f.C - 1.0) * dH) * f.rho
                + (-f.W / f.B - f.D + f.E - (f.C - 1.0) * f.H) * drho;
        column[N + 3] = areaGiven ? dp * f.H + f.p * dH : (dF - dG * f.t) * f.A + (f.F - f.G * f.t) * dA;
    }
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
