#pragma once
// Independent checks of a converged equilibrium: the conditions of a Gibbs minimum at
// fixed elements, with element potentials fitted here from the present species (not
// taken from the solver).
#include <cmath>
#include <string>

#include <Eigen/Dense>
#include <gtest/gtest.h>

#include "core/flags.h"
#include "engine/engine_messages.h"
#include "engine/mixture.h"

// Fixture of the solver tests: clean flag words, and engine messages dropped (a test
// that looks at them installs its own handler).
class QuietEngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setEngineMessageHandler([](const EngineMessage&) {});
        flagsSP = 0;
        flagsL = 0;
    }
    void TearDown() override { setEngineMessageHandler({}); }
};

struct OptimalityReport {
    double worstGas = 0.0; // largest |mu_j - sum a_ij pi_i| * n_j / N over present gases
    double worstCondensed = 0.0; // largest |mu_c - sum a_ic pi_i| over active condensed species
    double lowestInactive = 0.0; // lowest (mu_c - sum a_ic pi_i) over inactive condensed in range
    double elementError = 0.0; // largest |b_i - b0_i| / max b0
    double charge = 0.0; // sum a_ej n_j
};

// Evaluates the mixture's species afresh at T and p and measures the conditions.
inline OptimalityReport optimality(Mixture& m, double T, double p)
{
    OptimalityReport r;
    const int rows = static_cast<int>(m.elementSymbols.size());
    const bool hasE = rows > 0 && m.elementSymbols.back() == "E";
    // Element rows in use: every row with a non-zero target, plus E while the charge balance is on.
    std::vector<int> used;
    for (int i = 0; i < rows; ++i) {
        if (hasE && i == rows - 1) {
            if (m.chargeBalance)
                used.push_back(i);
        } else if (m.elementTargets[i] > 0.0) {
            used.push_back(i);
        }
    }
    double N = 0.0, nGasSum = 0.0;
    for (int j = 0; j < m.nSpecies; ++j) {
        N += m.species[j]->moles;
        if (j < m.nGas)
            nGasSum += m.species[j]->moles;
    }
    std::vector<double> mu(m.nSpecies);
    for (int j = 0; j < m.nSpecies; ++j) {
        Species& s = *m.species[j];
        s.thermo(T);
        mu[j] = s.gibbsRT;
        if (j < m.nGas && s.moles > 0.0)
            mu[j] += std::log(s.moles / nGasSum) + std::log(p / 1e5);
    }
    // Weighted least-squares element potentials from the present species.
    const int k = static_cast<int>(used.size());
    Eigen::MatrixXd A = Eigen::MatrixXd::Zero(k, k);
    Eigen::VectorXd b = Eigen::VectorXd::Zero(k);
    for (int j = 0; j < m.nSpecies; ++j) {
        const double n = m.species[j]->moles;
        if (n <= 0.0)
            continue;
        const double w = j < m.nGas ? n : N; // condensed conditions are exact equalities
        for (int a = 0; a < k; ++a) {
            b[a] += w * m.elementMatrix[used[a]][j] * mu[j];
            for (int c = 0; c < k; ++c)
                A(a, c) += w * m.elementMatrix[used[a]][j] * m.elementMatrix[used[c]][j];
        }
    }
    Eigen::VectorXd pi = A.ldlt().solve(b);
    auto residual = [&](int j) {
        double v = mu[j];
        for (int a = 0; a < k; ++a)
            v -= m.elementMatrix[used[a]][j] * pi[a];
        return v;
    };
    for (int j = 0; j < m.nSpecies; ++j) {
        const Species& s = *m.species[j];
        if (j < m.nGas) {
            if (s.moles > 0.0)
                r.worstGas = std::max(r.worstGas, std::fabs(residual(j)) * s.moles / N);
        } else if (s.moles > 0.0) {
            r.worstCondensed = std::max(r.worstCondensed, std::fabs(residual(j)));
        } else if (s.minTemperature <= T && T <= s.maxTemperature) {
            r.lowestInactive = std::min(r.lowestInactive, residual(j));
        }
    }
    double maxTarget = 0.0;
    for (int i = 0; i < rows; ++i)
        maxTarget = std::max(maxTarget, m.elementTargets[i]);
    for (int i = 0; i < rows; ++i) {
        double total = 0.0;
        for (int j = 0; j < m.nSpecies; ++j)
            total += m.elementMatrix[i][j] * m.species[j]->moles;
        if (hasE && i == rows - 1)
            r.charge = total;
        else
            r.elementError = std::max(r.elementError, std::fabs(total - m.elementTargets[i]) / maxTarget);
    }
    return r;
}

// The conditions a converged state must meet, with the tolerances the solver works to.
inline void expectOptimal(Mixture& m, double T, double p, const std::string& what)
{
    OptimalityReport r = optimality(m, T, p);
    EXPECT_LE(r.worstGas, 2e-5) << what;
    EXPECT_LE(r.worstCondensed, 1e-4) << what;
    EXPECT_GE(r.lowestInactive, -1e-4) << what;
    EXPECT_LE(r.elementError, 2e-6) << what;
    EXPECT_LE(std::fabs(r.charge), 1e-9) << what;
    m.evaluateSpecies(T); // leave the mixture's species as the solve left them
}
