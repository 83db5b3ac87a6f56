// Ions: the charge balance on while both signs are significant, switched off when one
// dies out in the expansion, and back on for the next station.
#include <cmath>

#include <gtest/gtest.h>

#include "../equilibrium_checks.h"
#include "../test_mixtures.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"

namespace {

const std::vector<std::string> NEUTRALS = {"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2", "O3"};
const std::vector<std::string> IONS
        = {"e-", "H+", "H-", "H2+", "H2-", "H2O+", "H3O+", "HO2-", "O+", "O-", "O2+", "O2-", "OH+", "OH-"};

const std::vector<std::string> ALUMINIUM_FLAME
        = {"AL",  "ALO",  "AL2O", "AL2O2", "ALO2", "O",   "O2",       "e-",
           "AL+", "ALO+", "ALO-", "ALO2-", "O-",   "O2-", "AL2O3(a)", "AL2O3(L)"};

class Ions : public QuietEngineTest {
protected:
    static std::shared_ptr<Mixture> mixture(bool withIons, double oxidiserToFuel)
    {
        std::vector<std::string> names = NEUTRALS;
        if (withIons)
            names.insert(names.end(), IONS.begin(), IONS.end());
        const double fuel = 1.0 / (1.0 + oxidiserToFuel);
        auto m = buildMixture(names, {{"H2(L)", fuel}, {"O2(L)", 1.0 - fuel}}, {"H", "O", "E"});
        m->setReactantEnthalpy(298.15);
        m->reset();
        return m;
    }
    // Aluminium burning in oxygen (1:1 by mass), ready for its chamber solve.
    static std::shared_ptr<Mixture> aluminiumFlame()
    {
        auto m = buildMixture(ALUMINIUM_FLAME, {{"AL(cr)", 0.5}, {"O2(L)", 0.5}}, {"Al", "O", "E"});
        m->setReactantEnthalpy(298.15);
        m->reset();
        return m;
    }
    static double electrons(const Mixture& m)
    {
        const Species* e = findSpecies(m, "e-");
        return e ? e->moles : 0.0;
    }
};

// Aluminium burning in oxygen is hot enough (about 4000 K) for Al+ and free electrons
// to matter: the charge balance stays on, and the ionised products stay neutral overall.
TEST_F(Ions, ChargeBalanceHoldsInAHotAluminiumFlame)
{
    auto m = aluminiumFlame();
    ASSERT_EQ(flagsL.load(), 0u);
    double T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, 1e6, true));
    EXPECT_TRUE(m->chargeBalance);
    EXPECT_GT(T, 3500.0);
    EXPECT_GT(electrons(*m) / m->totalMoles, 1e-5);
    EXPECT_GT(findSpecies(*m, "AL+")->moles, 0.0);
    expectOptimal(*m, T, 1e6, "aluminium flame");
    for (double ratio : {2.0, 10.0, 100.0}) {
        m->enableIons();
        ASSERT_TRUE(m->solveEquilibrium(T, 1e6 / ratio, false));
        EXPECT_TRUE(m->chargeBalance);
        expectOptimal(*m, T, 1e6 / ratio, "aluminium expansion");
    }
    // With ions left out the same flame is hotter (ionisation takes energy).
    auto neutral = buildMixture({"AL", "ALO", "AL2O", "AL2O2", "ALO2", "O", "O2", "AL2O3(a)", "AL2O3(L)"},
                                {{"AL(cr)", 0.5}, {"O2(L)", 0.5}}, {"Al", "O", "E"});
    neutral->setReactantEnthalpy(298.15);
    neutral->reset();
    double Tn = T_SEED;
    ASSERT_TRUE(neutral->solveEquilibrium(Tn, 1e6, true));
    EXPECT_FALSE(neutral->chargeBalance);
    m->reset();
    T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, 1e6, true));
    EXPECT_GT(Tn, T);
    EXPECT_NEAR(T / Tn, 1.0, 0.02);
}

