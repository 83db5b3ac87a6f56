// Finite-rate production rates: detailed balance at a solved equilibrium, the
// equilibrium constant of a reaction with a mole change, third-body efficiencies, a
// species on both sides of a reaction, forward-only reactions and a mixture without
// reactions.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../test_mixtures.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "reaction_records.h"

namespace {

const double R_MOL = 8.31446261815324; // J/(mol K)
const double R_CAL = 1.9872042586; // cal/(mol K)
const std::vector<std::string> ELEMENTS{"H", "O", "E"};
const std::vector<std::string> MECHANISM_SPECIES{"H2", "H", "O", "O2", "OH", "H2O", "HO2", "H2O2"};

// A gaseous mixture of the named species (the rocket case's reactants) with the given
// reactions, built through the mixture's own constructor.
std::shared_ptr<Mixture> kineticMixture(const std::vector<std::string>& names,
                                        std::vector<std::shared_ptr<Reaction>> reactions,
                                        const std::vector<std::string>& elements = ELEMENTS)
{
    auto base = buildMixture(names, {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, elements);
    return std::make_shared<Mixture>(base->nSpecies, base->nReactants, static_cast<uint16_t>(elements.size()),
                                     static_cast<uint16_t>(reactions.size()), base->species, base->reactants, elements,
                                     &reactions);
}

// Sets the state the kinetic solver hands over: amounts, T and p.
void setState(Mixture& m, const std::vector<double>& moles, double T, double p)
{
    for (std::size_t j = 0; j < moles.size(); ++j)
        m.species[j]->moles = moles[j];
    m.moleFractions();
    m.temperature = T;
    m.pressure = p;
}

double rate(const Mixture& m, const std::string& name)
{
    for (uint16_t j = 0; j < m.nSpecies; ++j)
        if (m.speciesNames[j] == name)
            return m.productionRateValues[j];
    ADD_FAILURE() << "no species " << name;
    return 0.0;
}

// G/RT of a fresh record of the named species at T.
double gibbsRT(const std::string& name, double T)
{
    auto s = databaseRecord(name);
    s->thermo(T);
    return s->gibbsRT;
}

class ProductionRates : public ::testing::Test {
protected:
    void SetUp() override
    {
        setEngineMessageHandler([](const EngineMessage&) {});
        flagsSP = 0;
        flagsL = 0;
        saved = {TOL_N, TOL_T, TOL_b};
    }
    void TearDown() override
    {
        TOL_N = saved[0];
        TOL_T = saved[1];
        TOL_b = saved[2];
        setEngineMessageHandler({});
    }
    std::array<double, 3> saved{};
};

TEST_F(ProductionRates, DetailedBalanceAtASolvedEquilibrium)
{
    // A tight solve, so the composition is an equilibrium to far better than the test.
    TOL_N = 1e-14;
    TOL_T = 1e-13;
    TOL_b = 1e-13;
    auto m = kineticMixture(MECHANISM_SPECIES, hydrogenOxygenReactions(MECHANISM_SPECIES));
    ASSERT_EQ(m->nReactions, 27);
    m->setReactantEnthalpy(298.15);
    m->reset();
    for (double p : {53.3172e5, 1e5}) {
        double T = 3800.0;
        ASSERT_TRUE(m->solveEquilibrium(T, p, true));
        for (const auto& s : m->species)
            ASSERT_GT(s->moleFraction, 1e-8) << s->name; // every reaction runs both ways

        // Each reaction alone: its net rate against its forward rate.
        const auto all = m->reactions;
        double worst = 0.0;
        for (std::size_t i = 0; i < all.size(); ++i) {
            m->reactions = {all[i]};
            m->nReactions = 1;
            m->productionRates();
            const std::vector<double> net = m->productionRateValues;
            all[i]->forwardOnly = 1;
            m->productionRates();
            all[i]->forwardOnly = 0;
            const std::vector<double>& forward = m->productionRateValues;
            for (uint16_t j = 0; j < m->nSpecies; ++j) {
                if (forward[j] == 0.0)
                    continue;
                worst = std::max(worst, std::fabs(net[j] / forward[j]));
                EXPECT_LT(std::fabs(net[j] / forward[j]), 1e-8) << "reaction " << i + 1 << ", " << m->speciesNames[j];
            }
        }
        std::printf("p %.4g Pa, T %.2f K: largest |net/forward| over the 27 reactions %.2e\n", p, T, worst);
        m->reactions = all;
        m->nReactions = static_cast<uint16_t>(all.size());
    }
}

TEST_F(ProductionRates, EquilibriumConstantWithAMoleChange)
{
    // H + O2 = HO2 (mole change -1) at 1000 K: Kc = Kp * (R T / 0.1) cm3/mol.
    const std::vector<std::string> names{"H", "O2", "HO2", "H2O"};
    TabulatedReaction custom{{{1, "H"}, {1, "O2"}}, {{1, "HO2"}}, 1e12, 0.5, 1000.0, false, {}};
    auto m = kineticMixture(names, {makeReaction(custom, names)});
    const double T = 1000.0, p = 2e5;
    setState(*m, {0.01, 0.02, 0.005, 0.03}, T, p);
    const double c = p / (R_MOL * T) * 1e-6;
    const double xH = 0.01 / 0.065, xO2 = 0.02 / 0.065, xHO2 = 0.005 / 0.065;

    m->reactions[0]->forwardOnly = 1;
    m->productionRates();
    const double forward = rate(*m, "HO2");
    const double kf = 1e12 * std::sqrt(T) * std::exp(-1000.0 / (R_CAL * T));
    EXPECT_NEAR(forward / (kf * xH * c * xO2 * c * 1000.0), 1.0, 1e-12);
    EXPECT_DOUBLE_EQ(rate(*m, "H"), -forward);
    EXPECT_DOUBLE_EQ(rate(*m, "O2"), -forward);
    EXPECT_EQ(rate(*m, "H2O"), 0.0);

    m->reactions[0]->forwardOnly = 0;
    m->productionRates();
    const double kr = (forward - rate(*m, "HO2")) / (xHO2 * c * 1000.0);
    const double Kp = std::exp(gibbsRT("H", T) + gibbsRT("O2", T) - gibbsRT("HO2", T));
    // One mole fewer: Kc = Kp (R T/p0) with R T/p0 = 8.31446261815324 J/(mol K) * 1000 K
    // / 1e5 Pa = 0.0831446261815324 m3/mol, in the cm3/mol of the rate constants.
    const double Kc = Kp * 83144.6261815324;
    EXPECT_NEAR((kf / kr) / Kc, 1.0, 1e-9);
    // The species are left evaluated at T.
    EXPECT_NEAR(m->species[2]->gibbsRT, gibbsRT("HO2", T), 1e-12);
}

TEST_F(ProductionRates, WholeTemperatureExponentsWithoutActivationEnergy)
{
    // H + O2 = HO2 with A T^b and no activation energy: the forward rate is
    // A T^b [H][O2] for whole and fractional b alike, and the reverse rate keeps
    // kf/kr = Kc (mole change -1: Kc = Kp R T/p0 in cm3/mol).
    const std::vector<std::string> names{"H", "O2", "HO2"};
    const double T = 2500.0, p = 3e5;
    const double c = p / (R_MOL * T) * 1e-6;
    const double xH = 0.01 / 0.035, xO2 = 0.02 / 0.035, xHO2 = 0.005 / 0.035;
    const double Kc = std::exp(gibbsRT("H", T) + gibbsRT("O2", T) - gibbsRT("HO2", T)) * (R_MOL * T / 1e5 * 1e6);
    for (double b : {-2.0, -1.0, 0.0, 1.0, 2.0, -1.5}) {
        TabulatedReaction custom{{{1, "H"}, {1, "O2"}}, {{1, "HO2"}}, 3e13, b, 0.0, false, {}};
        auto m = kineticMixture(names, {makeReaction(custom, names)});
        setState(*m, {0.01, 0.02, 0.005}, T, p);
        m->reactions[0]->forwardOnly = 1;
        m->productionRates();
        const double forward = rate(*m, "HO2");
        const double kf = 3e13 * std::pow(T, b);
        EXPECT_NEAR(forward / (kf * xH * c * xO2 * c * 1000.0), 1.0, 1e-13) << "b " << b;
        m->reactions[0]->forwardOnly = 0;
        m->productionRates();
        const double kr = (forward - rate(*m, "HO2")) / (xHO2 * c * 1000.0);
        EXPECT_NEAR((kf / kr) / Kc, 1.0, 1e-9) << "b " << b;
    }
}

TEST_F(ProductionRates, EqualGibbsEnergiesGiveKcOfOne)
{
    // A = B between two copies of one record: an equimolar mixture does not react.
    auto a = databaseRecord("O2");
    auto b = databaseRecord("O2");
    b->name = "O2 copy";
    std::vector<std::shared_ptr<Reaction>> reactions{std::make_shared<Reaction>(
            1, 1, 0, std::vector<uint16_t>{0}, std::vector<uint16_t>{1}, std::vector<double>{1.0},
            std::vector<double>{1.0}, 0, 3e13, 0.2, 5000.0, std::vector<uint16_t>{}, std::vector<double>{})};
    const std::vector<std::string> elements{"O", "E"};
    Mixture m(2, 0, 2, 1, {a, b}, {}, elements, &reactions);
    setState(m, {0.02, 0.02}, 2500.0, 5e5);
    m.productionRates();
    EXPECT_EQ(m.productionRateValues[0], 0.0);
    EXPECT_EQ(m.productionRateValues[1], 0.0);
    setState(m, {0.03, 0.01}, 2500.0, 5e5);
    m.productionRates();
    EXPECT_LT(m.productionRateValues[0], 0.0);
    EXPECT_DOUBLE_EQ(m.productionRateValues[1], -m.productionRateValues[0]);
}

TEST_F(ProductionRates, ThirdBodyEfficiencies)
{
    // 2 H + M => H2 + M three ways: without a third body, with every species counting
    // once, and with water counting twice.
    const std::vector<std::string> names{"H", "H2", "H2O"};
    const TabulatedReaction plain{{{2, "H"}}, {{1, "H2"}}, 1e18, -1.0, 0.0, false, {}};
    TabulatedReaction allOnce = plain;
    allOnce.thirdBody = true;
    TabulatedReaction waterTwice = allOnce;
    waterTwice.efficiencies = {{"H2O", 2.0}};
    const double T = 2000.0, p = 1e6;
    const double c = p / (R_MOL * T) * 1e-6;
    const double xH = 0.1, xH2O = 0.7;

    std::vector<double> rates;
    for (const TabulatedReaction* r : {&plain, static_cast<const TabulatedReaction*>(&allOnce),
                                       static_cast<const TabulatedReaction*>(&waterTwice)}) {
        auto m = kineticMixture(names, {makeReaction(*r, names, true)});
        setState(*m, {0.1, 0.2, 0.7}, T, p);
        m->productionRates();
        rates.push_back(rate(*m, "H2"));
        EXPECT_DOUBLE_EQ(rate(*m, "H"), -2.0 * rates.back());
    }
    const double kf = 1e18 / T;
    EXPECT_NEAR(rates[0] / (kf * xH * c * xH * c * 1000.0), 1.0, 1e-12);
    EXPECT_NEAR(rates[1] / rates[0] / c, 1.0, 1e-12); // M = sum of [X]
    EXPECT_NEAR(rates[2] / rates[0] / (c * (1.0 + xH2O)), 1.0, 1e-12); // M = [X] + [H2O]

    // Only the water counts, twice: M = 2 [H2O].
    TabulatedReaction onlyWaterCounts = waterTwice;
    onlyWaterCounts.efficiencies = {{"H", 0.0}, {"H2", 0.0}, {"H2O", 2.0}};
    auto w = kineticMixture(names, {makeReaction(onlyWaterCounts, names, true)});
    setState(*w, {0.1, 0.2, 0.7}, T, p);
    w->productionRates();
    EXPECT_NEAR(rate(*w, "H2") / rates[0] / (2.0 * xH2O * c), 1.0, 1e-12);
}

TEST_F(ProductionRates, SpeciesOnBothSidesGetTheDifference)
{
    const std::vector<std::string> names = MECHANISM_SPECIES;
    // 2 H + H2 => 2 H2 (reaction 11 of the file) and H + O2 + H2O = HO2 + H2O (reaction 8).
    const TabulatedReaction hydrogenOnBothSides = mechanismReaction("2H + 1H2 = 2H2");
    const TabulatedReaction waterOnBothSides = mechanismReaction("1H + 1O2 + 1H2O = 1HO2 + 1H2O");
    auto m = kineticMixture(names,
                            {makeReaction(hydrogenOnBothSides, names, true), makeReaction(waterOnBothSides, names)});
    setState(*m, {0.1, 0.05, 0.01, 0.1, 0.02, 0.3, 0.001, 0.0005}, 1800.0, 3e5);
    m->reactions = {m->reactions[0]};
    m->nReactions = 1;
    m->productionRates();
    const double T = 1800.0, c = 3e5 / (R_MOL * T) * 1e-6, total = 0.5815;
    const double q = 9e16 * std::pow(T, -0.6) * std::pow(0.05 / total * c, 2) * (0.1 / total * c) * 1000.0;
    EXPECT_NEAR(rate(*m, "H2") / q, 1.0, 1e-12); // +2q - q
    EXPECT_NEAR(rate(*m, "H") / q, -2.0, 1e-12);

    auto m8 = kineticMixture(names, {makeReaction(waterOnBothSides, names)});
    setState(*m8, {0.1, 0.05, 0.01, 0.1, 0.02, 0.3, 0.001, 0.0005}, 1800.0, 3e5);
    m8->productionRates();
    EXPECT_EQ(rate(*m8, "H2O"), 0.0);
    EXPECT_NE(rate(*m8, "HO2"), 0.0);
    EXPECT_DOUBLE_EQ(rate(*m8, "H"), -rate(*m8, "HO2"));
}

TEST_F(ProductionRates, TheFullMechanismConservesTheElements)
{
    auto m = kineticMixture(MECHANISM_SPECIES, hydrogenOxygenReactions(MECHANISM_SPECIES));
    setState(*m, {0.05, 0.01, 0.002, 0.01, 0.005, 0.03, 0.0001, 0.00005}, 2500.0, 10e5);
    m->productionRates();
    for (std::size_t row = 0; row < 2; ++row) {
        double sum = 0.0, scale = 0.0;
        for (uint16_t j = 0; j < m->nSpecies; ++j) {
            sum += m->elementMatrix[row][j] * m->productionRateValues[j];
            scale += std::fabs(m->elementMatrix[row][j] * m->productionRateValues[j]);
        }
        EXPECT_GT(scale, 0.0);
        EXPECT_LT(std::fabs(sum), 1e-12 * scale) << ELEMENTS[row];
    }
    // Far from equilibrium the radicals recombine: water forms.
    EXPECT_GT(rate(*m, "H2O"), 0.0);
}

TEST_F(ProductionRates, NoReactionsGiveZerosWithoutEvaluatingTheSpecies)
{
    auto m = kineticMixture(MECHANISM_SPECIES, {});
    setState(*m, {0.05, 0.01, 0.002, 0.01, 0.005, 0.03, 0.0001, 0.00005}, 2500.0, 10e5);
    for (auto& s : m->species)
        s->enthalpyRT = 123.0;
    m->productionRateValues.assign(m->nSpecies, 7.0);
    m->productionRates();
    EXPECT_EQ(m->productionRateValues, std::vector<double>(m->nSpecies, 0.0));
    for (const auto& s : m->species)
        EXPECT_EQ(s->enthalpyRT, 123.0) << s->name;
}

} // namespace
