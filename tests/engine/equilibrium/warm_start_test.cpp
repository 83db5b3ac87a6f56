// Starting an equilibrium solve from the converged state of a nearby one (the next
// chamber of a grain run): the same equilibrium as a start from the initial estimate, to
// the iteration's tolerances, with far fewer iterations left to the solver; a state that
// does not fit the mixture falls back to the initial estimate.
#include <cmath>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "engine/engine_messages.h"
#include "engine/test_mixtures.h"

namespace {

struct Chamber {
    double T = 0.0;
    double M = 0.0;
    double H2O = 0.0;
};

Chamber solved(Mixture& m, double T)
{
    return {T, 1.0 / m.totalMoles, findSpecies(m, "H2O")->moleFraction};
}

TEST(WarmStart, ChamberFromANearbyChamberIsTheColdStartChamber)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenRocket();
    m->setReactantEnthalpy(298.15);
    for (double from : {20e5, 53.3172e5, 150e5}) {
        for (double to : {30e5, 80e5}) {
            SCOPED_TRACE(std::to_string(from) + " -> " + std::to_string(to));
            flagsSP = 0;
            m->reset();
            double T = 3800.0;
            ASSERT_TRUE(m->solveEquilibrium(T, from, true));
            const Mixture::EquilibriumStart start = m->convergedState();

            m->reset();
            double cold = 3800.0;
            ASSERT_TRUE(m->solveEquilibrium(cold, to, true));
            const Chamber c = solved(*m, cold);

            // Something else in between, as the throat and exit solves of a grain run.
            double Tt = cold;
            ASSERT_TRUE(m->solveEquilibrium(Tt, to / 1.8, false));

            m->startFrom(start);
            double warm = T;
            ASSERT_TRUE(m->solveEquilibrium(warm, to, true));
            const Chamber w = solved(*m, warm);
            EXPECT_NEAR(w.T, c.T, 1e-7 * c.T);
            EXPECT_NEAR(w.M, c.M, 1e-7 * c.M);
            EXPECT_NEAR(w.H2O, c.H2O, 1e-7);
            EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
        }
    }
    setEngineMessageHandler({});
}

TEST(WarmStart, AStateOfAnotherMixtureFallsBackToTheInitialEstimate)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenRocket();
    m->setReactantEnthalpy(298.15);
    Mixture::EquilibriumStart foreign;
    foreign.moles.assign(3, 0.1);
    foreign.logMoles.assign(3, std::log(0.1));
    m->startFrom(foreign);
    double T = 3800.0;
    ASSERT_TRUE(m->solveEquilibrium(T, 53.3172e5, true));
    // The published chamber of this propellant: 3383.84 K.
    EXPECT_NEAR(T, 3383.84, 3383.84 * 5e-4);
    setEngineMessageHandler({});
}

} // namespace
