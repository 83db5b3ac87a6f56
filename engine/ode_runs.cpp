// The runs: infinite-area combustor at a chamber pressure or over a grain burn, and the
// finite-area combustor at an injector pressure, each ending with the common sweep of
// the nozzle stations.
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/curves.h"
#include "core/flags.h"
#include "core/physical_limits.h"
#include "core/preferences.h"
#include "engine/ode.h"

// Stations, areas and throat that a run can work on.
bool ODE::usableNozzle() const
{
    const RocketVariables& rv = *rocket;
    if (rv.stationCount < 2 || rv.x.size() < rv.stationCount || rv.area.size() < rv.stationCount
        || rv.throatIndex >= rv.stationCount || rv.T.size() < rv.stationCount)
        return false;
    for (uint32_t j = 0; j < rv.stationCount; ++j) {
        if (!(rv.area[j] > 0.0) || !std::isfinite(rv.area[j]))
            return false;
    }
    return true;
}

bool ODE::startRun()
{
    // A contour the run cannot use is refused with the nozzle code before any work:
    // besides missing stations or areas, one whose throat is not its narrowest station
    // (downstream stations narrower than the throat would carry part of its flow only).
    failed = !usableNozzle() || !throatIsNarrowest(*rocket);
    if (failed)
        raiseFlag(flagsL, code::L08);
    return !failed;
}

bool ODE::burnLawUsable() const
{
    const RocketVariables& rv = *rocket;
    const std::size_t intervals = std::min({rv.vieilleLimits.size(), rv.vieilleA.size(), rv.vieilleN.size()});
    if (!(rv.propellantDensity > 0.0) || !std::isfinite(rv.propellantDensity))
        return false;
    for (std::size_t k = 0; k < intervals; ++k) {
        if (!(rv.vieilleA[k] > 0.0) || !std::isfinite(rv.vieilleA[k]) || !std::isfinite(rv.vieilleN[k]))
            return false;
    }
    return true;
}

namespace {

// One station's flow state, put back after trial solves.
struct SavedStation {
    double p, T, u, soundSpeed, gamma, rho;
};

SavedStation saveStation(const RocketVariables& rv, unsigned k)
{
    return {rv.p[k], rv.T[k], rv.u[k], rv.soundSpeed[k], rv.gamma[k], rv.rho[k]};
}

void restoreStation(RocketVariables& rv, unsigned k, const SavedStation& s)
{
    rv.p[k] = s.p;
    rv.T[k] = s.T;
    rv.u[k] = s.u;
    rv.soundSpeed[k] = s.soundSpeed;
    rv.gamma[k] = s.gamma;
    rv.rho[k] = s.rho;
}

bool finiteStation(const RocketVariables& rv, unsigned k)
{
    return std::isfinite(rv.p[k]) && std::isfinite(rv.T[k]) && std::isfinite(rv.u[k]) && std::isfinite(rv.rho[k])
            && std::isfinite(rv.soundSpeed[k]);
}

// The next solve of station k starts from the chamber temperature: solveStation starts
// a station from its upstream neighbour's temperature, the first station from its own.
void startFromChamberTemperature(RocketVariables& rv, unsigned k)
{
    rv.T[k > 0 ? k - 1 : 0] = rv.chamberT;
}

// Runs `solve`, a solve of the freezing station, at the enthalpy of the stations ahead of
// the throat: a finite-area run holds the injector's enthalpy for its throat, and those
// stations take the stagnation enthalpy at the nozzle entry.
template <class Solve>
bool atStagnationEnthalpy(RocketVariables& rv, bool finiteArea, Solve solve)
{
    if (finiteArea)
        rv.chamberH = rv.stagnationH;
    const bool solved = solve();
    if (finiteArea)
        rv.chamberH = rv.injectorH;
    return solved;
}

} // namespace

bool ODE::abortRequested()
{
    return abortFlag.load(std::memory_order_relaxed) != 0;
}

