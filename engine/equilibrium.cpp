// Chemical equilibrium at fixed (h,p) or (s,p): reduced Gibbs minimisation by Newton
// iteration on the element potentials, with damping, trace cut-off, ions through a
// charge-balance row and condensed species through the condensed-phase step.
#include <algorithm>
#include <cmath>

#include <Eigen/LU>

#include "core/flags.h"
#include "core/physical_limits.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/mixture.h"

namespace {
// ln(1e-4): a reappearing trace species is held at no more than about 1e-4 of n.
constexpr double LOG_TRACE_REENTRY = 9.2103404;
constexpr double TRACE_TEST_LIMIT = -18.420681;
constexpr double ABSENT_ELEMENT_POTENTIAL = -1000.0;
constexpr uint32_t RANGE_CODES = code::SP01 | code::SP02 | code::SP03 | code::SP04 | code::SP05 | code::SP06;
} // namespace

void Mixture::resizeMatrix()
{
    const std::size_t nc = activeCondensed.size();
    systemSize = static_cast<uint16_t>(nElements + nc + 2);
    correctionSize = static_cast<uint16_t>(nGas + nc + 2);
    if (iterationMatrix.rows() != systemSize || iterationMatrix.cols() != systemSize)
        iterationMatrix.setZero(systemSize, systemSize);
    if (rightHandSide.size() != systemSize)
        rightHandSide.setZero(systemSize);
    if (solution.size() != systemSize)
        solution.setZero(systemSize);
    if (previousSolution.size() != systemSize)
        previousSolution.setZero(systemSize);
}

void Mixture::reset()
{
    activeCondensed.clear();
    removedCondensed.clear();
    releasePhasePair();
    resizeMatrix();
    initialEstimate();
}

Mixture::EquilibriumStart Mixture::convergedState() const
{
    EquilibriumStart st;
    st.moles.reserve(species.size());
    st.logMoles.reserve(species.size());
    for (const auto& sp : species) {
        st.moles.push_back(sp->moles);
        st.logMoles.push_back(sp->logMoles);
    }
    st.totalMoles = totalMoles;
    st.logMoles_ = logMoles;
    st.gasMoles = gasMoles;
    st.allMoles = allMoles;
    st.activeCondensed = activeCondensed;
    st.chargeBalance = chargeBalance;
    st.nElements = nElements;
    st.phasePairActive = phasePairActive;
    st.phasePairHigh = phasePairHigh;
    st.phasePairLow = phasePairLow;
    return st;
}

void Mixture::startFrom(const EquilibriumStart& st)
{
    if (!hasSpeciesRecords() || st.moles.size() != species.size() || st.logMoles.size() != species.size()) {
        reset();
        return;
    }
    for (std::size_t j = 0; j < species.size(); ++j) {
        species[j]->moles = st.moles[j];
        species[j]->logMoles = st.logMoles[j];
    }
    totalMoles = st.totalMoles;
    logMoles = st.logMoles_;
    gasMoles = st.gasMoles;
    allMoles = st.allMoles;
    activeCondensed = st.activeCondensed;
    removedCondensed.clear();
    chargeBalance = st.chargeBalance;
    nElements = st.nElements;
    phasePairActive = st.phasePairActive;
    phasePairHigh = st.phasePairHigh;
    phasePairLow = st.phasePairLow;
    resizeMatrix();
    enableIons();
}

void Mixture::releasePhasePair()
{
    phasePairActive = false;
    phasePairHigh = 0;
    phasePairLow = 0;
}

