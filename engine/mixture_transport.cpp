// Mixture transport properties: Wilke's rule for the viscosity, the Mason-Saxena form
// for the conductivity, and the contribution of reactions in local equilibrium to the
// conductivity and to the heat capacity of the Prandtl number.
//
// The reaction terms follow the Butler-Brokaw treatment: for a set of independent
// reactions i with enthalpy terms r_i = dH_i/(R T),
//   lambda_r = R r^T G^-1 r,   cp_r = R n r^T G'^-1 r,
// where G weighs every species pair by R T/(p D_kl) (written with the interaction
// viscosity eta_kl) and G' by 1. With eta in Pa s and M in kg/kmol each entry of G is
// in m s/kmol, so R r^T G^-1 r is already in W/(m K).
#include <algorithm>
#include <cmath>
#include <numeric>

#include "core/flag_codes.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/mixture.h"

namespace {

// Share of the gas moles that species left out of the mixing rules may carry before
// the transport figures are reported as incomplete (SP17).
constexpr double UNCOVERED_GAS_SHARE = 0.01;

// Element vectors of the given species as columns (every element row, the electron
// row included).
Eigen::MatrixXd elementColumns(const std::vector<std::vector<double>>& elementMatrix, const std::vector<uint32_t>& set)
{
    const int K = static_cast<int>(set.size());
    const int rows = static_cast<int>(elementMatrix.size());
    Eigen::MatrixXd A(rows, K);
    for (int r = 0; r < rows; ++r)
        for (int k = 0; k < K; ++k)
            A(r, k) = elementMatrix[r][set[k]];
    return A;
}

// The species in the order the components are sought: largest amount first, ties in
// the set's order.
std::vector<int> amountOrder(const std::vector<double>& amounts)
{
    std::vector<int> order(amounts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return amounts[a] > amounts[b]; });
    return order;
}

// The components of the formation reactions: taken greedily in the given order while
// their element vectors stay linearly independent (Gram-Schmidt, repeated for
// stability). Local indices in choice order.
std::vector<int> chooseComponents(const Eigen::MatrixXd& A, const std::vector<int>& order)
{
    std::vector<int> components;
    std::vector<Eigen::VectorXd> basis; // orthonormal basis of the chosen element vectors
    for (int k : order) {
        Eigen::VectorXd v = A.col(k);
        const double norm = v.norm();
        if (norm == 0.0)
            continue;
        for (int pass = 0; pass < 2; ++pass)
            for (const Eigen::VectorXd& q : basis)
                v -= q.dot(v) * q;
        if (v.norm() > 1e-9 * norm) {
            basis.push_back(v / v.norm());
            components.push_back(k);
        }
    }
    return components;
}

// An independent set of formation reactions over the given species: every species that
// is not a component is formed from the components. Row i of the result holds the net
// coefficients of reaction i over the given species (local order). No reaction when
// every species is a component.
Eigen::MatrixXd formationReactions(const Eigen::MatrixXd& A, const std::vector<int>& components)
{
    const int K = static_cast<int>(A.cols());
    const int rows = static_cast<int>(A.rows());
    const int c = static_cast<int>(components.size());
    if (K == c || c == 0)
        return Eigen::MatrixXd(0, K);
    Eigen::MatrixXd nu = Eigen::MatrixXd::Zero(K - c, K);
    Eigen::MatrixXd B(rows, c);
    for (int m = 0; m < c; ++m)
        B.col(m) = A.col(components[m]);
    const Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(B);
    int i = 0;
    for (int k = 0; k < K; ++k) {
        if (std::find(components.begin(), components.end(), k) != components.end())
            continue;
        const Eigen::VectorXd beta = qr.solve(Eigen::VectorXd(A.col(k)));
        nu(i, k) = 1.0;
        for (int m = 0; m < c; ++m)
            nu(i, components[m]) -= beta[m];
        ++i;
    }
    return nu;
}

// Entries a mixture keeps at most; a run meets a handful of species sets and orders
// of their amounts, so a full cache means something unusual and simply starts again.
constexpr std::size_t FORMATION_CACHE_CAPACITY = 64;