bool ODE::solveUpstreamStation(unsigned j, FreezingStation freezing)
{
    if (j == frozenIndex && freezing == FreezingStation::Held)
        return stateAtPressure(j, false);
    return solveStation(j, false);
}

bool ODE::stationSweep(FreezingStation freezing)
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const unsigned e = rv.stationCount - 1;
    const unsigned f = std::min<unsigned>(frozenIndex, e);
    // Seed the first station actually solved; a contour that starts at its throat keeps
    // the throat temperature there.
    if (t != 0)
        rv.T[0] = rv.chamberT;
    for (unsigned j = 0; j <= f; ++j) {
        if (j == t)
            continue;
        if (!solveUpstreamStation(j, freezing))
            failed = true;
        if (writeOutputs)
            stationOutputs(j, false);
    }
    // The throat was solved (and its outputs written) before this sweep; the
    // composition the frozen stations carry comes from a solve here, which converges to
    // one a hair apart. The throat takes that composition, so that every station from
    // the freezing point on shows the same one.
    if (f <= t) {
        if (!stateAtPressure(t, f < t))
            return false;
        if (writeOutputs)
            stationOutputs(t, f < t);
    }
    for (unsigned j = f + 1; j <= e; ++j) {
        if (j == t)
            continue;
        solveStation(j, true);
        if (writeOutputs)
            stationOutputs(j, true);
    }
    return true;
}

bool ODE::frozenThroatProcedure(bool finiteArea)
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const unsigned f = frozenIndex;
    bool solved = true; // every solve of the freezing station found its equilibrium
    auto solveFreezingStation
            = [&] { solved = atStagnationEnthalpy(rv, finiteArea, [&] { return solveStation(f, false); }) && solved; };
    startFromChamberTemperature(rv, f);
    solveFreezingStation();
    for (uint32_t pass = 0; pass < MAX_ITER_FROZEN_THROAT; ++pass) {
        throatIteration(true);
        lnPressureRatio = std::log(rv.chamberPressure / rv.p[t]);
        solveFreezingStation();
        if (solveThroat(true))
            return solved;
    }
    raiseFlag(flagsODE, code::ODE03);
    return false;
}

