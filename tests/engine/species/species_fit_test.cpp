// Species property fits: published table values, the thermodynamic identities that any
// correct fit evaluation satisfies, the extrapolation outside the fit and the range codes.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "engine/species.h"
#include "support/imported_databases.h"

namespace {

// A species with the given Cp intervals (one coefficient list per interval).
Species fitted(const std::vector<std::pair<double, double>>& ranges, const std::vector<std::vector<double>>& a,
               const std::vector<std::vector<double>>& e, const std::vector<std::pair<double, double>>& b,
               std::vector<std::pair<double, double>> viscRanges = {}, std::vector<std::array<double, 4>> viscFits = {})
{
    return Species(1, static_cast<uint8_t>(ranges.size()), static_cast<uint8_t>(a.empty() ? 0 : a[0].size()),
                   static_cast<uint8_t>(viscRanges.size()), 0, "X", {{1.0, "H"}}, 0.0, 10.0, 0, a, e, b, ranges,
                   viscRanges, viscFits, {}, {}, -1.0);
}

class SpeciesFit : public ::testing::Test {
protected:
    void SetUp() override { flagsSP = 0; }
};

TEST_F(SpeciesFit, ConstructorDerivesItsFields)
{
    Species s = fitted({{200, 1000}, {1000, 6000}}, {{1.0}, {1.0}}, {{0.0}, {0.0}}, {{0, 0}, {0, 0}}, {{300, 1000}},
                       {{{0.6, -10.0, 100.0, 2.0}}});
    EXPECT_DOUBLE_EQ(s.gasConstant, 831.451);
    EXPECT_DOUBLE_EQ(s.minTemperature, 200.0);
    EXPECT_DOUBLE_EQ(s.maxTemperature, 6000.0);
    EXPECT_TRUE(s.hasTransport);
    EXPECT_EQ(s.logMoles, 1.0);
    EXPECT_EQ(s.moles, 0.0);
    auto h2l = databaseRecord("H2(L)");
    EXPECT_DOUBLE_EQ(h2l->minTemperature, 20.27);
    EXPECT_DOUBLE_EQ(h2l->maxTemperature, 20.27);
    EXPECT_DOUBLE_EQ(h2l->formationEnthalpyR, -9012000.0 / 8314.51);
    EXPECT_FALSE(h2l->hasTransport);
}

// JANAF / NASA Glenn table values (J/(mol K), kJ/mol), independent of the fit code.
TEST_F(SpeciesFit, MatchesPublishedTableValues)
{
    struct Case {
        const char* name;
        double T, cp, s, h; // cp, s in J/(mol K); h in kJ/mol (assigned enthalpy)
    } cases[] = {
            {"H2O", 298.15, 33.590, 188.834, -241.826},
            {"H2", 298.15, 28.836, 130.680, 0.0},
            {"O2", 1000.0, 34.870, 243.578, 22.707},
    };
    for (const Case& c : cases) {
        auto s = databaseRecord(c.name);
        s->thermoDimensional(c.T);
        EXPECT_NEAR(s->cp / 1000.0, c.cp, 0.02) << c.name;
        EXPECT_NEAR(s->entropy / 1000.0, c.s, 0.02) << c.name;
        EXPECT_NEAR(s->enthalpy / 1e6, c.h, 0.05) << c.name;
        EXPECT_NEAR(s->gibbs, s->enthalpy - c.T * s->entropy, 1e-6 * std::fabs(s->enthalpy) + 1e-6) << c.name;
    }
}

TEST_F(SpeciesFit, ConstantCpFitGivesHandValues)
{
    Species s = fitted({{200, 1000}}, {{1.0}}, {{0.0}}, {{0, 0}});
    s.thermo(500.0);
    EXPECT_DOUBLE_EQ(s.cpR, 1.0);
    EXPECT_DOUBLE_EQ(s.enthalpyRT, 1.0);
    EXPECT_NEAR(s.entropyR, 6.214608, 1e-6);
    s.moles = 1.0;
    s.thermo(100.0);
    EXPECT_DOUBLE_EQ(s.cpR, 1.0);
    EXPECT_NEAR(s.enthalpyRT, 1.0, 1e-14);
    EXPECT_NEAR(s.entropyR, 4.605170, 1e-6);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP01));
}