void Mixture::initialEstimate()
{
    if (!hasSpeciesRecords())
        return;
    if (!chargeBalance)
        addChargeBalance();
    totalMoles = gasMoles = allMoles = INITIAL_MIX_N;
    logMoles = std::log(totalMoles);
    // The gases share INITIAL_MIX_N; those of an element no reactant brings stay empty.
    uint16_t sharing = 0;
    for (uint16_t j = 0; j < nGas; ++j)
        sharing += absent(j) ? 0 : 1;
    const double share = INITIAL_MIX_N / std::max<uint16_t>(sharing, 1);
    for (uint16_t j = 0; j < nGas; ++j) {
        Species& s = *species[j];
        if (absent(j)) {
            s.moles = 0.0;
            s.logMoles = MIN_SP_LOG_N - 100.0;
        } else if (chargeBalance || electronCount(j) == 0.0) {
            s.moles = share;
            s.logMoles = std::log(s.moles);
        } else {
            s.moles = 0.0;
            s.logMoles = MIN_ION_LOG_N - 100.0;
        }
    }
    for (uint16_t j = nGas; j < nSpecies; ++j)
        species[j]->moles = 0.0;
    for (uint16_t c : activeCondensed) {
        species[c]->moles = INITIAL_CONDENSED;
        species[c]->logMoles = std::log(INITIAL_CONDENSED);
        allMoles += INITIAL_CONDENSED;
    }
    // The active set may have changed since the last sizing (the non-finite guard).
    resizeMatrix();
}

void Mixture::enableIons()
{
    if (!chargeBalance)
        addChargeBalance();
}

void Mixture::addChargeBalance()
{
    if (electronRow < 0 || nElements == elementSymbols.size() || !activeCondensed.empty()) {
        resizeMatrix();
        return;
    }
    bool found = false;
    for (uint16_t j = 0; j < nGas; ++j) {
        if (electronCount(j) != 0.0 && !absent(j)) {
            species[j]->moles = ION_RESET;
            species[j]->logMoles = LOG_ION_RESET;
            totalMoles += ION_RESET;
            gasMoles += ION_RESET;
            found = true;
        }
    }
    if (found) {
        chargeBalance = true;
        ++nElements;
        logMoles = std::log(totalMoles);
    }
    resizeMatrix();
}

void Mixture::collectActiveGases()
{
    activeGases.clear();
    activeMoles.clear();
    for (uint16_t j = 0; j < nGas; ++j) {
        const double n = species[j]->moles;
        if (n != 0.0) {
            activeGases.push_back(j);
            activeMoles.push_back(n);
        }
    }
    activeElementMoles.resize(static_cast<std::size_t>(nElements) * activeGases.size());
    activeElementCounts.resize(static_cast<std::size_t>(nElements) * activeGases.size());
}

namespace {
// W sums of x times each of W consecutive rows (of length n) of y, each over j in order.
template <int W>
void dotProducts(const double* x, const double* y, std::size_t n, double* out)
{
    double v[W] = {};
    for (std::size_t j = 0; j < n; ++j) {
        const double e = x[j];
        for (int q = 0; q < W; ++q)
            v[q] += e * y[static_cast<std::size_t>(q) * n + j];
    }
    for (int q = 0; q < W; ++q)
        out[q] = v[q];
}
} // namespace

void Mixture::gatherElementRows()
{
    const int E = nElements;
    const std::size_t nA = activeGases.size();
    const uint16_t* gases = activeGases.data();
    const double* moles = activeMoles.data();
    for (int i = 0; i < E; ++i) {
        const double* a = elementMatrix[i].data();
        double* c = activeElementCounts.data() + static_cast<std::size_t>(i) * nA;
        double* m = activeElementMoles.data() + static_cast<std::size_t>(i) * nA;
        double sum = 0.0;
        for (std::size_t k = 0; k < nA; ++k) {
            c[k] = a[gases[k]];
            m[k] = c[k] * moles[k];
            sum += m[k];
        }
        gasElementTotals[i] = sum;
    }
}

