// Mixture thermodynamic properties: species evaluation with the mixing terms, frozen
// and equilibrium heat capacities, isentropic exponent, sound speed, and c*.
#include <algorithm>
#include <cmath>

#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/mixture.h"

void Mixture::evaluateSpecies(double T)
{
    if (!hasSpeciesRecords())
        return;
    thermoTable.evaluateArrays(TemperaturePowers(T), species, nSpecies);
    const double* gibbs = thermoTable.gibbsRT();
    const double* enthalpy = thermoTable.enthalpyRT();
    const double* entropy = thermoTable.entropyR();
    const double lnN = logMoles, lnP = logPressureRatio;
    double* mu = chemicalPotentials.data();
    double* s = entropyTerms.data();
    // One pass over the records: each takes its thermo and gives its amounts.
    double gasS = 0.0, gasH = 0.0;
    for (uint16_t j = 0; j < nGas; ++j) {
        Species& sp = *species[j];
        thermoTable.storeInRecord(j, sp);
        const double d = sp.logMoles - lnN;
        mu[j] = gibbs[j] + d + lnP;
        s[j] = entropy[j] - d - lnP;
        // A gas without moles adds an exact zero (its terms are finite): skipping it
        // leaves the sums as they are and keeps them off the long chain of additions.
        if (sp.moles != 0.0) {
            gasS += sp.moles * s[j];
            gasH += sp.moles * enthalpy[j];
        }
    }
    gasEntropySum = gasS;
    gasEnthalpySum = gasH;
    double allS = gasS, allH = gasH;
    for (uint16_t j = nGas; j < nSpecies; ++j) {
        Species& sp = *species[j];
        thermoTable.storeInRecord(j, sp);
        const double n = sp.moles;
        mu[j] = gibbs[j];
        s[j] = entropy[j];
        if (n != 0.0) {
            allS += n * entropy[j];
            allH += n * enthalpy[j];
        }
    }
    entropySum = allS;
    enthalpySum = allH;
}

double Mixture::enthalpyEntropy(double T)
{
    evaluateSpecies(T);
    enthalpy = R_UNIVERSAL * enthalpySum * T;
    entropy = R_UNIVERSAL * entropySum;
    return entropy;
}

double Mixture::frozenProperties(double T)
{
    double sum = 0.0;
    for (uint16_t j = 0; j < nSpecies; ++j)
        sum += species[j]->moles * species[j]->cpR;
    cp = R_UNIVERSAL * sum;
    cv = cp - gasConstant;
    gamma = cp / (cp - gasConstant);
    soundSpeed = std::sqrt(gamma * gasConstant * T);
    density = pressure / (gasConstant * T);
    return density;
}

double Mixture::setReactantEnthalpy(double T)
{
    // Below 0 K there is no state at all; the fits would still give a number.
    if (!(T > 0.0) || !std::isfinite(T)) {
        reactantTemperatureUsable = false;
        raiseFlag(flagsL, code::L07);
        reportEngineMessage({"The reactant temperature must be a number above 0 K", std::string()});
        return enthalpyTarget;
    }
    reactantTemperatureUsable = true;
    reactantRangeCodes = 0;
    double sum = 0.0;
    for (uint16_t r = 0; r < nReactants; ++r) {
        Species& reactant = *reactants[r];
        reactant.thermoDimensional(T);
        sum += reactant.moles * reactant.enthalpy;
        // An enthalpy extrapolated beyond the fit: the chamber iterations clear the range
        // codes of their own intermediate temperatures, not this one.
        if (reactant.nIntervals > 0 && reactant.moles > 0.0 && !reactant.temperatureRanges.empty()) {
            if (T < reactant.temperatureRanges.front().first)
                reactantRangeCodes |= code::SP01;
            else if (T >= reactant.temperatureRanges.back().second)
                reactantRangeCodes |= code::SP02;
        }
    }
    enthalpyTarget = sum / R_UNIVERSAL;
    return enthalpyTarget;
}

void Mixture::updateReactantTotals(double T)
{
    std::fill(elementTargets.begin(), elementTargets.end(), 0.0);
    for (uint16_t r = 0; r < nReactants; ++r) {
        const std::vector<double> counts = reactants[r]->elementCounts(elementSymbols);
        for (std::size_t k = 0; k < elementTargets.size() && k < counts.size(); ++k)
            elementTargets[k] += counts[k] * reactants[r]->moles;
    }
    markAbsentSpecies();
    setReactantEnthalpy(T);
}