// The formation reactions of the set for the components its amounts choose, from the
// mixture's cache when they were built before. The choice depends on the species and
// on the order of their amounts only, so an entry is found by those.
const Eigen::MatrixXd& cachedFormationReactions(Mixture& m, const std::vector<uint32_t>& set,
                                                const std::vector<double>& amounts)
{
    std::vector<int> order = amountOrder(amounts);
    std::vector<const Species*> records(set.size());
    for (std::size_t k = 0; k < set.size(); ++k)
        records[k] = m.species[set[k]].get();
    for (const Mixture::FormationReactions& entry : m.formationReactionCache)
        if (entry.order == order && entry.species == records)
            return entry.nu;
    if (m.formationReactionCache.size() >= FORMATION_CACHE_CAPACITY)
        m.formationReactionCache.clear();
    const Eigen::MatrixXd A = elementColumns(m.elementMatrix, set);
    Eigen::MatrixXd nu = formationReactions(A, chooseComponents(A, order));
    m.formationReactionCache.push_back({std::move(records), std::move(order), std::move(nu)});
    return m.formationReactionCache.back().nu;
}

// r^T S^-1 r for the symmetric positive matrix S of the reaction terms; false when the
// system is singular or the result is not a finite number. S is scaled to a unit
// diagonal first: trace species make its diagonal span many decades without making
// the problem any harder, and only the scaled matrix shows a true dependence.
bool reactionSum(const Eigen::MatrixXd& S, const Eigen::VectorXd& r, double& sum)
{
    const Eigen::VectorXd d = S.diagonal();
    if (!(d.array() > 0.0).all() || !d.allFinite())
        return false;
    const Eigen::VectorXd scale = d.cwiseSqrt().cwiseInverse();
    const Eigen::MatrixXd scaled = scale.asDiagonal() * S * scale.asDiagonal();
    const Eigen::PartialPivLU<Eigen::MatrixXd> lu(scaled);
    if (!(lu.rcond() > 1e-12))
        return false;
    const Eigen::VectorXd rs = scale.cwiseProduct(r);
    sum = rs.dot(lu.solve(rs));
    return std::isfinite(sum);
}

// Pair matrix sum over k < l of W_kl x_k x_l (u_ik - u_il)(u_jk - u_jl), with
// u_ik = nu_ik / x_k, written as U L U^T, L being the weighted Laplacian of the pairs.
Eigen::MatrixXd pairMatrix(const Eigen::MatrixXd& nu, const Eigen::VectorXd& x, const Eigen::MatrixXd& weights)
{
    const Eigen::Index K = x.size();
    Eigen::MatrixXd L(K, K);
    for (Eigen::Index k = 0; k < K; ++k) {
        double diagonal = 0.0;
        for (Eigen::Index l = 0; l < K; ++l) {
            if (l == k)
                continue;
            const double w = weights(k, l) * x[k] * x[l];
            L(k, l) = -w;
            diagonal += w;
        }
        L(k, k) = diagonal;
    }
    const Eigen::MatrixXd U = nu * x.cwiseInverse().asDiagonal();
    Eigen::MatrixXd S = U * L * U.transpose();
    return 0.5 * (S + S.transpose());
}

// r^T S^-1 r of the reactions among the given species (all present): an independent
// set of formation reactions, fractions within the set, the enthalpies H/RT the species
// hold, pair weights W (all ones for the heat capacity). sum is 0 when the species
// allow no reaction; false when the system is singular.
bool reactionTerm(Mixture& m, const std::vector<uint32_t>& set, const std::vector<double>& amounts,
                  const Eigen::MatrixXd& weights, double& sum)
{
    sum = 0.0;
    if (set.size() < 2)
        return true;
    const Eigen::MatrixXd& nu = cachedFormationReactions(m, set, amounts);
    if (nu.rows() == 0)
        return true;
    const Eigen::Index K = static_cast<Eigen::Index>(set.size());
    const double total = std::accumulate(amounts.begin(), amounts.end(), 0.0);
    Eigen::VectorXd x(K), H(K);
    for (Eigen::Index k = 0; k < K; ++k) {
        x[k] = amounts[k] / total;
        H[k] = m.species[set[k]]->enthalpyRT;
    }
    return reactionSum(pairMatrix(nu, x, weights), nu * H, sum);
}