// The ion balance of the convergence check: a converged flame whose negative charges are
// put out of balance is brought back to neutral by the electron potential alone; with no
// correction allowed the imbalance stays and SP12 says so.
TEST_F(Ions, IonBalanceRestoresNeutrality)
{
    for (uint32_t corrections : {100u, 0u}) {
        auto m = aluminiumFlame();
        double T = T_SEED;
        ASSERT_TRUE(m->solveEquilibrium(T, 1e6, true));
        ASSERT_TRUE(m->chargeBalance);
        const int e = static_cast<int>(m->elementSymbols.size()) - 1;
        auto charge = [&] {
            double sum = 0.0;
            for (int j = 0; j < m->nGas; ++j)
                sum += m->elementMatrix[e][j] * m->species[j]->moles;
            return sum;
        };
        // Half again as many of every negative species.
        for (int j = 0; j < m->nGas; ++j) {
            Species& s = *m->species[j];
            if (m->elementMatrix[e][j] > 0.0) {
                s.logMoles += std::log(1.5);
                s.moles *= 1.5;
            }
        }
        const double electrons = findSpecies(*m, "e-")->moles;
        ASSERT_GT(charge(), 0.1 * electrons);
        flagsSP = 0;
        MAX_ITER_IONS = corrections;
        m->checkConvergence();
        MAX_ITER_IONS = 100;
        if (corrections > 0) {
            EXPECT_LT(std::fabs(charge()), 1e-3 * electrons);
            EXPECT_FALSE(flagRaised(flagsSP, code::SP12));
        } else {
            EXPECT_GT(charge(), 0.1 * electrons);
            EXPECT_TRUE(flagRaised(flagsSP, code::SP12));
        }
    }
}

// In hydrogen/oxygen products the ions are far below the significance limit: the
// electron row is dropped during the solve, the ions get exactly zero moles, and each
// new station puts the row back before solving.
TEST_F(Ions, InsignificantIonsSwitchTheBalanceOff)
{
    auto plain = mixture(false, 7.94);
    auto ionised = mixture(true, 7.94);
    ASSERT_EQ(flagsL.load(), 0u);
    EXPECT_TRUE(ionised->chargeBalance);
    EXPECT_EQ(ionised->nElements, 3);
    double T0 = T_SEED, T1 = T_SEED;
    ASSERT_TRUE(plain->solveEquilibrium(T0, 1e5, true));
    ASSERT_TRUE(ionised->solveEquilibrium(T1, 1e5, true));
    EXPECT_FALSE(ionised->chargeBalance);
    EXPECT_EQ(ionised->nElements, 2);
    for (const std::string& name : IONS) {
        const Species* s = findSpecies(*ionised, name);
        EXPECT_EQ(s->moles, 0.0) << name;
    }
    EXPECT_NEAR(T1, T0, 1e-3 * T0);
    expectOptimal(*ionised, T1, 1e5, "ions off");

    ionised->enableIons();
    EXPECT_TRUE(ionised->chargeBalance);
    EXPECT_EQ(ionised->nElements, 3);
    EXPECT_EQ(findSpecies(*ionised, "e-")->moles, ION_RESET);
    ASSERT_TRUE(ionised->solveEquilibrium(T1, 1e5 / 10.0, false));
    expectOptimal(*ionised, T1, 1e4, "next station");
    EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
}

TEST_F(Ions, DerivativesDropAnInsignificantElectronRow)
{
    auto m = aluminiumFlame();
    double T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, 1e6, true));
    ASSERT_TRUE(m->chargeBalance);
    const uint16_t size = m->systemSize;
    // Every cation insignificant: the derivative step takes the electron row out.
    for (const auto& s : m->species) {
        if (s->elementCounts({"E"})[0] < 0.0)
            s->logMoles = m->logMoles + MIN_ION_LOG_N - 1.0;
    }
    m->derivatives();
    EXPECT_FALSE(m->chargeBalance);
    EXPECT_EQ(m->systemSize, size - 1);
    EXPECT_TRUE(std::isfinite(m->dlnVdlnP));
    EXPECT_TRUE(std::isfinite(m->dlnVdlnT));
}

} // namespace
