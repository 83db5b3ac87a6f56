// The kinetic right-hand side against finite differences of what the steady flow
// conserves: mass flow, momentum (rho u du + dp = 0), total enthalpy, the element
// totals, and the equation of state along the integrated pressure. A state off
// equilibrium makes the reactions work; the species are left evaluated at another
// temperature before each call, so a stale heat capacity would show. With condensed
// alumina among the species, the alumina carries mass and enthalpy but takes no volume:
// the equation of state counts the gas moles only.
#include <algorithm>
#include <cmath>
#include <numeric>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/curves.h"
#include "core/flags.h"
#include "engine/engine_messages.h"
#include "engine/odk.h"
#include "kinetic_cases.h"
#include "rhs_vectors.h"

namespace {

using namespace odk_test;

struct RhsCase {
    const char* name;
    bool reactions;
    bool areaGiven;
    double alumina = 0.0; // kmol/kg of liquid alumina in the state (0: the plain propellant)
};

// Names the case in the test listing instead of its bytes.
void PrintTo(const RhsCase& c, std::ostream* os)
{
    *os << c.name;
}

// Flow quantities of a state at position x, computed without the right-hand side.
struct Invariants {
    double logMassFlow; // ln(rho u A)
    double p; // the pressure the flow sees (state or given curve)
    double stateP; // rho R n T, n the gas moles
    double totalH; // h + u^2/2, J/kg
    double hydrogen; // element totals, kmol/kg
    double oxygen;
};

class OdkRightHandSide : public ::testing::TestWithParam<RhsCase> {
protected:
    void SetUp() override
    {
        setEngineMessageHandler([](const EngineMessage&) {});
    }
    void TearDown() override { setEngineMessageHandler({}); }