// The frozen mixing of frozenTransport without its Prandtl step; false, with SP11
// raised and the mixture unchanged, when there is nothing to mix. mixing receives the
// species taken by the mixing rules, place their rows in transportWork.
bool mixFrozen(Mixture& m, double T, std::vector<uint32_t>& mixing, std::vector<std::size_t>& place)
{
    const auto& species = m.species;
    if (m.nTransport == 0 || m.transportSpecies.empty()) {
        raiseFlag(flagsSP, code::SP11);
        return false;
    }
    for (uint32_t j : m.transportSpecies)
        species[j]->transport(T);

    // The mixing rules take the species that have a viscosity: Wilke's factors need
    // it, and a species with a conductivity fit alone would otherwise zero the
    // viscosity of the whole mixture.
    mixing.clear();
    place.clear();
    double mixingMoles = 0.0;
    for (std::size_t t = 0; t < m.transportSpecies.size(); ++t) {
        const uint32_t j = m.transportSpecies[t];
        const Species& sp = *species[j];
        if (!(sp.viscosityValue > 0.0) || !std::isfinite(sp.viscosityValue))
            continue;
        mixing.push_back(j);
        place.push_back(t);
        mixingMoles += std::max(sp.moles, 0.0);
    }
    if (mixing.empty() || !(mixingMoles > 0.0)) {
        // No such species present: the mixture keeps its values.
        raiseFlag(flagsSP, code::SP11);
        return false;
    }
    // The mixing rules cannot weigh a gas they have no fits for: when such gases make a
    // noticeable part of the mixture the figures below describe the rest of it only,
    // and the user is told (the figures stay as the rules give them).
    double gasMoles = 0.0, uncoveredMoles = 0.0;
    for (uint16_t j = 0; j < m.nGas; ++j) {
        const double n = std::max(species[j]->moles, 0.0);
        gasMoles += n;
        if (std::find(mixing.begin(), mixing.end(), j) == mixing.end())
            uncoveredMoles += n;
    }
    if (uncoveredMoles > UNCOVERED_GAS_SHARE * gasMoles)
        raiseFlag(flagsSP, code::SP17);
    const TemperaturePowers powers(T);
    for (uint16_t j = 0; j < m.nSpecies; ++j)
        species[j]->thermo(powers);

    // The fractions follow the current amounts, whichever solver set them.
    const std::size_t K = mixing.size();
    std::vector<double> x(K), M(K), mu(K), lambda(K);
    for (std::size_t k = 0; k < K; ++k) {
        const Species& sp = *species[mixing[k]];
        x[k] = std::max(sp.moles, 0.0) / mixingMoles;
        M[k] = sp.molarMass;
        mu[k] = sp.viscosityValue;
        lambda[k] = sp.conductivityValue;
    }

    // transportWork keeps one row and column per transport species; species left out
    // of the mixing keep zeros.
    auto& work = m.transportWork;
    work.resize(m.transportSpecies.size());
    for (auto& row : work)
        row.assign(m.transportSpecies.size(), 0.0);

    double mixViscosity = 0.0, mixConductivity = 0.0;
    for (std::size_t j = 0; j < K; ++j) {
        double sumMu = 0.0, sumLambda = 0.0;
        for (std::size_t k = 0; k < K; ++k) {
            if (k == j)
                continue;
            const double root = 1.0 + std::sqrt(mu[j] / mu[k]) * std::pow(M[k] / M[j], 0.25);
            const double phi = std::sqrt(2.0 * M[k] / (M[j] + M[k])) * root * root * 0.25;
            work[place[j]][place[k]] = 2.0 * mu[j] * M[k] / ((M[j] + M[k]) * phi);
            const double psi
                    = phi * (1.0 + 2.41 * (M[j] - M[k]) * (M[j] - 0.142 * M[k]) / ((M[j] + M[k]) * (M[j] + M[k])));
            sumMu += x[k] * phi;
            sumLambda += x[k] * psi;
        }
        if (x[j] > 0.0) {
            mixViscosity += mu[j] * x[j] / (x[j] + sumMu);
            mixConductivity += lambda[j] * x[j] / (x[j] + sumLambda);
        }
    }
    m.viscosity = mixViscosity;
    m.conductivity = mixConductivity;

    // The heat capacity of the Prandtl number is the frozen heat capacity of the
    // mixture at T, whatever the mixture computed last.
    double cpSum = 0.0;
    for (uint16_t j = 0; j < m.nSpecies; ++j)
        cpSum += species[j]->moles * species[j]->cpR;
    m.prandtlCp = R_UNIVERSAL * cpSum;
    return true;
}

} // namespace

