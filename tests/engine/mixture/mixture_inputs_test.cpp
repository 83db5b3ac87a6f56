// Propellant inputs that have no meaningful equilibrium, and inputs that must not change
// it: negative, undefined or absent reactant amounts, reactant temperatures outside
// their data or below 0 K, a product species listed more than once, and products made
// of elements that no reactant brings. Each is measured on the published hydrogen/oxygen
// rocket case (chamber 3383.84 K at 53.3172 bar).
#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../test_mixtures.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/mixture.h"
#include "engine/reaction.h"

namespace {

const double PC = 53.3172e5;
const double PUBLISHED_TC = 3383.84;
const std::vector<std::string> REFERENCE_PRODUCTS{"H",  "HO2", "H2", "H2O",    "H2O2",   "O",
                                                  "OH", "O2",  "O3", "H2O(L)", "H2O(cr)"};

class MixtureInputs : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsL = 0;
        flagsSP = 0;
        setEngineMessageHandler([this](const EngineMessage& m) { messages.push_back(m); });
    }
    void TearDown() override { setEngineMessageHandler({}); }

    // The given products with reactants of the given amounts (kmol per kg, as the
    // propellant loader hands them over), elements ending with the electron.
    static std::shared_ptr<Mixture> build(const std::vector<std::string>& products,
                                          const std::vector<std::pair<std::string, double>>& reactantMoles,
                                          const std::vector<std::string>& elements = {"H", "O", "E"},
                                          const std::vector<std::shared_ptr<Reaction>>* reactions = nullptr)
    {
        std::vector<std::shared_ptr<Species>> reactants;
        for (const auto& [name, moles] : reactantMoles) {
            auto r = databaseRecord(name);
            r->moles = moles;
            reactants.push_back(r);
        }
        const auto species = databaseRecords(products);
        return std::make_shared<Mixture>(static_cast<uint16_t>(species.size()), static_cast<uint16_t>(reactants.size()),
                                         static_cast<uint16_t>(elements.size()),
                                         reactions ? static_cast<uint16_t>(reactions->size()) : 0, species, reactants,
                                         elements, reactions);
    }
    // The published case's liquid reactants at O/F 5.55157 (mass fractions over the
    // molar masses of the records).
    static std::vector<std::pair<std::string, double>> referenceReactants(double hydrogenShare = 0.15263517)
    {
        return {{"H2(L)", hydrogenShare / 2.01588}, {"O2(L)", (1.0 - hydrogenShare) / 31.9988}};
    }
    // Chamber solve from the usual seed; T is NaN when the solve fails.
    static double chamber(Mixture& m)
    {
        m.reset();
        double T = T_SEED;
        return m.solveEquilibrium(T, PC, true) ? T : std::numeric_limits<double>::quiet_NaN();
    }

    std::vector<EngineMessage> messages;
};

TEST_F(MixtureInputs, ReferenceChamber)
{
    auto m = build(REFERENCE_PRODUCTS, referenceReactants());
    m->setReactantEnthalpy(298.15);
    EXPECT_NEAR(chamber(*m), PUBLISHED_TC, 0.5);
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(MixtureInputs, NegativeOrUndefinedReactantAmountsAreRefused)
{
    // Mass fractions -0.2 and 1.2 sum to 1, but no propellant holds a negative mass.
    struct Case {
        const char* label;
        double hydrogen, oxygen;
        const char* named;
    };
    const Case cases[] = {{"-0.2 and 1.2", -0.2 / 2.01588, 1.2 / 31.9988, "H2(L)"},
                          {"not a number", 0.1, std::nan(""), "O2(L)"},
                          {"infinite", std::numeric_limits<double>::infinity(), 0.02, "H2(L)"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        flagsL = 0;
        flagsSP = 0;
        messages.clear();
        auto m = build(REFERENCE_PRODUCTS, {{"H2(L)", c.hydrogen}, {"O2(L)", c.oxygen}});
        EXPECT_TRUE(flagRaised(flagsL, code::L07));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].text.find(c.named), std::string::npos) << messages[0].text;
        // Whoever solves it anyway gets no temperature.
        m->setReactantEnthalpy(298.15);
        double T = 3000.0;
        m->reset();
        EXPECT_FALSE(m->solveEquilibrium(T, PC, true));
        EXPECT_TRUE(flagRaised(flagsSP, code::SP10));
        EXPECT_EQ(T, 3000.0);
    }
}

