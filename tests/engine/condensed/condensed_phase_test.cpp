// Condensed phases: a liquid entering and leaving, two phases held at their transition
// temperature (water at its freezing point, alumina at its melting point during an
// expansion), and a dependent condensed set refused with its message.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "../equilibrium_checks.h"
#include "../test_mixtures.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"

namespace {

const std::vector<std::string> WATER_PRODUCTS = {"H", "H2", "H2O", "O", "OH", "O2", "HO2", "H2O2", "H2O(L)", "H2O(cr)"};

class CondensedPhases : public ::testing::Test {
protected:
    void SetUp() override
    {
        setEngineMessageHandler([this](const EngineMessage& m) { messages.push_back(m); });
        flagsSP = 0;
        flagsL = 0;
    }
    void TearDown() override { setEngineMessageHandler({}); }

    // Hydrogen-rich water mixture (2 kmol H2O and 1 kmol H2 per 38 kg) whose enthalpy
    // target is that of the given parts of liquid, ice and gas at the temperature T.
    static std::shared_ptr<Mixture> waterMixture(double T, double liquidShare, double iceShare)
    {
        auto m = buildMixture(WATER_PRODUCTS, {{"H2(L)", 6.0 / 38.0}, {"O2(L)", 32.0 / 38.0}}, {"H", "O", "E"});
        auto liquid = databaseRecord("H2O(L)"), ice = databaseRecord("H2O(cr)"), vapour = databaseRecord("H2O"),
             h2 = databaseRecord("H2");
        liquid->thermo(T);
        ice->thermo(T);
        vapour->thermo(T);
        h2->thermo(T);
        const double water = 2.0 / 38.0, hydrogen = 1.0 / 38.0;
        m->enthalpyTarget = T
                * (water
                           * (liquidShare * liquid->enthalpyRT + iceShare * ice->enthalpyRT
                              + (1 - liquidShare - iceShare) * vapour->enthalpyRT)
                   + hydrogen * h2->enthalpyRT);
        return m;
    }

    static bool active(const Mixture& m, const std::string& name)
    {
        for (uint16_t c : m.activeCondensed)
            if (m.species[c]->name == name)
                return m.species[c]->moles > 0.0;
        return false;
    }

    std::vector<EngineMessage> messages;
};

// Hydrogen-rich steam cooled step by step at 1 bar (each solve starting from the last
// state, as consecutive solves of a run do): liquid water enters, ice and liquid are
// held together at the freezing point, the liquid leaves when all is frozen; heated
// back, the condensed phases leave again.
TEST_F(CondensedPhases, WaterCondensesFreezesAndEvaporates)
{
    auto m = waterMixture(400.0, 0.0, 0.0);
    m->reset();
    double T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, 1e5, true));
    EXPECT_TRUE(m->activeCondensed.empty());
    EXPECT_NEAR(T, 400.0, 1.0);
    const double h400 = m->enthalpyTarget;
    // One step: a fiftieth of the heat released when all the water freezes from vapour.
    const double step = 2.0 / 38.0 * 51000e3 / R_UNIVERSAL / 50.0;

    bool liquidOnly = false, iceOnly = false;
    int pairs = 0;
    double previousT = T;
    for (int k = 1; k <= 60; ++k) {
        const std::string what = "cooling step " + std::to_string(k);
        m->enthalpyTarget = h400 - k * step;
        ASSERT_TRUE(m->solveEquilibrium(T, 1e5, true)) << what;
        expectOptimal(*m, T, 1e5, what);
        EXPECT_LE(T, previousT + 1e-6) << what;
        previousT = T;
        const bool liquid = active(*m, "H2O(L)"), ice = active(*m, "H2O(cr)");
        if (liquid && !ice) {
            liquidOnly = true;
            EXPECT_GE(T, 273.15 - 1e-6) << what;
        }
        if (liquid && ice) {
            ++pairs;
            EXPECT_TRUE(m->phasePairActive) << what;
            // The two fits give equal Gibbs energies 0.03 K below 273.15 K.
            EXPECT_NEAR(T, 273.15, 0.05) << what;
            m->equilibriumProperties(T);
            // At a two-phase point the heat capacities do not apply.
            EXPECT_EQ(m->cp, 0.0) << what;
            EXPECT_EQ(m->dlnVdlnT, 0.0) << what;
            // With T pinned, the vapour keeps its saturation pressure: its amount goes as
            // 1/(p - psat), so (dlnV/dlnp)T = -1 - x/(1 - x), x its mole fraction.
            const double x = findSpecies(*m, "H2O")->moles / m->totalMoles;
            EXPECT_NEAR(m->dlnVdlnP, -1.0 - x / (1.0 - x), 1e-6) << what;
            EXPECT_NEAR(m->gamma, -1.0 / m->dlnVdlnP, 1e-12) << what;
            EXPECT_TRUE(std::isfinite(m->soundSpeed)) << what;
        }
        if (ice && !liquid) {
            iceOnly = true;
            EXPECT_LE(T, 273.15 + 1e-6) << what;
        }
    }
    EXPECT_TRUE(liquidOnly);
    EXPECT_GE(pairs, 3);
    EXPECT_TRUE(iceOnly);

    // Heated well above the boiling point: only gases remain.
    m->enthalpyTarget = h400 + 20 * step;
    ASSERT_TRUE(m->solveEquilibrium(T, 1e5, true));
    EXPECT_TRUE(m->activeCondensed.empty());
    EXPECT_EQ(findSpecies(*m, "H2O(L)")->moles, 0.0);
    EXPECT_EQ(findSpecies(*m, "H2O(cr)")->moles, 0.0);
    EXPECT_GT(T, 400.0);
    expectOptimal(*m, T, 1e5, "heated");
}

