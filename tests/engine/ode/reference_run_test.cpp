// The published hydrogen/oxygen rocket case run through the nozzle solver: an
// equilibrium infinite-area run on a contour with the published area ratios, against
// the printed throat, c* and station figures; and frozen runs of the same propellant
// against an independent frozen expansion (entropy held by bisection, throat at the
// mass-flux maximum, stations where the mass flux matches).
#include <algorithm>
#include <cmath>
#include <cstdio>
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

// |value - printed| within a relative tolerance plus half a unit of the last printed digit.
void expectPrinted(double value, double printed, int decimals, double tolerance, const std::string& what)
{
    const double allowed = tolerance * std::fabs(printed) + 0.5 * std::pow(10.0, -decimals);
    EXPECT_LE(std::fabs(value - printed), allowed) << what << ": " << value << " against " << printed;
}

using nozzle_test::expectRelative;

// Stations 2 cm apart on the case's throat area.
void setNozzle(RocketVariables& rv, const std::vector<double>& ratios, unsigned throat)
{
    nozzle_test::setNozzle(rv, ratios, throat, AT, 0.02);
}

class ReferenceRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        startQuietEngine();
        mixture = hydrogenOxygenRocket();
        mixture->setReactantEnthalpy(298.15);
        rocket = std::make_shared<RocketVariables>();
        rocket->chamberPressure = PC;
    }
    void TearDown() override { endQuietEngine(); }

    std::shared_ptr<Mixture> mixture;
    std::shared_ptr<RocketVariables> rocket;
};

struct PrintedStation {
    unsigned index;
    double ratio;
    double pBar;
    int pDecimals;
    double T, mach, ivac, isp;
    double tolerance;
};

TEST_F(ReferenceRun, EquilibriumInfiniteAreaRunMatchesThePublishedFigures)
{
    // Area ratios 1.58 (subsonic), the throat, then 2, 5, 10, 12.238, 25, 50, 68.753
    // (12.238 and 68.753 are the printed area ratios of pc/p = 100 and 1000).
    setNozzle(*rocket, {1.58, 1.0, 2.0, 5.0, 10.0, 12.238, 25.0, 50.0, 68.753}, 1);
    ODE ode(mixture, rocket, false, false);
    ode.calculateIAC();
    ASSERT_FALSE(ode.failed);
    const RocketVariables& rv = *rocket;
    EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
    EXPECT_EQ(flagsODE.load(), 0u);

    const double mdot = rv.rho[1] * rv.u[1] * rv.area[1];
    const double cStar = PC * AT / mdot;
    std::printf("chamber T %.2f/3383.84  throat T %.2f/3185.67  p %.4f/30.655 bar  c* %.2f/2332.3\n", rv.chamberT,
                rv.T[1], rv.p[1] / 1e5, cStar);
    expectPrinted(rv.chamberT, 3383.84, 2, 1e-4, "chamber T");
    expectPrinted(rv.T[1], 3185.67, 2, 1e-4, "throat T");
    expectPrinted(rv.p[1] / 1e5, 30.655, 3, 1e-4, "throat p");
    expectPrinted(cStar, 2332.3, 1, 1e-4, "c*");
    expectPrinted(rv.mach[1], 1.0, 3, 1e-4, "throat Mach");

    // The throat's Isp at its own pressure is its velocity, the sound speed.
    const PrintedStation stations[] = {{0, 1.58, 48.382, 3, 3348.69, 0.413, 3997.6, 653.6, 1e-4},
                                       {1, 1.0, 30.655, 3, 3185.67, 1.0, 2878.9, 1537.9, 1e-4},
                                       {5, 12.238, 0.53317, 5, 1759.89, 3.332, 4167.6, 3882.1, 1e-4},
                                       {6, 25.0, 0.20491, 5, 1468.16, 3.848, 4348.5, 4124.4, 1e-4},
                                       {7, 50.0, 0.08146, 5, 1219.61, 4.379, 4487.3, 4309.1, 1e-4},
                                       {8, 68.753, 0.05332, 5, 1115.87, 4.638, 4541.2, 4380.8, 1e-4}};
    for (const PrintedStation& s : stations) {
        const unsigned j = s.index;
        const std::string at = " at area ratio " + std::to_string(s.ratio);
        const double isp = rv.u[j]; // exit pressure = ambient
        const double ivac = rv.u[j] + rv.p[j] * rv.area[j] / mdot; // vacuum
        std::printf("Ae/At %5.2f  p %.5f/%.5f bar  T %.2f/%.2f  M %.4f/%.3f  Ivac %.2f/%.1f  Isp %.2f/%.1f\n", s.ratio,
                    rv.p[j] / 1e5, s.pBar, rv.T[j], s.T, rv.mach[j], s.mach, ivac, s.ivac, isp, s.isp);
        expectPrinted(rv.p[j] / 1e5, s.pBar, s.pDecimals, s.tolerance, "p" + at);
        expectPrinted(rv.T[j], s.T, 2, s.tolerance, "T" + at);
        expectPrinted(rv.mach[j], s.mach, 3, s.tolerance, "Mach" + at);
        expectPrinted(ivac, s.ivac, 1, s.tolerance, "Ivac" + at);
        expectPrinted(isp, s.isp, 1, s.tolerance, "Isp" + at);
    }
}