void Mixture::derivatives()
{
    Eigen::MatrixXd& M = iterationMatrix;
    int N = systemSize;
    if (M.rows() != N || M.cols() != N || N < 2)
        return;

    // An ion sign that is no longer significant takes the electron row out.
    if (chargeBalance && electronRow >= 0 && nElements > 0) {
        int state = 3;
        for (uint16_t j = 0; j < nGas; ++j) {
            const double e = electronCount(j);
            const double share = species[j]->logMoles - logMoles;
            if (e > 0.0 && share >= MIN_ION_LOG_N)
                state &= ~2;
            if (e < 0.0 && share >= MIN_ION_LOG_N)
                state &= ~1;
        }
        if (state != 0) {
            const int e = nElements - 1;
            Eigen::MatrixXd reduced(N - 1, N - 1);
            for (int r = 0, rr = 0; r < N; ++r) {
                if (r == e)
                    continue;
                for (int c = 0, cc = 0; c < N; ++c) {
                    if (c == e)
                        continue;
                    reduced(rr, cc++) = M(r, c);
                }
                ++rr;
            }
            M = reduced;
            chargeBalance = false;
            --nElements;
            --N;
            systemSize = static_cast<uint16_t>(N);
        }
    }

    // The pressure derivative system: the ln n diagonal is dropped and its column is
    // the right-hand side.
    M(N - 2, N - 2) = 0.0;
    Eigen::VectorXd bP = M.col(N - 2).head(N - 1);

    int lowPosition = -1;
    if (phasePairActive) {
        auto it = std::find(activeCondensed.begin(), activeCondensed.end(), phasePairLow);
        if (it != activeCondensed.end())
            lowPosition = nElements + static_cast<int>(it - activeCondensed.begin());
    }

    if (lowPosition >= 0) {
        // Two phases held at their transition: T is fixed by them, and ln n takes the
        // place of the low phase, wherever that sits in the active list.
        const int q = lowPosition;
        for (int r = 0; r <= N - 2; ++r)
            M(r, q) = M(r, N - 2);
        for (int c = 0; c <= N - 2; ++c)
            M(q, c) = M(N - 2, c);
        bP[q] = gasMoles;
        luWork.solve(M.topLeftCorner(N - 2, N - 2), bP.head(N - 2), pressureDerivativeWork);
        dlnVdlnP = pressureDerivativeWork[q] - 1.0;
        // No heat capacity at a two-phase point: report "not applicable" as 0.
        dlnVdlnT = 0.0;
        return;
    }

    bP[N - 2] = gasMoles;
    // The allocation-free LU of the iteration (the same partial pivoting); the matrix
    // is factorised for each of the two right-hand sides, which costs less than
    // allocating a factorisation to keep.
    luWork.solve(M.topLeftCorner(N - 1, N - 1), bP, pressureDerivativeWork);
    const Eigen::VectorXd rhsT = -M.col(N - 1).head(N - 1);
    luWork.solve(M.topLeftCorner(N - 1, N - 1), rhsT, temperatureDerivativeWork);
    dlnVdlnT = temperatureDerivativeWork[N - 2] + 1.0;
    dlnVdlnP = pressureDerivativeWork[N - 2] - 1.0;
}

double Mixture::equilibriumProperties(double T)
{
    if (!hasSpeciesRecords())
        return density;
    derivatives();
    const int N = systemSize;
    const bool pairHeld = phasePairActive
            && std::find(activeCondensed.begin(), activeCondensed.end(), phasePairLow) != activeCondensed.end();
    if (pairHeld) {
        gamma = -1.0 / dlnVdlnP;
        cp = 0.0;
        cv = 0.0;
    } else {
        double sum = 0.0;
        for (uint16_t j = 0; j < nGas; ++j) {
            const Species& sp = *species[j];
            sum += sp.moles * (sp.cpR + sp.enthalpyRT * sp.enthalpyRT);
        }
        for (uint16_t c : activeCondensed)
            sum += species[c]->moles * species[c]->cpR;
        if (N >= 2 && temperatureDerivativeWork.size() == N - 1) {
            for (int i = 0; i <= N - 2; ++i)
                sum += iterationMatrix(i, N - 1) * temperatureDerivativeWork[i];
        }
        cp = R_UNIVERSAL * sum;
        // gasConstant is already R n of the whole mixture (condensed mass included), so
        // no further condensed correction belongs here.
        cv = cp + gasConstant * dlnVdlnT * dlnVdlnT / dlnVdlnP;
        gamma = -(cp / cv) / dlnVdlnP;
    }
    soundSpeed = std::sqrt(gamma * gasConstant * T);
    density = pressure / (gasConstant * T);
    return density;
}

double Mixture::characteristicVelocity()
{
    equilibriumProperties(temperature);
    const double g = gamma;
    cStar = std::sqrt(gasConstant * temperature)
            / (std::sqrt(g) * std::pow(2.0 / (g + 1.0), (g + 1.0) / (2.0 * (g - 1.0))));
    return cStar;
}
