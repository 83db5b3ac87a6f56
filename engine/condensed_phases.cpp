// The condensed-phase step of the equilibrium: which liquids and solids take part.
#include <algorithm>
#include <cmath>

#include <Eigen/LU>

#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/mixture.h"

namespace {
constexpr std::size_t REMOVED_KEPT = 20;
constexpr double RANGE_MARGIN = 50.0; // K outside its range before a phase is dropped
constexpr double PAIR_MATCH = 1.0; // K between the ranges of two phases of one substance
constexpr double PAIR_RELEASE = 0.1; // relative distance from the transition temperature

bool contains(const std::vector<uint16_t>& list, uint16_t j)
{
    return std::find(list.begin(), list.end(), j) != list.end();
}
bool contains(const std::deque<uint16_t>& list, uint16_t j)
{
    return std::find(list.begin(), list.end(), j) != list.end();
}
} // namespace

bool Mixture::sameComposition(uint16_t a, uint16_t b) const
{
    for (int i = 0; i < nElements; ++i) {
        if (elementMatrix[i][a] != elementMatrix[i][b])
            return false;
    }
    return true;
}

double Mixture::condensedCandidateValue(uint16_t j, const Eigen::VectorXd& potentials) const
{
    // A phase made of an element the reactants do not contain can never form.
    for (int i = 0; i < nElements; ++i) {
        if (i != electronRow && elementTargets[i] <= 0.0 && elementMatrix[i][j] != 0.0)
            return 0.0;
    }
    double v = species[j]->gibbsRT;
    for (int i = 0; i < nElements; ++i)
        v -= elementMatrix[i][j] * potentials[i];
    return v / species[j]->molarMass;
}