TEST_F(ReferenceRun, TransportAndHeatTransferLeaveTheFlowAlone)
{
    // The same run with transport and the wall coefficient: the chamber and the stations
    // are those of the run without them, every station has an equilibrium Prandtl
    // number in the physical range and a finite wall coefficient, and the reaction
    // terms never break down on the trace species of the expansion.
    mixture = hydrogenOxygenRocket(TransportData::With);
    mixture->setReactantEnthalpy(298.15);
    const std::vector<double> ratios{1.58, 1.0, 2.0, 5.0, 10.0, 25.0, 50.0};
    setNozzle(*rocket, ratios, 1);
    rocket->throatDiameter = std::sqrt(4.0 * AT / M_PI);
    rocket->throatCurvatureRadius = rocket->throatDiameter;
    rocket->wallTemperature = 800.0;
    auto plain = std::make_shared<RocketVariables>(*rocket);
    ODE without(mixture, plain, false, false);
    without.calculateIAC();
    ODE with(mixture, rocket, true, true);
    with.calculateIAC();
    ASSERT_FALSE(with.failed);
    EXPECT_FALSE(flagRaised(flagsSP, code::SP11 | code::SP15 | code::SP16));
    EXPECT_DOUBLE_EQ(rocket->chamberCp, plain->chamberCp);
    EXPECT_DOUBLE_EQ(rocket->chamberGamma, plain->chamberGamma);
    EXPECT_DOUBLE_EQ(rocket->chamberSoundSpeed, plain->chamberSoundSpeed);
    expectRelative(rocket->chamberPrandtlCp, rocket->chamberCp, 1e-9, "chamber cp of the Prandtl number");
    for (unsigned j = 0; j < rocket->stationCount; ++j) {
        const std::string at = " at area ratio " + std::to_string(ratios[j]);
        EXPECT_DOUBLE_EQ(rocket->T[j], plain->T[j]) << at;
        EXPECT_DOUBLE_EQ(rocket->cp[j], plain->cp[j]) << at;
        expectRelative(rocket->prandtlCp[j], rocket->cp[j], 1e-9, "cp of the Prandtl number" + at);
        EXPECT_GT(rocket->prandtl[j], 0.4) << at;
        EXPECT_LT(rocket->prandtl[j], 1.0) << at;
        EXPECT_GT(rocket->bartzH[j], 0.0) << at;
        EXPECT_TRUE(std::isfinite(rocket->bartzH[j])) << at;
    }
    // The coefficient peaks at the throat.
    EXPECT_GT(rocket->bartzH[1], rocket->bartzH[0]);
    EXPECT_GT(rocket->bartzH[1], rocket->bartzH[2]);
}

