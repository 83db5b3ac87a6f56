// Mixture construction and the reaction record: species order, starting amounts,
// reactant totals, the refusals with their messages, net coefficients.
#include <cmath>

#include <gtest/gtest.h>

#include "../test_mixtures.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/mixture.h"
#include "engine/reaction.h"

namespace {

class MixtureConstruction : public ::testing::Test {
protected:
    void SetUp() override
    {
        flagsL = 0;
        flagsSP = 0;
        setEngineMessageHandler([this](const EngineMessage& m) { messages.push_back(m); });
    }
    void TearDown() override { setEngineMessageHandler({}); }

    // A species of the given composition and phase with a constant Cp.
    static std::shared_ptr<Species> simple(const std::string& name, std::vector<ElementCount> composition,
                                           uint8_t phase = 0, double molarMass = 10.0)
    {
        return std::make_shared<Species>(
                static_cast<uint8_t>(composition.size()), 1, 1, 0, 0, name, composition, 0.0, molarMass, phase,
                std::vector<std::vector<double>>{{3.5}}, std::vector<std::vector<double>>{{0.0}},
                std::vector<std::pair<double, double>>{{0.0, 0.0}},
                std::vector<std::pair<double, double>>{{200.0, 6000.0}}, std::vector<std::pair<double, double>>{},
                std::vector<std::array<double, 4>>{}, std::vector<std::pair<double, double>>{},
                std::vector<std::array<double, 4>>{}, -1.0);
    }
    static Mixture make(const std::vector<std::shared_ptr<Species>>& sp,
                        const std::vector<std::shared_ptr<Species>>& reac = {},
                        std::vector<std::string> elements = {"H", "O", "E"},
                        const std::vector<std::shared_ptr<Reaction>>* reactions = nullptr)
    {
        return Mixture(static_cast<uint16_t>(sp.size()), static_cast<uint16_t>(reac.size()),
                       static_cast<uint16_t>(elements.size()), reactions ? static_cast<uint16_t>(reactions->size()) : 0,
                       sp, reac, elements, reactions);
    }

    std::vector<EngineMessage> messages;
};

TEST_F(MixtureConstruction, DefaultMixtureIsEmptyAndRaisesL07)
{
    Mixture m;
    EXPECT_TRUE(flagRaised(flagsL, code::L07));
    EXPECT_EQ(m.nSpecies, 0);
    EXPECT_EQ(m.nGas, 1);
    EXPECT_EQ(m.systemSize, 1);
    EXPECT_TRUE(m.chargeBalance);
    EXPECT_FALSE(m.fixedEnthalpy);
    EXPECT_EQ(m.dlnVdlnP, -1.0);
    EXPECT_EQ(m.temperature, 1.0);

    // A caller that uses it anyway reads nothing that is not there (its nGas of 1 names
    // no species) and the solve fails.
    m.reset();
    m.enableIons();
    m.enthalpyEntropy(300.0);
    m.frozenProperties(300.0);
    m.equilibriumProperties(300.0);
    m.characteristicVelocity();
    m.setReactantEnthalpy(300.0);
    m.updateReactantTotals(300.0);
    m.moleFractions();
    double T = 3000.0;
    EXPECT_FALSE(m.solveEquilibrium(T, 1e6, true));
    EXPECT_EQ(T, 3000.0);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP10));
}

TEST_F(MixtureConstruction, GasesFirstThenCondensedInReverseOrder)
{
    Mixture m = make({simple("A", {{2, "H"}}), simple("B", {{2, "H"}, {1, "O"}}, 1), simple("C", {{1, "O"}}),
                      simple("D", {{1, "H"}}, 2)});
    EXPECT_EQ(m.speciesNames, (std::vector<std::string>{"A", "C", "D", "B"}));
    EXPECT_EQ(m.nGas, 2);
    EXPECT_EQ(m.species[2]->name, "D");
    EXPECT_EQ(m.elementMatrix[0], (std::vector<double>{2, 0, 1, 2}));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(flagsL.load(), 0u);
}

TEST_F(MixtureConstruction, StartingCompositionAndReactantTotals)
{
    auto h2 = simple("H2r", {{2, "H"}}, 0, 2.0);
    auto o2 = simple("O2r", {{2, "O"}}, 0, 32.0);
    h2->moles = 0.2;
    o2->moles = 0.025;
    Mixture m
            = make({simple("H2", {{2, "H"}}), simple("H2O", {{2, "H"}, {1, "O"}}), simple("O2", {{2, "O"}})}, {h2, o2});
    for (int j = 0; j < 3; ++j)
        EXPECT_DOUBLE_EQ(m.species[j]->moles, INITIAL_MIX_N / 3.0);
    EXPECT_DOUBLE_EQ(m.totalMoles, INITIAL_MIX_N);
    EXPECT_DOUBLE_EQ(m.elementTargets[0], 0.4);
    EXPECT_DOUBLE_EQ(m.elementTargets[1], 0.05);
    EXPECT_EQ(m.nElements, 2) << "no ions: the electron row is dropped silently";
    EXPECT_FALSE(m.chargeBalance);
    EXPECT_EQ(m.systemSize, 4);
    // h(298.15) of a constant Cp/R = 3.5 species with b1 = 0 is 3.5 R T.
    EXPECT_NEAR(m.enthalpyTarget, 0.225 * 3.5 * DEF_REAC_T, 1e-9);
    EXPECT_EQ(m.entropyTarget, 0.0);
}

