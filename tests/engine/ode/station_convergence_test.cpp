// How far the default iteration tolerances leave the stations from the converged flow.
// The published hydrogen/oxygen case runs twice, once with the default preferences and
// once with every nozzle iteration (station pressure, throat, entry momentum balance,
// frozen temperature) and the equilibrium solve driven to 1e-12; a station that ends on
// the state of its last correction agrees with the converged flow to second order in
// that correction. Independently of any second run, the mass flux of a converged
// station must carry the throat's flow through its own area.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/quiet_engine.h"
#include "../test_mixtures.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"
#include "nozzle_setup.h"

namespace {

const double PC = 53.3172e5;
const double AT = 0.01;

// Tolerances and limits the tight runs change, restored after each test.
struct Tolerances {
    double convCond = CONV_COND, throatConv = THROAT_CONV, facConv = FAC_CONV, frozCond = FROZ_COND;
    double tolT = TOL_T, tolN = TOL_N, tolS = TOL_S, tolB = TOL_b;
    uint32_t maxOde = MAX_ITER_ODE, maxThroat = MAX_ITER_THROAT, maxFac = MAX_ITER_FAC;

    void restore() const
    {
        CONV_COND = convCond;
        THROAT_CONV = throatConv;
        FAC_CONV = facConv;
        FROZ_COND = frozCond;
        TOL_T = tolT;
        TOL_N = tolN;
        TOL_S = tolS;
        TOL_b = tolB;
        MAX_ITER_ODE = maxOde;
        MAX_ITER_THROAT = maxThroat;
        MAX_ITER_FAC = maxFac;
    }
    static void tighten()
    {
        CONV_COND = THROAT_CONV = FAC_CONV = FROZ_COND = 1e-12;
        TOL_T = TOL_N = TOL_S = TOL_b = 1e-12;
        MAX_ITER_ODE = MAX_ITER_THROAT = MAX_ITER_FAC = 200;
    }
};

enum class Combustor { InfiniteArea, FiniteArea };

class StationConvergence : public ::testing::Test {
protected:
    void SetUp() override { startQuietEngine(); }
    void TearDown() override
    {
        saved.restore();
        endQuietEngine();
    }

    // The reference case on area ratios 1.58 (subsonic), 1 and 25; the finite-area
    // combustor has the subsonic station's section (contraction 1.58), so the
    // station at the end of the combustor is station 0 itself.
    std::shared_ptr<RocketVariables> run(Combustor combustor, uint32_t frozenIndex = 2)
    {
        auto mixture = hydrogenOxygenRocket();
        mixture->setReactantEnthalpy(298.15);
        auto rv = std::make_shared<RocketVariables>();
        rv->chamberPressure = PC;
        nozzle_test::setNozzle(*rv, {1.58, 1.0, 25.0}, 1, AT, 0.02);
        rv->chamberArea = 1.58 * AT;
        ODE ode(mixture, rv, frozenIndex, false, false);
        if (combustor == Combustor::FiniteArea)
            ode.calculateFAC();
        else
            ode.calculateIAC();
        EXPECT_FALSE(ode.failed);
        EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
        return rv;
    }

    Tolerances saved;
};

struct Figure {
    const char* name;
    double (*value)(const RocketVariables&, unsigned);
};

// Isp with the nozzle expanding to the station's own pressure is the velocity; in
// vacuum the pressure thrust adds p A / mdot.
const Figure figures[] = {
        {"T", [](const RocketVariables& rv, unsigned j) { return rv.T[j]; }},
        {"Mach", [](const RocketVariables& rv, unsigned j) { return rv.mach[j]; }},
        {"gamma_s", [](const RocketVariables& rv, unsigned j) { return rv.gamma[j]; }},
        {"sound speed", [](const RocketVariables& rv, unsigned j) { return rv.soundSpeed[j]; }},
        {"Isp", [](const RocketVariables& rv, unsigned j) { return rv.u[j]; }},
        {"Ivac",
         [](const RocketVariables& rv, unsigned j) {
             const unsigned t = rv.throatIndex;
             return rv.u[j] + rv.p[j] * rv.area[j] / (rv.rho[t] * rv.u[t] * rv.area[t]);
         }},
};

TEST_F(StationConvergence, DefaultTolerancesStayWithin2e5OfTheConvergedFlow)
{
    for (Combustor combustor : {Combustor::InfiniteArea, Combustor::FiniteArea}) {
        const char* label = combustor == Combustor::InfiniteArea ? "infinite-area" : "finite-area";
        SCOPED_TRACE(label);
        saved.restore();
        const auto standard = run(combustor);
        EXPECT_EQ(flagsODE.load(), 0u) << "the default run needs none of its iteration limits";
        Tolerances::tighten();
        flagsODE = 0;
        const auto converged = run(combustor);
        EXPECT_EQ(flagsODE.load(), 0u) << "the tight run converged within its limits";
        ASSERT_EQ(standard->stationCount, converged->stationCount);
        for (unsigned j = 0; j < standard->stationCount; ++j) {
            for (const Figure& f : figures) {
                const double a = f.value(*standard, j), b = f.value(*converged, j);
                const double d = std::fabs(a / b - 1.0);
                std::printf("%s station %u (area ratio %.2f) %-11s default %.8g converged %.8g  rel %.2e\n", label, j,
                            standard->area[j] / AT, f.name, a, b, d);
                EXPECT_LE(d, 2e-5) << label << " station " << j << " " << f.name;
            }
        }
    }
}

TEST_F(StationConvergence, ConvergedStationsCarryTheThroatFlowThroughTheirArea)
{
    // Mass conservation: rho u A is the throat's at every station, so the area that the
    // station's own mass flux needs, mdot/(rho u), is the area it was solved for. The
    // same holds for a flow frozen at the throat.
    struct Case {
        const char* label;
        Combustor combustor;
        uint32_t frozenIndex;
    };
    const Case cases[] = {{"infinite-area", Combustor::InfiniteArea, 2},
                          {"finite-area", Combustor::FiniteArea, 2},
                          {"frozen at the throat", Combustor::InfiniteArea, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto rv = run(c.combustor, c.frozenIndex);
        const unsigned t = rv->throatIndex;
        const double mdot = rv->rho[t] * rv->u[t] * rv->area[t];
        for (unsigned j = 0; j < rv->stationCount; ++j) {
            if (j == t)
                continue;
            const double area = mdot / (rv->rho[j] * rv->u[j]);
            std::printf("%s station %u: area from the mass flux / requested area - 1 = %.2e\n", c.label, j,
                        area / rv->area[j] - 1.0);
            nozzle_test::expectRelative(area, rv->area[j], 1e-6,
                                        std::string(c.label) + " station " + std::to_string(j));
        }
        // The throat is where the flow is sonic.
        nozzle_test::expectRelative(rv->u[t], rv->soundSpeed[t], 1e-6, "throat velocity over sound speed");
    }
}

} // namespace