// dH/dT = Cp and dS/dT = Cp/T hold for every exponent set, including -1, 0 and
// fractional exponents, and for the extrapolation outside the fit.
TEST_F(SpeciesFit, EnthalpyAndEntropyAreIntegralsOfCp)
{
    Species fractional = fitted({{300, 2000}}, {{2.0e5, -300.0, 3.0, 0.4, 2e-3, 5e-6, -1e-9}},
                                {{-2.0, -1.0, 0.0, 0.5, 1.0, 1.5, 2.5}}, {{-1000.0, 3.0}});
    auto water = databaseRecord("H2O");
    struct Probe {
        Species* s;
        double T;
    } probes[]
            = {{&fractional, 350}, {&fractional, 1200}, {&fractional, 150},  {&fractional, 3000}, {water.get(), 250},
               {water.get(), 800}, {water.get(), 2500}, {water.get(), 5000}, {water.get(), 120},  {water.get(), 9000}};
    for (const Probe& p : probes) {
        const double h = 1e-3 * p.T;
        auto H = [&](double T) {
            p.s->thermoDimensional(T);
            return p.s->enthalpy;
        };
        auto S = [&](double T) {
            p.s->thermoDimensional(T);
            return p.s->entropy;
        };
        const double dH = (H(p.T + h) - H(p.T - h)) / (2 * h);
        const double dS = (S(p.T + h) - S(p.T - h)) / (2 * h);
        p.s->thermoDimensional(p.T);
        EXPECT_NEAR(dH / p.s->cp, 1.0, 1e-6) << p.s->name << " T " << p.T;
        EXPECT_NEAR(dS * p.T / p.s->cp, 1.0, 1e-6) << p.s->name << " T " << p.T;
    }
}

TEST_F(SpeciesFit, ExtrapolationIsContinuousAndKeepsCp)
{
    auto water = databaseRecord("H2O"); // fitted 200 K to 6000 K
    water->thermo(200.0);
    const double cp0 = water->cpR, h0 = water->enthalpyRT * 200.0, s0 = water->entropyR;
    water->thermo(200.0 - 1e-9);
    EXPECT_NEAR(water->enthalpyRT * (200.0 - 1e-9), h0, 1e-6);
    EXPECT_NEAR(water->entropyR, s0, 1e-8);
    water->thermo(100.0);
    EXPECT_DOUBLE_EQ(water->cpR, cp0);
    EXPECT_NEAR(water->enthalpyRT * 100.0, h0 - cp0 * 100.0, 1e-6 * std::fabs(h0));
    EXPECT_NEAR(water->entropyR, s0 + cp0 * std::log(0.5), 1e-9);
    EXPECT_EQ(flagsSP.load(), 0u) << "no code for a species without moles";
}

TEST_F(SpeciesFit, IntervalBoundsAndRangeCodes)
{
    Species s
            = fitted({{200, 1000}, {1000, 6000}}, {{1.0, 0.0}, {2.0, 0.0}}, {{0.0, 1.0}, {0.0, 1.0}}, {{0, 0}, {0, 0}});
    s.moles = 1.0;
    s.thermo(1000.0); // a low bound belongs to its interval
    EXPECT_DOUBLE_EQ(s.cpR, 2.0);
    EXPECT_EQ(flagsSP.load(), 0u);
    s.thermo(6000.0); // the high bound of the last interval is above the fit
    EXPECT_TRUE(flagRaised(flagsSP, code::SP02));
    EXPECT_DOUBLE_EQ(s.cpR, 2.0);
    flagsSP = 0;
    s.moles = 0.0;
    s.thermo(7000.0);
    s.thermo(50.0);
    EXPECT_EQ(flagsSP.load(), 0u);
}

TEST_F(SpeciesFit, GapKeepsThePreviousResultsAndRaisesSP00)
{
    Species s = fitted({{200, 500}, {600, 1000}}, {{1.0}, {2.0}}, {{0.0}, {0.0}}, {{0, 0}, {0, 0}});
    s.thermo(400.0);
    const double cp = s.cpR, h = s.enthalpyRT, S = s.entropyR;
    s.thermo(550.0);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP00));
    EXPECT_EQ(s.cpR, cp);
    EXPECT_EQ(s.enthalpyRT, h);
    EXPECT_EQ(s.entropyR, S);
    flagsSP = 0;
    s.thermo(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(flagRaised(flagsSP, code::SP00));
    EXPECT_EQ(s.cpR, cp);
}