// Aluminium with oxygen and hydrogen: an expansion from the chamber passes the melting
// point of alumina (2327 K). Over a range of pressures the two phases must be held at
// the transition, and every station must converge to a true equilibrium.
TEST_F(CondensedPhases, ExpansionThroughTheMeltingPointOfAlumina)
{
    auto m = buildMixture({"AL",    "ALO",     "ALOH",    "AL2O",   "AL2O2", "ALO2",     "ALH",     "HALO",
                           "HALO2", "AL(OH)2", "AL(OH)3", "H",      "H2",    "H2O",      "O",       "O2",
                           "OH",    "HO2",     "H2O2",    "AL(cr)", "AL(L)", "AL2O3(a)", "AL2O3(L)"},
                          {{"AL(cr)", 0.2}, {"O2(L)", 0.6}, {"H2(L)", 0.2}}, {"Al", "H", "O", "E"});
    ASSERT_EQ(flagsL.load(), 0u);
    m->setReactantEnthalpy(298.15);
    m->reset();
    const double pc = 50e5;
    double T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, pc, true));
    EXPECT_TRUE(active(*m, "AL2O3(L)"));
    EXPECT_GT(T, 2400.0);
    expectOptimal(*m, T, pc, "chamber");

    int held = 0;
    bool solidSeen = false;
    for (double ratio = 1.05; ratio < 2000.0; ratio *= 1.05) {
        const std::string what = "pc/p " + std::to_string(ratio);
        m->enableIons();
        ASSERT_TRUE(m->solveEquilibrium(T, pc / ratio, false)) << what;
        m->equilibriumProperties(T);
        ASSERT_TRUE(std::isfinite(m->gamma) && std::isfinite(m->soundSpeed)) << what;
        // At the transition T is pinned and gamma_s = -1/(dlnV/dlnp)T, which may dip below 1.
        ASSERT_GT(m->gamma, m->phasePairActive ? 0.9 : 1.0) << what;
        expectOptimal(*m, T, pc / ratio, what);
        if (m->phasePairActive && active(*m, "AL2O3(L)") && active(*m, "AL2O3(a)")) {
            ++held;
            EXPECT_NEAR(T, 2327.0, 0.5) << what;
        }
        solidSeen = solidSeen || (active(*m, "AL2O3(a)") && !active(*m, "AL2O3(L)"));
    }
    EXPECT_GE(held, 2) << "stations on the melting point";
    EXPECT_TRUE(solidSeen);

    // Jumps onto the melting point from far on either side: from the chamber (liquid
    // only), and from a cold station (solid only), where the first steps overshoot the
    // transition and leave the range of the phase present.
    for (double from : {1.0, 50.0, 2000.0}) {
        for (double to : {4.2, 4.6}) {
            const std::string what = "from pc/p " + std::to_string(from) + " to " + std::to_string(to);
            m->reset();
            T = T_SEED;
            ASSERT_TRUE(m->solveEquilibrium(T, pc, true)) << what;
            if (from > 1.0) {
                ASSERT_TRUE(m->solveEquilibrium(T, pc / from, false)) << what;
            }
            ASSERT_TRUE(m->solveEquilibrium(T, pc / to, false)) << what;
            EXPECT_TRUE(m->phasePairActive) << what;
            EXPECT_TRUE(active(*m, "AL2O3(L)") && active(*m, "AL2O3(a)")) << what;
            EXPECT_NEAR(T, 2327.0, 0.5) << what;
            expectOptimal(*m, T, pc / to, what);
        }
    }
    EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
}