TEST_F(MixtureConstruction, RefusalsWithTheirMessages)
{
    struct Case {
        std::vector<std::shared_ptr<Species>> species;
        uint32_t code;
        const char* text;
    } cases[] = {
            {{simple("X", {{1, "H"}}, 1), simple("Y", {{1, "O"}}, 1)},
             code::L02,
             "At least one specie in gaseous phase needs to be selected"},
            {{simple("X", {{2, "H"}}), simple("Y", {{1, "O"}}, 1), simple("Z", {{1, "H"}}, 1)},
             code::L00,
             "All selected species have same ratio of elements, at least one must have a different ratio"},
            {{simple("H2", {{2, "H"}}), simple("H-", {{1, "H"}, {1, "E"}})},
             code::L03,
             "Only negative ions were found, at least one of each is needed"},
            {{simple("H2", {{2, "H"}}), simple("e-", {{1, "E"}})},
             code::L03,
             "Only negative ions were found, at least one of each is needed"},
            {{simple("H2", {{2, "H"}}), simple("H+", {{1, "H"}, {-1, "E"}})},
             code::L03,
             "Only positive ions were found, at least one of each is needed"},
    };
    for (const Case& c : cases) {
        flagsL = 0;
        messages.clear();
        Mixture m = make(c.species);
        EXPECT_EQ(flagsL.load(), c.code) << c.text;
        ASSERT_EQ(messages.size(), 1u) << c.text;
        EXPECT_EQ(messages[0].text, c.text);
        EXPECT_EQ(lastEngineMessage().text, c.text);
    }
}

TEST_F(MixtureConstruction, IonsOfBothSignsKeepTheElectronRow)
{
    Mixture m = make({simple("H2", {{2, "H"}}), simple("H+", {{1, "H"}, {-1, "E"}}), simple("e-", {{1, "E"}})});
    EXPECT_EQ(flagsL.load(), 0u);
    EXPECT_TRUE(m.chargeBalance);
    EXPECT_EQ(m.nElements, 3);
    EXPECT_EQ(m.systemSize, 5);
}

TEST_F(MixtureConstruction, ReactionNetCoefficientsFollowTheInternalOrder)
{
    // 2 X + Y = Z, given as Y (condensed), X, Z: internal order X, Z, Y.
    auto reaction = std::make_shared<Reaction>(2, 1, 0, std::vector<uint16_t>{1, 0}, std::vector<uint16_t>{2},
                                               std::vector<double>{2.0, 1.0}, std::vector<double>{1.0}, 0, 1e13, 0.0,
                                               1000.0, std::vector<uint16_t>{}, std::vector<double>{});
    std::vector<std::shared_ptr<Reaction>> list{reaction};
    Mixture m = make({simple("Y", {{1, "O"}}, 1), simple("X", {{1, "H"}}), simple("Z", {{2, "H"}, {1, "O"}})}, {},
                     {"H", "O", "E"}, &list);
    ASSERT_EQ(m.reactions.size(), 1u);
    EXPECT_EQ(m.speciesNames, (std::vector<std::string>{"X", "Z", "Y"}));
    EXPECT_EQ(m.reactions[0]->netCoefficients, (std::vector<double>{-2.0, 1.0, -1.0}));
    EXPECT_EQ(m.reactions[0]->reactantSpecies, (std::vector<uint16_t>{0, 2}));
    // The caller's record is left as it was.
    EXPECT_EQ(reaction->reactantSpecies, (std::vector<uint16_t>{1, 0}));
    EXPECT_TRUE(reaction->netCoefficients.empty());
}

