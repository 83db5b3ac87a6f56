// Mixture viscosity, conductivity, heat capacity of the Prandtl number and Prandtl
// number: the mixing rules against hand-worked two-species values, the pure-species fits
// of the public transport file against independent published values, and the
// hydrogen/oxygen rocket states of the published reference case.
#include <cmath>
#include <cstdio>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../test_mixtures.h"
#include "core/flag_codes.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"

namespace {

// A gas with constant Cp/R (H/RT = Cp/R + b1/T) and, where given (> 0), constant
// viscosity and conductivity.
std::shared_ptr<Species> constantGas(const std::string& name, const std::vector<ElementCount>& composition,
                                     double molarMass, double mu, double lambda, double cpR = 3.5, double b1 = 0.0)
{
    std::vector<std::pair<double, double>> vr, cr;
    std::vector<std::array<double, 4>> vf, cf;
    if (mu > 0.0) {
        vr.emplace_back(100.0, 20000.0);
        vf.push_back({0.0, 0.0, 0.0, std::log(mu / 1e-7)});
    }
    if (lambda > 0.0) {
        cr.emplace_back(100.0, 20000.0);
        cf.push_back({0.0, 0.0, 0.0, std::log(lambda / 1e-4)});
    }
    return std::make_shared<Species>(static_cast<uint8_t>(composition.size()), 1, 1, static_cast<uint8_t>(vr.size()),
                                     static_cast<uint8_t>(cr.size()), name, composition, 0.0, molarMass, 0,
                                     std::vector<std::vector<double>>{{cpR}}, std::vector<std::vector<double>>{{0.0}},
                                     std::vector<std::pair<double, double>>{{b1, 0.0}},
                                     std::vector<std::pair<double, double>>{{100.0, 20000.0}}, vr, vf, cr, cf, -1.0);
}

std::shared_ptr<Mixture> gasMixture(const std::vector<std::shared_ptr<Species>>& gases,
                                    const std::vector<double>& moles)
{
    const std::vector<std::string> symbols{"H", "O", "N", "E"};
    auto m = std::make_shared<Mixture>(static_cast<uint16_t>(gases.size()), 0, static_cast<uint16_t>(symbols.size()), 0,
                                       gases, std::vector<std::shared_ptr<Species>>{}, symbols, nullptr);
    for (std::size_t j = 0; j < gases.size(); ++j)
        m->species[j]->moles = moles[j];
    return m;
}

class MixtureTransport : public ::testing::Test {
protected:
    void SetUp() override
    {
        setEngineMessageHandler([](const EngineMessage&) {});
        flagsSP = 0;
        flagsL = 0;
        savedAkl = COND_Akl;
    }
    void TearDown() override
    {
        COND_Akl = savedAkl;
        setEngineMessageHandler({});
    }

    // The hydrogen/oxygen rocket propellant with its transport records, solved at the
    // published chamber pressure from 3800 K; solved tells whether it converged.
    struct Chamber {
        std::shared_ptr<Mixture> m;
        double T;
        bool solved;
    };
    Chamber solvedChamber()
    {
        auto m = hydrogenOxygenRocket(TransportData::With);
        m->setReactantEnthalpy(298.15);
        m->reset();
        double T = 3800.0;
        const bool solved = m->solveEquilibrium(T, 53.3172e5, true);
        return {m, T, solved};
    }