bool Mixture::assembleMatrix()
{
    // An element only condensed products hold needs one of them in the system from the
    // start (and again whenever its last carrier has left): no gas can be revived for it.
    if (!gaslessElements.empty())
        insertCondensedCarriers();
    const int E = nElements;
    const int s = systemSize;
    const int nc = static_cast<int>(activeCondensed.size());
    bool revived = false;

    // The gases that hold moles, with their amounts and element rows (a_ij n_j and a_ij,
    // row-major over these gases) side by side: the other gases add exact zeros to every
    // sum of the assembly, so the sums skip them. Every gas still gets its correction
    // and its potential in the iteration (a trace species can come back).
    collectActiveGases();
    for (;;) {
        gatherElementRows();
        int empty = -1;
        for (int i = 0; i < E && empty < 0; ++i) {
            const std::vector<double>& a = elementMatrix[i];
            double sum = gasElementTotals[i];
            for (uint16_t c : activeCondensed)
                sum += a[c] * species[c]->moles;
            elementTotals[i] = sum;
            // An element the reactants do not contain (a reactant of zero amount) is
            // rightly absent: nothing to revive; its row is closed below.
            if (sum == 0.0 && !(chargeBalance && i == E - 1) && elementTargets[i] > 0.0)
                empty = i;
        }
        if (empty < 0)
            break;
        // No present species carries this element. Revive the absent gases once; if
        // that cannot help (no active species holds the element at all) the solve must
        // end rather than restart this assembly for ever.
        if (revived) {
            carrierlessElement = empty;
            return false;
        }
        revived = true;
        raiseFlag(flagsSP, code::SP14);
        for (uint16_t j = 0; j < nGas; ++j) {
            Species& sp = *species[j];
            if (sp.moles == 0.0 && !absent(j) && (chargeBalance || electronCount(j) == 0.0)) {
                sp.moles = SING_RESET;
                gasMoles += SING_RESET;
            }
        }
        evaluateSpecies(temperature);
        collectActiveGases();
    }
    const std::size_t nA = activeGases.size();

    Eigen::MatrixXd& A = iterationMatrix;
    Eigen::VectorXd& b = rightHandSide;
    A.setZero();
    b.setZero();
    const int ln = s - 2, lt = s - 1;

    // Per-gas products used by several entries.
    double sumMu = 0.0, sumHMu = 0.0, sumSMu = 0.0, diagT = 0.0;
    for (std::size_t k = 0; k < nA; ++k) {
        const uint16_t j = activeGases[k];
        const Species& sp = *species[j];
        const double n = activeMoles[k];
        const double H = sp.enthalpyRT, S = entropyTerms[j], mu = chemicalPotentials[j];
        sumMu += n * mu;
        sumHMu += n * H * mu;
        sumSMu += n * S * mu;
        diagT += fixedEnthalpy ? n * (sp.cpR + H * H) : n * (sp.cpR + H * S);
    }
    for (uint16_t c : activeCondensed)
        diagT += species[c]->moles * species[c]->cpR;

    activeEnthalpy.resize(nA);
    activeEntropy.resize(nA);
    activePotential.resize(nA);
    for (std::size_t k = 0; k < nA; ++k) {
        const uint16_t j = activeGases[k];
        activeEnthalpy[k] = species[j]->enthalpyRT;
        activeEntropy[k] = entropyTerms[j];
        activePotential[k] = chemicalPotentials[j];
    }
    for (int i = 0; i < E; ++i) {
        const double* em = activeElementMoles.data() + static_cast<std::size_t>(i) * nA;
        // Up to four sums of row i at a time, each still over the gases in order:
        // independent chains of additions rather than one after another.
        for (int k = 0; k <= i;) {
            const double* counts = activeElementCounts.data() + static_cast<std::size_t>(k) * nA;
            double v[4];
            const int w = std::min(4, i + 1 - k);
            switch (w) {
            case 4: dotProducts<4>(em, counts, nA, v); break;
            case 3: dotProducts<3>(em, counts, nA, v); break;
            case 2: dotProducts<2>(em, counts, nA, v); break;
            default: dotProducts<1>(em, counts, nA, v); break;
            }
            for (int q = 0; q < w; ++q) {
                A(i, k + q) = v[q];
                A(k + q, i) = v[q];
            }
            k += w;
        }
        double nH = 0.0, nS = 0.0, nMu = 0.0;
        for (std::size_t j = 0; j < nA; ++j) {
            if (em[j] == 0.0)
                continue;
            nH += em[j] * activeEnthalpy[j];
            nS += em[j] * activeEntropy[j];
            nMu += em[j] * activePotential[j];
        }
        for (int k = 0; k < nc; ++k) {
            double a = elementMatrix[i][activeCondensed[k]];
            A(i, E + k) = a;
            A(E + k, i) = a;
        }
        A(i, ln) = gasElementTotals[i];
        A(ln, i) = gasElementTotals[i];
        A(i, lt) = nH;
        A(lt, i) = fixedEnthalpy ? nH : nS;
        b(i) = elementTargets[i] - elementTotals[i] + nMu;
    }
    for (int k = 0; k < nc; ++k) {
        const uint16_t c = activeCondensed[k];
        A(E + k, lt) = species[c]->enthalpyRT;
        A(lt, E + k) = fixedEnthalpy ? species[c]->enthalpyRT : entropyTerms[c];
        b(E + k) = chemicalPotentials[c];
    }
    // The row of an absent element is empty once its species are cut off, which would
    // make the system singular: fix its potential at a value so low that every species
    // holding the element keeps being driven down instead of coming back.
    for (int i = 0; i < E; ++i) {
        if (elementTotals[i] == 0.0 && elementTargets[i] <= 0.0 && !(chargeBalance && i == E - 1) && A(i, i) == 0.0) {
            A(i, i) = 1.0;
            b(i) = ABSENT_ELEMENT_POTENTIAL;
        }
    }
    A(ln, ln) = gasMoles - totalMoles;
    A(ln, lt) = gasEnthalpySum;
    A(lt, ln) = fixedEnthalpy ? gasEnthalpySum : gasEntropySum;
    A(lt, lt) = diagT;
    b(ln) = totalMoles - gasMoles + sumMu;
    if (fixedEnthalpy)
        b(lt) = enthalpyTarget / temperature - enthalpySum + sumHMu;
    else
        b(lt) = entropyTarget - entropySum + totalMoles - gasMoles + sumSMu;
    return true;
}