TEST_F(SpeciesFit, SingleTemperatureReactant)
{
    auto o2l = databaseRecord("O2(L)");
    o2l->thermoDimensional(90.17);
    EXPECT_EQ(o2l->cpR, 0.0);
    EXPECT_EQ(o2l->entropyR, 0.0);
    EXPECT_NEAR(o2l->enthalpy, -12979.0e3, 1e-6);
    EXPECT_EQ(flagsSP.load(), 0u);
    o2l->moles = 1.0;
    o2l->thermo(298.15);
    EXPECT_NEAR(o2l->enthalpyRT * 298.15 * R_UNIVERSAL, -12979.0e3, 1e-6);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP09));
}

TEST_F(SpeciesFit, TransportFitsAndTheirCodes)
{
    const std::array<double, 4> low{0.6, -20.0, 1000.0, 1.5}, high{0.7, 10.0, -2000.0, 0.8};
    Species s(1, 1, 1, 2, 0, "X", {{1.0, "H"}}, 0.0, 10.0, 0, {{1.0}}, {{0.0}}, {{0, 0}}, {{200, 6000}},
              {{300, 1000}, {1200, 5000}}, {low, high}, {}, {}, -1.0);
    auto fit = [](const std::array<double, 4>& f, double T) {
        return std::exp(f[0] * std::log(T) + f[1] / T + f[2] / (T * T) + f[3]);
    };
    EXPECT_NEAR(s.viscosity(500.0), fit(low, 500.0) * 1e-7, 1e-20);
    EXPECT_NEAR(s.viscosity(2000.0), fit(high, 2000.0) * 1e-7, 1e-20);
    EXPECT_EQ(flagsSP.load(), 0u);
    // Below the first interval: the first fit at T itself, no clamping.
    EXPECT_NEAR(s.viscosity(200.0), fit(low, 200.0) * 1e-7, 1e-20);
    EXPECT_EQ(flagsSP.load(), 0u) << "no code without moles";
    s.moles = 1.0;
    s.viscosity(200.0);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP03));
    EXPECT_NEAR(s.viscosity(7000.0), fit(high, 7000.0) * 1e-7, 1e-20);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP04));
    const double kept = s.viscosity(1000.0);
    EXPECT_NEAR(s.viscosity(1100.0), kept, 0.0);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP00));
    // No conductivity interval: 0 and SP08 whatever the moles.
    flagsSP = 0;
    s.moles = 0.0;
    EXPECT_EQ(s.conductivity(1000.0), 0.0);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP08));
    Species none = fitted({{200, 1000}}, {{1.0}}, {{0.0}}, {{0, 0}});
    none.transport(500.0);
    EXPECT_EQ(none.viscosityValue, 0.0);
    EXPECT_TRUE(flagRaised(flagsSP, code::SP07));
}

TEST_F(SpeciesFit, ElementCounts)
{
    auto water = databaseRecord("H2O");
    EXPECT_EQ(water->elementCounts({"O", "H", "E"}), (std::vector<double>{1.0, 2.0, 0.0}));
    auto anion = databaseRecord("OH-");
    EXPECT_EQ(anion->elementCounts({"H", "O", "E"}), (std::vector<double>{1.0, 1.0, 1.0}));
    // A symbol named twice counts in full (C/H/C is C2H).
    Species repeated(3, 0, 0, 0, 0, "C2H", {{1.0, "C"}, {1.0, "H"}, {1.0, "C"}}, 0.0, 25.0, 0, {}, {}, {}, {}, {}, {},
                     {}, {}, 298.15);
    EXPECT_EQ(repeated.elementCounts({"C", "H", "O"}), (std::vector<double>{2.0, 1.0, 0.0}));
}

TEST_F(SpeciesFit, CountsLargerThanTheListsAreClipped)
{
    // Eight intervals announced, one given; the second interval has fewer terms.
    Species s(2, 8, 3, 4, 4, "X", {{1.0, "H"}}, 0.0, 10.0, 0, {{1.0, 0.0, 0.0}, {2.0}}, {{0.0, 1.0, 2.0}, {0.0}},
              {{0, 0}, {0, 0}}, {{200, 1000}, {1000, 3000}}, {}, {}, {}, {}, -1.0);
    EXPECT_EQ(s.nComposition, 1);
    EXPECT_EQ(s.nIntervals, 2);
    EXPECT_EQ(s.nViscosityIntervals, 0);
    EXPECT_FALSE(s.hasTransport);
    s.thermo(2000.0);
    EXPECT_DOUBLE_EQ(s.cpR, 2.0);
}

} // namespace