// The frozen-throat balance as an equation in y = ln(pc/p_f), the freezing station in
// equilibrium at y:
//   F(y) = ln(G*(y)/G(y)) - ln(A_f/A_t),
// G(y) = rho u of the station, G*(y) the sonic flux of the flow frozen there (the frozen
// throat iteration). Along the subsonic branch G rises and G* falls toward the
// equilibrium throat y_t, so F falls. Where the station carries the equilibrium throat's
// flow F > 0 (freezing raises the sonic flux: the frozen sound speed is the higher one),
// and the root lies between that pressure and the throat's; regula falsi in its Illinois
// form finds it (Dowell and Jarratt, BIT 11 (1971) 168-174).
ODE::FreezingStation ODE::frozenThroatBalance(bool finiteArea)
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    const unsigned f = frozenIndex;
    const double pc = rv.chamberPressure;
    const double logAreaRatio = std::log(rv.area[f] / rv.area[t]);
    const SavedStation equilibriumThroat = saveStation(rv, t);
    const double throatY = std::log(pc / equilibriumThroat.p);
    // F(y) with the freezing station in equilibrium at y and the throat at the sonic
    // point of the flow frozen there; false when the equilibrium fails.
    double F = 0.0;
    auto balance = [&](double y) {
        rv.p[f] = pc / std::exp(y);
        if (!atStagnationEnthalpy(rv, finiteArea, [&] { return stateAtPressure(f, false); }))
            return false;
        const double stationFlux = rv.rho[f] * rv.u[f];
        rv.p[t] = equilibriumThroat.p;
        rv.T[t] = equilibriumThroat.T;
        throatIteration(true);
        F = std::log(rv.rho[t] * rv.u[t] / stationFlux) - logAreaRatio;
        return std::isfinite(F);
    };
    rv.T[f] = equilibriumThroat.T;
    if (!balance(throatY))
        return FreezingStation::Failed;
    if (F >= 0.0) {
        // No state ahead of the throat lets the frozen flow choke there: the equilibrium
        // flow reaches its sonic state (the equilibrium throat's) at the freezing station,
        // which passes rho* u* A_f, and the frozen flow stays subsonic through the throat,
        // as it does when it freezes at the throat. This joins the balance at its edge
        // (the frozen throat sonic) and freezing at the throat as A_f tends to A_t.
        const double flux = rv.rho[f] * rv.u[f] * std::exp(logAreaRatio);
        const double sonicY = std::log(pc / rv.p[t]);
        double yLo = throatY, yHi = sonicY;
        auto throatFluxError = [&](double y) {
            rv.p[t] = pc / std::exp(y);
            stateAtPressure(t, true);
            return std::log(rv.rho[t] * rv.u[t] / flux);
        };
        // The frozen flux rises from rho* u* at the equilibrium throat's pressure to its
        // largest at the frozen sonic point: bisection between them keeps the subsonic
        // root. A station as narrow as the throat takes its equilibrium pressure; at the
        // edge the root is the sonic point.
        const double fLo = throatFluxError(yLo), fHi = throatFluxError(yHi);
        if (!(fLo < 0.0)) {
            throatFluxError(yLo);
        } else if (fHi > 0.0) {
            // (100 halvings narrow any bracket by 2^100)
            for (uint32_t pass = 0; pass < 100 && yHi - yLo > CONV_COND * CONV_COND; ++pass) {
                const double y = 0.5 * (yLo + yHi);
                (throatFluxError(y) < 0.0 ? yLo : yHi) = y;
            }
            throatFluxError(0.5 * (yLo + yHi));
        }
        lnPressureRatio = std::log(pc / rv.p[t]);
        return FreezingStation::Held;
    }
    double yHi = throatY, fHi = F;

    // The other end: the station carrying the equilibrium throat's flow, or, should
    // freezing there not raise the sonic flux, a pressure nearer the chamber's.
    restoreStation(rv, t, equilibriumThroat);
    lnPressureRatio = throatY;
    startFromChamberTemperature(rv, f);
    if (!atStagnationEnthalpy(rv, finiteArea, [&] { return solveStation(f, false); }))
        return FreezingStation::Failed;
    double yLo = std::log(pc / rv.p[f]);
    if (!(yLo < yHi))
        yLo = 0.5 * yHi;
    if (!balance(yLo))
        return FreezingStation::Failed;
    for (int halving = 0; !(F > 0.0) && halving < 100; ++halving) {
        yLo *= 0.5;
        if (!balance(yLo))
            return FreezingStation::Failed;
    }
    double fLo = F;
    if (fLo > 0.0) {
        int kept = 0; // the end the last step kept: 1 the low one, -1 the high one
        for (uint32_t pass = 0; pass < MAX_ITER_FROZEN_THROAT; ++pass) {
            const double y = (yLo * fHi - yHi * fLo) / (fHi - fLo);
            if (!balance(y))
                return FreezingStation::Failed;
            if (std::fabs(F) <= CONV_COND * CONV_COND || yHi - yLo <= CONV_COND * CONV_COND) {
                lnPressureRatio = std::log(pc / rv.p[t]);
                return FreezingStation::Held;
            }
            if (F > 0.0) {
                yLo = y;
                fLo = F;
                if (kept == 1)
                    fHi *= 0.5;
                kept = 1;
            } else {
                yHi = y;
                fHi = F;
                if (kept == -1)
                    fLo *= 0.5;
                kept = -1;
            }
        }
    }
    raiseFlag(flagsODE, code::ODE03);
    lnPressureRatio = std::log(pc / rv.p[t]);
    return FreezingStation::Solve;
}