// Frozen heat capacity per kg, isentropic exponent and sound speed of a composition given
// by its mole fractions and molecular weight, from the species fits alone.
struct FrozenProperties {
    double cp, gamma, soundSpeed;
};
FrozenProperties frozenProperties(const Mixture& m, const std::vector<double>& fractions, double mw, double T)
{
    double cpR = 0.0;
    for (std::size_t i = 0; i < fractions.size(); ++i) {
        m.species[i]->thermo(T);
        cpR += fractions[i] * m.species[i]->cpR;
    }
    const double gamma = cpR / (cpR - 1.0);
    return {R_UNIVERSAL * cpR / mw, gamma, std::sqrt(gamma * R_UNIVERSAL * T / mw)};
}

TEST_F(ReferenceRun, OnlyFrozenReportsFrozenSoundSpeed)
{
    // Dissociating products: the frozen sound speed is several percent above the
    // equilibrium one. ONLY_FROZ changes what the stations and the chamber report (frozen
    // cp, gamma and sound speed, so a sonic equilibrium throat shows a frozen Mach number
    // below 1), not the flow itself.
    const std::vector<double> ratios{1.58, 1.0, 2.0, 10.0};
    setNozzle(*rocket, ratios, 1);
    auto frozenOutputs = std::make_shared<RocketVariables>(*rocket);
    ODE equilibrium(mixture, rocket, false, false);
    equilibrium.calculateIAC();
    ONLY_FROZ = true;
    ODE onlyFrozen(mixture, frozenOutputs, false, false);
    onlyFrozen.calculateIAC();
    ONLY_FROZ = false;
    ASSERT_FALSE(equilibrium.failed);
    ASSERT_FALSE(onlyFrozen.failed);

    auto fractionsAt = [](const RocketVariables& rv, unsigned j) {
        std::vector<double> x;
        for (const auto& row : rv.moleFractions)
            x.push_back(row[j]);
        return x;
    };
    const RocketVariables& eq = *rocket;
    const RocketVariables& fr = *frozenOutputs;
    for (unsigned j = 0; j < fr.stationCount; ++j) {
        const std::string at = " at area ratio " + std::to_string(ratios[j]);
        expectRelative(fr.T[j], eq.T[j], 1e-6, "T" + at);
        expectRelative(fr.u[j], eq.u[j], 1e-6, "u" + at);
        const FrozenProperties f = frozenProperties(*mixture, fractionsAt(fr, j), fr.molecularWeight[j], fr.T[j]);
        expectRelative(fr.soundSpeed[j], f.soundSpeed, 1e-9, "frozen sound speed" + at);
        expectRelative(fr.gamma[j], f.gamma, 1e-9, "frozen gamma" + at);
        expectRelative(fr.cp[j], f.cp, 1e-9, "frozen cp" + at);
        expectRelative(fr.mach[j], fr.u[j] / f.soundSpeed, 1e-9, "frozen Mach" + at);
        // The equilibrium outputs differ from the frozen ones where the gas still reacts
        // strongly (upstream of and at the throat).
        if (j <= 1) {
            EXPECT_LT(eq.soundSpeed[j], 0.98 * f.soundSpeed) << at;
        }
    }
    EXPECT_NEAR(eq.mach[1], 1.0, 1e-5);
    EXPECT_LT(fr.mach[1], 0.98);
    const FrozenProperties chamber = frozenProperties(*mixture, fr.chamberMoleFractions, fr.chamberMW, fr.chamberT);
    expectRelative(fr.chamberSoundSpeed, chamber.soundSpeed, 1e-9, "chamber frozen sound speed");
    expectRelative(fr.chamberGamma, chamber.gamma, 1e-9, "chamber frozen gamma");
    EXPECT_LT(eq.chamberSoundSpeed, 0.98 * chamber.soundSpeed);
}