void Mixture::frozenTransport(double T, bool withPrandtl)
{
    std::vector<uint32_t> mixing;
    std::vector<std::size_t> place;
    if (mixFrozen(*this, T, mixing, place) && withPrandtl && conductivity != 0.0)
        prandtl = prandtlCp * viscosity / conductivity;
}

void Mixture::equilibriumTransport(double T, bool withPrandtl)
{
    std::vector<uint32_t> mixing;
    std::vector<std::size_t> mixingPlace;
    if (!mixFrozen(*this, T, mixing, mixingPlace))
        return;

    // Held phase pairs fix T; a failure earlier in the run switches the reaction part
    // off until the run clears the codes.
    const bool reactionsOff = phasePairActive || flagRaised(flagsSP, code::SP15 | code::SP16);
    if (!reactionsOff) {
        // Reaction conductivity, over the gaseous species of the mixing rules that are
        // present; eta_kl from the frozen step.
        std::vector<uint32_t> set;
        std::vector<double> amounts;
        std::vector<std::size_t> place;
        for (std::size_t t = 0; t < mixing.size(); ++t) {
            const uint32_t j = mixing[t];
            const Species& sp = *species[j];
            if (j >= nGas || !(sp.moles > 0.0))
                continue;
            set.push_back(j);
            amounts.push_back(sp.moles);
            place.push_back(mixingPlace[t]);
        }
        const Eigen::Index K = static_cast<Eigen::Index>(set.size());
        Eigen::MatrixXd W = Eigen::MatrixXd::Zero(K, K);
        for (Eigen::Index k = 0; k < K; ++k) {
            const double Mk = species[set[k]]->molarMass;
            for (Eigen::Index l = 0; l < K; ++l) {
                if (l == k)
                    continue;
                const double Ml = species[set[l]]->molarMass;
                const double eta = transportWork[place[k]][place[l]];
                W(k, l) = 5.0 * Mk * Ml / (3.0 * COND_Akl * (Mk + Ml) * eta);
            }
        }
        double sum = 0.0;
        if (reactionTerm(*this, set, amounts, W, sum))
            conductivity += R_UNIVERSAL * sum;
        else
            raiseFlag(flagsSP, code::SP15);

        // Reaction heat capacity, over every gaseous species present, so that it
        // completes the frozen heat capacity to the equilibrium one.
        std::vector<uint32_t> gases;
        std::vector<double> gasAmounts;
        for (uint16_t j = 0; j < nGas; ++j) {
            if (species[j]->moles > 0.0) {
                gases.push_back(j);
                gasAmounts.push_back(species[j]->moles);
            }
        }
        const Eigen::Index G = static_cast<Eigen::Index>(gases.size());
        const double gasTotal = std::accumulate(gasAmounts.begin(), gasAmounts.end(), 0.0);
        if (reactionTerm(*this, gases, gasAmounts, Eigen::MatrixXd::Ones(G, G), sum))
            prandtlCp += R_UNIVERSAL * gasTotal * sum;
        else
            raiseFlag(flagsSP, code::SP16);
    }

    if (withPrandtl && conductivity != 0.0)
        prandtl = prandtlCp * viscosity / conductivity;
}