ODE::FreezingStation ODE::throatAndFreezing(bool finiteArea)
{
    RocketVariables& rv = *rocket;
    const unsigned t = rv.throatIndex;
    if (!throatIteration(false))
        return FreezingStation::Failed;
    lnPressureRatio = std::log(rv.chamberPressure / rv.p[t]);
    if (frozenIndex >= t)
        return FreezingStation::Solve;
    // The procedure settles wherever the freezing station lies well ahead of the throat.
    // Close to it its fixed point asks the station for a flux above the station's
    // equilibrium maximum, and the station solves run off: the balance is then solved
    // again by bracketing, without the codes of the attempt.
    const SavedStation equilibriumThroat = saveStation(rv, t);
    const uint32_t odeBefore = flagsODE.load();
    const uint32_t spBefore = flagsSP.load();
    const bool settled = frozenThroatProcedure(finiteArea);
    const uint32_t raised = flagsODE.load() & ~odeBefore & (code::ODE00 | code::ODE01 | code::ODE02 | code::ODE03);
    if (settled && raised == 0 && finiteStation(rv, t) && finiteStation(rv, frozenIndex))
        return FreezingStation::Solve;
    clearFlag(flagsODE, raised);
    clearFlag(flagsSP, flagsSP.load() & ~spBefore);
    restoreStation(rv, t, equilibriumThroat);
    lnPressureRatio = std::log(rv.chamberPressure / rv.p[t]);
    if (!stateAtPressure(t, false))
        return FreezingStation::Failed;
    return frozenThroatBalance(finiteArea);
}

void ODE::calculateIAC()
{
    if (!startRun())
        return;
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const unsigned t = rv.throatIndex;
    const double pc = rv.chamberPressure;
    m.reset();
    if (!m.solveEquilibrium(rv.chamberT, pc, true)) {
        failed = true;
        return;
    }
    chamberOutputs();
    throatStart(pc);
    const FreezingStation freezing = throatAndFreezing(false);
    if (freezing == FreezingStation::Failed) {
        failed = true;
        return;
    }
    if (writeOutputs)
        stationOutputs(t, frozenIndex < t);
    if (!stationSweep(freezing))
        failed = true;
}

std::size_t ODE::usableBurnPoints() const
{
    const RocketVariables& rv = *rocket;
    return std::min<std::size_t>({rv.burnPoints, rv.burnDistance.size(), rv.burnArea.size()});
}

void ODE::calculateIACGrain()
{
    if (!startRun())
        return;
    std::optional<Mixture::EquilibriumStart> coldStart;
    const BurnCount burn = grainBurn(coldStart);
    if (!burn.completed)
        return;
    // A burning point that found no balance (V02) leaves a hole in the burn: no result.
    // A grain that burnt nowhere above the ambient pressure is no failure of the solver:
    // the judgement of the run's figures names it.
    failed = burn.unbalanced > 0;
}

bool ODE::solveChamber(double pc, std::optional<Mixture::EquilibriumStart>& start)
{
    Mixture& m = *mixture;
    if (start) {
        const uint32_t flagsBefore = flagsSP.load();
        const double T = rocket->chamberT;
        m.startFrom(*start);
        if (m.solveEquilibrium(rocket->chamberT, pc, true)) {
            start = m.convergedState();
            return true;
        }
        // The warm attempt's own codes (SP10 among them) are no concern of the retry.
        clearFlag(flagsSP, flagsSP.load() & ~flagsBefore);
        rocket->chamberT = T;
    }
    m.reset();
    if (!m.solveEquilibrium(rocket->chamberT, pc, true)) {
        start.reset();
        return false;
    }
    start = m.convergedState();
    return true;
}

// A point whose burning area is at most this share of the first point's has burnt out.
// The stored burn-back curves end on the square root of a difference of squares of the
// case radius, whose rounding (sqrt of machine epsilon, 1.5e-8, times the grain's
// lengths) leaves areas up to about 1e-6 of the ignition area where the true one is 0.
// Such a point would balance, for any burn law with n from -1 to 1, at no more than a
// thousandth of the first point's pressure and gas: nothing a run shows.
constexpr double burntOutAreaShare = 1e-6;

