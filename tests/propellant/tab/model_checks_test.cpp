// The tab model's checks, in their order with their messages, and the tab's own mixture.
#include <cmath>

#include "engine/engine_messages.h"
#include "propellant/compatibility.h"
#include "propellant/propellant_model.h"
#include "propellant/tab_fixture.h"

namespace {

class ModelChecks : public PropellantTabTest {
protected:
    QObject tab;
    PropellantModel model;
};

SolidDataForm solid(std::vector<IntervalText> intervals, QString density = "1.8")
{
    SolidDataForm f;
    f.enabled = true;
    f.density = density;
    f.intervals = std::move(intervals);
    return f;
}

TEST_F(ModelChecks, SolidData)
{
    const struct {
        const char* what;
        SolidDataForm form;
        bool topLimit;
        QString message; // empty: accepted
    } cases[] = {
            {"first lower pressure 0", solid({{"0", "10", "2.5", "0.4"}}), true, ""},
            {"negative first lower pressure", solid({{"-1", "10", "2.5", "0.4"}}), true,
             "Invalid Minimum Pressure: -1"},
            {"lower equal to the previous upper", solid({{"1", "10", "2.5", "0.4"}, {"10", "20", "3", "0.3"}}), true,
             ""},
            {"lower below the previous upper", solid({{"1", "10", "2.5", "0.4"}, {"9.5", "20", "3", "0.3"}}), true,
             "Invalid Minimum Pressure: 9.5"},
            {"upper equal to lower", solid({{"1", "1", "2.5", "0.4"}}), true, "Invalid Maximum Pressure: 1"},
            {"upper missing", solid({{"1", "", "2.5", "0.4"}}), true, "Invalid Maximum Pressure: "},
            {"last upper missing without top limit", solid({{"1", "10", "2.5", "0.4"}, {"10", "", "3", "0.3"}}), false,
             ""},
            {"only the last may lack it", solid({{"1", "", "2.5", "0.4"}, {"10", "", "3", "0.3"}}), false,
             "Invalid Maximum Pressure: "},
            {"density text", solid({{"1", "10", "2.5", "0.4"}}, "abc"), true, "Invalid density"},
            {"density zero", solid({{"1", "10", "2.5", "0.4"}}, "0"), true, "Invalid density"},
            {"density nan", solid({{"1", "10", "2.5", "0.4"}}, "nan"), true, "Invalid density"},
            {"coefficient text", solid({{"1", "10", "x", "0.4"}}), true, "Invalid coefficient: x"},
            {"exponent missing", solid({{"1", "10", "2.5", ""}}), true, "Invalid exponent: "},
            {"negative exponent", solid({{"1", "10", "2.5", "-0.2"}}), true, ""},
            // A law that makes no gas is not stored.
            {"coefficient zero", solid({{"1", "10", "0", "0.4"}}), true, "Invalid coefficient: 0"},
            {"coefficient negative", solid({{"1", "10", "-2", "0.4"}}), true, "Invalid coefficient: -2"},
            // A plateau burns at a at every pressure: a grain balances at p = Kn a rho c*.
            {"exponent zero", solid({{"1", "10", "2.5", "0"}}), true, ""},
            // The first field of the form that fails is named, whichever rule it breaks.
            {"negative lower before an unreadable coefficient", solid({{"-1", "10", "abc", "0.3"}}), true,
             "Invalid Minimum Pressure: -1"},
            {"zero coefficient before an unreadable exponent", solid({{"1", "10", "0", "x"}}), true,
             "Invalid coefficient: 0"},
            {"first row's zero coefficient before the second row's text",
             solid({{"1", "10", "0", "0.4"}, {"abc", "20", "3", "0.3"}}), true, "Invalid coefficient: 0"},
            {"decimal comma", solid({{"1,5", "10", "2.5", "0.4"}}), true, "Invalid Minimum Pressure: 1,5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        EXPECT_EQ(showReported(&tab, model.checkSolidData(c.form, c.topLimit)), c.message.isEmpty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(boxes.messages().empty());
        } else {
            ASSERT_EQ(boxes.texts(), QStringList{c.message});
            EXPECT_EQ(boxes.messages()[0].icon, Msg::Critical);
            EXPECT_EQ(boxes.parents()[0], &tab);
        }
    }
}

SolidDataForm inUnits(SolidDataForm form, int pressureUnit, int burnRateUnit, int densityUnit)
{
    form.pressureUnit = pressureUnit;
    form.burnRateUnit = burnRateUnit;
    form.densityUnit = densityUnit;
    return form;
}

// A law that every grain run would refuse is refused by the check the save runs, with the
// field's message and the runs' rule as the informative text; laws the runs take pass.
TEST_F(ModelChecks, SolidDataThatNoGrainRunCanUseIsRefusedWithTheRule)
{
    const struct {
        const char* what;
        SolidDataForm form;
        QString message; // empty: accepted
        const char* rule; // a word of the informative text
    } cases[] = {
            // 0.779 to 2.57 MPa, 8.26 mm/s at MPa^n.
            {"n = 1", inUnits(solid({{"0.779", "2.57", "8.26", "1"}}), 0, 1, 0), "Invalid exponent: 1", "below 1"},
            {"n = 1.2 in the upper interval",
             inUnits(solid({{"0.1", "2", "8.26", "0.3"}, {"2", "10", "1", "1.2"}}), 0, 1, 0), "Invalid exponent: 1.2",
             "below 1"},
            {"n = 0.999", inUnits(solid({{"0.779", "2.57", "8.26", "0.999"}}), 0, 1, 0), "", ""},
            {"n = -0.314 (a plateau)", inUnits(solid({{"0.807", "1.503", "8.763", "-0.314"}}), 0, 1, 0), "", ""},
            // 1e308 g/cm^3 is 1e311 kg/m^3, beyond a double.
            {"density beyond a double in SI", inUnits(solid({{"1", "10", "2.5", "0.4"}}, "1e308"), 0, 0, 0),
             "Invalid density", "density"},
            {"density 1e308 kg/m^3", inUnits(solid({{"1", "10", "2.5", "0.4"}}, "1e308"), 0, 0, 1), "", ""},
            // 1e308 MPa is 1e314 Pa.
            {"lower limit beyond a double in SI", solid({{"1e308", "1.5e308", "2.5", "0.4"}}),
             "Invalid Minimum Pressure: 1e308", "Pa"},
            {"upper limit beyond a double in SI", solid({{"0.1", "1e308", "abc", "0.3"}}),
             "Invalid Maximum Pressure: 1e308", "Pa"},
            // a in m/s for MPa with n = -0.5: a (1e-6)^-0.5 = 1e308 x 1e3 for Pa.
            {"a beyond a double in SI", solid({{"0.779", "2.57", "1e308", "-0.5"}}), "Invalid coefficient: 1e308",
             "finite"},
            {"density checked before the intervals", solid({{"x", "10", "2.5", "2"}}, "-1"), "Invalid density",
             "above 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        EXPECT_EQ(showReported(&tab, model.checkSolidData(c.form, true)), c.message.isEmpty());
        if (c.message.isEmpty()) {
            EXPECT_TRUE(boxes.messages().empty()) << boxes.texts().join("|").toStdString();
            continue;
        }
        ASSERT_EQ(boxes.texts(), QStringList{c.message});
        EXPECT_TRUE(boxes.messages()[0].informativeText.contains(QString::fromUtf8(c.rule)))
                << boxes.messages()[0].informativeText.toStdString();
        EXPECT_EQ(boxes.messages()[0].icon, Msg::Critical);
        EXPECT_EQ(boxes.parents()[0], &tab);
    }
}

TEST_F(ModelChecks, SolidDataValuesAsTyped)
{
    ASSERT_TRUE(showReported(
            &tab, model.checkSolidData(solid({{"1", "10", "2.5", "0.4"}, {"10", "", "3.1", "0.35"}}, "1.8"), false)));
    EXPECT_EQ(model.density, 1.8);
    // (upper, lower) per interval; the open last interval keeps 0 as its upper limit.
    EXPECT_EQ(model.pressureLimits, (std::vector<std::pair<double, double>>{{10.0, 1.0}, {0.0, 10.0}}));
    EXPECT_EQ(model.coefficients, (std::vector<double>{2.5, 3.1}));
    EXPECT_EQ(model.exponents, (std::vector<double>{0.4, 0.35}));

    // An unchecked group passes without a look at its fields and leaves no interval.
    SolidDataForm off = solid({{"garbage", "", "", ""}}, "");
    off.enabled = false;
    EXPECT_TRUE(showReported(&tab, model.checkSolidData(off, true)));
    EXPECT_TRUE(model.pressureLimits.empty());
    EXPECT_TRUE(model.coefficients.empty());
    EXPECT_TRUE(model.exponents.empty());
    EXPECT_TRUE(boxes.messages().empty());
}

TEST_F(ModelChecks, Composition)
{
    EXPECT_FALSE(showReported(&tab, model.checkComposition({})));
    EXPECT_EQ(boxes.lastText(), "At least one reactant is needed");
    for (const QString bad : {"0", "-1", "", "abc"}) {
        boxes.clear();
        EXPECT_FALSE(showReported(&tab, model.checkComposition({{"Fuel", "70"}, {"Oxidiser", bad}})))
                << bad.toStdString();
        EXPECT_EQ(boxes.texts(), QStringList{"Invalid relative weight for reactant Oxidiser"});
    }
    boxes.clear();
    ASSERT_TRUE(showReported(&tab, model.checkComposition({{"Fuel", "70"}, {"Oxidiser", "30"}})));
    EXPECT_EQ(model.composition, (std::vector<CompositionRow>{{"Fuel", 70.0}, {"Oxidiser", 30.0}}));
    EXPECT_TRUE(boxes.messages().empty());
}

class TabMixture : public ModelChecks {
protected:
    void SetUp() override
    {
        ModelChecks::SetUp();
        setEngineMessageHandler([](const EngineMessage&) {});
        showViewMessages(&tab, updateCompatibleSpeciesFor({"Fuel", "Oxidiser"}));
        showReported(&tab, updateCompatibleReactionsFor(false));
    }
    void TearDown() override
    {
        setEngineMessageHandler({});
        ModelChecks::TearDown();
    }
};

TEST_F(TabMixture, BuiltFromTheRowsAndTheSelectedSpecies)
{
    setActive("Species.json", "OH", false);
    ASSERT_TRUE(showReported(&tab, model.buildMixture("P", {{"Fuel", "1"}, {"Oxidiser", "3"}})));
    const Mixture* m = model.mixture();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(flagsL.load(), 0u);
    // The compatible species in their order, less the deselected one; no reaction.
    EXPECT_EQ(m->speciesNames, (std::vector<std::string>{"H", "H+", "H2", "H2O", "O", "O2", "e-"}));
    EXPECT_EQ(m->nReactions, 0);
    EXPECT_EQ(m->elementSymbols, (std::vector<std::string>{"H", "O", "E"}));
    // Relative masses 1 and 3, molar masses 2.016 and 32: 1/(4 x 2.016) and 3/(4 x 32) kmol/kg.
    EXPECT_DOUBLE_EQ(m->reactants[0]->moles, 1.0 / 8.064);
    EXPECT_DOUBLE_EQ(m->reactants[1]->moles, 3.0 / 128.0);
    EXPECT_TRUE(boxes.messages().empty());
}

TEST_F(TabMixture, RefusalsKeepThePreviousMixture)
{
    ASSERT_TRUE(showReported(&tab, model.buildMixture("P", {{"Fuel", "1"}, {"Oxidiser", "3"}})));
    const Mixture* before = model.mixture();

    // An empty name stops before any file is read: an unreadable species file is not
    // even noticed.
    dir.write("Data/Species.json", "{ broken");
    EXPECT_FALSE(showReported(&tab, model.buildMixture("", {{"Fuel", "1"}})));
    EXPECT_EQ(boxes.texts(), QStringList{"Please enter a name for the propellant"});
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Warning);
    EXPECT_EQ(flagsF.load(), 0u);

    boxes.clear();
    EXPECT_FALSE(showReported(&tab, model.buildMixture("P", {{"Fuel", "1"}})));
    EXPECT_EQ(boxes.texts(), QStringList{"Species file was corrupted, load process aborted"});
    EXPECT_EQ(boxes.messages()[0].icon, Msg::Critical);
    EXPECT_EQ(flagsF.load(), code::F(16));
    write("Species.json", tab_fixture::speciesDoc());

    boxes.clear();
    dir.write("Data/Reactants.json", "[");
    EXPECT_FALSE(showReported(&tab, model.buildMixture("P", {{"Fuel", "1"}})));
    EXPECT_EQ(boxes.texts(), QStringList{"Reactants file was corrupted, load process aborted"});
    write("Reactants.json", tab_fixture::reactantsDoc());

    boxes.clear();
    EXPECT_FALSE(showReported(&tab, model.buildMixture("P", {})));
    EXPECT_EQ(boxes.texts(), QStringList{"At least one reactant is needed for calculations"});

    for (const QString bad : {"0", "-1", "abc"}) {
        boxes.clear();
        EXPECT_FALSE(showReported(&tab, model.buildMixture("P", {{"Fuel", "1"}, {"Oxidiser", bad}, {"AlO", "zzz"}})));
        EXPECT_EQ(boxes.texts(), QStringList{"Invalid relative mass for reactant 'Oxidiser'"}) << bad.toStdString();
        EXPECT_EQ(boxes.messages()[0].icon, Msg::Warning);
    }

    // A row whose reactant was deleted from its database since it was added.
    boxes.clear();
    EXPECT_FALSE(showReported(&tab, model.buildMixture("P", {{"Fuel", "1"}, {"Gone", "1"}})));
    EXPECT_EQ(boxes.texts(), QStringList{"Reactant 'Gone' could not be read from the reactants database"});
    EXPECT_EQ(model.mixture(), before);
}

} // namespace