// Solid alumina chosen without its liquid: the solid fit ends at the melting point
// (2327 K). An expansion that forms the solid just below it is heated back above it by
// the heat of condensation; the solid stays within 50 K of its range and is never held
// further out.
TEST_F(CondensedPhases, SolidWithoutItsLiquidStaysWithinTheRangeMargin)
{
    auto m = buildMixture({"AL",      "ALO", "ALOH", "AL2O", "AL2O2", "ALO2", "ALH", "HALO", "HALO2", "AL(OH)2",
                           "AL(OH)3", "H",   "H2",   "H2O",  "O",     "O2",   "OH",  "HO2",  "H2O2",  "AL2O3(a)"},
                          {{"AL(cr)", 0.05}, {"H2(L)", 0.1}, {"O2(L)", 0.85}}, {"Al", "H", "O", "E"});
    m->setReactantEnthalpy(298.15);
    m->reset();
    const double pc = 50e5;
    double T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, pc, true));
    const double top = findSpecies(*m, "AL2O3(a)")->maxTemperature;
    bool aboveRange = false, solidSeen = false;
    for (double ratio = 1.1; ratio < 2000.0; ratio *= 1.1) {
        const std::string what = "pc/p " + std::to_string(ratio);
        ASSERT_TRUE(m->solveEquilibrium(T, pc / ratio, false)) << what;
        expectOptimal(*m, T, pc / ratio, what);
        if (active(*m, "AL2O3(a)")) {
            solidSeen = true;
            EXPECT_LE(T, top + 50.0) << what;
            aboveRange = aboveRange || T > top;
        }
    }
    EXPECT_TRUE(solidSeen);
    EXPECT_TRUE(aboveRange) << "no station held the solid above its range";
    EXPECT_FALSE(flagRaised(flagsSP, code::SP10));
}