    double savedAkl = 1.1;
};

// Two species, worked by hand from Wilke's rule and the Mason-Saxena form.
struct MixingCase {
    const char* label;
    double M1, M2, mu1, mu2, lambda1, lambda2, x1;
    double mu, lambda, eta; // expected mixture viscosity, conductivity, interaction viscosity
};

TEST_F(MixtureTransport, TwoSpeciesMixingRulesMatchHandWorkedValues)
{
    const MixingCase cases[] = {
            // Equal M and mu: phi = psi = 1, so both rules are plain mole-fraction averages,
            // and eta = 2 mu M / (2 M) = mu.
            {"equal pair", 28.0, 28.0, 2e-5, 2e-5, 0.03, 0.05, 0.25, 2e-5, 0.045, 2e-5},
            // M = 2 and 32 with equal mu: phi12 = 3.086975, phi21 = 0.192936,
            // psi12 = 3.578143, psi21 = 0.575648; eta12 = eta21 = 0.609773 mu.
            {"light/heavy, equal mu", 2.0, 32.0, 1e-5, 1e-5, 0.2, 0.05, 0.5, 1.082947774488102e-05, 0.07541881385094655,
             6.097727471733647e-06},
            // A hydrogen/oxygen-like pair.
            {"light/heavy", 2.0, 32.0, 9e-6, 2e-5, 0.18, 0.026, 0.3, 1.965667922895277e-05, 0.04906291924043003,
             9.007670290771115e-06},
    };
    for (const MixingCase& c : cases) {
        SCOPED_TRACE(c.label);
        auto m = gasMixture({constantGas("A", {{2, "H"}}, c.M1, c.mu1, c.lambda1),
                             constantGas("B", {{2, "O"}}, c.M2, c.mu2, c.lambda2)},
                            {c.x1 * 0.04, (1.0 - c.x1) * 0.04});
        ASSERT_EQ(m->nTransport, 2u);
        m->frozenTransport(1000.0, true);
        EXPECT_NEAR(m->viscosity / c.mu, 1.0, 1e-12);
        EXPECT_NEAR(m->conductivity / c.lambda, 1.0, 1e-12);
        ASSERT_EQ(m->transportWork.size(), 2u);
        EXPECT_NEAR(m->transportWork[0][1] / c.eta, 1.0, 1e-12);
        EXPECT_NEAR(m->transportWork[1][0] / c.eta, 1.0, 1e-12);
        // Frozen heat capacity of the mixture (Cp/R = 3.5 each) and Pr from it.
        EXPECT_NEAR(m->prandtlCp, 8314.51 * 3.5 * 0.04, 1e-9);
        EXPECT_NEAR(m->prandtl, m->prandtlCp * c.mu / c.lambda, 1e-12 * m->prandtl);
        // No reaction between the two: the equilibrium values are the frozen ones.
        m->equilibriumTransport(1000.0, true);
        EXPECT_NEAR(m->conductivity / c.lambda, 1.0, 1e-12);
        EXPECT_NEAR(m->prandtlCp, 8314.51 * 3.5 * 0.04, 1e-9);
    }
    EXPECT_FALSE(flagRaised(flagsSP, code::SP15 | code::SP16 | code::SP11));
}

TEST_F(MixtureTransport, SpeciesWithoutDataAreLeftOutOfTheMixing)
{
    // One species with data: its own viscosity and conductivity, whatever the amount of
    // the species without data beside it; the frozen cp counts both.
    for (double other : {0.0, 0.01, 1.0}) {
        auto m = gasMixture({constantGas("A", {{2, "H"}}, 2.0, 9e-6, 0.18), constantGas("B", {{2, "O"}}, 32.0, 0, 0)},
                            {0.02, other});
        ASSERT_EQ(m->nTransport, 1u);
        m->equilibriumTransport(1500.0, true);
        EXPECT_DOUBLE_EQ(m->viscosity, 9e-6);
        EXPECT_DOUBLE_EQ(m->conductivity, 0.18);
        EXPECT_NEAR(m->prandtlCp, 8314.51 * 3.5 * (0.02 + other), 1e-9);
    }
    // A species with a conductivity fit but no viscosity cannot enter Wilke's rule: it
    // is left out instead of zeroing the mixture viscosity.
    auto m = gasMixture({constantGas("A", {{2, "H"}}, 2.0, 9e-6, 0.18), constantGas("B", {{2, "O"}}, 32.0, 0, 0.03)},
                        {0.02, 0.02});
    m->frozenTransport(1500.0, true);
    EXPECT_DOUBLE_EQ(m->viscosity, 9e-6);
    EXPECT_DOUBLE_EQ(m->conductivity, 0.18);
}

TEST_F(MixtureTransport, GasLeftOutOfTheMixingAboveOnePercentIsReported)
{
    // A with transport fits, B without: the figures are A's alone in both cases, and
    // only the gas in which B is a real part (not a trace) carries the warning. A
    // species with a conductivity fit but no viscosity is left out of the mixing too.
    struct Case {
        const char* label;
        double bShare;
        double bConductivity;
        bool warned;
    };
    const Case cases[] = {{"0.5 % without data", 0.005, 0.0, false},
                          {"50 % without data", 0.5, 0.0, true},
                          {"50 % with a conductivity only", 0.5, 0.03, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        for (bool equilibrium : {false, true}) {
            auto m = gasMixture({constantGas("A", {{2, "H"}}, 2.0, 9e-6, 0.18),
                                 constantGas("B", {{2, "O"}}, 32.0, 0, c.bConductivity)},
                                {(1.0 - c.bShare) * 0.04, c.bShare * 0.04});
            flagsSP = 0;
            if (equilibrium)
                m->equilibriumTransport(1500.0, true);
            else
                m->frozenTransport(1500.0, true);
            EXPECT_EQ(flagRaised(flagsSP, code::SP17), c.warned) << (equilibrium ? "equilibrium" : "frozen");
            EXPECT_FALSE(flagRaised(flagsSP, code::SP11));
            EXPECT_DOUBLE_EQ(m->viscosity, 9e-6);
            EXPECT_DOUBLE_EQ(m->conductivity, 0.18);
        }
    }
}

TEST_F(MixtureTransport, NothingToMixRaisesSP11AndChangesNothing)
{
    for (bool present : {false, true}) {
        // No species with data, or species with data but none present.
        auto m = present
                ? gasMixture({constantGas("A", {{2, "H"}}, 2.0, 9e-6, 0.18), constantGas("B", {{2, "O"}}, 32.0, 0, 0)},
                             {0.0, 0.03})
                : gasMixture({constantGas("A", {{2, "H"}}, 2.0, 0, 0), constantGas("B", {{2, "O"}}, 32.0, 0, 0)},
                             {0.02, 0.03});
        m->viscosity = 11.0;
        m->conductivity = 12.0;
        m->prandtlCp = 13.0;
        m->prandtl = 14.0;
        flagsSP = 0;
        m->frozenTransport(1500.0, true);
        EXPECT_TRUE(flagRaised(flagsSP, code::SP11));
        m->equilibriumTransport(1500.0, true);
        EXPECT_EQ(m->viscosity, 11.0);
        EXPECT_EQ(m->conductivity, 12.0);
        EXPECT_EQ(m->prandtlCp, 13.0);
        EXPECT_EQ(m->prandtl, 14.0);
    }
}

// Pure-species fits of the public transport file against independent published
// figures: nitrogen and oxygen viscosity from the dilute-gas correlation of Lemmon and
// Jacobsen (Int. J. Thermophys. 25, 2004), nitrogen conductivity from the same work,
// water-vapour viscosity (IAPWS 2008) and conductivity (IAPWS 2011), dilute-gas parts,
// each evaluated by hand. Steam is taken from 400 K, its fit starting at 373.2 K.
struct PublishedValue {
    const char* name;
    double T;
    bool viscosity;
    double value; // micro-Pa s or mW/(m K)
    double tolerance;
};

TEST_F(MixtureTransport, PureSpeciesFitsMatchPublishedValues)
{
    const PublishedValue values[] = {
            {"N2", 300.0, true, 17.877, 0.01},
            {"N2", 1000.0, true, 41.540, 0.01},
            {"O2", 300.0, true, 20.631, 0.01},
            {"O2", 1000.0, true, 49.107, 0.01},
            {"H2O", 400.0, true, 13.355, 0.01},
            {"H2O", 1000.0, true, 37.611, 0.01},
            {"N2", 300.0, false, 25.936, 0.01},
            {"N2", 1000.0, false, 65.354, 0.01},
            {"H2O", 600.0, false, 46.276, 0.01},
            // The file's steam conductivity follows the formulation of 1985, which lies
            // 1.5 % above the 2011 one at 1000 K.
            {"H2O", 1000.0, false, 95.805, 0.02},
    };
    for (const PublishedValue& v : values) {
        SCOPED_TRACE(std::string(v.name) + " at " + std::to_string(v.T));
        // The species alone with a partner without data: the mixture gives its own values.
        auto s = constantGas(v.name, {{1, "N"}}, 28.0, 0, 0);
        const auto imported = databaseRecord(v.name, TransportData::With);
        s->viscosityRanges = imported->viscosityRanges;
        s->viscosityFits = imported->viscosityFits;
        s->conductivityRanges = imported->conductivityRanges;
        s->conductivityFits = imported->conductivityFits;
        s->nViscosityIntervals = imported->nViscosityIntervals;
        s->nConductivityIntervals = imported->nConductivityIntervals;
        s->hasTransport = imported->hasTransport;
        auto m = gasMixture({s, constantGas("X", {{2, "O"}}, 32.0, 0, 0)}, {0.03, 0.01});
        m->frozenTransport(v.T, false);
        const double value = v.viscosity ? m->viscosity * 1e6 : m->conductivity * 1e3;
        std::printf("%-4s %6.1f K %-12s %9.4f published %9.4f (%+.2f %%)\n", v.name, v.T,
                    v.viscosity ? "viscosity" : "conductivity", value, v.value, 100.0 * (value / v.value - 1.0));
        EXPECT_LE(std::fabs(value / v.value - 1.0), v.tolerance);
    }
}

// A dissociating pair A2 = 2 A worked by hand. With nu = (-1, 2), r = (2 H_A - H_A2)/(R T)
// and the pair weight W = 5 M1 M2/(3 A* (M1 + M2) eta12) (that is R T/(p D12)), the
// single-reaction system reduces to the textbook forms
//   lambda_r = R r^2 x1 x2/(W (1 + x1)^2),   cp_r = R n r^2 x1 x2/(1 + x1)^2,
// x1 the fraction of A2 and n the moles per kilogram; per mole of A2 the latter is the
// classic R r^2 alpha (1 - alpha^2)/2 of a dissociation degree alpha.
TEST_F(MixtureTransport, DissociatingPairMatchesTheTextbookReactionTerms)
{
    const double R = 8314.51, T = 3000.0, M1 = 2.016, M2 = 1.008;
    const double mu1 = 6e-5, mu2 = 5e-5, lambda1 = 0.5, lambda2 = 1.2;
    const double b1 = 26000.0; // H/RT of A = 2.5 + b1/T: a dissociation enthalpy of 432 kJ/mol
    const double r = 2.0 * (2.5 + b1 / T) - 3.5;
    const double root = 1.0 + std::sqrt(mu1 / mu2) * std::pow(M2 / M1, 0.25);
    const double phi12 = std::sqrt(2.0 * M2 / (M1 + M2)) * root * root * 0.25;
    const double eta12 = 2.0 * mu1 * M2 / ((M1 + M2) * phi12);
    for (double x1 : {0.05, 0.5, 0.9}) {
        SCOPED_TRACE(x1);
        const double n = 0.4;
        auto m = gasMixture({constantGas("A2", {{2, "H"}}, M1, mu1, lambda1, 3.5),
                             constantGas("A", {{1, "H"}}, M2, mu2, lambda2, 2.5, b1)},
                            {x1 * n, (1.0 - x1) * n});
        const double x2 = 1.0 - x1;
        for (double akl : {1.1, 1.0}) {
            COND_Akl = akl;
            const double W = 5.0 * M1 * M2 / (3.0 * akl * (M1 + M2) * eta12);
            m->frozenTransport(T, false);
            const double frozenLambda = m->conductivity, frozenCp = m->prandtlCp;
            EXPECT_NEAR(frozenCp / (R * n * (3.5 * x1 + 2.5 * x2)), 1.0, 1e-12);
            m->equilibriumTransport(T, true);
            const double lambdaR = R * r * r * x1 * x2 / (W * (1.0 + x1) * (1.0 + x1));
            const double cpR = R * n * r * r * x1 * x2 / ((1.0 + x1) * (1.0 + x1));
            EXPECT_NEAR((m->conductivity - frozenLambda) / lambdaR, 1.0, 1e-9);
            EXPECT_NEAR((m->prandtlCp - frozenCp) / cpR, 1.0, 1e-9);
            EXPECT_NEAR(m->prandtl / (m->prandtlCp * m->viscosity / m->conductivity), 1.0, 1e-12);
        }
    }
    EXPECT_FALSE(flagRaised(flagsSP, code::SP15 | code::SP16 | code::SP11));
}

// The formation reactions are built once per set of present species and order of
// their amounts and then reused: one mixture taken through states whose present set and
// leading species change must give at every state the reaction terms of a mixture that
// meets that state first. Species: A2 = 2 A dissociating, B2 = 2 B (another element),
// and AB formed from both.
TEST_F(MixtureTransport, ReusedMixtureGivesTheReactionTermsOfAFreshOne)
{
    const double T = 3000.0;
    const auto species = [] {
        return std::vector<std::shared_ptr<Species>>{
                constantGas("A2", {{2, "H"}}, 2.016, 6e-5, 0.5, 3.5),
                constantGas("A", {{1, "H"}}, 1.008, 5e-5, 1.2, 2.5, 26000.0),
                constantGas("B2", {{2, "O"}}, 32.0, 8e-5, 0.2, 3.5),
                constantGas("B", {{1, "O"}}, 16.0, 7e-5, 0.3, 2.5, 30000.0),
                constantGas("AB", {{1, "H"}, {1, "O"}}, 17.0, 7e-5, 0.3, 4.0, 5000.0)};
    };
    // Moles per state: all present, A leading, B absent, AB absent, back to the first.
    const std::vector<std::vector<double>> states{{0.20, 0.10, 0.05, 0.02, 0.03},
                                                  {0.02, 0.30, 0.05, 0.02, 0.03},
                                                  {0.20, 0.10, 0.05, 0.00, 0.03},
                                                  {0.20, 0.10, 0.05, 0.02, 0.00},
                                                  {0.20, 0.10, 0.05, 0.02, 0.03}};
    auto reused = gasMixture(species(), states[0]);
    for (std::size_t s = 0; s < states.size(); ++s) {
        SCOPED_TRACE(s);
        for (std::size_t j = 0; j < states[s].size(); ++j)
            reused->species[j]->moles = states[s][j];
        reused->equilibriumTransport(T, true);
        auto fresh = gasMixture(species(), states[s]);
        fresh->equilibriumTransport(T, true);
        EXPECT_EQ(reused->conductivity, fresh->conductivity);
        EXPECT_EQ(reused->prandtlCp, fresh->prandtlCp);
        EXPECT_EQ(reused->prandtl, fresh->prandtl);
    }
    EXPECT_FALSE(flagRaised(flagsSP, code::SP15 | code::SP16 | code::SP11));
}

// The published hydrogen/oxygen rocket case: chamber and expansion states.
struct RocketState {
    const char* label;
    double pressureRatio; // pc/p
    double cp; // published equilibrium cp, kJ/(kg K)
};

TEST_F(MixtureTransport, HydrogenOxygenRocketStates)
{
    const double PC = 53.3172e5;
    const RocketState states[] = {{"chamber", 1.0, 8.3253},
                                  {"pc/p 10", 10.0, 4.8799},
                                  {"pc/p 100", 100.0, 3.4348},
                                  {"pc/p 1000", 1000.0, 2.9626}};
    auto m = hydrogenOxygenRocket(TransportData::With);
    ASSERT_EQ(m->nTransport, 6u); // H, H2, H2O, O, OH, O2; HO2, H2O2, O3 have no data
    m->setReactantEnthalpy(298.15);
    m->reset();
    double T = 3800.0;
    for (const RocketState& st : states) {
        SCOPED_TRACE(st.label);
        m->enableIons();
        ASSERT_TRUE(m->solveEquilibrium(T, PC / st.pressureRatio, st.pressureRatio == 1.0));
        // The mixture holds its equilibrium cp; the frozen Prandtl number takes the
        // frozen one all the same.
        m->equilibriumProperties(T);
        const double equilibriumCp = m->cp;

        m->frozenTransport(T, true);
        const double frozenLambda = m->conductivity, frozenCp = m->prandtlCp, frozenPr = m->prandtl;
        const double mu = m->viscosity;
        m->equilibriumTransport(T, true);
        const double reactionLambda = m->conductivity - frozenLambda;
        EXPECT_EQ(m->viscosity, mu);
        m->equilibriumProperties(T);
        std::printf("%-9s T %7.2f  mu %.4e  lambda frozen %.4f reaction %.4f  cp frozen %.4f eq %.5f "
                    "(thermo %.5f, published %.4f)  Pr frozen %.4f eq %.4f\n",
                    st.label, T, mu, frozenLambda, reactionLambda, frozenCp / 1000.0, m->prandtlCp / 1000.0,
                    m->cp / 1000.0, st.cp, frozenPr, m->prandtl);

        // The heat capacity of the equilibrium Prandtl number is the equilibrium cp.
        EXPECT_NEAR(m->prandtlCp / m->cp, 1.0, 1e-9);
        EXPECT_NEAR(m->prandtlCp / 1000.0 / st.cp, 1.0, 1e-4);
        EXPECT_GT(m->prandtl, 0.5);
        EXPECT_LT(m->prandtl, 0.9);
        EXPECT_GT(frozenPr, 0.5);
        EXPECT_LT(frozenPr, 0.9);
        EXPECT_GE(reactionLambda, 0.0);
        EXPECT_NEAR(frozenPr, frozenCp * mu / frozenLambda, 1e-12);
        m->frozenProperties(T);
        EXPECT_NEAR(frozenCp / m->cp, 1.0, 1e-12);
        EXPECT_NEAR(m->prandtlCp / equilibriumCp, 1.0, 1e-9);
        if (st.pressureRatio <= 10.0) {
            // Dissociated gas: the reaction conductivity is of the order of the frozen one.
            EXPECT_GT(reactionLambda, 0.3 * frozenLambda);
        } else if (st.pressureRatio >= 1000.0) {
            // Recombined gas: hardly anything left to carry reaction heat.
            EXPECT_LT(reactionLambda, 0.01 * frozenLambda);
        }
    }
    EXPECT_FALSE(flagRaised(flagsSP, code::SP15 | code::SP16 | code::SP11));
}

TEST_F(MixtureTransport, SpeciesAreLeftAtTheLocalTemperature)
{
    auto [m, T, solved] = solvedChamber();
    ASSERT_TRUE(solved);
    m->equilibriumProperties(T);
    const double cp = m->cp, gamma = m->gamma;
    m->equilibriumTransport(T, true);
    for (const auto& s : m->species) {
        auto fresh = std::make_shared<Species>(*s);
        fresh->thermo(T);
        EXPECT_EQ(s->enthalpyRT, fresh->enthalpyRT) << s->name;
        EXPECT_EQ(s->cpR, fresh->cpR) << s->name;
    }
    // So the chamber properties computed next are those of the chamber.
    m->equilibriumProperties(T);
    EXPECT_DOUBLE_EQ(m->cp, cp);
    EXPECT_DOUBLE_EQ(m->gamma, gamma);
}

TEST_F(MixtureTransport, FailedReactionTermsRaiseTheirCodeAndKeepTheFrozenValue)
{
    // A zero interaction parameter makes every pair weight infinite: the conductivity
    // system cannot be solved, the heat capacity one still can.
    {
        auto [m, T, solved] = solvedChamber();
        EXPECT_TRUE(solved);
        COND_Akl = 0.0;
        m->frozenTransport(T, true);
        const double frozenLambda = m->conductivity;
        m->equilibriumTransport(T, true);
        EXPECT_TRUE(flagRaised(flagsSP, code::SP15));
        EXPECT_FALSE(flagRaised(flagsSP, code::SP16));
        EXPECT_EQ(m->conductivity, frozenLambda);
        m->equilibriumProperties(T);
        EXPECT_NEAR(m->prandtlCp / m->cp, 1.0, 1e-9);
        EXPECT_NEAR(m->prandtl, m->prandtlCp * m->viscosity / m->conductivity, 1e-12);
        // Once raised, the run keeps the frozen values.
        COND_Akl = savedAkl;
        m->frozenTransport(T, false);
        const double frozenCp = m->prandtlCp;
        m->equilibriumTransport(T, true);
        EXPECT_EQ(m->conductivity, frozenLambda);
        EXPECT_EQ(m->prandtlCp, frozenCp);
    }
    // A species whose enthalpy is not a number: the heat capacity system gives none.
    {
        flagsSP = 0;
        auto [m, T, solved] = solvedChamber();
        EXPECT_TRUE(solved);
        Species* ho2 = const_cast<Species*>(findSpecies(*m, "HO2"));
        ASSERT_NE(ho2, nullptr);
        ASSERT_GT(ho2->moles, 0.0);
        for (auto& b : ho2->integrationConstants)
            b.first = std::numeric_limits<double>::quiet_NaN();
        m->frozenTransport(T, false);
        const double frozenCp = m->prandtlCp;
        m->equilibriumTransport(T, true);
        EXPECT_TRUE(flagRaised(flagsSP, code::SP16));
        EXPECT_FALSE(flagRaised(flagsSP, code::SP15)); // HO2 has no transport data
        EXPECT_EQ(m->prandtlCp, frozenCp);
        EXPECT_TRUE(std::isfinite(m->prandtl));
    }
}

TEST_F(MixtureTransport, HeldPhasePairAddsNoReactionTerms)
{
    auto [m, T, solved] = solvedChamber();
    ASSERT_TRUE(solved);
    m->frozenTransport(T, false);
    const double lambda = m->conductivity, cp = m->prandtlCp;
    m->phasePairActive = true;
    m->equilibriumTransport(T, true);
    EXPECT_EQ(m->conductivity, lambda);
    EXPECT_EQ(m->prandtlCp, cp);
}

} // namespace
