// The run record's defaults and station resizing, and the station and chamber outputs:
// transport on or off, the Bartz coefficient against the textbook form of the
// correlation.
#include <cmath>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"
#include "perfect_gas.h"

namespace {

TEST(RocketVariablesRecord, Defaults)
{
    const double seed = T_SEED;
    T_SEED = 3500.0;
    auto rv = std::make_shared<RocketVariables>();
    T_SEED = 4100.0;
    auto later = std::make_shared<RocketVariables>();
    T_SEED = seed;
    EXPECT_EQ(rv->chamberT, 3500.0); // taken at construction, not followed afterwards
    EXPECT_EQ(later->chamberT, 4100.0);

    EXPECT_EQ(rv->reactantTemperature, 298.15);
    for (double v :
         {rv->wallTemperature, rv->propellantDensity, rv->throatCurvatureRadius, rv->throatDiameter, rv->throatArea,
          rv->exitArea, rv->chamberRho, rv->chamberSoundSpeed, rv->chamberMW, rv->chamberCp, rv->chamberCv})
        EXPECT_EQ(v, 1.0);
    EXPECT_EQ(rv->chamberGamma, 1.1);
    EXPECT_EQ(rv->chamberPressure, 3e6);
    EXPECT_EQ(rv->injectorPressure, 3e6);
    EXPECT_EQ(rv->burnPoints, 1u);
    EXPECT_TRUE(rv->isODE);
    EXPECT_TRUE(rv->isIAC);
    EXPECT_FALSE(rv->isGrain);
    EXPECT_FALSE(rv->adaptExit);
    EXPECT_EQ(rv->givenPressure, 0.0);
    EXPECT_EQ(rv->burnTime, 0.0);
    EXPECT_EQ(rv->stationCount, 0u);
    EXPECT_TRUE(rv->T.empty());
    EXPECT_TRUE(rv->moleFractions.empty());
}

TEST(RocketVariablesRecord, ResizeStationsKeepsEntriesAndLeavesTheGeometry)
{
    struct Case {
        uint32_t from, to;
    };
    for (const Case& c : {Case{3, 5}, Case{5, 0}, Case{5, 2}, Case{0, 4}}) {
        SCOPED_TRACE(std::to_string(c.from) + " to " + std::to_string(c.to));
        RocketVariables rv;
        rv.stationCount = c.from;
        rv.resizeStations();
        std::vector<std::vector<double>*> vectors{&rv.T,
                                                  &rv.p,
                                                  &rv.h,
                                                  &rv.s,
                                                  &rv.rho,
                                                  &rv.soundSpeed,
                                                  &rv.u,
                                                  &rv.mach,
                                                  &rv.gamma,
                                                  &rv.cp,
                                                  &rv.cv,
                                                  &rv.viscosity,
                                                  &rv.conductivity,
                                                  &rv.prandtlCp,
                                                  &rv.prandtl,
                                                  &rv.massFlow,
                                                  &rv.molecularWeight,
                                                  &rv.stationScale,
                                                  &rv.bartzH};
        ASSERT_EQ(vectors.size(), 19u);
        for (auto* v : vectors)
            for (std::size_t i = 0; i < v->size(); ++i)
                (*v)[i] = 10.0 + i;
        rv.x = {1.0, 2.0};
        rv.area = {3.0};
        rv.moleFractions = {{0.5}};
        rv.stationCount = c.to;
        rv.resizeStations();
        for (auto* v : vectors) {
            ASSERT_EQ(v->size(), c.to);
            for (uint32_t i = 0; i < c.to; ++i) {
                const double expected = i < c.from ? 10.0 + i : (v == &rv.stationScale ? 1.0 : 0.0);
                EXPECT_EQ((*v)[i], expected);
            }
        }
        EXPECT_EQ(rv.x, (std::vector<double>{1.0, 2.0}));
        EXPECT_EQ(rv.area, (std::vector<double>{3.0}));
        EXPECT_EQ(rv.moleFractions, (std::vector<std::vector<double>>{{0.5}}));
    }
}

using namespace perfect_gas;

class Outputs : public ::testing::Test {
protected:
    void SetUp() override
    {
        setEngineMessageHandler([](const EngineMessage&) {});
        flagsSP = 0;
        flagsODE = 0;
        CONV_COND = 1e-10;
        THROAT_CONV = 1e-10;
        mixture = perfect_gas::mixture();
        // Transport fits: mu = e^D T^0.6 1e-7, lambda = e^D T^0.6 1e-4.
        const double viscosityD[2] = {2.1, 2.3}, conductivityD[2] = {3.2, 3.0};
        for (int k = 0; k < 2; ++k) {
            Species& s = *mixture->species[k];
            s.viscosityRanges = {{200.0, 6000.0}};
            s.viscosityFits = {{0.6, 0.0, 0.0, viscosityD[k]}};
            s.conductivityRanges = {{200.0, 6000.0}};
            s.conductivityFits = {{0.6, 0.0, 0.0, conductivityD[k]}};
            s.nViscosityIntervals = 1;
            s.nConductivityIntervals = 1;
            s.hasTransport = true;
        }
        mixture->transportSpecies = {0, 1};
        mixture->nTransport = 2;
        rocket = std::make_shared<RocketVariables>();
        rocket->chamberPressure = PC;
        setNozzle(*rocket, {2.0, 1.0, 2.0, 4.0}, 1, AT);
        rocket->throatCurvatureRadius = 0.02;
        rocket->wallTemperature = 800.0;
    }
    void TearDown() override
    {
        CONV_COND = 4e-5;
        THROAT_CONV = 4e-5;
        setEngineMessageHandler({});
    }
    static constexpr double PC = 4e6;
    static constexpr double AT = 2e-3;
    std::shared_ptr<Mixture> mixture;
    std::shared_ptr<RocketVariables> rocket;
};

TEST_F(Outputs, TransportDoesNotChangeTheChamberProperties)
{
    auto plain = std::make_shared<RocketVariables>(*rocket);
    ODE withoutTransport(mixture, plain, false, false);
    withoutTransport.calculateIAC();
    ODE withTransport(mixture, rocket, true, false);
    withTransport.calculateIAC();
    EXPECT_DOUBLE_EQ(rocket->chamberCp, plain->chamberCp);
    EXPECT_DOUBLE_EQ(rocket->chamberCv, plain->chamberCv);
    EXPECT_DOUBLE_EQ(rocket->chamberGamma, plain->chamberGamma);
    EXPECT_DOUBLE_EQ(rocket->chamberSoundSpeed, plain->chamberSoundSpeed);
    for (unsigned j = 0; j < rocket->stationCount; ++j) {
        EXPECT_DOUBLE_EQ(rocket->T[j], plain->T[j]);
        EXPECT_GT(rocket->viscosity[j], 0.0);
        EXPECT_GT(rocket->prandtl[j], 0.0);
        EXPECT_EQ(plain->viscosity[j], 0.0); // transport off writes no transport outputs
    }
    EXPECT_GT(rocket->chamberViscosity, 0.0);
    EXPECT_EQ(plain->chamberViscosity, 0.0);
}

TEST_F(Outputs, BartzCoefficientsFollowTheTextbookCorrelation)
{
    ODE ode(mixture, rocket, true, true);
    ode.calculateIAC();
    ASSERT_FALSE(ode.failed);
    const RocketVariables& rv = *rocket;
    // Bartz: h = 0.026/Dt^0.2 (mu^0.2 cp/Pr^0.6) (pc/c*)^0.8 (Dt/rc)^0.1 (At/A)^0.9 sigma,
    // here with sigma = (2T/(T + Tw))^0.68, cp the Prandtl heat capacity, pc/c* the throat
    // mass flux.
    const double Dt = rv.throatDiameter;
    for (unsigned j : {1u, 2u, 3u}) {
        const double ratio = rv.area[j] / AT;
        const double mu = rv.viscosity[j], Pr = rv.prandtl[j], cpPr = rv.prandtlCp[j], T = rv.T[j];
        const double textbook = 0.026 / std::pow(Dt, 0.2) * std::pow(mu, 0.2) * cpPr / std::pow(Pr, 0.6)
                * std::pow(PC / cStar(), 0.8) * std::pow(Dt / 0.02, 0.1) * std::pow(1.0 / ratio, 0.9)
                * std::pow(2.0 * T / (T + 800.0), 0.68);
        EXPECT_NEAR(rv.bartzH[j] / textbook, 1.0, 1e-4) << "area ratio " << ratio;
    }
    // The chamber: its area is the first station's, the gas moves at VEL_CHAMBER.
    EXPECT_EQ(rv.chamberArea, rv.area[0]);
    const double Dc = std::sqrt(4.0 * rv.chamberArea / 3.141592);
    const double rhoC = PC / (gasConstant() * TC);
    const double mu = rv.chamberViscosity, Pr = rv.chamberPrandtl, cpPr = rv.chamberPrandtlCp;
    const double chamber = 0.026 / std::pow(Dc, 0.2) * std::pow(mu, 0.2) * cpPr / std::pow(Pr, 0.6)
            * std::pow(rhoC * 30.0, 0.8) * std::pow(2.0 * TC / (TC + 800.0), 0.68);
    EXPECT_NEAR(rv.chamberBartzH / chamber, 1.0, 1e-6);
}

} // namespace