// Products of aluminium in hydrogen-rich oxygen cooled at 1 bar from the flame to ice and
// heated back: alumina stays as a third condensed phase while water is held at its
// freezing point, with the held pair's low phase at any place in the active list.
TEST_F(CondensedPhases, PairHeldBesideAnotherCondensedPhase)
{
    auto m = buildMixture({"AL", "ALO", "ALOH", "AL2O", "ALO2", "AL(OH)2",  "AL(OH)3",  "HALO",   "H",      "H2", "H2O",
                           "O",  "O2",  "OH",   "HO2",  "H2O2", "AL2O3(a)", "AL2O3(L)", "H2O(L)", "H2O(cr)"},
                          {{"AL(cr)", 0.05}, {"H2(L)", 0.05}, {"O2(L)", 0.9}}, {"Al", "H", "O", "E"});
    ASSERT_EQ(flagsL.load(), 0u);
    m->setReactantEnthalpy(298.15);
    m->reset();
    double T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, 1e5, true));
    // Steps of 50 kJ/kg down to 300 K, then of 5 kJ/kg, so the cooling ends just below
    // the freezing point (the alumina fit starts at 300 K and is dropped 50 K below).
    double target = m->enthalpyTarget;
    auto stepAt = [](double T) { return (T > 300.0 ? 5e4 : 5e3) / R_UNIVERSAL; };

    int waterPairs = 0;
    bool lowPhaseNotLast = false, frozen = false;
    auto check = [&](const std::string& what) {
        expectOptimal(*m, T, 1e5, what);
        m->equilibriumProperties(T);
        ASSERT_TRUE(std::isfinite(m->gamma) && std::isfinite(m->dlnVdlnP)) << what;
        if (m->phasePairActive && active(*m, "H2O(L)") && active(*m, "H2O(cr)")) {
            ++waterPairs;
            EXPECT_TRUE(active(*m, "AL2O3(a)")) << what;
            EXPECT_NEAR(T, 273.15, 0.05) << what;
            const double x = findSpecies(*m, "H2O")->moles / m->totalMoles;
            EXPECT_NEAR(m->dlnVdlnP, -1.0 - x / (1.0 - x), 1e-6) << what;
            lowPhaseNotLast = lowPhaseNotLast || m->activeCondensed.back() != m->phasePairLow;
            // The same state with the active list in every order gives the same answer
            // (the system is rebuilt for each order).
            const std::vector<uint16_t> order = m->activeCondensed;
            std::vector<uint16_t> rotated = order;
            for (std::size_t r = 1; r < order.size(); ++r) {
                std::rotate(rotated.begin(), rotated.begin() + 1, rotated.end());
                m->activeCondensed = rotated;
                m->resizeMatrix();
                m->assembleMatrix();
                m->equilibriumProperties(T);
                EXPECT_NEAR(m->dlnVdlnP, -1.0 - x / (1.0 - x), 1e-6) << what << " order " << r;
            }
            m->activeCondensed = order;
            m->resizeMatrix();
            m->assembleMatrix();
        }
    };
    for (int k = 0; k < 1000 && !frozen; ++k) {
        target -= stepAt(T);
        m->enthalpyTarget = target;
        ASSERT_TRUE(m->solveEquilibrium(T, 1e5, true)) << "cooling " << k;
        check("cooling " + std::to_string(k));
        frozen = active(*m, "H2O(cr)") && !active(*m, "H2O(L)");
    }
    ASSERT_TRUE(frozen);
    EXPECT_GT(T, 260.0);
    for (int k = 0; k < 200 && T < 285.0; ++k) {
        target += stepAt(T);
        m->enthalpyTarget = target;
        ASSERT_TRUE(m->solveEquilibrium(T, 1e5, true)) << "heating " << k;
        check("heating " + std::to_string(k));
    }
    EXPECT_GE(waterPairs, 4);
    EXPECT_TRUE(lowPhaseNotLast);
    EXPECT_GE(T, 285.0);
}

// So much aluminium and so little oxygen that the gases alone cannot hold the metal at
// any temperature: the gas-only iteration breaks down, and the solve must find the
// metal's condensed phase rather than restart the same way until it gives up.
TEST_F(CondensedPhases, MetalRichMixtureCondensesItsMetal)
{
    struct Case {
        double aluminium, hydrogen;
        const char* metal;
    } cases[] = {{0.6, 0.3, "AL(cr)"}, {0.7, 0.1, "AL(L)"}};
    for (const Case& c : cases) {
        const std::string what = std::string("aluminium share ") + std::to_string(c.aluminium);
        auto m = buildMixture(
                {"AL", "ALO", "ALOH", "AL2O", "AL2O2", "ALO2", "ALH",  "HALO",   "HALO2", "AL(OH)2",  "AL(OH)3", "H",
                 "H2", "H2O", "O",    "O2",   "OH",    "HO2",  "H2O2", "AL(cr)", "AL(L)", "AL2O3(a)", "AL2O3(L)"},
                {{"AL(cr)", c.aluminium}, {"H2(L)", c.hydrogen}, {"O2(L)", 1.0 - c.aluminium - c.hydrogen}},
                {"Al", "H", "O", "E"});
        m->setReactantEnthalpy(298.15);
        m->reset();
        double T = T_SEED;
        ASSERT_TRUE(m->solveEquilibrium(T, 3e6, true)) << what;
        EXPECT_TRUE(active(*m, c.metal)) << what;
        expectOptimal(*m, T, 3e6, what);
    }
}

