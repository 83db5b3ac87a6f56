// Nozzle flow of a perfect gas against the closed-form isentropic solution: throat,
// stations on both branches of the area-Mach relation, c*, freezing, the finite-area
// combustor's entry pressure loss, the grain pressure balance with its burn time, the
// throat sizing and the optimisation targets.
#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "../support/quiet_engine.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"
#include "perfect_gas.h"

namespace {

using namespace perfect_gas;

const double PC = 5e6;
const double AT = 1e-3;
// Subsonic 3, 1.5, 1.05; throat; supersonic 1.5, 1.99, 2, 4, 10, 25.
const std::vector<double> RATIOS{3.0, 1.5, 1.05, 1.0, 1.5, 1.99, 2.0, 4.0, 10.0, 25.0};
const unsigned THROAT = 3;

using nozzle_test::expectRelative;

class PerfectGas : public ::testing::Test {
protected:
    void SetUp() override
    {
        startQuietEngine();
        // The closed-form checks are made on converged stations; the defaults let a
        // station stop within CONV_COND of its pressure (see DefaultTolerances).
        CONV_COND = 1e-10;
        THROAT_CONV = 1e-10;
        mixture = perfect_gas::mixture();
        rocket = std::make_shared<RocketVariables>();
        rocket->chamberPressure = PC;
        setNozzle(*rocket, RATIOS, THROAT, AT);
    }
    void TearDown() override
    {
        PRES_TOL = 0.0004;
        PRES_MAX_ITER = 50;
        MAX_ITER_ODE = 10;
        CONV_COND = 4e-5;
        THROAT_CONV = 4e-5;
        OPT_FROZ = true;
        endQuietEngine();
    }

    // Every station and the throat against the isentropic solution.
    void expectIsentropic(const RocketVariables& rv, double tolerance, double subsonicMachTolerance = 0.0)
    {
        for (unsigned j = 0; j < rv.stationCount; ++j) {
            const double ratio = rv.area[j] / rv.area[rv.throatIndex];
            const double M = j == rv.throatIndex ? 1.0 : machAt(ratio, j > rv.throatIndex);
            const std::string at = " at station " + std::to_string(j);
            expectRelative(rv.T[j], TC * temperatureRatio(M), tolerance, "T" + at);
            expectRelative(rv.p[j], rv.chamberPressure * pressureRatio(M), tolerance, "p" + at);
            expectRelative(rv.u[j] / rv.soundSpeed[j], M,
                           j < rv.throatIndex ? std::max(tolerance, subsonicMachTolerance) : tolerance, "Mach" + at);
        }
    }

    // Expansion to 0.1 MPa; pressure searches between 1 and 8 MPa.
    void setPressureSearch(RocketVariables& rv)
    {
        rv.ambientPressure = 1e5;
        rv.optMinPressure = 1e6;
        rv.optMaxPressure = 8e6;
    }