bool Mixture::applyCorrections()
{
    const int cs = correctionSize;
    const double dlnn = corrections[cs - 2];
    const double dlnT = corrections[cs - 1];
    const double lnNOld = logMoles;

    // lambda1 over the gases above the trace cut-off only: trace species are governed
    // by lambda2, and letting them in holds the step small for no benefit.
    double big = std::max(5.0 * std::fabs(dlnn), 5.0 * std::fabs(dlnT));
    double lambda2 = 1.0;
    for (uint16_t j = 0; j < nGas; ++j) {
        if (absent(j))
            continue;
        const double share = species[j]->logMoles - lnNOld;
        const double d = corrections[j];
        if (share > MIN_SP_LOG_N) {
            big = std::max(big, std::fabs(d));
        } else if (d > 0.0) {
            double l = std::fabs((-share - LOG_TRACE_REENTRY) / (d - dlnn));
            lambda2 = std::min(lambda2, l);
        }
    }
    double lambda = 1.0;
    if (big > 0.0)
        lambda = std::min(lambda, 2.0 / big);
    lambda = std::min(lambda, lambda2);

    logMoles += lambda * dlnn;
    totalMoles = std::exp(logMoles);
    // Sums in locals: a member summed through the species' stores would be reloaded at
    // every species.
    const double lnN = logMoles;
    const double traceLimit = MIN_SP_LOG_N, ionLimit = MIN_ION_LOG_N;
    const bool balancingCharge = chargeBalance;
    double gas = 0.0;
    bool anion = false, cation = false;
    for (uint16_t j = 0; j < nGas; ++j) {
        if (absent(j))
            continue;
        Species& sp = *species[j];
        sp.logMoles += lambda * corrections[j];
        const double share = sp.logMoles - lnN;
        sp.moles = share > traceLimit ? std::exp(sp.logMoles) : 0.0;
        gas += sp.moles;
        if (balancingCharge && share >= ionLimit) {
            const double e = electronCount(j);
            anion = anion || e > 0.0;
            cation = cation || e < 0.0;
        }
    }
    gasMoles = gas;
    allMoles = gasMoles;
    for (std::size_t k = 0; k < activeCondensed.size(); ++k) {
        Species& sp = *species[activeCondensed[k]];
        sp.moles += lambda * corrections[nGas + k];
        allMoles += sp.moles;
    }
    logTemperature += lambda * dlnT;
    temperature = std::exp(logTemperature);

    if (chargeBalance && !(anion && cation)) {
        chargeBalance = false;
        --nElements;
        resizeMatrix();
        for (uint16_t j = 0; j < nGas; ++j) {
            if (electronCount(j) != 0.0) {
                species[j]->moles = 0.0;
                species[j]->logMoles = MIN_ION_LOG_N - 100.0;
            }
        }
        return true;
    }
    return false;
}

