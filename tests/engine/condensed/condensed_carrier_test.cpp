// An element that only condensed products hold: ammonium perchlorate 70 / aluminium 16 /
// binder 14 (and a cooler 75/3/22) with the product list cut to ten species, where
// alumina (solid or liquid) is aluminium's only carrier. The solve must start with a
// condensed carrier of the element in the system, converge in the chamber and through
// the expansion, and run the nozzle; an element that no usable product holds ends the
// solve with a message naming it.
//
// The expectations are derived here, not taken from the solver: the alumina amount from
// aluminium conservation, the chamber temperature and composition from an independent
// calculation with equilibrium constants and the enthalpy balance (the species data are
// the public NASA Glenn records), the Gibbs conditions of every species, and the full
// product list of the same propellant, whose extra (endothermic) species can only take
// heat and aluminium from the ten.
#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "../equilibrium_checks.h"
#include "../ode/nozzle_setup.h"
#include "../support/quiet_engine.h"
#include "../test_mixtures.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "databases/compatible_lists.h"
#include "engine/engine_messages.h"
#include "engine/ode.h"
#include "propellant/entry_reading.h"
#include "propellant/mixture_loader.h"
#include "support/imported_databases.h"

namespace {

struct ThermoFile {
    nlohmann::json species, reactants;
};

// The whole public NASA Glenn thermodynamic file with the binder (support/
// imported_databases.h) among its reactants. Every figure below is derived for the binder
// as defined there, so its data need not match one particular binder batch.
const ThermoFile& thermoFile()
{
    static const ThermoFile file = [] {
        ThermoFile f{wholeThermoFile().species, wholeThermoFile().reactants};
        f.reactants["Binder"] = binder::reactantEntry();
        return f;
    }();
    return file;
}

const std::vector<std::string> ELEMENTS = {"N", "H", "Cl", "O", "Al", "C", "E"};
// Mass shares of ammonium perchlorate, aluminium and binder.
struct Shares {
    double ap, al, binder;
};
const Shares HIGH_ALUMINIUM = {0.70, 0.16, 0.14}; // the propellant of most cases here

// The cut product list: aluminium only in alumina.
const std::vector<std::string> TEN_PRODUCTS
        = {"H2", "CO", "HCL", "H2O", "N2", "AL2O3(a)", "AL2O3(L)", "H", "CO2", "CL"};

std::shared_ptr<Mixture> composite(const std::vector<std::string>& products, const Shares& shares = HIGH_ALUMINIUM)
{
    nlohmann::json composition = nlohmann::json::array();
    composition.push_back({"NH4CLO4(I)", 100.0 * shares.ap});
    composition.push_back({"AL(cr)", 100.0 * shares.al});
    composition.push_back({"Binder", 100.0 * shares.binder});
    const nlohmann::json entry = {{"Composition", composition},
                                  {"ELEMENTS", ELEMENTS},
                                  {"Species", products},
                                  {"Reactions", nlohmann::json::array()}};
    const ThermoFile& f = thermoFile();
    ViewMessages boxes;
    auto m = assemblePropellantMixture(entry, {f.reactants, f.species, nlohmann::json::object()}, &boxes);
    showViewMessages(nullptr, boxes);
    if (m)
        m->setReactantEnthalpy(298.15);
    return m;
}

std::shared_ptr<Species> record(const std::string& name)
{
    const ThermoFile& f = thermoFile();
    return f.species.contains(name) ? speciesRecord(name, f.species[name], SubstanceKind::Species)
                                    : speciesRecord(name, f.reactants[name], SubstanceKind::Reactant);
}

double amount(const Mixture& m, const std::string& name)
{
    const Species* s = findSpecies(m, name);
    return s ? s->moles : 0.0;
}

// Element amounts of one kilogram of propellant, kmol/kg.
struct ElementTotals {
    double N, H, Cl, O, Al, C;
};
ElementTotals propellantElements(const Shares& shares = HIGH_ALUMINIUM)
{
    const double ap = shares.ap / record("NH4CLO4(I)")->molarMass;
    const double al = shares.al / record("AL(cr)")->molarMass;
    const double b = shares.binder / binder::MOLAR_MASS;
    return {ap + binder::N * b, 4.0 * ap + binder::H * b, ap, 4.0 * ap + binder::O * b, al, binder::C * b};
}

// Enthalpy of one kilogram of the reactants at 298.15 K, J/kg.
double reactantEnthalpy(const Shares& shares = HIGH_ALUMINIUM)
{
    auto ap = record("NH4CLO4(I)"), al = record("AL(cr)");
    ap->thermoDimensional(298.15);
    al->thermoDimensional(298.15);
    return shares.ap / ap->molarMass * ap->enthalpy + shares.al / al->molarMass * al->enthalpy
            + shares.binder / binder::MOLAR_MASS * binder::FORMATION_ENTHALPY;
}

// The ten-species chamber by equilibrium constants (kmol/kg). Aluminium is all in
// alumina (the phase defined at T) and nitrogen all in N2; the other gases follow from the element totals
// and three independent reactions,
//   CO + H2O = CO2 + H2,   H2 = 2 H,   HCl = H + Cl,
// whose constants come from the species' G/RT at 1 bar. For a given H amount z and gas
// total n the balances give every amount; ln(K of the shift) is increasing in z, so z
// follows by bisection, n by substitution, and T by bisection on the enthalpy balance.
struct IndependentChamber {
    double T = 0.0;
    std::map<std::string, double> moles;
};
IndependentChamber independentChamber(const Shares& shares, double pressure)
{
    const ElementTotals b = propellantElements(shares);
    const double alumina = b.Al / 2.0;
    const double oxygen = b.O - 3.0 * alumina; // left for the gases
    const double nitrogen = b.N / 2.0;
    const double P = pressure / 1e5;
    std::map<std::string, std::shared_ptr<Species>> s;
    for (const char* name : {"H2", "CO", "HCL", "H2O", "N2", "H", "CO2", "CL", "AL2O3(a)", "AL2O3(L)"})
        s[name] = record(name);
    const double melting = s["AL2O3(L)"]->minTemperature; // where the solid's fit ends

    auto compositionAt = [&](double T) {
        for (auto& [name, sp] : s)
            sp->thermo(T);
        auto g = [&](const char* name) { return s[name]->gibbsRT; };
        const double lnShift = -(g("CO2") + g("H2") - g("CO") - g("H2O"));
        const double lnDissociation = -(2.0 * g("H") - g("H2"));
        const double lnChloride = -(g("H") + g("CL") - g("HCL"));
        std::map<std::string, double> n;
        // Amounts for H amount z and gas total N; side -1 below the physical range (no
        // CO2 left), +1 above it (no CO or H2O left), 0 within.
        auto amounts = [&](double z, double N, int& side) {
            n["H"] = z;
            n["H2"] = z * z * P / (N * std::exp(lnDissociation));
            n["HCL"] = b.Cl / (1.0 + std::exp(lnChloride) * N / (P * z));
            n["CL"] = b.Cl - n["HCL"];
            n["H2O"] = (b.H - 2.0 * n["H2"] - z - n["HCL"]) / 2.0;
            n["CO2"] = oxygen - n["H2O"] - b.C;
            n["CO"] = b.C - n["CO2"];
            n["N2"] = nitrogen;
            side = n["CO2"] <= 0.0 ? -1 : (n["CO"] <= 0.0 || n["H2O"] <= 0.0 ? 1 : 0);
        };
        double N = 0.04;
        for (int pass = 0; pass < 200; ++pass) {
            double lo = std::log(1e-30), hi = std::log(b.H);
            for (int k = 0; k < 200; ++k) {
                const double mid = 0.5 * (lo + hi);
                int side = 0;
                amounts(std::exp(mid), N, side);
                const double f = side != 0 ? side : std::log(n["CO2"] * n["H2"] / (n["CO"] * n["H2O"])) - lnShift;
                (f < 0.0 ? lo : hi) = mid;
            }
            int side = 0;
            amounts(std::exp(0.5 * (lo + hi)), N, side);
            double total = 0.0;
            for (const auto& [name, v] : n)
                total += v;
            if (std::fabs(total - N) < 1e-15)
                break;
            N = total;
        }
        n[T < melting ? "AL2O3(a)" : "AL2O3(L)"] = alumina;
        return n;
    };
    const double h0 = reactantEnthalpy(shares);
    auto enthalpyExcess = [&](double T) {
        const std::map<std::string, double> n = compositionAt(T);
        double h = 0.0;
        for (const auto& [name, v] : n)
            h += v * s[name]->enthalpyRT * R_UNIVERSAL * T;
        return h - h0;
    };
    double lo = 1500.0, hi = 4500.0;
    for (int k = 0; k < 60; ++k) {
        const double mid = 0.5 * (lo + hi);
        (enthalpyExcess(mid) < 0.0 ? lo : hi) = mid;
    }
    IndependentChamber c;
    c.T = 0.5 * (lo + hi);
    c.moles = compositionAt(c.T);
    return c;
}

class CondensedCarrier : public ::testing::Test {
protected:
    void SetUp() override
    {
        startQuietEngine();
        setEngineMessageHandler([this](const EngineMessage& m) { messages.push_back(m); });
    }
    void TearDown() override { endQuietEngine(); }

