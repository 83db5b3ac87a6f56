// The amateur potassium nitrate / sucrose propellant (65/35 by mass) at 1000 psi: a
// hand-entered single-temperature reactant, potassium carbonate condensing in the
// chamber, freezing in the nozzle, and held at its melting point on the way.
#include <cmath>

#include <gtest/gtest.h>

#include "../equilibrium_checks.h"
#include "../test_mixtures.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"

namespace {

TEST(SugarPropellant, ChamberAndExpansionThroughTheCarbonateMeltingPoint)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    flagsL = 0;
    flagsSP = 0;
    const std::shared_ptr<Mixture> mixture = potassiumNitrateSucrose();
    Mixture& m = *mixture;
    ASSERT_EQ(flagsL.load(), 0u);
    m.reset();

    const double pc = 6.894757e6; // 1000 psi
    double T = T_SEED;
    ASSERT_TRUE(m.solveEquilibrium(T, pc, true));
    // Published figures for this propellant: about 1720 K and 42.02 kg/kmol.
    EXPECT_NEAR(T, 1720.0, 0.005 * 1720.0);
    EXPECT_NEAR(1.0 / m.totalMoles, 42.02, 0.005 * 42.02);
    EXPECT_GT(findSpecies(m, "K2CO3(L)")->moles, 0.0);
    expectOptimal(m, T, pc, "chamber");

    int held = 0;
    bool solid = false;
    for (double ratio = 1.2; ratio < 2000.0; ratio *= 1.2) {
        const std::string what = "pc/p " + std::to_string(ratio);
        ASSERT_TRUE(m.solveEquilibrium(T, pc / ratio, false)) << what;
        m.equilibriumProperties(T);
        ASSERT_TRUE(std::isfinite(m.gamma) && std::isfinite(m.soundSpeed)) << what;
        expectOptimal(m, T, pc / ratio, what);
        EXPECT_LE(std::fabs(m.entropySum - m.entropyTarget), TOL_S) << what;
        if (m.phasePairActive) {
            ++held;
            const Species& high = *m.species[m.phasePairHigh];
            EXPECT_EQ(high.name, "K2CO3(L)") << what;
            EXPECT_NEAR(T, high.minTemperature, 0.5) << what;
        }
        solid = solid || findSpecies(m, "K2CO3(b)")->moles > 0.0;
    }
    EXPECT_GE(held, 1);
    EXPECT_TRUE(solid);
    EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
}

} // namespace