bool Mixture::checkConvergence()
{
    // Guard: a condensed amount that is not a number leaves the set, and the
    // composition starts over.
    for (int k = static_cast<int>(activeCondensed.size()) - 1; k >= 0; --k) {
        const uint16_t c = activeCondensed[k];
        if (!std::isfinite(species[c]->moles)) {
            species[c]->moles = 0.0;
            removedCondensed.push_front(c);
            activeCondensed.erase(activeCondensed.begin() + k);
            if (phasePairActive && (c == phasePairHigh || c == phasePairLow))
                releasePhasePair();
            initialEstimate();
            return false;
        }
    }
    if (!solution.allFinite() || !std::isfinite(gasMoles) || !std::isfinite(temperature)
        || !std::isfinite(totalMoles)) {
        insertAfterBreakdown();
        initialEstimate();
        temperature = T_SEED;
        logTemperature = std::log(T_SEED);
        evaluateSpecies(T_SEED);
        return false;
    }

    const int E = nElements;
    const int cs = correctionSize;
    const double N = allMoles;
    if (std::fabs(corrections[cs - 1]) > TOL_T)
        return false;
    for (uint16_t j = 0; j < nGas; ++j) {
        if (std::fabs(corrections[j]) * species[j]->moles / N > TOL_N)
            return false;
    }
    for (std::size_t k = 0; k < activeCondensed.size(); ++k) {
        if (std::fabs(corrections[nGas + k]) / N > TOL_N)
            return false;
    }
    if (std::fabs(corrections[cs - 2]) * totalMoles / N > TOL_N)
        return false;
    double maxTarget = 0.0;
    for (int i = 0; i < E; ++i)
        maxTarget = std::max(maxTarget, elementTargets[i]);
    for (int i = 0; i < E; ++i) {
        if (chargeBalance && i == E - 1)
            continue;
        if (elementTargets[i] > 1e-6 && std::fabs(elementTargets[i] - elementTotals[i]) > TOL_b * maxTarget)
            return false;
    }
    if (!fixedEnthalpy && std::fabs(entropyTarget - entropySum) > TOL_S)
        return false;
    if (MIN_SP_LOG_N < TRACE_TEST_LIMIT) {
        for (int i = 0; i < E; ++i) {
            if (std::fabs((previousSolution[i] - solution[i]) / solution[i]) > TOLERANCE_PI_LOW_N)
                return false;
        }
    }

    // Ion balance: correct the electron potential alone until the charges cancel. The
    // sums are taken from the present composition (the one the tests just accepted).
    if (chargeBalance && electronRow >= 0) {
        double charge = 0.0, weight = 0.0;
        for (uint16_t j = 0; j < nGas; ++j) {
            const double e = electronCount(j);
            if (e != 0.0) {
                charge += e * species[j]->moles;
                weight += e * e * species[j]->moles;
            }
        }
        double dpi = weight != 0.0 ? -charge / weight : 0.0;
        uint32_t corrected = 0;
        while (std::fabs(dpi) > TOL_ION) {
            if (corrected >= MAX_ITER_IONS) {
                raiseFlag(flagsSP, code::SP12);
                break;
            }
            charge = 0.0;
            weight = 0.0;
            for (uint16_t j = 0; j < nGas; ++j) {
                const double e = electronCount(j);
                if (e == 0.0 || absent(j))
                    continue;
                Species& sp = *species[j];
                sp.logMoles += e * dpi;
                sp.moles = sp.logMoles - logMoles > MIN_SP_LOG_N ? std::exp(sp.logMoles) : 0.0;
                charge += e * sp.moles;
                weight += e * e * sp.moles;
            }
            ++corrected;
            dpi = weight != 0.0 ? -charge / weight : 0.0;
        }
        gasElementTotals[E - 1] = charge;
    }

    return condensedStep();
}