    std::vector<EngineMessage> messages;
};

const double PC = 70e5;

// The 70/16/14 propellant, whose chamber holds liquid alumina, and a binder-rich one
// whose chamber is cooler than the melting point: the solve starts with the liquid
// (the phase defined at the 3800 K seed) and must end with the solid.
TEST_F(CondensedCarrier, ChamberWithAluminiumOnlyInAluminaMatchesTheIndependentChamber)
{
    struct Case {
        const char* label;
        Shares shares;
        const char* phase; // the alumina phase of the chamber
        double aluminaShare; // kg/kg: al * M(Al2O3) / (2 M(Al)) = al * 101.961 / 53.963
    } cases[]
            = {{"70/16/14", HIGH_ALUMINIUM, "AL2O3(L)", 0.30231}, {"75/3/22", {0.75, 0.03, 0.22}, "AL2O3(a)", 0.05668}};
    for (const Case& c : cases) {
        messages.clear();
        flagsSP = 0;
        auto m = composite(TEN_PRODUCTS, c.shares);
        ASSERT_TRUE(m) << c.label;
        ASSERT_EQ(flagsL.load(), 0u) << c.label;
        m->reset();
        double T = T_SEED;
        ASSERT_TRUE(m->solveEquilibrium(T, PC, true)) << c.label;
        EXPECT_FALSE(flagRaised(flagsSP, code::SP10 | code::SP14)) << c.label;
        EXPECT_TRUE(messages.empty()) << c.label;
        expectOptimal(*m, T, PC, c.label);

        // All the aluminium is in the one alumina phase.
        const double alumina = record("AL2O3(L)")->molarMass;
        const double expected = c.shares.al * alumina / (2.0 * record("AL(cr)")->molarMass);
        EXPECT_NEAR(expected, c.aluminaShare, 5e-5) << c.label;
        EXPECT_NEAR(amount(*m, c.phase) * alumina, expected, 1e-6) << c.label;
        EXPECT_EQ(amount(*m, "AL2O3(L)") + amount(*m, "AL2O3(a)"), amount(*m, c.phase)) << c.label;

        // The enthalpy balance, summed here from the species' fits.
        double h = 0.0;
        for (const auto& s : m->species) {
            auto r = record(s->name);
            r->thermo(T);
            h += s->moles * r->enthalpyRT * R_UNIVERSAL * T;
        }
        const double h0 = reactantEnthalpy(c.shares);
        EXPECT_NEAR(h, h0, 1e-5 * std::fabs(h0) + 50.0) << c.label;

        const IndependentChamber ref = independentChamber(c.shares, PC);
        std::printf("%s: chamber T %.2f K (independent %.2f K)\n", c.label, T, ref.T);
        EXPECT_NEAR(T, ref.T, 1.0) << c.label;
        for (const auto& [name, n] : ref.moles)
            EXPECT_NEAR(amount(*m, name), n, 1e-4 * n + 1e-9) << c.label << " " << name;
    }
}

// The same propellant with every product of the file its elements can form: gaseous
// aluminium species exist, so that chamber is solved as before (no condensed start).
// Its extra species (aluminium chlorides and hydroxides, OH, O...) form endothermically
// and take part of the aluminium: the full chamber is cooler and holds less alumina,
// by amounts of the size these minor species account for.
TEST_F(CondensedCarrier, FullProductListIsCoolerWithLessAlumina)
{
    auto ten = composite(TEN_PRODUCTS);
    auto full = composite(collectCompatibleSpecies(ELEMENTS, thermoFile().species));
    ASSERT_TRUE(ten && full);
    ASSERT_EQ(flagsL.load(), 0u);
    ten->reset();
    full->reset();
    double tenT = T_SEED, fullT = T_SEED;
    ASSERT_TRUE(ten->solveEquilibrium(tenT, PC, true));
    ASSERT_TRUE(full->solveEquilibrium(fullT, PC, true));
    expectOptimal(*full, fullT, PC, "full product list");
    std::printf("chamber T: ten products %.2f K, full list %.2f K\n", tenT, fullT);
    EXPECT_GT(tenT - fullT, 20.0);
    EXPECT_LT(tenT - fullT, 200.0);

    // The aluminium the gases hold in the full chamber is what its alumina lacks.
    const ElementTotals b = propellantElements();
    double gasAluminium = 0.0;
    for (uint16_t j = 0; j < full->nGas; ++j)
        gasAluminium += full->species[j]->elementCounts({"Al"})[0] * full->species[j]->moles;
    double condensedAlumina = amount(*full, "AL2O3(L)") + amount(*full, "AL2O3(a)");
    EXPECT_GT(gasAluminium, 0.01 * b.Al);
    EXPECT_LT(gasAluminium, 0.2 * b.Al);
    EXPECT_NEAR(2.0 * condensedAlumina + gasAluminium, b.Al, 1e-6 * b.Al);
    EXPECT_NEAR(amount(*ten, "AL2O3(L)"), b.Al / 2.0, 1e-6 * b.Al);
}

// Entropy-held stations down to pc/p = 1000, each from the last: the liquid carries the
// aluminium, is held with the solid at its melting point, and the solid carries it
// below; every station meets the Gibbs conditions and keeps the chamber's entropy.
TEST_F(CondensedCarrier, ExpansionCarriesTheAluminiumThroughTheMeltingPoint)
{
    auto m = composite(TEN_PRODUCTS);
    ASSERT_TRUE(m);
    m->reset();
    double T = T_SEED;
    ASSERT_TRUE(m->solveEquilibrium(T, PC, true));
    const double alumina = propellantElements().Al / 2.0;
    int held = 0;
    bool solid = false;
    for (double ratio = 1.25; ratio < 1001.0; ratio *= 1.25) {
        const std::string what = "pc/p " + std::to_string(ratio);
        ASSERT_TRUE(m->solveEquilibrium(T, PC / ratio, false)) << what;
        expectOptimal(*m, T, PC / ratio, what);
        EXPECT_LE(std::fabs(m->entropySum - m->entropyTarget), TOL_S) << what;
        EXPECT_NEAR(amount(*m, "AL2O3(L)") + amount(*m, "AL2O3(a)"), alumina, 1e-6 * alumina) << what;
        m->equilibriumProperties(T);
        EXPECT_TRUE(std::isfinite(m->gamma) && m->gamma > 0.0 && std::isfinite(m->soundSpeed)) << what;
        // Held at the melting point the expansion is isothermal, so gamma is
        // -1/(dlnV/dlnp)T, just below 1; elsewhere it is above 1.
        if (!m->phasePairActive) {
            EXPECT_GT(m->gamma, 1.0) << what;
        }
        if (m->phasePairActive) {
            ++held;
            EXPECT_NEAR(T, findSpecies(*m, "AL2O3(L)")->minTemperature, 0.5) << what;
        }
        solid = solid || amount(*m, "AL2O3(a)") > 0.0;
    }
    EXPECT_GE(held, 1);
    EXPECT_TRUE(solid);
    EXPECT_LT(T, 1500.0);
    EXPECT_TRUE(messages.empty());
}

// An equilibrium infinite-area run of the cut product list on a conical contour: a
// physical result at every station.
TEST_F(CondensedCarrier, NozzleRunOfTheCutProductListSucceeds)
{
    auto m = composite(TEN_PRODUCTS);
    ASSERT_TRUE(m);
    auto rv = std::make_shared<RocketVariables>();
    rv->chamberPressure = PC;
    const std::vector<double> ratios{3.0, 1.0, 2.0, 5.0, 10.0, 25.0, 50.0, 100.0};
    nozzle_test::setNozzle(*rv, ratios, 1, 0.01);
    ODE ode(m, rv, false, false);
    ode.calculateIAC();
    ASSERT_FALSE(ode.failed);
    EXPECT_FALSE(flagRaised(flagsSP, code::SP10 | code::SP14));
    EXPECT_EQ(flagsODE.load(), 0u);
    const IndependentChamber ref = independentChamber(HIGH_ALUMINIUM, PC);
    EXPECT_NEAR(rv->chamberT, ref.T, 1.0);
    EXPECT_NEAR(rv->mach[1], 1.0, 1e-3);
    for (unsigned j = 1; j < rv->stationCount; ++j) {
        const std::string at = "area ratio " + std::to_string(ratios[j]);
        EXPECT_TRUE(std::isfinite(rv->T[j]) && std::isfinite(rv->p[j]) && std::isfinite(rv->u[j])) << at;
        EXPECT_LT(rv->p[j], rv->p[j - 1]) << at;
        EXPECT_LT(rv->T[j], rv->T[j - 1]) << at;
        EXPECT_GT(rv->u[j], rv->u[j - 1]) << at;
    }
    EXPECT_TRUE(messages.empty());
}

// No product that could carry the element where the solve is: the solve ends at once
// (false, SP10, the temperature given back unchanged), with a message naming it.
TEST_F(CondensedCarrier, ElementWithoutUsableCarrierEndsTheSolveNamingIt)
{
    struct Case {
        const char* label;
        std::vector<std::string> products;
        double guess; // K
        std::string text;
    };
    std::vector<std::string> noAluminium = TEN_PRODUCTS, solidOnly = TEN_PRODUCTS;
    noAluminium.erase(std::remove_if(noAluminium.begin(), noAluminium.end(),
                                     [](const std::string& n) { return n.rfind("AL2O3", 0) == 0; }),
                      noAluminium.end());
    solidOnly.erase(std::remove(solidOnly.begin(), solidOnly.end(), "AL2O3(L)"), solidOnly.end());
    const Case cases[] = {
            {"no aluminium product", noAluminium, T_SEED, "None of the selected products contains the element Al"},
            // The solid alumina ends at 2327 K, far below this guess.
            {"solid alumina only, hot guess", solidOnly, 3800.0,
             "The element Al is only in condensed products, none of which is defined at 3800 K"},
            // Started where the solid exists, the chamber heats past its range: once the
            // solid leaves, nothing can carry the aluminium.
            {"solid alumina only, cool guess", solidOnly, 2000.0,
             "The element Al is only in condensed products, none of which is defined at "},
    };
    for (const Case& c : cases) {
        messages.clear();
        flagsSP = 0;
        auto m = composite(c.products);
        ASSERT_TRUE(m) << c.label;
        ASSERT_EQ(flagsL.load(), 0u) << c.label;
        m->reset();
        double T = c.guess;
        EXPECT_FALSE(m->solveEquilibrium(T, PC, true)) << c.label;
        EXPECT_EQ(T, c.guess) << c.label;
        EXPECT_TRUE(flagRaised(flagsSP, code::SP10)) << c.label;
        ASSERT_EQ(messages.size(), 1u) << c.label;
        EXPECT_EQ(messages[0].text.rfind(c.text, 0), 0u) << c.label << ": " << messages[0].text;
        EXPECT_NE(messages[0].informativeText.find("Al"), std::string::npos) << c.label;
        // Solving the same mixture again (the c* curve, a grain run's pressure search)
        // fails the same way without a second box.
        T = c.guess;
        EXPECT_FALSE(m->solveEquilibrium(T, PC, true)) << c.label;
        EXPECT_EQ(messages.size(), 1u) << c.label;
    }
}

} // namespace