ODE::BurnPoint ODE::balanceBurnPoint(double& pc, double burnoutPressure,
                                     std::optional<Mixture::EquilibriumStart>& lastChamber)
{
    RocketVariables& rv = *rocket;
    const double At = rv.area[rv.throatIndex];
    // Trials known to lie below the balance (the grain makes more gas than the throat
    // passes) and above it. With n < 1 the surplus falls as the pressure rises, so the
    // balance lies between the two.
    double below = 0.0;
    double above = std::numeric_limits<double>::infinity();
    for (uint32_t pass = 0; pass < PRES_MAX_ITER; ++pass) {
        if (abortRequested())
            return BurnPoint::Aborted;
        rv.targetPressure = pc;
        rv.chamberPressure = pc;
        if (!solveChamber(pc, lastChamber))
            return BurnPoint::Failed;
        if (!sizeThroat()) // no burn rate at this pressure: the point cannot balance
            return sizingFailure == SizingFailure::Equilibrium ? BurnPoint::Failed : BurnPoint::Unbalanced;
        // The throat the grain's gas needs at pc, Ar = Ab rho a pc^n c*/pc.
        const double Ar = rv.throatArea;
        if (!(Ar > 0.0) || !std::isfinite(Ar))
            return BurnPoint::Unbalanced;
        if (std::fabs(At - Ar) / At < PRES_TOL)
            return pc > burnoutPressure ? BurnPoint::Burning : BurnPoint::BurntOut;
        const double n = burnExponent;
        double next = 0.0;
        if (n < 1.0) {
            const double ratio = Ar / At;
            if (ratio > 1.0) {
                below = std::max(below, pc);
            } else {
                above = std::min(above, pc);
                // Less gas than the throat passes at the pressure where the burn ends:
                // the balance lies lower still.
                if (pc <= burnoutPressure)
                    return BurnPoint::BurntOut;
            }
            // The balance p = (Kn a rho c*)^(1/(1-n)), Kn = Ab/At, with this pass's c*
            // and law: since Ar/At = Kn a rho c* pc^(n-1), p = pc (Ar/At)^(1/(1-n)). Only
            // c* changes between passes, and it hardly depends on pressure, so the passes
            // converge for every n < 1 (the update pc Ar/At, the map p -> K p^n, swings
            // at n = -1 and diverges below).
            next = pc * std::pow(ratio, 1.0 / (1.0 - n));
            // A law of several intervals can send the update past a trial already known
            // to lie on the other side: halve the bracket (in ln p) instead.
            if (!(next > below && next < above))
                next = std::sqrt(below * above);
            // No trial below the pressure at which the burn ends: one there decides.
            next = std::max(next, burnoutPressure);
            // A balance above the pressures of a real chamber is no result, and the
            // equilibrium need not be tried there: the point cannot balance.
            if (!(next < physical::maxChamberPressure))
                return BurnPoint::Unbalanced;
        } else {
            // n >= 1 (refused by the propellant loader): no stable balance; the update of
            // the search as it always was, moving the pressure the other way above 1.
            next = n == 1.0 ? pc * Ar / At : pc * At / Ar;
            if (!physical::chamberPressureInRange(next))
                return BurnPoint::Unbalanced;
        }
        pc = next;
    }
    return BurnPoint::Unbalanced;
}