// A breakdown of the iteration (non-finite numbers) while no condensed phase could yet
// be tested usually means that the gases alone cannot hold the reactants' elements at
// any temperature (a metal-rich mixture whose metal must condense). Restarting the
// same way would break down the same way, so the condensed phase that the last finite
// state favoured most joins the set before the restart.
void Mixture::insertAfterBreakdown()
{
    if (lastFiniteTemperature <= 0.0 || lastFiniteSolution.size() < nElements)
        return;
    const double T = lastFiniteTemperature;
    int best = -1;
    double bestValue = 0.0;
    for (uint16_t j = nGas; j < nSpecies; ++j) {
        Species& sp = *species[j];
        if (std::find(activeCondensed.begin(), activeCondensed.end(), j) != activeCondensed.end()
            || std::find(removedCondensed.begin(), removedCondensed.end(), j) != removedCondensed.end())
            continue;
        if (!(sp.minTemperature <= T && T <= sp.maxTemperature))
            continue;
        sp.thermo(T);
        const double v = condensedCandidateValue(j, lastFiniteSolution);
        if (std::isfinite(v) && v < bestValue) {
            bestValue = v;
            best = j;
        }
    }
    if (best < 0)
        return;
    // Only when the set stays independent (no message: this is no user's choice).
    std::vector<uint16_t> trial = activeCondensed;
    trial.push_back(static_cast<uint16_t>(best));
    Eigen::MatrixXd M(trial.size(), nElements);
    for (std::size_t k = 0; k < trial.size(); ++k)
        for (int i = 0; i < nElements; ++i)
            M(static_cast<Eigen::Index>(k), i) = elementMatrix[i][trial[k]];
    if (Eigen::FullPivLU<Eigen::MatrixXd>(M).rank() < static_cast<Eigen::Index>(trial.size()))
        return;
    activeCondensed.push_back(static_cast<uint16_t>(best));
    lastFiniteTemperature = 0.0;
}

void Mixture::findGaslessElements()
{
    gaslessElements.clear();
    const int rows = static_cast<int>(std::min(elementMatrix.size(), elementTargets.size()));
    for (int i = 0; i < rows; ++i) {
        if (i == electronRow || !(elementTargets[i] > 0.0))
            continue;
        bool gas = false;
        for (uint16_t j = 0; j < nGas && !gas; ++j)
            gas = elementMatrix[i][j] != 0.0 && !absent(j);
        if (!gas)
            gaslessElements.push_back(i);
    }
}

// Gordon and McBride (NASA RP-1311, 1994) start such an element with a condensed
// species active instead of waiting for the gas-phase test to bring one in; the usual
// phase tests of the condensed step then correct the choice.
void Mixture::insertCondensedCarriers()
{
    const double T = temperature;
    bool inserted = false;
    for (int i : gaslessElements) {
        const std::vector<double>& a = elementMatrix[i];
        if (std::any_of(activeCondensed.begin(), activeCondensed.end(), [&](uint16_t c) { return a[c] != 0.0; }))
            continue;
        int best = -1;
        double bestValue = 0.0;
        for (uint16_t j = nGas; j < nSpecies; ++j) {
            const Species& sp = *species[j];
            if (!(a[j] > 0.0) || absent(j) || !(sp.minTemperature <= T && T <= sp.maxTemperature))
                continue;
            const double value = sp.gibbsRT / a[j];
            if (best < 0 || value < bestValue) {
                best = j;
                bestValue = value;
            }
        }
        if (best < 0)
            continue; // none defined here: the assembly finds the element empty
        const uint16_t c = static_cast<uint16_t>(best);
        activeCondensed.push_back(c);
        species[c]->moles = INITIAL_CONDENSED;
        species[c]->logMoles = std::log(INITIAL_CONDENSED);
        allMoles += INITIAL_CONDENSED;
        removedCondensed.erase(std::remove(removedCondensed.begin(), removedCondensed.end(), c),
                               removedCondensed.end());
        inserted = true;
    }
    if (!inserted)
        return;
    resizeMatrix();
    // The sums of the assembly include the new amounts.
    if (std::isfinite(T))
        evaluateSpecies(T);
}

