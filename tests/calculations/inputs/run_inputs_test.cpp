// The small rules behind the run inputs: the station a frozen point falls on, the
// slider's position written in each length unit, run names made unique, number reading,
// and the single-temperature reactant warnings of a propellant choice.
#include <gtest/gtest.h>

#include "../calc_fixtures.h"
#include "calculations/calculation_model.h"
#include "calculations/run_inputs.h"
#include "support/message_recorder.h"

using namespace calc;

namespace {

const std::vector<double> contour = {-0.02, -0.01, 0.0, 0.01};

TEST(FrozenPoint, FallsOnTheNearestStationWithTiesToTheLowerOne)
{
    struct Case {
        double v;
        uint32_t station;
        bool clamped;
        double x;
    };
    // |0.005 - 0| = |0.005 - 0.01|: a tie, so station 2; outside the contour the
    // position is moved to its end.
    const Case cases[] = {
            {0.005, 2, false, 0.005}, {0.0051, 3, false, 0.0051}, {0.0, 2, false, 0.0},
            {-1.0, 0, true, -0.02},   {1.0, 3, true, 0.01},
    };
    for (const Case& c : cases) {
        const auto p = placeFrozenPoint(contour, c.v);
        ASSERT_TRUE(p) << c.v;
        EXPECT_EQ(p->station, c.station) << c.v;
        EXPECT_EQ(p->clamped, c.clamped) << c.v;
        EXPECT_DOUBLE_EQ(p->x, c.x) << c.v;
    }
    // Halfway between the first two stations (binary-exact values): the lower one.
    EXPECT_EQ(nearestStation({-0.5, -0.25, 0.0, 0.25}, -0.375), 0u);
    EXPECT_EQ(nearestStation({-0.5, -0.25, 0.0, 0.25}, -0.37), 1u);
    // Uneven spacing: 0.3 is nearer to 0.5 than to 0.
    EXPECT_EQ(nearestStation({0.0, 0.5, 2.0}, 0.3), 1u);
    EXPECT_EQ(nearestStation({0.7}, -3.0), 0u);
    EXPECT_FALSE(placeFrozenPoint({}, 0.0));
}

TEST(FrozenPoint, SliderPositionIsWrittenInTheChosenLengthUnit)
{
    // x = 0.05 m shows 50 mm, 5 cm, 0.5 dm, 0.05 m.
    const double expected[] = {50.0, 5.0, 0.5, 0.05};
    for (int unit = 0; unit < 4; ++unit)
        EXPECT_NEAR(lengthInUnit(0.05, unit), expected[unit], 1e-12) << unit;
    EXPECT_EQ(formatNumber(lengthInUnit(0.05, 0), 10), "50");
}

TEST(RunNames, ClashesGetTheNextFreeSuffix)
{
    struct Case {
        std::vector<std::string> finished;
        std::string typed;
        std::string stored;
    };
    const Case cases[] = {
            {{"A", "A_1", "A_2"}, "A", "A_3"},
            {{"A", "A_2"}, "A", "A_1"},
            {{"A_1"}, "A", "A"},
            {{"B_1"}, "B_1", "B_1_1"},
            // Order of the finished runs does not matter: the scan restarts after each clash.
            {{"A_2", "A_1", "A"}, "A", "A_3"},
            {{}, "A", "A"},
            {{"A", "A_1", "A_2", "A_3", "A_4", "A_5", "A_6", "A_7", "A_8", "A_9"}, "A", "A_10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(uniqueRunName(c.typed, c.finished), c.stored) << c.typed;
}

TEST(Numbers, ReadLikeTheFieldsValidatorsAllow)
{
    EXPECT_EQ(readNumber("1e6"), 1e6);
    EXPECT_EQ(readNumber("-3.5"), -3.5);
    EXPECT_EQ(readNumber("0"), 0.0);
    EXPECT_FALSE(readNumber(""));
    EXPECT_FALSE(readNumber("abc"));
    EXPECT_FALSE(readNumber("3,5"));
    EXPECT_EQ(formatNumber(298.15, 10), "298.15");
    EXPECT_EQ(formatNumber(3e6, 10), "3000000");
}

class SingleDefinedWarnings : public ::testing::Test {
protected:
    void SetUp() override
    {
        calc_test::resetCalculationGlobals();
        // Liquid hydrogen and oxygen are defined at their boiling points only; the fuel
        // "RP" covers a range.
        stores.propellants["LOX/LH2"]
                = calc_test::namedMixture({calc_test::reactant("H2(L)", 20.27), calc_test::reactant("RP", -1.0),
                                           calc_test::reactant("O2(L)", 90.17)},
                                          {"H2", "O2", "H2O"});
    }
    void TearDown() override { calc_test::resetCalculationGlobals(); }

    calc_test::FakeStores stores;
    MessageRecorder messages;
};

TEST_F(SingleDefinedWarnings, EachSingleDefinedReactantIsNamedUntilTheUserSilencesThePass)
{
    CalculationModel model(nullptr, stores.providers());
    ASSERT_TRUE(showReported(nullptr, model.applyUniformTemperature("300")));
    EXPECT_TRUE(messages.messages().empty()); // no propellant yet

    showViewMessages(nullptr, model.selectPropellant("LOX/LH2", true));
    ASSERT_EQ(
            messages.texts(),
            QStringList({"Rectant 'H2(L)' is only defined at 20.27 K", "Rectant 'O2(L)' is only defined at 90.17 K"}));
    EXPECT_EQ(messages.messages()[0].icon, Msg::Warning);
    EXPECT_EQ(messages.messages()[0].checkBoxText, "Do not show other single-defined reactants");
    EXPECT_EQ(model.edited().speciesNames, std::vector<std::string>({"H2", "O2", "H2O"}));

    // Ticking the box at the first warning silences the rest of this pass only.
    messages.clear();
    messages.answer(Msg::Ok, true);
    ASSERT_TRUE(showReported(nullptr, model.applyUniformTemperature("310")));
    EXPECT_EQ(messages.texts(), QStringList({"Rectant 'H2(L)' is only defined at 20.27 K"}));
    EXPECT_TRUE(model.warnSingleDefined);
    messages.clear();
    showViewMessages(nullptr, model.selectPropellant("LOX/LH2", true));
    EXPECT_EQ(messages.texts().size(), 2);

    // The uniform temperature switched off: no pass.
    messages.clear();
    showViewMessages(nullptr, model.selectPropellant("LOX/LH2", false));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(SingleDefinedWarnings, ARefusedTemperatureNeverReplacesTheLastAcceptedOne)
{
    CalculationModel model(nullptr, stores.providers());
    EXPECT_FALSE(showReported(nullptr, model.applyUniformTemperature("0")));
    EXPECT_EQ(messages.lastText(), "Invalid homogeneous temperature");
    EXPECT_EQ(model.homT, 0.0);
    ASSERT_TRUE(showReported(nullptr, model.applyUniformTemperature("350")));
    for (const char* bad : {"-5", "abc", ""}) {
        EXPECT_FALSE(showReported(nullptr, model.applyUniformTemperature(bad))) << bad;
        EXPECT_EQ(model.homT, 350.0) << bad;
    }
    // While homT is 0 a propellant choice applies nothing, even with the box checked.
    CalculationModel fresh(nullptr, stores.providers());
    messages.clear();
    showViewMessages(nullptr, fresh.selectPropellant("LOX/LH2", true));
    EXPECT_TRUE(messages.messages().empty());
}

TEST_F(SingleDefinedWarnings, ChamberPressureIsReadInItsUnit)
{
    CalculationModel model(nullptr, stores.providers());
    struct Case {
        QString text;
        int unit;
        bool ok;
        double pascal;
        QString message;
        bool cleared;
    };
    const Case cases[] = {
            {"3", 0, true, 3e6, "", false},
            {"1", 1, true, 101325.0, "", false},
            {"20", 2, true, 2e6, "", false},
            {"0", 0, true, 0.0, "", false},
            {"", 0, false, 0.0, "Pressure value must be explicitely given", false},
            {"-1", 0, false, 0.0, "Invalid Pressure", true},
    };
    for (const Case& c : cases) {
        messages.clear();
        const CalculationModel::PressureChoice choice = model.selectChamberPressure(c.text, c.unit);
        showViewMessages(nullptr, choice.messages);
        EXPECT_EQ(choice.accepted, c.ok) << c.text.toStdString();
        EXPECT_EQ(choice.echo.clearPressure, c.cleared) << c.text.toStdString();
        if (c.ok) {
            EXPECT_DOUBLE_EQ(model.edited().chamberPressure, c.pascal);
        }
        EXPECT_EQ(messages.lastText(), c.message);
    }
}

} // namespace