TEST_F(MixtureInputs, NoReactantOrNoAmountHasNoEquilibrium)
{
    // The chamber solve fails the way the nozzle run of the same mixture does (SP10),
    // instead of reporting a temperature with mole fractions that are not numbers.
    const std::vector<std::pair<std::string, double>> zero{{"H2(L)", 0.0}, {"O2(L)", 0.0}};
    for (const auto& reactants : {std::vector<std::pair<std::string, double>>{}, zero}) {
        SCOPED_TRACE(reactants.empty() ? "no reactant" : "all amounts zero");
        flagsSP = 0;
        auto m = build(REFERENCE_PRODUCTS, reactants);
        m->setReactantEnthalpy(298.15);
        for (double seed : {300.0, 3000.0, 3800.0}) {
            m->reset();
            double T = seed;
            EXPECT_FALSE(m->solveEquilibrium(T, PC, true)) << "from " << seed << " K";
            EXPECT_TRUE(flagRaised(flagsSP, code::SP10));
            EXPECT_EQ(T, seed);
            EXPECT_FALSE(m->solveEquilibrium(T, 1e5, false)) << "from " << seed << " K";
        }
    }
}

TEST_F(MixtureInputs, ReactantOutsideItsFitKeepsItsWarningAndBelowZeroIsRefused)
{
    // Gaseous hydrogen and oxygen, whose fits start at 200 K, given at 10 K: the
    // enthalpy is extrapolated from the fit, and the warning that says so must outlive
    // the chamber iterations, which clear the range warnings of their own intermediate
    // temperatures.
    auto m = build(REFERENCE_PRODUCTS, {{"H2", 0.15263517 / 2.01588}, {"O2", 0.84736483 / 31.9988}});
    m->setReactantEnthalpy(10.0);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP01));
    flagsSP = 0; // a run starts with a clean word
    const double T = chamber(*m);
    EXPECT_TRUE(std::isfinite(T));
    EXPECT_TRUE(flagRaised(flagsSP, code::SP01));
    // Inside the fit the warning goes away with the next reactant temperature.
    m->setReactantEnthalpy(298.15);
    flagsSP = 0;
    EXPECT_TRUE(std::isfinite(chamber(*m)));
    EXPECT_FALSE(flagRaised(flagsSP, code::SP01));

    // No temperature at or below 0 K, nor one that is not a number.
    for (double bad : {0.0, -5.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        SCOPED_TRACE(bad);
        flagsL = 0;
        flagsSP = 0;
        messages.clear();
        m->setReactantEnthalpy(bad);
        EXPECT_TRUE(flagRaised(flagsL, code::L07));
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].text.find("temperature"), std::string::npos) << messages[0].text;
        EXPECT_TRUE(std::isnan(chamber(*m)));
        EXPECT_TRUE(flagRaised(flagsSP, code::SP10));
    }
    // A valid temperature makes the mixture usable again.
    flagsL = 0;
    m->setReactantEnthalpy(298.15);
    EXPECT_TRUE(std::isfinite(chamber(*m)));
    EXPECT_EQ(flagsL.load(), 0u);
}