void Mixture::reportCarrierlessElement()
{
    if (carrierlessReported || carrierlessElement < 0 || carrierlessElement >= static_cast<int>(elementSymbols.size()))
        return;
    carrierlessReported = true;
    const int i = carrierlessElement;
    const std::string& element = elementSymbols[static_cast<std::size_t>(i)];
    bool inGas = false, inCondensed = false;
    for (uint16_t j = 0; j < nSpecies; ++j) {
        if (elementMatrix[i][j] == 0.0 || absent(j))
            continue;
        (j < nGas ? inGas : inCondensed) = true;
    }
    if (!inGas && !inCondensed) {
        reportEngineMessage({"None of the selected products contains the element " + element,
                             "Select at least one species containing " + element + ", preferably a gaseous one."});
    } else if (!inGas) {
        const std::string where = std::isfinite(temperature) && std::fabs(temperature) < 1e6
                ? std::to_string(static_cast<long>(std::lround(temperature))) + " K"
                : std::string("the temperature reached");
        reportEngineMessage(
                {"The element " + element + " is only in condensed products, none of which is defined at " + where,
                 "Select a gaseous species containing " + element
                         + ", or a condensed one whose temperature range covers the calculation."});
    } else {
        reportEngineMessage({"No selected product can carry the element " + element + " in this equilibrium",
                             "Select a neutral gaseous species containing " + element + "."});
    }
}

double Mixture::speciesDataTop() const
{
    double top = 0.0;
    for (uint16_t j = 0; j < nSpecies; ++j) {
        const Species& sp = *species[j];
        if (!absent(j) && sp.nIntervals > 0)
            top = std::max(top, sp.maxTemperature);
    }
    return top;
}

bool Mixture::reactantsUsable() const
{
    if (!reactantTemperatureUsable)
        return false;
    for (uint16_t r = 0; r < nReactants; ++r) {
        if (!usableAmount(reactants[r]->moles))
            return false;
    }
    bool anyElement = false;
    for (std::size_t i = 0; i < elementTargets.size(); ++i) {
        if (static_cast<int>(i) == electronRow)
            continue;
        if (!std::isfinite(elementTargets[i]) || elementTargets[i] < 0.0)
            return false;
        anyElement = anyElement || elementTargets[i] > 0.0;
    }
    return anyElement;
}

void Mixture::markAbsentSpecies()
{
    absentSpecies.assign(nSpecies, 0);
    const std::size_t rows = std::min(elementMatrix.size(), elementTargets.size());
    for (std::size_t i = 0; i < rows; ++i) {
        if (static_cast<int>(i) == electronRow || elementTargets[i] > 0.0)
            continue;
        const double* a = elementMatrix[i].data();
        for (uint16_t j = 0; j < nSpecies; ++j) {
            if (a[j] != 0.0)
                absentSpecies[j] = 1;
        }
    }
}

void Mixture::removeAbsentSpecies()
{
    for (uint16_t j = 0; j < nGas; ++j) {
        Species& sp = *species[j];
        if (!absent(j))
            continue;
        if (sp.moles != 0.0) {
            gasMoles -= sp.moles;
            allMoles -= sp.moles;
            sp.moles = 0.0;
        }
        sp.logMoles = MIN_SP_LOG_N - 100.0;
    }
}