// Three condensed species of which one is the sum of the other two: the solve refuses
// the set with L01 and names all three.
TEST_F(CondensedPhases, DependentCondensedSetIsRefused)
{
    auto constantCp = [](const std::string& name, std::vector<ElementCount> composition, uint8_t phase, double hf,
                         double molarMass) {
        return std::make_shared<Species>(
                static_cast<uint8_t>(composition.size()), 1, 1, 0, 0, name, composition, hf, molarMass, phase,
                std::vector<std::vector<double>>{{phase ? 3.0 : 3.5}}, std::vector<std::vector<double>>{{0.0}},
                std::vector<std::pair<double, double>>{{hf / R_UNIVERSAL - 3.5 * 298.15, 0.0}},
                std::vector<std::pair<double, double>>{{10.0, 50000.0}}, std::vector<std::pair<double, double>>{},
                std::vector<std::array<double, 4>>{}, std::vector<std::pair<double, double>>{},
                std::vector<std::array<double, 4>>{}, -1.0);
    };
    auto h2 = constantCp("H2g", {{2, "H"}}, 0, 0.0, 2.0);
    auto o2 = constantCp("O2g", {{2, "O"}}, 0, 0.0, 32.0);
    auto hh = constantCp("HH(s)", {{2, "H"}}, 1, -1e8, 2.0);
    auto oo = constantCp("OO(s)", {{2, "O"}}, 1, -2e8, 32.0);
    // A heavy formula unit keeps this one last in the per-kilogram ranking.
    auto hhoo = constantCp("HHOO(s)", {{2, "H"}, {2, "O"}}, 1, -1e9, 1e4);
    auto rh = constantCp("H2r", {{2, "H"}}, 0, 0.0, 2.0);
    auto ro = constantCp("O2r", {{2, "O"}}, 0, 0.0, 32.0);
    rh->moles = 0.2 / 2.0;
    ro->moles = 0.8 / 32.0;
    Mixture m(5, 2, 3, 0, {h2, o2, hh, oo, hhoo}, {rh, ro}, {"H", "O", "E"}, nullptr);
    ASSERT_EQ(flagsL.load(), 0u);
    m.reset();
    m.enthalpyTarget = (rh->moles + ro->moles) * (3.5 * 1500.0 - 3.5 * 298.15); // the gases at 1500 K
    double T = 1500.0;
    EXPECT_FALSE(m.solveEquilibrium(T, 1e5, true));
    EXPECT_TRUE(flagRaised(flagsL, code::L01));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text,
              "1 species are linear combinaton of others and are conflicting. Remove said number from the "
              "following list: ");
    const std::string& names = messages[0].informativeText;
    EXPECT_NE(names.find("HH(s)"), std::string::npos);
    EXPECT_NE(names.find("OO(s)"), std::string::npos);
    EXPECT_NE(names.find("HHOO(s)"), std::string::npos);
    EXPECT_EQ(std::count(names.begin(), names.end(), ','), 2);
    EXPECT_NE(names.substr(names.size() - 2), ", ");
    EXPECT_EQ(T, 1500.0);
}

TEST_F(CondensedPhases, NoCondensedProductsConvergeAtOnce)
{
    auto m = buildMixture({"H", "H2", "H2O", "O", "OH", "O2"}, {{"H2(L)", 0.2}, {"O2(L)", 0.8}}, {"H", "O", "E"});
    m->setReactantEnthalpy(298.15);
    m->reset();
    m->removedCondensed.push_front(0);
    double T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, 1e6, true));
    EXPECT_TRUE(m->removedCondensed.empty());
    EXPECT_TRUE(m->activeCondensed.empty());
}

} // namespace