bool Mixture::condensedStep()
{
    const double T = temperature;

    // The held pair ends when a phase is used up or T has left the transition.
    if (phasePairActive) {
        const Species& high = *species[phasePairHigh];
        const Species& low = *species[phasePairLow];
        if (high.moles <= 0.0 || low.moles <= 0.0 || std::fabs(T - high.minTemperature) / T > PAIR_RELEASE)
            releasePhasePair();
    }

    // Species used up.
    bool removed = false;
    for (int k = static_cast<int>(activeCondensed.size()) - 1; k >= 0; --k) {
        const uint16_t c = activeCondensed[k];
        if (species[c]->moles <= 0.0) {
            species[c]->moles = 0.0;
            removedCondensed.push_front(c);
            activeCondensed.erase(activeCondensed.begin() + k);
            removed = true;
        }
    }

    // Species whose range the mixture has left; remembered with their amounts, since
    // the phase that replaces one of them may have to be held together with it.
    std::vector<std::pair<uint16_t, double>> leftRange;
    bool restarted = false;
    for (int k = static_cast<int>(activeCondensed.size()) - 1; k >= 0; --k) {
        const uint16_t c = activeCondensed[k];
        Species& sp = *species[c];
        if (T > sp.maxTemperature + RANGE_MARGIN || T < sp.minTemperature - RANGE_MARGIN) {
            leftRange.emplace_back(c, sp.moles);
            sp.moles = 0.0;
            removedCondensed.push_front(c);
            activeCondensed.erase(activeCondensed.begin() + k);
            removed = true;
            if (!restarted) {
                for (int i = 0; i < nElements; ++i) {
                    // A restart of the gases cannot give an element no gas holds.
                    if (gasElementTotals[i] == 0.0
                        && std::find(gaslessElements.begin(), gaslessElements.end(), i) == gaslessElements.end()) {
                        initialEstimate();
                        restarted = true;
                        break;
                    }
                }
            }
        }
    }
    if (phasePairActive && (!contains(activeCondensed, phasePairHigh) || !contains(activeCondensed, phasePairLow)))
        releasePhasePair();

    // Ageing of the barred list: in enthalpy-held solves each pass pushes a harmless
    // entry (species 0 is a gas), so a removed phase is barred for at most 20 passes.
    if (fixedEnthalpy)
        removedCondensed.push_front(0);
    while (removedCondensed.size() > REMOVED_KEPT)
        removedCondensed.pop_back();

    // The condensed species whose formation lowers the Gibbs energy most, among the
    // inactive ones in range that are not barred (or, asked with barred, that are).
    double best = 0.0;
    auto bestCandidate = [&](bool barred) {
        int found = -1;
        for (uint16_t j = nGas; j < nSpecies; ++j) {
            const Species& sp = *species[j];
            if (contains(activeCondensed, j) || contains(removedCondensed, j) != barred)
                continue;
            if (sp.minTemperature <= T && T <= sp.maxTemperature) {
                const double v = condensedCandidateValue(j, solution);
                if (v < best) {
                    best = v;
                    found = j;
                }
            }
        }
        return found;
    };
    int candidate = bestCandidate(false);
    // Before convergence is declared, the barred species are given one more chance:
    // a phase barred earlier in this solve may be the one the final state needs.
    if (candidate < 0 && !removed) {
        candidate = bestCandidate(true);
        if (candidate >= 0) {
            const uint16_t c = static_cast<uint16_t>(candidate);
            removedCondensed.erase(std::remove(removedCondensed.begin(), removedCondensed.end(), c),
                                   removedCondensed.end());
        }
    }

    if (candidate >= 0) {
        const uint16_t cand = static_cast<uint16_t>(candidate);
        const Species& cs = *species[cand];
        // Two phases of one substance whose ranges meet are held together.
        auto pairWith = [&](uint16_t c) {
            if (!sameComposition(cand, c))
                return false;
            const Species& other = *species[c];
            uint16_t high, low;
            if (std::fabs(cs.minTemperature - other.maxTemperature) < PAIR_MATCH) {
                high = cand;
                low = c;
            } else if (std::fabs(cs.maxTemperature - other.minTemperature) < PAIR_MATCH) {
                high = c;
                low = cand;
            } else {
                return false;
            }
            // Far from the transition the pair would pin T where it cannot be (and step 1
            // would release it at the next check anyway): hold it only within that window.
            if (std::fabs(T - species[high]->minTemperature) / T > PAIR_RELEASE)
                return false;
            phasePairHigh = high;
            phasePairLow = low;
            phasePairActive = true;
            return true;
        };
        for (uint16_t c : activeCondensed)
            pairWith(c);
        for (const auto& [c, amount] : leftRange) {
            if (pairWith(c)) {
                // The phase just dropped for temperature is the partner: put it back.
                activeCondensed.push_back(c);
                species[c]->moles = amount;
                removedCondensed.erase(std::remove(removedCondensed.begin(), removedCondensed.end(), c),
                                       removedCondensed.end());
            }
        }
        activeCondensed.push_back(cand);
        species[cand]->moles = INITIAL_CONDENSED;
        species[cand]->logMoles = std::log(INITIAL_CONDENSED);
        resizeMatrix();
        // The new set must be independent (a held pair counts once).
        condensedRankTest();
        return false;
    }

    // Nothing to insert: converged unless something left the set.
    if (removed) {
        resizeMatrix();
        return false;
    }
    removedCondensed.clear();
    return true;
}

bool Mixture::condensedRankTest()
{
    std::vector<uint16_t> rowsUsed;
    for (uint16_t c : activeCondensed) {
        if (phasePairActive && c == phasePairLow)
            continue;
        rowsUsed.push_back(c);
    }
    const int nc = static_cast<int>(rowsUsed.size());
    const int E = nElements;
    if (nc == 0 || E == 0)
        return true;
    Eigen::MatrixXd M(nc, E);
    for (int k = 0; k < nc; ++k) {
        for (int i = 0; i < E; ++i)
            M(k, i) = elementMatrix[i][rowsUsed[k]];
    }
    // Eigen's default threshold: a pivot counts above max pivot * min(rows, cols) * eps.
    const Eigen::Index r = Eigen::FullPivLU<Eigen::MatrixXd>(M).rank();
    if (r >= nc)
        return true;

    rankTestFailed = true;
    raiseFlag(flagsL, code::L01);
    std::string names;
    for (int k = 0; k < nc; ++k) {
        Eigen::MatrixXd without(nc - 1, E);
        for (int m = 0, row = 0; m < nc; ++m) {
            if (m != k)
                without.row(row++) = M.row(m);
        }
        if (Eigen::FullPivLU<Eigen::MatrixXd>(without).rank() == r) {
            if (!names.empty())
                names += ", ";
            names += species[rowsUsed[k]]->name;
        }
    }
    reportEngineMessage({std::to_string(nc - r)
                                 + " species are linear combinaton of others and are conflicting. Remove said number "
                                   "from the following list: ",
                         names});
    return false;
}