    Invariants invariants(Mixture& m, const RocketVariables& rv, bool areaGiven, double x, const double* y)
    {
        const std::size_t N = m.nSpecies;
        double n = 0.0, hSum = 0.0, H = 0.0, O = 0.0;
        const double T = y[N + 1];
        for (std::size_t j = 0; j < N; ++j) {
            Species& s = *m.species[j];
            s.thermo(T);
            if (s.phase == 0)
                n += y[j];
            hSum += y[j] * s.enthalpyRT;
            for (const ElementCount& e : s.composition) {
                if (e.symbol == "H")
                    H += e.count * y[j];
                if (e.symbol == "O")
                    O += e.count * y[j];
            }
        }
        const double u = y[N], rho = y[N + 2], Y = y[N + 3];
        const double A = areaGiven ? interpolate(rv.area, rv.x, x) : Y;
        Invariants v;
        v.logMassFlow = std::log(rho * u * A);
        v.p = areaGiven ? Y : interpolate(rv.p, rv.x, x);
        v.stateP = rho * R_UNIVERSAL * n * T;
        v.totalH = R_UNIVERSAL * T * hSum + 0.5 * u * u;
        v.hydrogen = H;
        v.oxygen = O;
        return v;
    }
};

TEST_P(OdkRightHandSide, ConservesMassMomentumEnergyAndElements)
{
    const RhsCase c = GetParam();
    auto m = c.alumina > 0.0 ? hydrogenOxygenAluminium(0.2, 1.0, c.reactions) : hydrogenOxygenKinetic(1.0, c.reactions);
    auto rv = std::make_shared<RocketVariables>();
    smoothNozzle(*rv, 15, 35);
    rv->chamberPressure = 3e6;
    // A smooth falling pressure curve for the pressure-given form.
    for (std::size_t k = 0; k < rv->x.size(); ++k)
        rv->p[k] = 3e6 * std::exp(-4.0 * (rv->x[k] + 0.1));
    ODK odk(m, rv, false, false);
    odk.areaGiven = c.areaGiven;

    // A state off equilibrium: the reactions have work to do.
    std::vector<double> moles{0.15, 0.02, 0.002, 0.003, 0.02, 0.33, 1e-5, 1e-6};
    const double n = std::accumulate(moles.begin(), moles.end(), 0.0);
    if (c.alumina > 0.0) {
        // The condensed species follow the gases, in reverse order of the product list:
        // no solid, then the liquid.
        moles.push_back(0.0);
        moles.push_back(c.alumina);
        ASSERT_EQ(m->species[9]->name, "AL2O3(L)");
    }
    const std::size_t N = m->nSpecies;
    ASSERT_EQ(N, moles.size());
    const double x = -0.031; // between two stations
    const double T = 3000.0, u = 900.0;
    const double pState = c.areaGiven ? 3.1e6 : interpolate(rv->p, rv->x, x);
    const double rho = pState / (R_UNIVERSAL * n * T);

    RhsVectors vectors(N);
    vectors.set(moles, u, T, rho, c.areaGiven ? pState : 0.9 * interpolate(rv->area, rv->x, x));
    const double* yv = vectors.state();

    // Leave the species evaluated far from the state's temperature.
    m->evaluateSpecies(1000.0);
    ASSERT_EQ(odkRightHandSide(x, vectors.y, vectors.ydot, &odk.userData), 0);
    const std::vector<double> d(vectors.derivative(), vectors.derivative() + N + 4);
    for (double v : d)
        ASSERT_TRUE(std::isfinite(v));

    double speciesChange = 0.0;
    for (std::size_t j = 0; j < N; ++j)
        speciesChange += std::fabs(d[j]);
    if (c.reactions)
        EXPECT_GT(speciesChange, 1e-3) << "the reactions should change the composition at this state";
    else
        EXPECT_EQ(speciesChange, 0.0);

    // Central differences along the flow direction dy/dx, with a step that changes no
    // component by more than a part in 1e5 (the chemistry off equilibrium is fast).
    double fastest = 1.0;
    for (std::size_t i = 0; i < N + 4; ++i)
        if (std::fabs(yv[i]) > 1e-4)
            fastest = std::max(fastest, std::fabs(d[i] / yv[i]));
    const double eps = 1e-5 / fastest;
    std::vector<double> plus(N + 4), minus(N + 4);
    for (std::size_t i = 0; i < N + 4; ++i) {
        plus[i] = yv[i] + eps * d[i];
        minus[i] = yv[i] - eps * d[i];
    }
    const Invariants a = invariants(*m, *rv, c.areaGiven, x + eps, plus.data());
    const Invariants b = invariants(*m, *rv, c.areaGiven, x - eps, minus.data());
    auto rate = [eps](double hi, double lo) { return (hi - lo) / (2.0 * eps); };

    const double du = d[N];
    const double dp = rate(a.p, b.p);
    ASSERT_GT(std::fabs(du / u), 1e-2) << "the flow should accelerate noticeably";

    // Each balance is measured against the size of its largest terms.
    const double cp = m->cp;
    const double massScale = std::fabs(du / u) + std::fabs(d[N + 2] / rho);
    const double stateScale = std::fabs(dp) + pState * (std::fabs(d[N + 2] / rho) + std::fabs(d[N + 1] / T));
    const double energyScale = std::fabs(u * du) + cp * std::fabs(d[N + 1]);
    // Mass: d ln(rho u A)/dx = 0.
    EXPECT_LT(std::fabs(rate(a.logMassFlow, b.logMassFlow)), 1e-6 * massScale) << c.name;
    // Momentum: rho u du/dx + dp/dx = 0.
    EXPECT_LT(std::fabs(rho * u * du + dp), 1e-6 * std::fabs(dp)) << c.name;
    // The pressure the flow carries follows the equation of state.
    EXPECT_LT(std::fabs(rate(a.stateP, b.stateP) - dp), 1e-6 * stateScale) << c.name;
    // Energy: h + u^2/2 is constant.
    EXPECT_LT(std::fabs(rate(a.totalH, b.totalH)), 1e-6 * energyScale) << c.name;
    // Elements are neither made nor destroyed by the reactions.
    EXPECT_LT(std::fabs(rate(a.hydrogen, b.hydrogen)), 1e-9 * (1.0 + speciesChange)) << c.name;
    EXPECT_LT(std::fabs(rate(a.oxygen, b.oxygen)), 1e-9 * (1.0 + speciesChange)) << c.name;
}

INSTANTIATE_TEST_SUITE_P(States, OdkRightHandSide,
                         ::testing::Values(RhsCase{"reacting, area given", true, true},
                                           RhsCase{"reacting, pressure given", true, false},
                                           RhsCase{"no reactions, area given", false, true},
                                           RhsCase{"no reactions, pressure given", false, false},
                                           RhsCase{"alumina, reacting, area given", true, true, 0.004},
                                           RhsCase{"alumina, reacting, pressure given", true, false, 0.004},
                                           RhsCase{"alumina, no reactions, area given", false, true, 0.004}),
                         [](const ::testing::TestParamInfo<RhsCase>& info) {
                             std::string s = info.param.name;
                             for (char& ch : s)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return s;
                         });

// A condensed phase takes no volume and collides as no third body: the same gas amounts
// per kg give the same concentrations, so alumina beside them leaves every gas's
// production rate as it was (only the frozen mass of the gas per kg is shared).
TEST(OdkCondensedRates, AluminaBesideTheGasLeavesTheGasRatesAsTheyAre)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenAluminium(0.2, 1.0, true);
    ASSERT_EQ(m->nGas, 8);
    ASSERT_GT(m->nReactions, 0);
    bool thirdBody = false;
    for (const auto& r : m->reactions)
        thirdBody = thirdBody || r->hasThirdBody;
    ASSERT_TRUE(thirdBody) << "the mechanism should have third-body reactions";
    const std::vector<double> gas{0.15, 0.02, 0.002, 0.003, 0.02, 0.33, 1e-5, 1e-6};
    auto rates = [&](double alumina) {
        for (std::size_t j = 0; j < gas.size(); ++j)
            m->species[j]->moles = gas[j];
        m->species[8]->moles = 0.0;
        m->species[9]->moles = alumina;
        m->moleFractions();
        m->temperature = 3000.0;
        m->pressure = 3e6;
        m->logPressureRatio = std::log(30.0);
        m->productionRates();
        return std::vector<double>(m->productionRateValues.begin(), m->productionRateValues.begin() + 8);
    };
    const std::vector<double> without = rates(0.0);
    const double n = std::accumulate(gas.begin(), gas.end(), 0.0);
    const std::vector<double> with = rates(0.004);
    // The gas constant counts the gas only.
    EXPECT_DOUBLE_EQ(m->gasConstant, R_UNIVERSAL * n);
    double largest = 0.0;
    for (double w : without)
        largest = std::max(largest, std::fabs(w));
    ASSERT_GT(largest, 0.0);
    for (std::size_t j = 0; j < without.size(); ++j)
        EXPECT_NEAR(with[j], without[j], 1e-12 * largest) << m->speciesNames[j];
    setEngineMessageHandler({});
}