// Frozen expansion of a fixed composition, computed from the species fits alone.
class FrozenExpansion {
public:
    FrozenExpansion(const Mixture& m, double entropy, double enthalpy) : s0_(entropy), h0_(enthalpy)
    {
        for (uint16_t j = 0; j < m.nGas; ++j) {
            if (m.species[j]->moles > 0.0) {
                gases_.push_back(m.species[j].get());
                n_ += m.species[j]->moles;
            }
        }
    }
    void state(double T, double p, double& h, double& s) const
    {
        h = 0.0;
        s = 0.0;
        for (Species* sp : gases_) {
            sp->thermo(T);
            h += sp->moles * sp->enthalpyRT * R_UNIVERSAL * T;
            s += sp->moles * R_UNIVERSAL * (sp->entropyR - std::log(sp->moles / n_) - std::log(p / 1e5));
        }
    }
    double temperature(double p) const
    {
        double lo = 200.0, hi = 6000.0, h, s;
        for (int k = 0; k < 80; ++k) {
            const double mid = 0.5 * (lo + hi);
            state(mid, p, h, s);
            (s > s0_ ? hi : lo) = mid;
        }
        return 0.5 * (lo + hi);
    }
    double flux(double p) const
    {
        const double T = temperature(p);
        double h, s;
        state(T, p, h, s);
        return p / (R_UNIVERSAL * n_ * T) * std::sqrt(2.0 * (h0_ - h));
    }
    // Throat: the pressure of the largest mass flux (golden section).
    double throatPressure(double lo, double hi) const
    {
        const double r = 0.5 * (std::sqrt(5.0) - 1.0);
        double a = lo, b = hi;
        for (int k = 0; k < 80; ++k) {
            const double c = b - r * (b - a), d = a + r * (b - a);
            (flux(c) > flux(d) ? b : a) = (flux(c) > flux(d) ? d : c);
        }
        return 0.5 * (a + b);
    }
    // Supersonic station where the flux is the throat flux over the area ratio.
    double supersonicPressure(double targetFlux, double throatP) const
    {
        double lo = std::log(1.0), hi = std::log(throatP);
        for (int k = 0; k < 80; ++k) {
            const double mid = 0.5 * (lo + hi);
            (flux(std::exp(mid)) > targetFlux ? hi : lo) = mid;
        }
        return std::exp(0.5 * (lo + hi));
    }

private:
    std::vector<Species*> gases_;
    double n_ = 0.0;
    double s0_, h0_;
};