TEST_F(MixtureInputs, RepeatedProductsCountOnce)
{
    // Each copy of a species would add its own mixing entropy: listed twice, H2 and H2O
    // raised the chamber temperature by 52 K, three times by 93 K.
    auto reference = build(REFERENCE_PRODUCTS, referenceReactants());
    reference->setReactantEnthalpy(298.15);
    const double Tc = chamber(*reference);
    ASSERT_NEAR(Tc, PUBLISHED_TC, 0.5);
    for (int copies : {2, 3}) {
        SCOPED_TRACE(copies);
        std::vector<std::string> products = REFERENCE_PRODUCTS;
        for (int k = 1; k < copies; ++k) {
            products.push_back("H2");
            products.push_back("H2O");
        }
        auto m = build(products, referenceReactants());
        m->setReactantEnthalpy(298.15);
        EXPECT_EQ(m->nSpecies, REFERENCE_PRODUCTS.size());
        EXPECT_EQ(m->speciesNames.size(), REFERENCE_PRODUCTS.size());
        EXPECT_NEAR(chamber(*m), Tc, 1e-6 * Tc);
    }

    // A reaction given over the list with the repeat refers to the one species kept:
    // H2 + O = H2O over H2, O, H2O, H2 (again), written with the repeated position.
    auto reaction = std::make_shared<Reaction>(2, 1, 0, std::vector<uint16_t>{3, 1}, std::vector<uint16_t>{2},
                                               std::vector<double>{1.0, 1.0}, std::vector<double>{1.0}, 0, 1e13, 0.0,
                                               0.0, std::vector<uint16_t>{}, std::vector<double>{});
    const std::vector<std::shared_ptr<Reaction>> reactions{reaction};
    auto m = build({"H2", "O", "H2O", "H2"}, referenceReactants(), {"H", "O", "E"}, &reactions);
    ASSERT_EQ(m->nSpecies, 3);
    EXPECT_EQ(m->speciesNames, (std::vector<std::string>{"H2", "O", "H2O"}));
    EXPECT_EQ(m->reactions[0]->netCoefficients, (std::vector<double>{-1.0, -1.0, 1.0}));
}

TEST_F(MixtureInputs, SpeciesOfElementsNoReactantBringsHaveNoMoles)
{
    // The reference products plus species of nitrogen, aluminium and potassium, which
    // the reactants (or a reactant of zero amount) do not contain: those species take
    // exactly no moles, and the chamber is the reference chamber.
    std::vector<std::string> products = REFERENCE_PRODUCTS;
    const std::vector<std::string> foreign{"N2", "NO", "NH3", "HNO", "AL", "ALO", "ALOH", "AL2O3(L)", "KOH", "K+"};
    products.insert(products.end(), foreign.begin(), foreign.end());
    products.push_back("e-"); // ions of both signs: the electron row is kept at first
    auto reference = build(REFERENCE_PRODUCTS, referenceReactants());
    reference->setReactantEnthalpy(298.15);
    const double Tc = chamber(*reference);
    for (bool zeroNitrogen : {false, true}) {
        SCOPED_TRACE(zeroNitrogen ? "with a nitrogen reactant of zero amount" : "without a nitrogen reactant");
        auto reactants = referenceReactants();
        if (zeroNitrogen)
            reactants.push_back({"N2", 0.0});
        auto m = build(products, reactants, {"H", "O", "N", "Al", "K", "E"});
        m->setReactantEnthalpy(298.15);
        const double T = chamber(*m);
        EXPECT_NEAR(T, Tc, 1e-5 * Tc);
        for (const std::string& name : foreign) {
            const Species* s = findSpecies(*m, name);
            ASSERT_NE(s, nullptr) << name;
            EXPECT_EQ(s->moles, 0.0) << name;
            EXPECT_EQ(s->moleFraction, 0.0) << name;
        }
        // Expanded at the chamber entropy they stay absent.
        double Te = T;
        ASSERT_TRUE(m->solveEquilibrium(Te, 1e5, false));
        for (const std::string& name : foreign)
            EXPECT_EQ(findSpecies(*m, name)->moles, 0.0) << name << " at 1 bar";
    }
}

} // namespace