TEST(OdkRightHandSideMinimumArea, RecordedOnlyWhileThePressureIsGiven)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto m = hydrogenOxygenKinetic(1.0, false);
    auto rv = std::make_shared<RocketVariables>();
    smoothNozzle(*rv, 15, 35);
    for (std::size_t k = 0; k < rv->x.size(); ++k)
        rv->p[k] = 3e6 * std::exp(-4.0 * (rv->x[k] + 0.1));
    ODK odk(m, rv, false, false);
    const std::size_t N = m->nSpecies;
    RhsVectors vectors(N);
    vectors.set(std::vector<double>(N, 0.05), 1500.0, 2800.0, 1.5, 5e-3);
    N_Vector y = vectors.y, ydot = vectors.ydot;

    rv->odkMinArea = 1.0;
    odk.areaGiven = true;
    odkRightHandSide(0.01, y, ydot, &odk.userData);
    EXPECT_EQ(rv->odkMinArea, 1.0) << "an area-given state carries a pressure, not an area";

    odk.areaGiven = false; // read through the pointer the user data holds
    odkRightHandSide(0.01, y, ydot, &odk.userData);
    EXPECT_EQ(rv->odkMinArea, 5e-3);
    EXPECT_EQ(rv->odkMinAreaX, 0.01);
    EXPECT_EQ(rv->odkMinAreaU, 1500.0);
    EXPECT_EQ(rv->odkMinAreaRho, 1.5);

    vectors.state()[N + 3] = 6e-3; // larger: nothing changes
    odkRightHandSide(0.02, y, ydot, &odk.userData);
    EXPECT_EQ(rv->odkMinArea, 5e-3);
    EXPECT_EQ(rv->odkMinAreaX, 0.01);
    setEngineMessageHandler({});
}

} // namespace