    std::shared_ptr<Mixture> mixture;
    std::shared_ptr<RocketVariables> rocket;
};

TEST_F(PerfectGas, InfiniteAreaRunFollowsTheIsentropicSolution)
{
    ODE ode(mixture, rocket, false, false);
    ode.calculateIAC();
    ASSERT_FALSE(ode.failed);
    const RocketVariables& rv = *rocket;
    const double g = gamma();
    expectRelative(rv.chamberT, TC, 1e-6, "chamber T");
    expectRelative(rv.chamberGamma, g, 1e-6, "chamber gamma");
    expectRelative(rv.T[THROAT], TC * 2.0 / (g + 1.0), 1e-4, "throat T");
    expectRelative(rv.p[THROAT], PC * std::pow(2.0 / (g + 1.0), g / (g - 1.0)), 1e-4, "throat p");
    expectIsentropic(rv, 1e-4);
    // c* from the run: pc At / mass flow.
    const double mdot = rv.rho[THROAT] * rv.u[THROAT] * rv.area[THROAT];
    expectRelative(PC * AT / mdot, cStar(), 1e-4, "c*");
    // Outputs: the mass flow is the same at every station.
    for (unsigned j = 0; j < rv.stationCount; ++j) {
        expectRelative(rv.massFlow[j], mdot, 2e-4, "mass flow at " + std::to_string(j));
        expectRelative(rv.molecularWeight[j], 1.0 / moles(), 1e-6, "molecular weight");
        expectRelative(rv.moleFractions[0][j], (WA / MA) / moles(), 1e-6, "mole fraction of A");
    }
    EXPECT_EQ(flagsODE.load(), 0u);
}

TEST_F(PerfectGas, DefaultTolerances)
{
    // Each station stops within CONV_COND of its ln(pc/p): pressure and temperature
    // stay within 1e-4, and the subsonic Mach number, whose sensitivity to ln p is
    // (1 + (g-1)/2 M^2)/(g M^2), within that bound.
    CONV_COND = 4e-5;
    THROAT_CONV = 4e-5;
    ODE ode(mixture, rocket, false, false);
    ode.calculateIAC();
    ASSERT_FALSE(ode.failed);
    const double g = gamma();
    const double M = machAt(1.5, false);
    expectIsentropic(*rocket, 1e-4, CONV_COND * (1.0 + 0.5 * (g - 1.0) * M * M) / (g * M * M));
    EXPECT_EQ(flagsODE.load(), 0u);
}

TEST_F(PerfectGas, FreezingAnywhereGivesTheSameFlow)
{
    // A frozen perfect gas is the same gas: freezing at the chamber (the first station,
    // upstream of the throat: the frozen-throat procedure), at the throat, downstream,
    // and at the last station (no freezing) must all follow the isentropic solution.
    for (uint32_t f : {0u, 2u, THROAT, 6u, static_cast<uint32_t>(RATIOS.size() - 1)}) {
        SCOPED_TRACE("frozen from station " + std::to_string(f));
        flagsODE = 0;
        auto rv = std::make_shared<RocketVariables>();
        rv->chamberPressure = PC;
        setNozzle(*rv, RATIOS, THROAT, AT);
        ODE ode(mixture, rv, f, false, false);
        ode.calculateIAC();
        ASSERT_FALSE(ode.failed);
        expectIsentropic(*rv, 1e-4);
        EXPECT_FALSE(flagRaised(flagsODE, code::ODE00 | code::ODE02 | code::ODE03)) << flagsODE.load();
    }
}

TEST_F(PerfectGas, ContourStartingAtItsThroatKeepsTheThroatTemperature)
{
    setNozzle(*rocket, {1.0, 2.0, 4.0}, 0, AT);
    ODE ode(mixture, rocket, false, false);
    ode.calculateIAC();
    ASSERT_FALSE(ode.failed);
    expectIsentropic(*rocket, 1e-4);
}

TEST_F(PerfectGas, EstimatesLandCloseAndStationsConvergeInAFewPasses)
{
    ODE ode(mixture, rocket, false, false);
    ode.calculateIAC();
    ASSERT_FALSE(ode.failed);
    const double T = rocket->T[THROAT], p = rocket->p[THROAT];
    EXPECT_TRUE(ode.solveStation(THROAT, false));
    EXPECT_EQ(rocket->T[THROAT], T);
    EXPECT_EQ(rocket->p[THROAT], p);

    // No Newton pass: the station is left as it was.
    MAX_ITER_ODE = 0;
    rocket->p[1] = -1.0;
    EXPECT_TRUE(ode.solveStation(1, false));
    EXPECT_TRUE(flagRaised(flagsODE, code::ODE01));
    EXPECT_EQ(rocket->p[1], -1.0);

    // What the first estimates of ln(pc/p) are for: on every branch (subsonic at and
    // below A/At = 1.09, supersonic below and from A/At = 2) a single pass, which
    // evaluates the estimate, lands close to the isentropic pressure (within 3 % of it
    // on the subsonic side, within 6 % of ln(pc/p) on the supersonic side, where the
    // pressure spans decades), and with the default tolerance the station converges in
    // three passes.
    CONV_COND = 4e-5;
    for (unsigned j = 0; j < rocket->stationCount; ++j) {
        if (j == THROAT)
            continue;
        const bool supersonic = j > THROAT;
        const double exact = PC * pressureRatio(machAt(RATIOS[j], supersonic));
        const std::string at = " at area ratio " + std::to_string(RATIOS[j]) + (supersonic ? " (supersonic)" : "");
        MAX_ITER_ODE = 1;
        ode.solveStation(j, false);
        if (supersonic)
            expectRelative(std::log(PC / rocket->p[j]), std::log(PC / exact), 0.06, "estimated ln(pc/p)" + at);
        else
            expectRelative(rocket->p[j], exact, 0.03, "estimated pressure" + at);
        MAX_ITER_ODE = 3;
        flagsODE = 0;
        ode.solveStation(j, false);
        EXPECT_EQ(flagsODE.load(), 0u) << "more than 3 passes" << at;
        expectRelative(rocket->p[j], exact, 1e-6, "p" + at);
    }
    MAX_ITER_ODE = 10;
}

TEST_F(PerfectGas, FiniteAreaCombustorLosesTheRayleighPressure)
{
    const double g = gamma();
    struct Case {
        double chamberRatio;
        bool inserted;
        uint32_t frozen; // station the flow freezes at (the last: none)
    };
    const uint32_t none = static_cast<uint32_t>(RATIOS.size() - 1);
    // A chamber wider than the contour's entry adds a station; one equal to it does not.
    // Freezing upstream of the throat goes through the frozen-throat procedure.
    for (const Case& c : {Case{3.0, false, none}, Case{4.0, true, none}, Case{1.6, true, none}, Case{3.0, false, 0},
                          Case{4.0, true, 1}}) {
        SCOPED_TRACE(std::to_string(c.chamberRatio) + " frozen from " + std::to_string(c.frozen));
        flagsODE = 0;
        auto rv = std::make_shared<RocketVariables>();
        rv->chamberPressure = PC;
        setNozzle(*rv, RATIOS, THROAT, AT);
        rv->chamberArea = c.chamberRatio * AT;
        rv->isIAC = false;
        ODE ode(mixture, rv, c.frozen, false, false);
        ode.calculateFAC();
        ASSERT_FALSE(ode.failed);
        EXPECT_EQ(rv->stationCount, RATIOS.size() + (c.inserted ? 1 : 0));
        EXPECT_EQ(rv->throatIndex, THROAT + (c.inserted ? 1 : 0));
        if (c.inserted) {
            EXPECT_DOUBLE_EQ(rv->x[0], rv->x[1] * 1.05);
            EXPECT_DOUBLE_EQ(rv->area[0], c.chamberRatio * AT);
        }
        const double M1 = machAt(c.chamberRatio, false);
        const double lossRatio = (1.0 + g * M1 * M1) * std::pow(1.0 + 0.5 * (g - 1.0) * M1 * M1, -g / (g - 1.0));
        EXPECT_DOUBLE_EQ(rv->injectorPressure, PC);
        expectRelative(rv->chamberPressure, PC / lossRatio, 1e-4, "entry stagnation pressure");
        // Momentum at the entry: injector pressure = p + rho u^2.
        const double M0 = rv->p[0] + rv->rho[0] * rv->u[0] * rv->u[0];
        EXPECT_LE(std::fabs(M0 - PC) / PC, FAC_CONV);
        expectRelative(rv->chamberT, TC, 1e-6, "combustion temperature");
        expectIsentropic(*rv, 1e-4);
        EXPECT_EQ(flagsODE.load(), 0u);
    }
}

TEST_F(PerfectGas, FiniteAreaChamberNotWiderThanTheThroatIsRefused)
{
    for (double ratio : {1.0, 0.8, 0.0}) {
        flagsODE = 0;
        rocket->chamberArea = ratio * AT;
        ODE ode(mixture, rocket, false, false);
        ode.calculateFAC();
        EXPECT_TRUE(ode.failed) << ratio;
        EXPECT_TRUE(flagRaised(flagsODE, code::ODE04));
        EXPECT_EQ(rocket->stationCount, RATIOS.size());
    }
}

TEST_F(PerfectGas, FiniteAreaGrainRunIsReportedAsAborted)
{
    ODE ode(mixture, rocket, false, false);
    ode.calculateFACGrain();
    EXPECT_EQ(abortFlag.load(), 1);
}

struct Law {
    double a, n;
};

class PerfectGasGrain : public PerfectGas, public ::testing::WithParamInterface<Law> {
protected:
    void setGrain(double Ab, int points, double web)
    {
        RocketVariables& rv = *rocket;
        rv.isGrain = true;
        rv.propellantDensity = RHO_P;
        rv.burnPoints = points;
        rv.burnDistance.clear();
        rv.burnArea.clear();
        for (int i = 0; i < points; ++i) {
            rv.burnDistance.push_back(web * i / (points - 1));
            rv.burnArea.push_back(Ab);
        }
    }
    // Balanced chamber pressure of a constant area: pc^(1-n) = rho_p a Ab c*/At.
    double balancedPressure(const Law& law, double Ab)
    {
        return std::pow(rocket->propellantDensity * law.a * Ab * cStar() / AT, 1.0 / (1.0 - law.n));
    }
};

TEST_P(PerfectGasGrain, ChamberPressureBalancesTheGasProduction)
{
    const Law law = GetParam();
    PRES_TOL = 1e-8;
    PRES_MAX_ITER = 400;
    // Pick the burning area so that the balance is at 4 MPa.
    const double target = 4e6;
    const double Ab = std::pow(target, 1.0 - law.n) * AT / (RHO_P * law.a * cStar());
    setGrain(Ab, 7, 0.02);
    rocket->vieilleLimits = {{1e5, 1e8}};
    rocket->vieilleA = {law.a};
    rocket->vieilleN = {law.n};
    rocket->ambientPressure = 1e5;
    ODE ode(mixture, rocket, false, false);
    ode.calculateIACGrain();
    ASSERT_FALSE(ode.failed);
    const RocketVariables& rv = *rocket;
    const double pc = balancedPressure(law, Ab);
    ASSERT_NEAR(pc, target, 1.0);
    // The exit (area ratio 25) of the isentropic expansion from pc: mass flow pc At/c*,
    // thrust mdot ue + (pe - pa) Ae, specific impulse at the ambient pressure F/mdot.
    const double Me = machAt(RATIOS.back(), true);
    const double ue = velocityAt(Me);
    const double mdot = pc * AT / cStar();
    const double thrust = mdot * ue + (pc * pressureRatio(Me) - 1e5) * RATIOS.back() * AT;
    for (int i = 0; i < 7; ++i) {
        const std::string at = " at point " + std::to_string(i);
        expectRelative(rv.burnChamberPressure[i], pc, 1e-4, "pc" + at);
        expectRelative(rv.burnChamberT[i], TC, 1e-6, "chamber T" + at);
        expectRelative(rv.burnCStar[i], cStar(), 1e-4, "c*" + at);
        expectRelative(rv.burnRate[i], law.a * std::pow(pc, law.n), 1e-4, "burn rate" + at);
        expectRelative(rv.burnMassFlow[i], mdot, 1e-4, "mass flow" + at);
        expectRelative(rv.burnThrust[i], thrust, 1e-4, "thrust" + at);
        expectRelative(rv.burnIsp[i], thrust / mdot, 1e-4, "Isp" + at);
        expectRelative(rv.burnCE[i], thrust / mdot / cStar(), 1e-4, "CE" + at);
    }
    const double r = law.a * std::pow(pc, law.n);
    for (int i = 0; i < 7; ++i)
        expectRelative(rv.burnTimes[i] + 1.0, rv.burnDistance[i] / r + 1.0, 1e-4, "time at " + std::to_string(i));
    expectRelative(rv.burnTimes[6], 0.02 / r, 1e-4, "burn time");
    EXPECT_FALSE(flagRaised(flagsV, code::V00 | code::V01 | code::V02));
}

// Besides the usual exponents, laws of n < 0 (plateau and mesa propellants) and close to
// 1, each with about 1 cm/s at 4 MPa (a = 0.01 / 4e6^n): every n below 1 has one stable
// balance, however far below 0 or close to 1.
INSTANTIATE_TEST_SUITE_P(Laws, PerfectGasGrain,
                         ::testing::Values(Law{2e-5, 0.3}, Law{1.5e-6, 0.5}, Law{1e-8, 0.8}, Law{2e-11, 1.2},
                                           Law{4e4, -1.0}, Law{20.0, -0.5}, Law{6.4e17, -3.0},
                                           Law{0.01 / std::pow(4e6, 0.95), 0.95}));

TEST_F(PerfectGas, GrainWithTwoPointsUsesTheLastRate)
{
    setBurnLaw(*rocket);
    rocket->burnPoints = 2;
    rocket->burnDistance = {0.0, 0.01};
    rocket->burnArea = {0.05, 0.05};
    ODE ode(mixture, rocket, false, false);
    ode.calculateIACGrain();
    ASSERT_FALSE(ode.failed);
    EXPECT_EQ(rocket->burnTimes[0], 0.0);
    EXPECT_DOUBLE_EQ(rocket->burnTimes[1], 0.01 / rocket->burnRate[1]);
}

TEST_F(PerfectGas, GrainPressureOutsideTheLawRaisesItsEndCode)
{
    // The balanced pressure (about 4 MPa) lies above the last interval: its coefficients
    // are used and V01 is raised; below the first interval, V00.
    PRES_TOL = 1e-8;
    PRES_MAX_ITER = 400;
    const double Ab = balancedBurningArea(4e6, AT);
    struct Case {
        std::vector<std::pair<double, double>> limits;
        uint32_t code;
    };
    for (const Case& c : {Case{{{1e5, 1e6}, {1e6, 2e6}}, code::V01}, Case{{{6e6, 7e6}, {7e6, 9e6}}, code::V00}}) {
        flagsV = 0;
        rocket->propellantDensity = RHO_P;
        rocket->burnPoints = 7;
        rocket->burnDistance = {0, 1e-3, 2e-3, 3e-3, 4e-3, 5e-3, 6e-3};
        rocket->burnArea.assign(7, Ab);
        rocket->vieilleLimits = c.limits;
        rocket->vieilleA = {LAW_A, LAW_A};
        rocket->vieilleN = {LAW_N, LAW_N};
        ODE ode(mixture, rocket, false, false);
        ode.calculateIACGrain();
        ASSERT_FALSE(ode.failed);
        EXPECT_TRUE(flagRaised(flagsV, c.code));
        EXPECT_FALSE(flagRaised(flagsV, code::V02));
        expectRelative(rocket->burnChamberPressure[3], 4e6, 1e-4, "pc");
    }
}

TEST_F(PerfectGas, GrainRangeCodesJudgeTheBalancedPressureNotTheSearch)
{
    // Every point balances at 4 MPa, inside the law's 1 to 5 MPa; the search starts from
    // a first trial above the law (8 MPa) or below it (0.5 MPa). Neither trial is a
    // pressure of the burn: no V00, no V01.
    PRES_TOL = 1e-8;
    PRES_MAX_ITER = 400;
    const double Ab = balancedBurningArea(4e6, AT);
    const double initial = PRES_INITIAL_ESTIMATE;
    for (double firstTrial : {8e6, 5e5}) {
        SCOPED_TRACE(firstTrial);
        flagsV = 0;
        PRES_INITIAL_ESTIMATE = firstTrial;
        rocket->propellantDensity = RHO_P;
        rocket->burnPoints = 4;
        rocket->burnDistance = {0, 1e-3, 2e-3, 3e-3};
        rocket->burnArea.assign(4, Ab);
        rocket->vieilleLimits = {{1e6, 5e6}};
        rocket->vieilleA = {LAW_A};
        rocket->vieilleN = {LAW_N};
        ODE ode(mixture, rocket, false, false);
        ode.calculateIACGrain();
        ASSERT_FALSE(ode.failed);
        EXPECT_FALSE(flagRaised(flagsV, code::V00 | code::V01 | code::V02)) << flagsV.load();
        expectRelative(rocket->burnChamberPressure[0], 4e6, 1e-4, "pc");
        EXPECT_TRUE(ode.lawRangeCodes) << "the lookups speak again after the run";
    }
    PRES_INITIAL_ESTIMATE = initial;
}

TEST_F(PerfectGas, GrainPointsWithoutGasProductionAreSkipped)
{
    // A burnt-out point (zero area) ends the burn: the point stays empty, with no code
    // (it is no failed search). A pressure in a gap of the law cannot balance: V02.
    setBurnLaw(*rocket);
    rocket->burnPoints = 3;
    rocket->burnDistance = {0.0, 0.005, 0.01};
    const double Ab = balancedBurningArea(4e6, AT);
    rocket->burnArea = {Ab, Ab, 0.0};
    ODE ode(mixture, rocket, false, false);
    ode.calculateIACGrain();
    EXPECT_FALSE(ode.failed);
    EXPECT_FALSE(flagRaised(flagsV, code::V02));
    EXPECT_EQ(rocket->burnChamberPressure[2], 0.0);
    EXPECT_GT(rocket->burnChamberPressure[1], 0.0);
    EXPECT_GT(rocket->chamberPressure, 0.0);

    // No balance pass allowed: every point is unbalanced.
    flagsV = 0;
    PRES_MAX_ITER = 0;
    rocket->burnArea = {Ab, Ab, Ab};
    rocket->burnChamberPressure.assign(3, 0.0);
    ODE none(mixture, rocket, false, false);
    none.calculateIACGrain();
    EXPECT_TRUE(none.failed) << "a run in which no point balances has no result";
    EXPECT_TRUE(flagRaised(flagsV, code::V02));
    EXPECT_EQ(rocket->burnChamberPressure, (std::vector<double>{0.0, 0.0, 0.0}));
    PRES_MAX_ITER = 50;

    flagsV = 0;
    rocket->vieilleLimits = {{1e5, 1e6}, {1e7, 1e8}}; // 4 MPa is in the gap
    rocket->vieilleA = {LAW_A, LAW_A};
    rocket->vieilleN = {LAW_N, LAW_N};
    rocket->burnChamberPressure.assign(3, 0.0);
    ODE gap(mixture, rocket, false, false);
    gap.calculateIACGrain();
    EXPECT_TRUE(gap.failed);
    EXPECT_TRUE(flagRaised(flagsV, code::V02));
    for (double p : rocket->burnChamberPressure)
        EXPECT_FALSE(p < 0.0);
    EXPECT_GT(rocket->chamberPressure, 0.0);
}

TEST_F(PerfectGas, GrainBurnEndsAtItsBurnout)
{
    // A regressive grain of constant c*: the balance at each point is
    //   p = (Ab rho_p a c*/At)^(1/(1 - n)) = 4 MPa (Ab/Ab0)^2  with n = 0.5,
    // so areas of 1, 0.5 and 0.25 Ab0 balance at 4, 1 and 0.25 MPa, 0.1 Ab0 at 40 kPa
    // (below an ambient 0.1 MPa), 1e-4 Ab0 at 0.04 Pa (below any real chamber) and the
    // last area is rounding noise of either sign. A point whose balance lies at or below
    // the ambient pressure, or at no real chamber, has burnt out: it adds no time, no
    // code, and the burn before it is a result.
    PRES_TOL = 1e-8;
    PRES_MAX_ITER = 400;
    RocketVariables& rv = *rocket;
    setBurnLaw(rv);
    rv.vieilleLimits = {{1.0, 1e8}};
    const double Ab0 = balancedBurningArea(4e6, AT);
    struct Case {
        const char* what;
        double ambient;
        std::vector<double> share; // area over the first area
        std::size_t burning; // the points that burn, from the first
    };
    const Case cases[] = {
            {"below the ambient pressure", 1e5, {1.0, 0.5, 0.25, 0.1, 1e-9}, 3},
            {"vacuum: below a real chamber", 0.0, {1.0, 0.5, 0.25, 0.1, 1e-4, -1e-9}, 4},
            {"vacuum: rounding noise", 0.0, {1.0, 0.5, 0.25, 1e-9}, 3},
            {"no burnout", 1e5, {1.0, 0.5, 0.25}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        flagsV = 0;
        const std::size_t n = c.share.size();
        rv.ambientPressure = c.ambient;
        rv.burnPoints = static_cast<uint32_t>(n);
        rv.burnDistance.clear();
        rv.burnArea.clear();
        for (std::size_t i = 0; i < n; ++i) {
            rv.burnDistance.push_back(0.002 * static_cast<double>(i));
            rv.burnArea.push_back(Ab0 * c.share[i]);
        }
        ODE ode(mixture, rocket, false, false);
        ode.calculateIACGrain();
        ASSERT_FALSE(ode.failed);
        EXPECT_FALSE(flagRaised(flagsV, code::V02)) << "a burnout is no failed search";
        // The time to each point: trapezoid of 1/r over the distance, r = a p^0.5, so
        // 1/r = 1/(1.5e-6 x 2000) = 333.3 s/m at 4 MPa, 666.7 at 1 MPa, 1333.3 at
        // 0.25 MPa and 3333.3 at 40 kPa; 2 mm apart: 1.0, 2.0 and 4.667 s each.
        const std::vector<double> times = {0.0, 1.0, 3.0, 7.6666667};
        for (std::size_t i = 0; i < n; ++i) {
            const std::string at = " at point " + std::to_string(i);
            if (i < c.burning) {
                const double pc = 4e6 * c.share[i] * c.share[i];
                expectRelative(rv.burnChamberPressure[i], pc, 1e-6, "pc" + at);
                expectRelative(rv.burnRate[i], LAW_A * std::sqrt(pc), 1e-6, "rate" + at);
                expectRelative(rv.burnTimes[i] + 1.0, times[i] + 1.0, 1e-6, "time" + at);
            } else {
                EXPECT_EQ(rv.burnChamberPressure[i], 0.0) << at;
                EXPECT_EQ(rv.burnRate[i], 0.0) << at;
                EXPECT_EQ(rv.burnTimes[i], rv.burnTimes[c.burning - 1]) << "the burnout adds no time" << at;
            }
        }
    }
}

TEST_F(PerfectGas, BurnLawsThatCannotBalanceAreRefusedBeforeTheRun)
{
    // No burn rate (a = 0 or not a number), no propellant density, a burning area that
    // is negative or not a number: no chamber pressure can balance such a grain, and the
    // run is refused with the burn-law code before any chamber is solved.
    const double Ab = balancedBurningArea(4e6, AT);
    struct Case {
        const char* label;
        void (*spoil)(RocketVariables&);
    };
    const Case cases[] = {
            {"a = 0", [](RocketVariables& rv) { rv.vieilleA = {0.0}; }},
            {"a not a number", [](RocketVariables& rv) { rv.vieilleA = {std::nan("")}; }},
            {"n not a number", [](RocketVariables& rv) { rv.vieilleN = {std::nan("")}; }},
            {"density 0", [](RocketVariables& rv) { rv.propellantDensity = 0.0; }},
            {"negative burning area", [](RocketVariables& rv) { rv.burnArea[1] = -1e-3; }},
            {"burning area not a number", [](RocketVariables& rv) { rv.burnArea[2] = std::nan(""); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        flagsV = 0;
        flagsSP = 0;
        setBurnLaw(*rocket);
        rocket->burnPoints = 3;
        rocket->burnDistance = {0.0, 0.005, 0.01};
        rocket->burnArea = {Ab, Ab, Ab};
        rocket->burnChamberPressure.assign(3, -1.0);
        rocket->chamberT = -1.0;
        c.spoil(*rocket);
        ODE ode(mixture, rocket, false, false);
        ode.calculateIACGrain();
        EXPECT_TRUE(ode.failed);
        EXPECT_TRUE(flagRaised(flagsV, code::V02));
        EXPECT_EQ(rocket->chamberT, -1.0) << "no chamber solved";
        EXPECT_EQ(rocket->burnChamberPressure, (std::vector<double>{-1.0, -1.0, -1.0}));
    }
    // A burnt-out point (area 0) is no fault of the law: the others balance.
    flagsV = 0;
    rocket->burnArea = {Ab, Ab, 0.0};
    ODE ode(mixture, rocket, false, false);
    ode.calculateIACGrain();
    EXPECT_FALSE(ode.failed);
    expectRelative(rocket->burnChamberPressure[1], 4e6, 1e-3, "balanced pc");

    // Sizing a throat for a target pressure with the same law: no throat of no area.
    flagsV = 0;
    rocket->vieilleA = {0.0};
    rocket->targetPressure = 3e6;
    rocket->combustionArea = Ab;
    rocket->throatArea = 1e-4;
    ODE sizing(mixture, rocket, false, false);
    EXPECT_FALSE(sizing.optimizeForPressure());
    EXPECT_TRUE(flagRaised(flagsV, code::V02));
    EXPECT_EQ(rocket->throatArea, 1e-4);
}

TEST_F(PerfectGas, ContoursNarrowerThanTheirThroatAreRefused)
{
    // Stations narrower than the declared throat cannot carry its mass flow; the runs
    // refuse such a contour before anything is solved, with the nozzle code. A flat
    // throat region and a divergent part that waves above the throat area are fine.
    struct Case {
        const char* label;
        std::vector<double> ratios;
        bool refused;
    };
    const Case cases[] = {
            {"convergent station narrower than the throat", {3.0, 0.9, 1.05, 1.0, 1.5, 2.0, 4.0}, true},
            {"divergent part dipping below the throat", {3.0, 1.5, 1.05, 1.0, 1.5, 0.95, 2.0, 4.0}, true},
            {"exit narrower than the throat", {3.0, 1.5, 1.05, 1.0, 1.5, 2.0, 0.5}, true},
            {"flat throat and a waving divergent part", {3.0, 1.5, 1.05, 1.0, 1.0, 1.5, 1.3, 2.0, 4.0}, false},
    };
    using Run = void (ODE::*)();
    const std::pair<const char*, Run> runs[] = {{"infinite area", &ODE::calculateIAC},
                                                {"finite area", &ODE::calculateFAC},
                                                {"grain", &ODE::calculateIACGrain}};
    for (const Case& c : cases) {
        for (const auto& [name, run] : runs) {
            SCOPED_TRACE(std::string(c.label) + ", " + name);
            flagsL = 0;
            flagsODE = 0;
            setNozzle(*rocket, c.ratios, THROAT, AT);
            rocket->chamberPressure = PC;
            rocket->injectorPressure = PC;
            rocket->chamberArea = 4.0 * AT;
            rocket->chamberT = -1.0;
            setBurnLaw(*rocket);
            rocket->burnPoints = 2;
            rocket->burnDistance = {0.0, 0.01};
            rocket->burnArea.assign(2, balancedBurningArea(4e6, AT));
            ODE ode(mixture, rocket, false, false);
            (ode.*run)();
            EXPECT_EQ(ode.failed, c.refused);
            EXPECT_EQ(flagRaised(flagsL, code::L08), c.refused);
            if (c.refused) {
                EXPECT_EQ(rocket->chamberT, -1.0) << "nothing solved";
            } else if (run == &ODE::calculateIAC) {
                // Supersonic all the way down the wave: each station at its own ratio.
                const unsigned wave = 6;
                expectRelative(rocket->mach[wave], machAt(c.ratios[wave], true), 1e-4, "Mach in the wave");
            }
        }
    }
}

TEST_F(PerfectGas, BurnLawLookupAtTheIntervalBounds)
{
    rocket->vieilleLimits = {{1e6, 2e6}, {2e6, 5e6}};
    rocket->vieilleA = {1.0, 2.0};
    rocket->vieilleN = {0.1, 0.2};
    struct Case {
        double P;
        double a;
        uint32_t code;
    };
    const Case cases[] = {{5e5, 1.0, code::V00}, {1e6, 1.0, 0},         {1.5e6, 1.0, 0},
                          {2e6, 2.0, 0},         {5e6, 2.0, code::V01}, {9e6, 2.0, code::V01}};
    ODE ode(mixture, rocket, false, false);
    for (const Case& c : cases) {
        flagsV = 0;
        EXPECT_TRUE(ode.burnLawLookup(c.P)) << c.P;
        EXPECT_EQ(ode.burnCoefficient, c.a) << c.P;
        EXPECT_EQ(flagsV.load(), c.code) << c.P;
    }
    rocket->vieilleLimits = {{1e6, 2e6}, {3e6, 5e6}};
    EXPECT_FALSE(ode.burnLawLookup(2.5e6));
    rocket->vieilleLimits.clear();
    EXPECT_FALSE(ode.burnLawLookup(2.5e6));
}

TEST_F(PerfectGas, ThroatSizedForTheGrainGasProduction)
{
    setBurnLaw(*rocket);
    rocket->combustionArea = 0.04;
    rocket->targetPressure = 3e6;
    ODE ode(mixture, rocket, false, false);
    ASSERT_TRUE(ode.optimizeForPressure());
    expectRelative(rocket->throatArea, balancedThroat(0.04, 3e6), 1e-4, "throat area");
    EXPECT_EQ(rocket->exitArea, rocket->area.back());

    // Adapted exit: the exit area of an expansion to the ambient pressure, frozen with the
    // throat composition or in equilibrium (the same for this gas).
    rocket->adaptExit = true;
    rocket->ambientPressure = 1e5;
    for (bool frozenExit : {true, false}) {
        OPT_FROZ = frozenExit;
        rocket->area.back() = 25.0 * AT;
        ASSERT_TRUE(ode.optimizeForPressure());
        const double Me = expansionMach(3e6, 1e5);
        // The exit belongs to the sized throat (about a twelfth of the contour's throat
        // here), and the contour's own throat station is left as it was.
        ASSERT_LT(rocket->throatArea, 0.2 * AT);
        expectRelative(rocket->exitArea / rocket->throatArea, areaRatio(Me), 1e-4, "adapted exit area ratio");
        EXPECT_EQ(rocket->area[THROAT], AT);
    }

    // Expansion to zero ambient pressure has no finite exit: refused.
    rocket->ambientPressure = 0.0;
    EXPECT_FALSE(ode.optimizeForPressure());
}

TEST_F(PerfectGas, FailedSolvesAreNeverASuccess)
{
    // The equilibrium solver gets no iteration: the throat of a sizing, the chamber of a
    // pressure target and every sample of a performance search fail, and none of them
    // may hand back the throat area the record held before.
    RocketVariables& rv = *rocket;
    setBurnLaw(rv);
    setPressureSearch(rv);
    rv.combustionArea = 0.04;
    rv.targetPressure = 3e6;
    rv.optTarget = 3;
    const uint32_t iterations = MAX_ITER_EQ;
    ODE ode(mixture, rocket, false, false);

    mixture->reset();
    ASSERT_TRUE(mixture->solveEquilibrium(rv.chamberT, rv.targetPressure, true));
    rv.throatArea = 1e-4; // a plausible throat: a search that reused it would succeed
    MAX_ITER_EQ = 0;
    EXPECT_FALSE(ode.sizeThroat());
    EXPECT_FALSE(ode.optimizeForPressure());
    EXPECT_FALSE(ode.optimizeForPerformance());
    EXPECT_TRUE(flagRaised(flagsV, code::OPT01));
    MAX_ITER_EQ = iterations;
    EXPECT_EQ(rv.throatArea, 1e-4);
}

TEST_F(PerfectGas, BurnTimeTargetIsMet)
{
    RocketVariables& rv = *rocket;
    setBurnLaw(rv);
    rv.burnPoints = 7;
    rv.burnDistance = {0, 0.002, 0.004, 0.006, 0.008, 0.010, 0.012};
    rv.burnArea = {0.03, 0.035, 0.04, 0.045, 0.05, 0.045, 0.04}; // progressive then regressive
    rv.combustionArea = 0.04;
    rv.targetBurnTime = 3.0;
    setNozzle(rv, {6.0, 3.0, 1.0, 4.0, 10.0}, 2, AT);
    ODE ode(mixture, rocket, false, false);
    ASSERT_TRUE(ode.optimizeForBurnTime());
    EXPECT_LT(std::fabs(rv.burnTimes.back() - 3.0) / 3.0, OPT_TOL);
    EXPECT_EQ(rv.throatArea, rv.area[2]);
    EXPECT_EQ(rv.combustionArea, 0.04);
    EXPECT_FALSE(flagRaised(flagsV, code::OPT00 | code::OPT01));

    // With the exit adapted to the ambient pressure: the same throat, and the exit of an
    // expansion from the last burn point's chamber pressure.
    const double throat = rv.throatArea;
    rv.adaptExit = true;
    rv.ambientPressure = 1e5;
    ODE adapted(mixture, rocket, false, false);
    ASSERT_TRUE(adapted.optimizeForBurnTime());
    EXPECT_LT(std::fabs(rv.throatArea / throat - 1.0), 2.0 * OPT_TOL);
    const double pc = rv.chamberPressure;
    expectRelative(rv.exitArea / rv.throatArea, areaRatio(expansionMach(pc, 1e5)), 1e-4, "adapted exit");
    EXPECT_EQ(rv.exitArea, rv.area.back());
}

TEST_F(PerfectGas, BurnTimeMetAtTheFirstPassKeepsTheSizedThroat)
{
    // A constant burning area: the mean burn rate gives the balanced pressure at once.
    RocketVariables& rv = *rocket;
    setBurnLaw(rv);
    rv.burnPoints = 7;
    rv.burnDistance = {0, 0.002, 0.004, 0.006, 0.008, 0.010, 0.012};
    rv.burnArea.assign(7, 0.04);
    rv.combustionArea = 0.04;
    rv.targetBurnTime = 3.0;
    ODE ode(mixture, rocket, false, false);
    ASSERT_TRUE(ode.optimizeForBurnTime());
    const double pc = std::pow(0.012 / 3.0 / LAW_A, 1.0 / LAW_N);
    expectRelative(rv.throatArea, balancedThroat(0.04, pc), 1e-4, "sized throat");
}

TEST_F(PerfectGas, PerformanceTargetsReachTheirBestPressure)
{
    // The perfect gas has the same c* at every pressure; with an adapted exit the thrust
    // rho_t u_t At u_e at a fixed grain area rises with pc (more gas), and so does the
    // exit velocity. Both searches must end at the top of the pressure range; the throat
    // radius limit caps the pressure of the thrust search.
    RocketVariables& rv = *rocket;
    setNozzle(rv, {40.0, 20.0, 1.0, 4.0, 10.0}, 2, AT);
    setBurnLaw(rv);
    setPressureSearch(rv);
    rv.combustionArea = 0.04;
    rv.optMinAreaRatio = 1.0;
    OPT_FROZ = true;
    auto throatFor = [](double pc) { return balancedThroat(0.04, pc); };

    // A lower limit of 0 (no limit) is a usable range: its first sample is rejected.
    struct Case {
        uint8_t target;
        double minPressure;
    };
    for (const Case& c : {Case{3, 1e6}, Case{0, 1e6}, Case{3, 0.0}}) {
        SCOPED_TRACE(std::to_string(c.target) + " from " + std::to_string(c.minPressure));
        flagsV = 0;
        flagsSP = 0;
        rv.optTarget = c.target;
        rv.optMinPressure = c.minPressure;
        rv.optMinThroatRadius = 0.0;
        ODE ode(mixture, rocket, false, false);
        ASSERT_TRUE(ode.optimizeForPerformance());
        EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
        // The best sample is within OPT_TOL of the range's top.
        EXPECT_LT(std::fabs(rv.throatArea / throatFor(8e6) - 1.0), 0.5 * OPT_TOL + 1e-4);
        if (c.target == 3)
            expectRelative(rv.optBestValue, velocityAt(expansionMach(8e6, 1e5)), 2e-3, "best Isp");
    }
    rv.optMinPressure = 1e6;

    // A minimum throat radius that excludes the pressures above 4 MPa (the throat
    // shrinks with pc): the best admissible pressure is 4 MPa.
    // Samples at 1, 2, ... 10 MPa.
    flagsV = 0;
    rv.optTarget = 3;
    rv.optMaxPressure = 10e6;
    rv.optMinThroatRadius = std::sqrt(throatFor(4e6) * (1.0 - 1e-6) / 3.141592);
    ODE capped(mixture, rocket, false, false);
    ASSERT_TRUE(capped.optimizeForPerformance());
    expectRelative(rv.throatArea, throatFor(4e6), 1e-4, "throat at the radius limit");
}

TEST_F(PerfectGas, TotalImpulseTargetKeepsTheGrainReferenceArea)
{
    RocketVariables& rv = *rocket;
    setNozzle(rv, {40.0, 20.0, 1.0, 4.0, 10.0}, 2, AT);
    setBurnLaw(rv);
    setPressureSearch(rv);
    rv.burnPoints = 7;
    rv.burnDistance = {0, 0.002, 0.004, 0.006, 0.008, 0.010, 0.012};
    rv.burnArea.assign(7, 0.04);
    rv.combustionArea = 0.04;
    rv.optTarget = 2;
    rv.adaptExit = true; // left over from an earlier run: must not re-adapt inside the grain runs
    ODE ode(mixture, rocket, false, false);
    ASSERT_TRUE(ode.optimizeForPerformance());
    EXPECT_EQ(rv.combustionArea, 0.04);
    EXPECT_TRUE(rv.adaptExit);
    // Total impulse of a constant-area grain with a nozzle adapted to the ambient
    // pressure: the propellant mass times the exhaust velocity of the expansion from the
    // chamber pressure of the best throat (At = Ab rho_p a pc^n c*/pc). The grain's
    // pressure balance stops within PRES_TOL, hence the looser tolerance.
    const double mass = RHO_P * 0.04 * 0.012;
    const double pc = std::pow(0.04 * RHO_P * LAW_A * cStar() / rv.throatArea, 1.0 / (1.0 - LAW_N));
    EXPECT_GT(pc, 7e6); // the best pressure is near the top of the range
    expectRelative(rv.optBestValue, mass * velocityAt(expansionMach(pc, 1e5)), 2e-3, "total impulse");
}

TEST(PerformanceRange, ShrinksAroundTheBestSamples)
{
    // Ten samples over [1, 10]: sample k at 1 + k.
    struct Case {
        int b, s;
        bool shrinks;
        double lo, hi;
    };
    const Case cases[]
            = {{3, 5, true, 4.0, 6.0},  {5, 3, true, 4.0, 6.0},   {4, 0, true, 1.0, 5.0},   {0, 4, true, 1.0, 5.0},
               {9, 8, true, 9.0, 10.0}, {9, 0, false, 1.0, 10.0}, {0, 9, false, 1.0, 10.0}, {0, 0, false, 1.0, 10.0}};
    for (const Case& c : cases) {
        double lo = 1.0, hi = 10.0;
        EXPECT_EQ(shrinkPerformanceRange(c.b, c.s, 10, lo, hi), c.shrinks) << c.b << "," << c.s;
        EXPECT_DOUBLE_EQ(lo, c.lo) << c.b << "," << c.s;
        EXPECT_DOUBLE_EQ(hi, c.hi) << c.b << "," << c.s;
    }
}

TEST_F(PerfectGas, PerformanceSearchWithoutUsableSamplesEndsEarly)
{
    RocketVariables& rv = *rocket;
    setBurnLaw(rv);
    setPressureSearch(rv);
    rv.combustionArea = 0.04;
    rv.optTarget = 3;
    rv.optMinThroatRadius = 10.0; // every throat is too small
    ODE ode(mixture, rocket, false, false);
    EXPECT_FALSE(ode.optimizeForPerformance());
    EXPECT_TRUE(flagRaised(flagsV, code::OPT01));
}

TEST_F(PerfectGas, AbortStopsTheGrainRunAndTheSearches)
{
    RocketVariables& rv = *rocket;
    setBurnLaw(rv);
    setPressureSearch(rv);
    rv.burnPoints = 3;
    rv.burnDistance = {0.0, 0.005, 0.01};
    rv.burnArea = {0.04, 0.04, 0.04};
    rv.combustionArea = 0.04;
    rv.burnTimes = {7.0, 7.0, 7.0};
    rv.targetBurnTime = 2.0;
    abortFlag = 1;
    ODE ode(mixture, rocket, false, false);
    ode.calculateIACGrain();
    EXPECT_EQ(rv.burnTimes, (std::vector<double>{7.0, 7.0, 7.0}));
    EXPECT_FALSE(ode.optimizeForBurnTime());
    EXPECT_FALSE(ode.optimizeForPerformance());
    // The pressure target does not look at the byte.
    rv.targetPressure = 3e6;
    EXPECT_TRUE(ode.optimizeForPressure());
    EXPECT_EQ(abortFlag.load(), 1); // only the window clears it
}

} // namespace

namespace {

// With the perfect gas c* is the same at every pressure, so the gas a burning area Ab
// makes, rho a p^n Ab, meets the nozzle flow p At/c* at p = (Ab/At rho a c*)^(1/(1 - n)).
// The coefficient a (SI) whose law of exponent n balances Ab on AT at pressure p:
double coefficientBalancing(double p, double n, double Ab)
{
    return std::pow(p, 1.0 - n) * AT / (RHO_P * Ab * cStar());
}
// The propellant of density RHO_P with the burn law (limits in Pa, a in SI, n), burning
// in 1 atm.
void setLaw(RocketVariables& rv, const std::vector<std::pair<double, double>>& limits, const std::vector<double>& a,
            const std::vector<double>& n)
{
    rv.propellantDensity = RHO_P;
    rv.vieilleLimits = limits;
    rv.vieilleA = a;
    rv.vieilleN = n;
    rv.ambientPressure = 1e5;
}

struct MotorCase {
    const char* what;
    std::vector<std::pair<double, double>> limits; // Pa
    std::vector<double> a, n;
    std::vector<double> areas; // burning area of each point, m^2 (0.002 m apart)
    std::vector<double> expected; // chamber pressure of each point, Pa
};

// The laws, worked by hand for Ab = 0.04 m^2 on the 1e-3 m^2 throat:
//  - a rate that steps up at 2 MPa: the first law (n = 0.319) balances at 1.8 MPa, the
//    second (n = 0.2) at 2.63 MPa; both lie in their intervals. A chamber filling from
//    ambient stops at 1.8 MPa. At 1.2 Ab the first law's balance, 1.8 x 1.2^(1/0.681) =
//    2.35 MPa, lies above its interval: the chamber rises to the second's, 2.63 x
//    1.2^(1/0.8) = 3.30 MPa, and stays on it (2.63 MPa) when the area falls back;
//  - a rate that steps down at 2 MPa: the first law would balance at 2.5 MPa, above its
//    interval, the second at 1.5 MPa, below its own: surplus below 2 MPa, deficit above,
//    so the chamber sits at 2 MPa. At 0.7 Ab the first law's balance, 2.5 x
//    0.7^(1/0.681) = 1.48 MPa, lies in its interval, and the chamber falls to it;
//  - n = 0, one rate at every pressure: p = Ab/At rho a c*, 4 MPa, and 4.8 MPa at 1.2 Ab.
std::vector<MotorCase> motorCases()
{
    const double Ab = 0.04;
    const double up1 = coefficientBalancing(1.8e6, 0.319, Ab), up2 = coefficientBalancing(2.63e6, 0.2, Ab);
    const double down1 = coefficientBalancing(2.5e6, 0.319, Ab), down2 = coefficientBalancing(1.5e6, 0.319, Ab);
    const double plateau = coefficientBalancing(4e6, 0.0, Ab);
    const std::vector<std::pair<double, double>> twoIntervals{{1e5, 2e6}, {2e6, 2e8}};
    return {
            {"step up",
             twoIntervals,
             {up1, up2},
             {0.319, 0.2},
             {Ab, Ab, Ab, 1.2 * Ab, 1.2 * Ab, Ab, Ab},
             {1.8e6, 1.8e6, 1.8e6, 2.63e6 * std::pow(1.2, 1.25), 2.63e6 * std::pow(1.2, 1.25), 2.63e6, 2.63e6}},
            {"step down",
             twoIntervals,
             {down1, down2},
             {0.319, 0.319},
             {Ab, Ab, Ab, 0.7 * Ab},
             {2e6, 2e6, 2e6, 2.5e6 * std::pow(0.7, 1.0 / 0.681)}},
            {"n = 0", {{1e5, 1e8}}, {plateau}, {0.0}, {Ab, Ab, 1.2 * Ab}, {4e6, 4e6, 4.8e6}},
            {"n = 0 between two laws",
             {{1e5, 1e6}, {1e6, 1e7}, {1e7, 1e8}},
             {coefficientBalancing(4e6, 0.3, Ab), plateau, coefficientBalancing(4e6, 0.3, Ab)},
             {0.3, 0.0, 0.3},
             {Ab, Ab},
             {4e6, 4e6}},
    };
}

} // namespace

// Each point's chamber is the balance a motor reaches: from the ambient pressure at
// ignition up to the first balance, then following it, whatever the solver's first
// estimate. The point's burn rate is the law's, or at a limit the rate that passes the
// nozzle there: the mass flow is p At/c* at every point and the gas burnt is rho Ab dy.
TEST_F(PerfectGas, GrainChamberIsTheBalanceAMotorReaches)
{
    PRES_TOL = 1e-8;
    PRES_MAX_ITER = 400;
    const double initial = PRES_INITIAL_ESTIMATE;
    for (const MotorCase& c : motorCases()) {
        for (double estimate : {0.5e6, 3e6, 1e7}) {
            SCOPED_TRACE(std::string(c.what) + ", first estimate " + std::to_string(estimate));
            PRES_INITIAL_ESTIMATE = estimate;
            flagsV = 0;
            RocketVariables& rv = *rocket;
            setLaw(rv, c.limits, c.a, c.n);
            rv.burnPoints = static_cast<uint32_t>(c.areas.size());
            rv.burnArea = c.areas;
            rv.burnDistance.clear();
            for (std::size_t i = 0; i < c.areas.size(); ++i)
                rv.burnDistance.push_back(0.002 * static_cast<double>(i));
            ODE ode(mixture, rocket, false, false);
            ode.calculateIACGrain();
            ASSERT_FALSE(ode.failed) << flagsV.load();
            EXPECT_FALSE(flagRaised(flagsV, code::V02));
            for (std::size_t i = 0; i < c.areas.size(); ++i) {
                const std::string at = " at point " + std::to_string(i);
                const double p = c.expected[i];
                expectRelative(rv.burnChamberPressure[i], p, 1e-6, "pc" + at);
                expectRelative(rv.burnMassFlow[i], p * AT / cStar(), 1e-6, "mass flow" + at);
                // Gas made = gas passed: rho r Ab = p At/c*.
                expectRelative(rv.burnRate[i], p * AT / cStar() / (RHO_P * c.areas[i]), 1e-6, "burn rate" + at);
            }
        }
    }
    PRES_INITIAL_ESTIMATE = initial;
}

// At a limit where the rate steps down the chamber sits at the limit, with a rate between
// the two laws' rates there; with a constant area the gas that leaves in the burn time is
// exactly the propellant burnt.
TEST_F(PerfectGas, GrainChamberSitsAtALimitWhereTheRateStepsDown)
{
    const double Ab = 0.04;
    const double a1 = coefficientBalancing(2.5e6, 0.319, Ab), a2 = coefficientBalancing(1.5e6, 0.319, Ab);
    RocketVariables& rv = *rocket;
    setLaw(rv, {{1e5, 2e6}, {2e6, 2e8}}, {a1, a2}, {0.319, 0.319});
    rv.burnPoints = 5;
    rv.burnDistance = {0.0, 0.003, 0.006, 0.009, 0.012};
    rv.burnArea.assign(5, Ab);
    ODE ode(mixture, rocket, false, false);
    ode.calculateIACGrain();
    ASSERT_FALSE(ode.failed);
    const double r = rv.burnRate[2];
    EXPECT_GT(r, a2 * std::pow(2e6, 0.319));
    EXPECT_LT(r, a1 * std::pow(2e6, 0.319));
    // Mass flow x burn time = rho Ab web.
    expectRelative(rv.burnMassFlow[0] * rv.burnTimes[4], RHO_P * Ab * 0.012, 1e-9, "gas passed against gas made");
    EXPECT_EQ(rv.burnChamberPressure[4], 2e6);
    EXPECT_FALSE(flagRaised(flagsV, code::V00 | code::V01 | code::V02));
}

// A pressure target is met only when the motor on the sized throat gets there from
// ignition at the grain's reference area; otherwise no nozzle, and the pressure it
// settles at. The laws of the motor cases, for Ab = 0.04 m^2:
//  - step up: a target of 2.63 MPa in the second interval sizes the 1e-3 m^2 throat, on
//    which the first law balances at 1.8 MPa: refused, settling at 1.8 MPa. A target of
//    1.8 MPa sizes the same throat and is met. A target of 3.30 MPa sizes At = 1e-3/1.2
//    m^2, where the first law's balance, 2.35 MPa, lies above its interval: met;
//  - one interval: met, as it always was.
TEST_F(PerfectGas, PressureTargetIsMetOrRefusedWithThePressureReached)
{
    PRES_TOL = 1e-8;
    PRES_MAX_ITER = 400;
    const double Ab = 0.04;
    const double a1 = coefficientBalancing(1.8e6, 0.319, Ab), a2 = coefficientBalancing(2.63e6, 0.2, Ab);
    struct Case {
        const char* what;
        std::vector<std::pair<double, double>> limits;
        std::vector<double> a, n;
        double target, throat; // Pa, m^2
        bool met;
        double settled; // Pa, when refused
    };
    const Case cases[] = {
            {"above a lower balance", {{1e5, 2e6}, {2e6, 2e8}}, {a1, a2}, {0.319, 0.2}, 2.63e6, AT, false, 1.8e6},
            {"the lower balance", {{1e5, 2e6}, {2e6, 2e8}}, {a1, a2}, {0.319, 0.2}, 1.8e6, AT, true, 0.0},
            {"no lower balance",
             {{1e5, 2e6}, {2e6, 2e8}},
             {a1, a2},
             {0.319, 0.2},
             2.63e6 * std::pow(1.2, 1.25),
             AT / 1.2,
             true,
             0.0},
            {"one interval", {{1e5, 1e8}}, {LAW_A}, {LAW_N}, 4e6, balancedThroat(Ab, 4e6), true, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        flagsV = 0;
        RocketVariables& rv = *rocket;
        setLaw(rv, c.limits, c.a, c.n);
        rv.combustionArea = Ab;
        rv.targetPressure = c.target;
        rv.adaptExit = false;
        ODE ode(mixture, rocket, false, false);
        EXPECT_EQ(ode.optimizeForPressure(), c.met);
        expectRelative(rv.throatArea, c.throat, 1e-6, "sized throat");
        if (c.met) {
            EXPECT_EQ(rv.sizingRefusal, RocketVariables::SizingRefusal::None);
        } else {
            EXPECT_EQ(rv.sizingRefusal, RocketVariables::SizingRefusal::PressureNotReached);
            expectRelative(rv.settledPressure, c.settled, 1e-6, "pressure the motor settles at");
        }
    }
}

// The burn-time target with n = 0 in the law: such an interval burns at a at every
// pressure. A target whose mean rate no interval gives is refused with that rate.
TEST_F(PerfectGas, BurnTimeTargetWithAPlateauLaw)
{
    RocketVariables& rv = *rocket;
    rv.propellantDensity = RHO_P;
    rv.burnPoints = 7;
    rv.burnDistance = {0, 0.002, 0.004, 0.006, 0.008, 0.010, 0.012};
    rv.burnArea.assign(7, 0.04);
    rv.combustionArea = 0.04;
    rv.ambientPressure = 1e5;
    rv.targetBurnTime = 3.0; // mean rate 4 mm/s
    struct Case {
        const char* what;
        std::vector<std::pair<double, double>> limits;
        std::vector<double> a, n;
        bool met;
    };
    const Case cases[] = {
            {"a plateau at another rate", {{1e5, 1e8}}, {0.006}, {0.0}, false},
            {"a plateau at the rate", {{1e5, 1e8}}, {0.004}, {0.0}, true},
            // 4 mm/s = 1.5e-6 p^0.5 at p = 7.1 MPa, in the second interval.
            {"a plateau below a law that gives the rate", {{1e5, 1e6}, {1e6, 1e8}}, {0.006, LAW_A}, {0.0, LAW_N}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        flagsV = 0;
        rv.vieilleLimits = c.limits;
        rv.vieilleA = c.a;
        rv.vieilleN = c.n;
        setNozzle(rv, {6.0, 3.0, 1.0, 4.0, 10.0}, 2, AT);
        ODE ode(mixture, rocket, false, false);
        EXPECT_EQ(ode.optimizeForBurnTime(), c.met);
        if (c.met) {
            EXPECT_LT(std::fabs(rv.burnTimes.back() - 3.0) / 3.0, OPT_TOL);
        } else {
            EXPECT_EQ(rv.sizingRefusal, RocketVariables::SizingRefusal::BurnRateUnreachable);
            expectRelative(rv.requiredBurnRate, 0.004, 1e-12, "mean rate needed");
            EXPECT_TRUE(flagRaised(flagsV, code::OPT01));
        }
    }
}