TEST_F(ReferenceRun, FrozenRunsFollowTheFrozenExpansionOfTheirComposition)
{
    struct Case {
        const char* label;
        std::vector<double> ratios;
        unsigned throat, frozen;
        bool everyStationConverges = true;
    };
    // The stations a hair past the throat are those of a fine grid (area ratio 1 + 1e-6
    // beside the throat on 20,000 stations of a conical nozzle).
    const std::vector<double> hairPast{1.58,  1.0, 1.0 + 1e-7, 1.0 + 1e-6, 1.0 + 1e-5, 1.0 + 1e-4,
                                       1.001, 2.0, 5.0,        10.0,       25.0};
    // Frozen at the throat; frozen at the chamber (a first station so wide that its
    // equilibrium is the chamber's: the frozen-throat procedure; that station lies below
    // the smallest ln(pc/p) the station solve tries, so it does not converge); frozen at
    // the throat and just past it with stations a hair past the throat; frozen where the
    // area is 1e-3 above the throat's (a millimetre ahead of the throat of the conical
    // nozzle of the starting data).
    const Case cases[]
            = {{"throat", {1.58, 1.0, 2.0, 5.0, 10.0, 25.0}, 1, 1},
               {"chamber", {400.0, 1.58, 1.0, 2.0, 5.0, 10.0, 25.0}, 2, 0, false},
               {"throat, stations a hair past it", hairPast, 1, 1},
               {"station a hair past the throat", hairPast, 1, 2},
               {"station a millimetre ahead of the throat", {1.58, 1.1, 1.001, 1.0, 1.0 + 1e-6, 2.0, 25.0}, 3, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        flagsODE = 0;
        auto rv = std::make_shared<RocketVariables>();
        rv->chamberPressure = PC;
        setNozzle(*rv, c.ratios, c.throat);
        ODE ode(mixture, rv, c.frozen, false, false);
        ode.calculateIAC();
        ASSERT_FALSE(ode.failed);
        EXPECT_FALSE(flagRaised(flagsODE, code::ODE00 | code::ODE02 | code::ODE03)) << flagsODE.load();
        if (c.everyStationConverges) {
            EXPECT_FALSE(flagRaised(flagsODE, code::ODE01));
        }
        // After the run the mixture holds the frozen composition.
        FrozenExpansion frozen(*mixture, rv->chamberS, rv->chamberH);
        const unsigned t = c.throat;
        double throatFlux = rv->rho[t] * rv->u[t];
        if (c.frozen < t) {
            const double pt = frozen.throatPressure(0.4 * PC, 0.8 * PC);
            expectRelative(rv->p[t], pt, 1e-4, "frozen throat p");
            expectRelative(rv->T[t], frozen.temperature(pt), 1e-4, "frozen throat T");
            throatFlux = frozen.flux(pt);
        }
        // Every frozen station past the throat is supersonic in the frozen sense.
        for (unsigned j = std::max(t, c.frozen) + 1; j < rv->stationCount; ++j) {
            const double p = frozen.supersonicPressure(throatFlux / c.ratios[j], rv->p[t]);
            const std::string at = " at area ratio " + std::to_string(c.ratios[j]);
            expectRelative(rv->p[j], p, 1e-4, "p" + at);
            expectRelative(rv->T[j], frozen.temperature(p), 1e-4, "T" + at);
            EXPECT_GT(rv->mach[j], 1.0) << at;
        }
        std::printf("frozen at the %s: exit p %.2f Pa, T %.2f K, u %.1f m/s\n", c.label, rv->p.back(), rv->T.back(),
                    rv->u.back());
    }
}

TEST_F(ReferenceRun, FreezingTooCloseAheadOfTheThroatToChokeThereFreezesTheEquilibriumSonicState)
{
    // Frozen at the equilibrium throat state the flow has a frozen Mach number of about
    // 0.978 (its frozen sound speed is the higher one), and would choke only in an area
    // 2 (1 - 0.978)^2/(g + 1) = 4.4e-4 smaller (the area-Mach number relation, g = 1.2).
    // Freezing ahead of the throat at 1 + 1e-4 times its area, no freezing state chokes
    // at the throat: the equilibrium flow reaches its sonic state, the published throat,
    // at the freezing station, which then passes the published throat flux times its
    // area, and the frozen flow stays subsonic through the throat.
    const std::vector<double> ratios{1.58, 1.1, 1.0001, 1.0, 1.0 + 1e-6, 2.0, 5.0, 25.0};
    const unsigned f = 2, t = 3;
    setNozzle(*rocket, ratios, t);
    ODE ode(mixture, rocket, f, false, false);
    ode.calculateIAC();
    ASSERT_FALSE(ode.failed);
    EXPECT_EQ(flagsODE.load(), 0u);
    const RocketVariables& rv = *rocket;
    EXPECT_EQ(rv.frozenIndex, rv.stationCount) << "the freezing station stays the one asked for";
    EXPECT_NEAR(rv.mach[f], 1.0, 1e-4);
    expectPrinted(rv.T[f], 3185.67, 2, 1e-4, "freezing station T");
    expectPrinted(rv.p[f] / 1e5, 30.655, 3, 1e-4, "freezing station p");
    // Every station passes the freezing station's flow; c* is the published one over the
    // freezing station's area ratio.
    const double mdot = rv.rho[f] * rv.u[f] * rv.area[f];
    for (unsigned j = 0; j < rv.stationCount; ++j)
        expectRelative(rv.rho[j] * rv.u[j] * rv.area[j], mdot, 1e-6, "mass flow at station " + std::to_string(j));
    expectPrinted(PC * AT / mdot * ratios[f], 2332.3, 1, 1e-4, "c* of the throat area");
    EXPECT_LT(rv.mach[t], 1.0);
    FrozenExpansion frozen(*mixture, rv.chamberS, rv.chamberH);
    for (unsigned j = t + 1; j < rv.stationCount; ++j) {
        const double p = frozen.supersonicPressure(mdot / rv.area[j], rv.p[t]);
        const std::string at = " at area ratio " + std::to_string(ratios[j]);
        expectRelative(rv.p[j], p, 1e-4, "p" + at);
        expectRelative(rv.T[j], frozen.temperature(p), 1e-4, "T" + at);
        EXPECT_GT(rv.mach[j], 1.0) << at;
    }
}

TEST_F(ReferenceRun, FreezingAtTheLastStationIsNoFreezing)
{
    const std::vector<double> ratios{1.58, 1.0, 2.0, 5.0, 10.0, 25.0};
    setNozzle(*rocket, ratios, 1);
    auto frozenLast = std::make_shared<RocketVariables>(*rocket);
    ODE equilibrium(mixture, rocket, false, false);
    equilibrium.calculateIAC();
    ODE last(mixture, frozenLast, static_cast<uint32_t>(ratios.size() - 1), false, false);
    last.calculateIAC();
    EXPECT_EQ(frozenLast->T, rocket->T);
    EXPECT_EQ(frozenLast->p, rocket->p);
    EXPECT_EQ(frozenLast->u, rocket->u);
}

// A frozen composition is frozen everywhere: every station from the freezing point on,
// the throat included, reports the composition of the freezing station, to the last
// bit (they carry one composition; the throat, solved before the sweep, would otherwise
// keep one a hair apart).
TEST_F(ReferenceRun, FrozenCompositionIsTheSameAtEveryStationFromTheFreezingPointOn)
{
    struct Case {
        const char* label;
        uint32_t frozen;
        bool finiteArea;
    };
    // Throat at station 2; the first station so wide that its equilibrium is the
    // chamber's.
    const Case cases[] = {{"frozen at the entrance", 0, false},
                          {"frozen between the entrance and the throat", 1, false},
                          {"frozen at the throat", 2, false},
                          {"frozen at the entrance, finite-area combustor", 0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        flagsODE = 0;
        auto rv = std::make_shared<RocketVariables>();
        rv->chamberPressure = PC;
        setNozzle(*rv, {400.0, 1.58, 1.0, 2.0, 5.0, 10.0, 25.0}, 2);
        rv->chamberArea = rv->area[0];
        ODE ode(mixture, rv, c.frozen, false, false);
        if (c.finiteArea)
            ode.calculateFAC();
        else
            ode.calculateIAC();
        ASSERT_FALSE(ode.failed);
        const unsigned f = ode.frozenIndex;
        ASSERT_EQ(rv->stationCount, 7u) << "no station added in front";
        for (std::size_t i = 0; i < rv->moleFractions.size(); ++i) {
            for (unsigned j = f + 1; j < rv->stationCount; ++j)
                EXPECT_EQ(rv->moleFractions[i][j], rv->moleFractions[i][f])
                        << rv->speciesNames[i] << " at station " << j;
        }
        for (unsigned j = f + 1; j < rv->stationCount; ++j)
            EXPECT_EQ(rv->molecularWeight[j], rv->molecularWeight[f]) << "station " << j;
        // The throat stays the frozen sonic point.
        EXPECT_NEAR(rv->mach[2], 1.0, 1e-4);
    }
}

TEST_F(ReferenceRun, FiniteAreaEntryMomentumBalance)
{
    setNozzle(*rocket, {1.58, 1.0, 2.0, 5.0, 10.0, 25.0}, 1);
    rocket->chamberArea = 2.0 * AT; // wider than the contour's entry: one station in front
    ODE ode(mixture, rocket, false, false);
    ode.calculateFAC();
    ASSERT_FALSE(ode.failed);
    EXPECT_EQ(rocket->stationCount, 7u);
    EXPECT_EQ(rocket->throatIndex, 2u);
    EXPECT_DOUBLE_EQ(rocket->injectorPressure, PC);
    const double M0 = rocket->p[0] + rocket->rho[0] * rocket->u[0] * rocket->u[0];
    EXPECT_LE(std::fabs(M0 - PC) / PC, FAC_CONV);
    EXPECT_LT(rocket->chamberPressure, PC);
    // chamberT keeps the combustion temperature at the injector (the published chamber).
    expectPrinted(rocket->chamberT, 3383.84, 2, 1e-4, "combustion T");
}

} // namespace