TEST_F(MixtureConstruction, MoleFractionsAndMolesFromMasses)
{
    Mixture m = make({simple("H2", {{2, "H"}}), simple("O2", {{2, "O"}})});
    m.species[0]->moles = 1.0;
    m.species[1]->moles = 3.0;
    m.moleFractions();
    EXPECT_DOUBLE_EQ(m.species[0]->moleFraction, 0.25);
    EXPECT_DOUBLE_EQ(m.species[1]->moleFraction, 0.75);
    EXPECT_DOUBLE_EQ(m.gasConstant, 4.0 * R_UNIVERSAL);
    m.species[0]->mass = 0.5;
    m.species[1]->mass = 0.5;
    m.molesFromMasses();
    EXPECT_DOUBLE_EQ(m.totalMoles, 0.1);
    EXPECT_DOUBLE_EQ(m.logMoles, std::log(0.1));

    // A condensed species takes no volume: the gas constant counts the gas moles only,
    // and every fraction is per mole of gas (the condensed one its amount per volume
    // over the gas's, n_c rho/(p/(R T))).
    Mixture withCondensed
            = make({simple("H2", {{2, "H"}}), simple("O2", {{2, "O"}}), simple("W", {{2, "H"}, {1, "O"}}, 1)});
    ASSERT_EQ(withCondensed.nGas, 2);
    withCondensed.species[0]->moles = 1.0;
    withCondensed.species[1]->moles = 3.0;
    withCondensed.species[2]->moles = 2.0;
    withCondensed.moleFractions();
    EXPECT_DOUBLE_EQ(withCondensed.totalMoles, 4.0);
    EXPECT_DOUBLE_EQ(withCondensed.gasConstant, 4.0 * R_UNIVERSAL);
    EXPECT_DOUBLE_EQ(withCondensed.species[0]->moleFraction, 0.25);
    EXPECT_DOUBLE_EQ(withCondensed.species[1]->moleFraction, 0.75);
    EXPECT_DOUBLE_EQ(withCondensed.species[2]->moleFraction, 0.5);

    Mixture empty = make({}, {}, {"H", "E"});
    empty.molesFromMasses();
    EXPECT_EQ(empty.totalMoles, 0.0);
    EXPECT_TRUE(std::isinf(empty.logMoles) && empty.logMoles < 0);
    EXPECT_EQ(empty.gasConstant, 0.0);
}

// The propellant tab changes the reactant amounts during its mixture-ratio search and
// then asks for new element totals and enthalpy target.
TEST_F(MixtureConstruction, ReactantTotalsFollowTheAmounts)
{
    auto m = hydrogenOxygenRocket();
    auto& h2 = m->reactants[0];
    auto& o2 = m->reactants[1];
    h2->moles = 0.2 / h2->molarMass;
    o2->moles = 0.8 / o2->molarMass;
    m->updateReactantTotals(298.15);
    EXPECT_NEAR(m->elementTargets[0], 2 * 0.2 / 2.01588, 1e-12);
    EXPECT_NEAR(m->elementTargets[1], 2 * 0.8 / 31.9988, 1e-12);
    // Single-temperature cryogens: their assigned enthalpies whatever T is asked.
    EXPECT_NEAR(m->enthalpyTarget * R_UNIVERSAL, 0.2 / 2.01588 * -9012e3 + 0.8 / 31.9988 * -12979e3, 1e-6);
    Mixture none = make({simple("H2", {{2, "H"}}), simple("O2", {{2, "O"}})});
    EXPECT_EQ(none.setReactantEnthalpy(500.0), 0.0);
}

TEST(ReactionRecord, MoleChangeCountsAndCopies)
{
    std::vector<uint16_t> r{0, 1}, p{2};
    std::vector<double> rc{1.0, 1.0}, pc{1.0};
    Reaction a(2, 1, 0, r, p, rc, pc, 0, 1.0, 0.0, 0.0, {}, {});
    EXPECT_EQ(a.moleChange, -1.0);
    EXPECT_TRUE(a.netCoefficients.empty());
    EXPECT_FALSE(a.hasThirdBody);
    r[0] = 9;
    rc[0] = 5.0;
    EXPECT_EQ(a.reactantSpecies[0], 0);
    EXPECT_EQ(a.reactantCoefficients[0], 1.0);

    Reaction b(2, 1, 0, {0, 1}, {2}, {1.0, 1.0}, {2.0}, 0, 1.0, 0.0, 0.0, {}, {});
    EXPECT_EQ(b.moleChange, 0.0);
    Reaction half(2, 1, 0, {0, 1}, {2}, {0.5, 0.5}, {1.0}, 0, 1.0, 0.0, 0.0, {}, {});
    EXPECT_EQ(half.moleChange, 0.0);

    // Counts follow the lists given, whatever the count arguments say.
    Reaction lying(5, 7, 3, {0}, {1, 2}, {1.0}, {1.0, 1.0}, 0, 1.0, 0.0, 0.0, {4}, {2.5});
    EXPECT_EQ(lying.reactantCount, 1);
    EXPECT_EQ(lying.productCount, 2);
    EXPECT_EQ(lying.thirdBodyCount, 1);
    EXPECT_TRUE(lying.hasThirdBody);

    // A third body none of whose listed colliders was kept stays a third body.
    Reaction collider(2, 1, 0, {0, 0}, {1}, {1.0, 1.0}, {1.0}, 0, 1.0, 0.0, 0.0, {}, {}, true);
    EXPECT_EQ(collider.thirdBodyCount, 0);
    EXPECT_TRUE(collider.hasThirdBody);
}

} // namespace