bool Mixture::solveEquilibrium(double& T, double p, bool holdEnthalpy)
{
    lastFiniteTemperature = 0.0;
    // A pressure that is not a positive number has no equilibrium: fail at once rather
    // than spend the whole iteration budget on non-finite numbers. A guess that is not a
    // positive temperature starts from the usual seed.
    if (!(p > 0.0) || !std::isfinite(p)) {
        raiseFlag(flagsSP, code::SP10);
        return false;
    }
    const double guess = (T > 0.0 && std::isfinite(T)) ? T : T_SEED;
    temperature = guess;
    logTemperature = std::log(guess);
    pressure = p;
    logPressureRatio = std::log(p / 100000.0);
    fixedEnthalpy = holdEnthalpy;
    rankTestFailed = false;
    // No equilibrium without a propellant: no reactant, amounts that are all zero,
    // negative or not numbers, or a reactant temperature that was refused.
    if (nGas == 0 || !hasSpeciesRecords() || !reactantsUsable()) {
        raiseFlag(flagsSP, code::SP10);
        return false;
    }
    raiseFlag(flagsSP, reactantRangeCodes);
    // The range warnings of the states solved before (a chamber above its data, ahead of
    // stations below them) stay with the run.
    const uint32_t earlierRangeCodes = flagsSP.load() & RANGE_CODES;
    markAbsentSpecies();
    removeAbsentSpecies();
    findGaslessElements();
    carrierlessElement = -1;
    resizeMatrix();
    evaluateSpecies(temperature);

    for (uint32_t iteration = 0; iteration < MAX_ITER_EQ; ++iteration) {
        if (!assembleMatrix()) {
            reportCarrierlessElement();
            break;
        }
        previousSolution = solution;
        luWork.solve(iterationMatrix, rightHandSide, solution);
        if (solution.allFinite()) {
            lastFiniteSolution = solution;
            lastFiniteTemperature = temperature;
        }

        const int E = nElements;
        const int s = systemSize;
        const std::size_t nc = activeCondensed.size();
        corrections.resize(correctionSize);
        const double dlnn = solution[s - 2];
        const double dlnT = solution[s - 1];
        // Row by row over contiguous element rows: each gas's sum keeps its order.
        {
            const double* H = thermoTable.enthalpyRT();
            const double* mu = chemicalPotentials.data();
            double* v = corrections.data();
            for (uint16_t j = 0; j < nGas; ++j)
                v[j] = H[j] * dlnT + dlnn - mu[j];
            for (int i = 0; i < E; ++i) {
                const double* a = elementMatrix[i].data();
                const double pi = solution[i];
                for (uint16_t j = 0; j < nGas; ++j)
                    v[j] += a[j] * pi;
            }
            for (uint16_t j = 0; j < nGas; ++j) {
                if (absent(j) || (!chargeBalance && electronCount(j) != 0.0))
                    v[j] = 0.0;
            }
        }
        for (std::size_t k = 0; k < nc; ++k)
            corrections[nGas + k] = solution[E + k];
        corrections[correctionSize - 2] = dlnn;
        corrections[correctionSize - 1] = dlnT;

        if (applyCorrections())
            continue;
        // A temperature that is no longer a number is a breakdown the check restarts
        // from; evaluating the species there would only leave their gap code (SP00).
        if (std::isfinite(temperature))
            evaluateSpecies(temperature);
        if (checkConvergence()) {
            // Far above the top of the species data the state is no equilibrium the data
            // describe: no result.
            if (!physical::withinSpeciesData(temperature, speciesDataTop())) {
                raiseFlag(flagsODE, code::ODE08);
                return false;
            }
            evaluateSpecies(temperature);
            if (fixedEnthalpy) {
                enthalpy = enthalpySum * R_UNIVERSAL * temperature;
                entropyTarget = entropySum;
                entropy = entropySum * R_UNIVERSAL;
            }
            transportMoles = 0.0;
            for (uint16_t j = 0; j < nSpecies; ++j) {
                if (species[j]->hasTransport)
                    transportMoles += species[j]->moles;
            }
            for (uint16_t j = 0; j < nSpecies; ++j) {
                Species& sp = *species[j];
                sp.moleFraction = sp.moles / allMoles;
                sp.mass = sp.molarMass * sp.moles;
                sp.transportFraction = sp.hasTransport && transportMoles > 0.0 ? sp.moles / transportMoles : 0.0;
            }
            T = temperature;
            gasConstant = R_UNIVERSAL * totalMoles;
            // The derivatives work on the iteration matrix: build it at the converged
            // state, not the one from before the last step.
            assembleMatrix();
            return true;
        }
        if (rankTestFailed)
            return false;
        // Range warnings of the intermediate temperatures do not survive; that of a
        // reactant evaluated outside its fit does, and so do those of earlier states.
        clearFlag(flagsSP, RANGE_CODES & ~earlierRangeCodes);
    }
    raiseFlag(flagsSP, code::SP10);
    return false;
}