ODE::BurnCount ODE::grainBurn(std::optional<Mixture::EquilibriumStart>& lastChamber)
{
    RocketVariables& rv = *rocket;
    BurnCount count;
    const std::size_t n = usableBurnPoints();
    // Burn times need at least two points of the burn-back curve.
    if (n < 2) {
        failed = true;
        return count;
    }
    // The end of the burn: a burning area negligible against the first, rounding noise
    // of either sign included, or a chamber balanced at or below the ambient pressure
    // (and never below the lowest pressure of a real chamber).
    const double burntOutArea = burntOutAreaShare * std::max(rv.burnArea[0], 0.0);
    const double burnout = burnoutPressure();
    // No chamber pressure balances a grain without a burn rate (a = 0 or not a
    // number), without density, or with a burning area below 0 or not a number: refused
    // with the burn-law code before any chamber is solved.
    bool areasUsable = true;
    for (std::size_t i = 0; i < n; ++i)
        areasUsable = areasUsable && rv.burnArea[i] >= -burntOutArea && std::isfinite(rv.burnArea[i])
                && std::isfinite(rv.burnDistance[i]);
    if (!areasUsable || !burnLawUsable()) {
        raiseFlag(flagsV, code::V02);
        failed = true;
        return count;
    }
    for (std::vector<double>* series : {&rv.burnTimes, &rv.burnChamberPressure, &rv.burnChamberT, &rv.burnMassFlow,
                                        &rv.burnThrust, &rv.burnCStar, &rv.burnCE, &rv.burnIsp, &rv.burnRate}) {
        if (series->size() < n)
            series->resize(n, 0.0);
    }
    // Every point starts empty: one that burns out or finds no balanced pressure stays so
    // (0), whatever an earlier run left in the record. The times are written only when
    // the burn ends.
    for (std::vector<double>* series : {&rv.burnChamberPressure, &rv.burnChamberT, &rv.burnMassFlow, &rv.burnThrust,
                                        &rv.burnCStar, &rv.burnCE, &rv.burnIsp, &rv.burnRate})
        std::fill(series->begin(), series->begin() + static_cast<std::ptrdiff_t>(n), 0.0);
    const unsigned t = rv.throatIndex;
    const unsigned e = rv.stationCount - 1;
    const unsigned f = frozenIndex;
    // Burnt distance and 1/r of the burning points: the quadrature of the burn time.
    std::vector<double> burningDistance, inverseRate;
    // A law of stable pieces is walked as a motor's chamber walks it: from the ambient
    // pressure at ignition, then from balance to balance. Any other law (n of 1 or more,
    // refused by the propellant loader) keeps the search from a first estimate.
    const std::vector<LawPiece> pieces = stableLawPieces();
    const bool motor = !pieces.empty();
    double pc = PRES_INITIAL_ESTIMATE;
    bool filling = true; // the motor's chamber fills from the ambient pressure
    // Each chamber starts from the last converged chamber, the first one from the
    // caller's (a few Newton steps instead of a start from the initial estimate); a
    // failed warm start is solved again from the initial estimate before the run counts
    // it as a failure.
    for (std::size_t i = 0; i < n; ++i) {
        rv.combustionArea = rv.burnArea[i];
        BurnPoint point = BurnPoint::BurntOut;
        // A point without burning surface worth the name produces no gas: it is not
        // searched (the search would drive pc towards 0).
        double trial = pc;
        double r = 0.0;
        if (rv.combustionArea > burntOutArea) {
            // The trial pressures of the search raise no burn-law range code; the
            // balanced pressure is judged below.
            lawRangeCodes = false;
            if (motor) {
                const Balance balance = motorBalance(filling ? std::nullopt : std::optional<double>(pc), burnout,
                                                     rv.area[t], pieces, lastChamber);
                point = balance.point;
                trial = balance.pressure;
                r = balance.rate;
            } else {
                point = balanceBurnPoint(trial, burnout, lastChamber);
            }
            lawRangeCodes = true;
        }
        switch (point) {
        case BurnPoint::Aborted: return count;
        case BurnPoint::Failed: failed = true; return count;
        case BurnPoint::Unbalanced:
            raiseFlag(flagsV, code::V02);
            ++count.unbalanced;
            continue;
        case BurnPoint::BurntOut:
            // The chamber has emptied: a later point fills it again from the ambient pressure.
            filling = true;
            continue; // adds nothing to the burn: no code
        case BurnPoint::Burning: break;
        }
        // The balanced pc is the start of the next point's search.
        pc = trial;
        filling = false;
        ++count.burning;
        // V00/V01 for the pressure of the burn: the lookup of the balanced pressure again,
        // with its codes.
        burnLawLookup(pc);
        if (!motor)
            r = burnCoefficient * std::pow(pc, burnExponent);
        if (abortRequested())
            return count;
        if (writeOutputs) {
            lnPressureRatio = std::log(pc / rv.p[t]);
            const double keptSeedStation = rv.T[e - 1];
            rv.T[e - 1] = rv.chamberT;
            // Only the throat, the freezing station and the exit are solved per point; the
            // station before one of them is not. With condensed phase pairs a station's
            // pressure is capped at its upstream neighbour's, so that neighbour holds the
            // pressure of the station solved before it at this point meanwhile, not the 0
            // or the earlier point's value it keeps (which failed every exit of a
            // potassium nitrate / sucrose grain).
            auto solveAfter = [&](unsigned j, unsigned upstream, bool frozen) {
                double& neighbour = rv.p[j - 1];
                const double kept = neighbour;
                if (j - 1 != upstream)
                    neighbour = rv.p[upstream];
                solveStation(j, frozen);
                if (j - 1 != upstream)
                    neighbour = kept;
            };
            if (f + 1 >= rv.stationCount) {
                solveAfter(e, t, false);
            } else if (t >= f) {
                solveAfter(e, t, true);
            } else {
                solveAfter(f, t, false);
                solveAfter(e, f, true);
            }
            if (e - 1 == t)
                rv.T[e - 1] = keptSeedStation; // the seed must not replace the throat's result
            const double mdot = rv.rho[t] * rv.u[t] * rv.area[t];
            const double F = (rv.p[e] - rv.ambientPressure) * rv.area[e] + mdot * rv.u[e];
            rv.burnChamberPressure[i] = pc;
            rv.burnChamberT[i] = rv.chamberT;
            rv.burnMassFlow[i] = mdot;
            rv.burnThrust[i] = F;
            rv.burnIsp[i] = F / mdot;
            rv.burnCStar[i] = pc * rv.area[t] / mdot;
            rv.burnCE[i] = rv.burnIsp[i] / rv.burnCStar[i];
        }
        rv.burnRate[i] = r;
        burningDistance.push_back(rv.burnDistance[i]);
        inverseRate.push_back(1.0 / r);
    }

    count.completed = true;
    // Not one point burnt: there is no burn to report, and no time passed.
    if (count.burning == 0) {
        std::fill(rv.burnTimes.begin(), rv.burnTimes.begin() + static_cast<std::ptrdiff_t>(n), 0.0);
        failed = true;
        return count;
    }
    // The time at each point, from the quadrature of 1/r over the distance the burning
    // points span: a point before the first burning one is at 0, one after the last (the
    // burnout) at the end of the burn, which it does not lengthen.
    const double first = burningDistance.front(), last = burningDistance.back();
    if (n > 2) {
        for (std::size_t j = 0; j < n; ++j)
            rv.burnTimes[j]
                    = integrate(inverseRate, burningDistance, first, std::clamp(rv.burnDistance[j], first, last));
    } else {
        rv.burnTimes[0] = 0.0;
        rv.burnTimes[1] = count.burning == 2 ? rv.burnDistance[1] * inverseRate[1] : 0.0;
    }
    return count;
}

