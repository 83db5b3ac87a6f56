// Nozzle sizing for a target: a chamber pressure, a combustion time, or the highest
// thrust, total impulse or specific impulse within pressure and geometry limits.
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "core/curves.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/ode.h"

bool shrinkPerformanceRange(int b, int s, int K, double& lo, double& hi)
{
    auto at = [&](int k) { return lo + static_cast<double>(k) / (K - 1) * (hi - lo); };
    double newLo = lo, newHi = hi;
    if (b > 0 && s > 0) {
        newLo = at(std::min(b, s));
        newHi = at(std::max(b, s));
    } else if (b > 0) {
        if (b == K - 1)
            return false;
        newHi = at(b);
    } else {
        if (s == 0 || s == K - 1)
            return false;
        newHi = at(s);
    }
    lo = newLo;
    hi = newHi;
    return true;
}

namespace {

// A pressure inside the interval [lower, upper), Pa: the middle in ln p where both limits
// are finite and positive.
double middleOf(const std::pair<double, double>& limits)
{
    const auto [lower, upper] = limits;
    if (lower > 0.0 && std::isfinite(upper))
        return std::sqrt(lower * upper);
    if (std::isfinite(upper) && upper > 0.0)
        return 0.5 * upper;
    return lower > 0.0 ? 2.0 * lower : PRES_INITIAL_ESTIMATE;
}

} // namespace

bool ODE::optimizeForPressure()
{
    RocketVariables& rv = *rocket;
    Mixture& m = *mixture;
    if (!usableNozzle())
        return false;
    // A law that produces no gas would size a throat of no area.
    if (!burnLawUsable()) {
        raiseFlag(flagsV, code::V02);
        return false;
    }
    rv.sizingRefusal = RocketVariables::SizingRefusal::None;
    m.reset();
    if (!m.solveEquilibrium(rv.chamberT, rv.targetPressure, true))
        return false;
    if (!sizeThroat())
        return false;
    // A law of one interval has one balance, the target's. With more, the sized throat
    // can also balance the grain lower down, where the chamber filling from the ambient
    // pressure at ignition stops first: the target is met only when the motor gets there.
    const std::vector<LawPiece> pieces = stableLawPieces();
    if (pieces.size() < 2)
        return true;
    const double target = rv.targetPressure, sizedThroat = rv.throatArea, sizedExit = rv.exitArea;
    std::optional<Mixture::EquilibriumStart> chamber;
    lawRangeCodes = false;
    const Balance reached = motorBalance(std::nullopt, burnoutPressure(), sizedThroat, pieces, chamber);
    lawRangeCodes = true;
    rv.targetPressure = rv.chamberPressure = target;
    rv.throatArea = sizedThroat;
    rv.exitArea = sizedExit;
    if (reached.point == BurnPoint::Failed || reached.point == BurnPoint::Aborted)
        return false;
    // The balance is found to PRES_TOL in the gas surplus, about PRES_TOL/(1 - n) in
    // pressure.
    double n = 0.0;
    for (const LawPiece& piece : pieces)
        if (piece.lower <= target && target < piece.upper)
            n = piece.n;
    const double tolerance = 2.0 * PRES_TOL / (1.0 - n);
    if (reached.point == BurnPoint::Burning && std::fabs(reached.pressure - target) <= tolerance * target)
        return true;
    rv.sizingRefusal = RocketVariables::SizingRefusal::PressureNotReached;
    rv.settledPressure = reached.point == BurnPoint::Burning ? reached.pressure : 0.0;
    return false;
}

