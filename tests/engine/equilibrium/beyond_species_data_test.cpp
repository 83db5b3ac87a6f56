// An equilibrium far above the top of the species data is no result: the hydrogen/oxygen
// rocket with a reactant's heat of formation raised (stored as J/mol, inside the entry
// bound of 1e12 J per kg of the substance) against the tops of the Cp fits as the data
// file gives them.
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/flags.h"
#include "engine/engine_messages.h"
#include "engine/test_mixtures.h"

namespace {

// The top of the Cp fits of `name` in the data file the species were imported from: the
// high bound of its last interval (NASA layout: the interval count in columns 1-2 of the
// line after the name, each interval's bounds in columns 1-22 of its first line).
double dataFileTop(const std::string& name)
{
    std::ifstream in(std::string(KAVRO_TEST_DATA_DIR) + "/engine/thermo_subset.inp");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind(name + " ", 0) != 0)
            continue;
        std::getline(in, line);
        const int intervals = std::stoi(line.substr(0, 2));
        double top = 0.0;
        for (int i = 0; i < intervals; ++i) {
            std::getline(in, line);
            top = std::stod(line.substr(11, 11));
            std::getline(in, line);
            std::getline(in, line);
        }
        return top;
    }
    ADD_FAILURE() << name << " is not in the data file";
    return NAN;
}

const std::vector<std::string> PRODUCTS = {"H", "HO2", "H2", "H2O", "H2O2", "O", "OH", "O2", "O3", "H2O(L)", "H2O(cr)"};

double highestTop()
{
    double top = 0.0;
    for (const std::string& p : PRODUCTS)
        top = std::max(top, dataFileTop(p));
    return top;
}

struct BeyondCase {
    const char* what;
    const char* reactant;
    double joulesPerMole;
    bool result;
    double minT, maxT; // K, bounds of the chamber temperature of a result
};

} // namespace

TEST(BeyondSpeciesData, FarAboveTheTopOfTheDataIsNoEquilibrium)
{
    const double top = highestTop();
    ASSERT_EQ(top, 20000.0); // H, O, H2, O2, OH: 20000 K; the others 6000 K or less
    // Hand estimates of the far cases: the raised heat of formation per kg of propellant
    // goes almost whole into a gas of H and O atoms, 0.15263517/1.00794 + 0.84736483/15.9994
    // = 0.204 mol/g, with h = 5/2 R T per mole of atoms (2.5 x 8.314 x 204 = 4240 J/(kg K)):
    //   O2(L) 6.3e8 J/mol: 6.3e8 x 0.84736/0.0319988 = 1.67e10 J/kg, some 3.9e6 K;
    //   H2(L) 1.99e9 J/mol (0.987e12 J/kg of H2(L), inside the entry bound of 1e12 J/kg):
    //   1.99e9 x 0.15264/0.0020159 = 1.51e11 J/kg, some 3.6e7 K.
    // Both are far above any top; 5.2e6 J/mol of O2(L) ends a few percent above it.
    const BeyondCase cases[] = {
            {"published reference case (O2(L) as stored)", "O2(L)", -12979.0, true, 3383.84 - 0.5, 3383.84 + 0.5},
            {"O2(L) at 5.2e6 J/mol, a few percent above the top", "O2(L)", 5.2e6, true, top, 1.1 * top},
            {"O2(L) at 6.3e8 J/mol", "O2(L)", 6.3e8, false, 0.0, 0.0},
            {"H2(L) at 1.99e9 J/mol, near the entry bound", "H2(L)", 1.99e9, false, 0.0, 0.0},
    };
    setEngineMessageHandler([](const EngineMessage&) {});
    for (const BeyondCase& c : cases) {
        SCOPED_TRACE(c.what);
        auto m = hydrogenOxygenRocketWith(c.reactant, c.joulesPerMole);
        ASSERT_TRUE(m);
        m->setReactantEnthalpy(298.15);
        flagsSP = 0;
        flagsODE = 0;
        m->reset();
        double T = 3800.0;
        const bool solved = m->solveEquilibrium(T, 53.3172e5, true);
        EXPECT_EQ(solved, c.result);
        EXPECT_EQ(flagRaised(flagsODE, code::ODE08), !c.result);
        EXPECT_FALSE(flagRaised(flagsSP, code::SP10)); // converged: refused, not lost
        if (c.result) {
            EXPECT_GT(T, c.minT);
            EXPECT_LT(T, c.maxT);
            // Above 6000 K the water and the peroxides are extrapolated: warned, kept.
            EXPECT_EQ(flagRaised(flagsSP, code::SP02), T > 6000.0);
        }
    }
    setEngineMessageHandler({});
}
