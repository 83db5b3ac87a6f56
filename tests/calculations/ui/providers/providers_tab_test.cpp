// The tab over the other subsystems' own loaders: grains from Grains.json and the grain
// tab's current grain.
#include "../tab_fixture.h"
#include "grain/current_grain.h"

namespace {

using tab_test::TabTest;

class ProvidersTab : public TabTest {
public:
    // The stand-in stores, but the grain subsystem's own loader.
    DataTab& makeWithGrainLoader()
    {
        CalculationProviders p = stores.providers();
        p.loadGrainBurnback = defaultProviders().loadGrainBurnback;
        tab = std::make_unique<DataTab>(nullptr, p);
        return *tab;
    }
    void TearDown() override
    {
        currentGrain = {};
        TabTest::TearDown();
    }
};

TEST_F(ProvidersTab, GrainsComeFromTheGrainSubsystem)
{
    // A tube of 60 mm outside and 20 mm inside diameter, 100 mm long, burning on its
    // inner surface only: 100 samples from an area of pi * 20 mm * 100 mm.
    app.write("Data/Grains.json",
              R"({"Tube": {"Comb_type": 1, "Geo_type": 0, "Parameters": [60.0, 20.0, 100.0, 1], "Points": 100,)"
              R"( "Units": 0}})");
    DataTab& t = makeWithGrainLoader();
    choose("comb_grain", "Tube");
    const RocketVariables& rv = t.model().edited();
    EXPECT_EQ(rv.burnPoints, 100u);
    ASSERT_EQ(rv.burnDistance.size(), 100u);
    EXPECT_NEAR(rv.combustionArea, M_PI * 0.02 * 0.1, 1e-6);
    EXPECT_NEAR(rv.burnDistance.back(), 0.02, 1e-9); // burnt through to the outer wall
    EXPECT_EQ(rv.burnTimes.size(), 100u);
    EXPECT_EQ(flagsL.load(), 0u);

    // The grain tab shows no grain: its message, nothing chosen, no code; a run that
    // re-reads it is refused.
    choose("comb_grain", "Current");
    EXPECT_EQ(messages.texts(), QStringList({"Grain load failed, no grain active in Grain definition tab"}));
    EXPECT_EQ(combo("comb_grain")->currentIndex(), -1);
    EXPECT_FALSE(flagRaised(flagsL, code::L09));

    // It shows one now (in mm): chosen, and re-read at the press.
    currentGrain.y = {0.0f, 5.0f, 10.0f};
    currentGrain.area = {6000.0f, 9000.0f, 12000.0f};
    currentGrain.unitIndex = 0;
    choose("comb_grain", "Current");
    EXPECT_NEAR(t.model().edited().burnArea[2], 0.012, 1e-9);
    chooseReferenceRun();
    radio("radio_spec_grain")->setChecked(true);
    currentGrain = {};
    messages.clear();
    release("but_run");
    EXPECT_EQ(messages.texts(),
              QStringList({"Grain load failed, no grain active in Grain definition tab",
                           "A grain geometry must be selected"}));
    EXPECT_FALSE(t.model().running);
}

} // namespace