bool ODE::optimizeForBurnTime()
{
    RocketVariables& rv = *rocket;
    const std::size_t n = usableBurnPoints();
    const std::size_t intervals = std::min({rv.vieilleLimits.size(), rv.vieilleA.size(), rv.vieilleN.size()});
    if (n < 2 || intervals == 0 || !(rv.targetBurnTime > 0.0) || !usableNozzle()) {
        raiseFlag(flagsV, code::OPT01);
        return false;
    }
    const unsigned t = rv.throatIndex;
    const unsigned e = rv.stationCount - 1;
    const double savedCombustionArea = rv.combustionArea;
    auto finish = [&](bool result) {
        rv.combustionArea = savedCombustionArea;
        return result;
    };

    // Chamber pressure of the mean burn rate the target needs.
    const double meanRate = rv.burnDistance[n - 1] / rv.targetBurnTime;
    rv.sizingRefusal = RocketVariables::SizingRefusal::None;
    double pc = 0.0;
    std::size_t k = 0;
    for (; k < intervals; ++k) {
        if (rv.vieilleN[k] == 0.0) {
            // One burn rate at every pressure of the interval: it gives the mean rate
            // everywhere in the interval, or nowhere (no inversion of a p^0).
            if (std::fabs(rv.vieilleA[k] - meanRate) <= OPT_TOL * meanRate) {
                pc = middleOf(rv.vieilleLimits[k]);
                rv.chamberPressure = pc;
                break;
            }
            if (k + 1 == intervals) {
                rv.sizingRefusal = RocketVariables::SizingRefusal::BurnRateUnreachable;
                rv.requiredBurnRate = meanRate;
                raiseFlag(flagsV, code::OPT01);
                return finish(false);
            }
            continue;
        }
        pc = std::pow(meanRate / rv.vieilleA[k], 1.0 / rv.vieilleN[k]);
        rv.chamberPressure = pc;
        if (rv.vieilleLimits[k].first <= pc && pc < rv.vieilleLimits[k].second)
            break;
        if (k == 0 && pc < rv.vieilleLimits[0].first) {
            raiseFlag(flagsV, code::V00);
            break;
        }
    }
    if (k == intervals) {
        k = intervals - 1;
        if (pc >= rv.vieilleLimits[k].second)
            raiseFlag(flagsV, code::V01);
    }
    if (!(pc > 0.0) || !std::isfinite(pc)) {
        raiseFlag(flagsV, code::OPT01);
        return finish(false);
    }
    const double exponent = rv.vieilleN[k];

    rv.targetPressure = pc;
    // Every balance pass repeats the grain run's chamber solves at pressures close to the
    // last pass's: each starts from the last converged chamber, the first pass's from
    // this sizing chamber.
    std::optional<Mixture::EquilibriumStart> lastChamber;
    if (!solveChamber(pc, lastChamber) || !sizeThroat())
        return finish(false);
    rv.area[t] = rv.throatArea;

    bool met = false;
    for (uint32_t pass = 0; pass < OPT_MAX_ITER; ++pass) {
        if (abortRequested())
            return finish(false);
        // Only the pressure balance, the burn rates and the times: no outputs, and no
        // exit re-adapted at every balance pass (the exit is adapted once at the end).
        const bool outputs = writeOutputs, adapt = rv.adaptExit;
        writeOutputs = false;
        rv.adaptExit = false;
        failed = false;
        grainBurn(lastChamber);
        writeOutputs = outputs;
        rv.adaptExit = adapt;
        if (failed || abortRequested())
            return finish(false);
        const double tb = rv.burnTimes[n - 1];
        // A grain run that gave no burn time cannot steer the throat.
        if (!(tb > 0.0) || !std::isfinite(tb))
            return finish(false);
        if (std::fabs(tb - rv.targetBurnTime) / rv.targetBurnTime < OPT_TOL) {
            met = true;
            break;
        }
        double At = rv.area[t];
        const double w = At / rv.area[0];
        At = exponent <= 1.0 ? At * std::pow(rv.targetBurnTime / tb, w) : At * std::pow(tb / rv.targetBurnTime, w);
        rv.area[t] = At;
    }
    if (!met) {
        raiseFlag(flagsV, code::OPT00);
        return finish(false);
    }
    if (abortRequested())
        return finish(false);
    rv.throatArea = rv.area[t];
    if (rv.adaptExit && !adaptedExitStation())
        return finish(false);
    rv.exitArea = rv.area[e];
    return finish(true);
}