void ODE::calculateFAC()
{
    if (!startRun())
        return;
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    const double injector = rv.injectorPressure;
    const double Ac = rv.chamberArea;
    // The entry-pressure estimate and the whole model need a chamber wider than the
    // throat (the estimate is singular near Ac/At = 0.79).
    if (!(Ac > rv.area[rv.throatIndex]) || !std::isfinite(Ac) || !(injector > 0.0)) {
        raiseFlag(flagsODE, code::ODE04);
        failed = true;
        return;
    }
    const double ratio = Ac / rv.area[rv.throatIndex];
    double pc = injector * (1.0257 - 1.2318 * ratio) / (1.0 - 1.26505 * ratio);

    // A chamber section in front of the contour when the contour does not start with it
    // (the tolerance is relative to the throat: small motors have small throats).
    if (std::fabs(rv.area[0] - Ac) > AR_DIFF_TOL * rv.area[rv.throatIndex]) {
        rv.x.insert(rv.x.begin(), rv.x[0] * XOFF_NEW_ACH);
        rv.area.insert(rv.area.begin(), Ac);
        rv.throatIndex += 1;
        rv.stationCount += 1;
        rv.frozenIndex += 1;
        frozenIndex += 1;
        rv.resizeStations();
        for (auto& row : rv.moleFractions)
            row.insert(row.begin(), 0.0);
    }
    const unsigned t = rv.throatIndex;
    const bool frozenThroat = frozenIndex < t;
    rv.chamberPressure = pc;

    // Combustion at the injector face; chamberT keeps this temperature.
    m.initialEstimate();
    if (!m.solveEquilibrium(rv.chamberT, injector, true)) {
        failed = true;
        return;
    }
    chamberOutputs();
    rv.chamberGamma = m.gamma;
    rv.injectorH = m.enthalpy;

    // Stagnation state at the nozzle entry, with a temperature of its own.
    double stagnationT = rv.chamberT;
    double stagnationRho = 0.0;
    auto stagnationSolve = [&]() {
        m.enableIons();
        if (!m.solveEquilibrium(stagnationT, pc, true))
            return false;
        stagnationRho = pc / (m.gasConstant * stagnationT);
        rv.stagnationH = m.enthalpy;
        rv.chamberS = m.entropy;
        return true;
    };
    if (!stagnationSolve()) {
        failed = true;
        return;
    }
    throatStart(pc);
    FreezingStation freezing = throatAndFreezing(true);
    if (freezing == FreezingStation::Failed) {
        failed = true;
        return;
    }
    rv.chamberH = rv.stagnationH;
    rv.T[0] = rv.chamberT;
    if (!solveUpstreamStation(0, freezing)) {
        failed = true;
        return;
    }

    bool balanced = false;
    for (uint32_t pass = 0; pass < MAX_ITER_FAC; ++pass) {
        const double Minj = injector + stagnationRho * INJ_VEL * INJ_VEL;
        const double M0 = rv.p[0] + rv.rho[0] * rv.u[0] * rv.u[0];
        // The pass that meets the tolerance still applies its correction, so the entry
        // state, the throat and station 0 end on the corrected nozzle-entry pressure.
        balanced = std::fabs(Minj - M0) / injector <= FAC_CONV;
        pc = pc * Minj / M0;
        rv.chamberPressure = pc;
        if (!stagnationSolve()) {
            failed = true;
            return;
        }
        rv.chamberH = rv.injectorH;
        freezing = throatAndFreezing(true);
        if (freezing == FreezingStation::Failed) {
            failed = true;
            return;
        }
        rv.chamberH = rv.stagnationH;
        if (!solveUpstreamStation(0, freezing)) {
            failed = true;
            return;
        }
        if (balanced)
            break;
    }
    if (!balanced)
        raiseFlag(flagsODE, code::ODE04);

    rv.chamberH = rv.injectorH;
    m.enableIons();
    if (frozenThroat) {
        const unsigned f = frozenIndex;
        if (!m.solveEquilibrium(rv.T[f], rv.p[f], false)) {
            failed = true;
            return;
        }
        if (writeOutputs) {
            m.pressure = rv.p[t];
            m.logPressureRatio = std::log(rv.p[t] / 100000.0);
            m.enthalpyEntropy(rv.T[t]);
            m.frozenProperties(rv.T[t]);
            stationOutputs(t, true);
        }
    } else {
        if (!m.solveEquilibrium(rv.T[t], rv.p[t], false)) {
            failed = true;
            return;
        }
        if (writeOutputs) {
            m.enthalpyEntropy(rv.T[t]);
            m.equilibriumProperties(rv.T[t]);
            stationOutputs(t, false);
        }
    }
    lnPressureRatio = std::log(pc / rv.p[t]);
    if (!stationSweep(freezing))
        failed = true;
}

void ODE::calculateFACGrain()
{
    abortFlag.store(1, std::memory_order_relaxed);
}