bool ODE::optimizeForPerformance()
{
    RocketVariables& rv = *rocket;
    if (!usableNozzle()) {
        raiseFlag(flagsV, code::OPT01);
        return false;
    }
    if (!burnLawUsable()) {
        raiseFlag(flagsV, code::V02);
        return false;
    }
    rv.sizingRefusal = RocketVariables::SizingRefusal::None;
    const unsigned t = rv.throatIndex;
    const unsigned e = rv.stationCount - 1;
    const int K = NUM_POINTS_OPT >= 2.0 && NUM_POINTS_OPT <= 255.0 ? static_cast<int>(NUM_POINTS_OPT) : 0;
    const double Amin = 3.141592 * rv.optMinThroatRadius * rv.optMinThroatRadius;
    const double fullRange = rv.optMaxPressure - rv.optMinPressure;

    // Every sample sizes its throat for the grain's reference area and adapts its exit
    // itself: the inner grain runs change the combustion area, and an adapt-exit switch
    // left from an earlier run must not re-adapt the exit inside them.
    const double savedCombustionArea = rv.combustionArea;
    const bool savedAdaptExit = rv.adaptExit;
    rv.adaptExit = false;
    auto finish = [&](bool result) {
        rv.combustionArea = savedCombustionArea;
        rv.adaptExit = savedAdaptExit;
        return result;
    };

    std::vector<double> figure(K > 0 ? K : 0, 0.0), sampleThroat(figure.size(), 0.0), sampleExit(figure.size(), 0.0);
    std::optional<Mixture::EquilibriumStart> lastChamber;
    double lo = rv.optMinPressure, hi = rv.optMaxPressure;
    double best = 0.0;
    int b = 0;
    bool done = false;
    for (uint32_t pass = 0; pass < OPT_MAX_ITER; ++pass) {
        if (abortRequested())
            return finish(false);
        // Fewer than two samples, or no pressure range to sample, cannot shrink a range.
        if (K < 2 || !(fullRange > 0.0)) {
            raiseFlag(flagsV, code::OPT01);
            return finish(false);
        }
        double B1 = 0.0, B2 = 0.0;
        int s = 0;
        b = 0;
        for (int j = 0; j < K; ++j) {
            figure[j] = 0.0;
            const double pcj = lo + static_cast<double>(j) / (K - 1) * (hi - lo);
            // A lower limit of 0 is allowed: that sample has no chamber and is rejected
            // without asking the equilibrium solver (which would flag a failure).
            if (!(pcj > 0.0))
                continue;
            rv.chamberPressure = pcj;
            rv.targetPressure = pcj;
            rv.combustionArea = savedCombustionArea;
            // A sample whose chamber, throat or exit could not be solved is rejected.
            // Each chamber starts from the last converged one (a sample's, or the last
            // chamber of a sample's grain run).
            if (!solveChamber(pcj, lastChamber) || !sizeThroat())
                continue;
            const double At = rv.throatArea;
            if (At < Amin || At >= rv.area[0])
                continue;
            rv.area[t] = At;
            sampleThroat[j] = At;
            if (!adaptedExitStation())
                continue;
            const double Ae = rv.area[e];
            if (rv.optMinAreaRatio * rv.throatArea > Ae)
                continue;
            sampleExit[j] = Ae;
            double value = 0.0;
            switch (rv.optTarget) {
            case 0: value = rv.rho[t] * rv.u[t] * rv.area[t] * rv.u[e]; break;
            case 2: {
                failed = false;
                grainBurn(lastChamber);
                if (abortRequested())
                    return finish(false);
                if (failed)
                    continue;
                const std::size_t n = usableBurnPoints();
                value = integrate(rv.burnThrust, rv.burnTimes, 0.0, rv.burnTimes[n - 1]);
                break;
            }
            case 3: value = rv.u[e]; break;
            default: value = 0.0;
            }
            if (!std::isfinite(value))
                continue;
            figure[j] = value;
            if (value >= B1) {
                s = b;
                B2 = B1;
                b = j;
                B1 = value;
            } else if (value > B2) {
                s = j;
                B2 = value;
            }
        }
        best = B1;
        if (!shrinkPerformanceRange(b, s, K, lo, hi)) {
            raiseFlag(flagsV, code::OPT01);
            return finish(false);
        }
        if (std::fabs(hi - lo) / fullRange < OPT_TOL) {
            done = true;
            break;
        }
    }
    if (!done) {
        raiseFlag(flagsV, code::OPT00);
        return finish(false);
    }
    if (abortRequested())
        return finish(false);
    rv.throatArea = sampleThroat[b];
    rv.optBestValue = best;
    rv.exitArea = sampleExit[b];
    return finish(true);
}
