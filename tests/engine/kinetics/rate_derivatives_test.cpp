// The production rates' derivatives (mole fractions at fixed T and p, temperature and
// pressure at fixed mole fractions) against central differences of the rates, for the
// 27 reactions of the hydrogen/oxygen mechanism at states along a nozzle, and with every
// reaction marked forward-only.
#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../test_mixtures.h"
#include "engine/engine_messages.h"
#include "reaction_records.h"

namespace {

const std::vector<std::string> NAMES{"H2", "H", "O", "O2", "OH", "H2O", "HO2", "H2O2"};
const std::vector<std::string> ELEMENTS{"H", "O", "E"};

struct DerivativeCase {
    const char* name;
    double T; // K
    double p; // Pa
    std::vector<double> x; // mole fractions in NAMES order
    bool forwardOnly;
};

void PrintTo(const DerivativeCase& c, std::ostream* os)
{
    *os << c.name;
}

// Mole fractions of the published propellant (O/F 5.55) off equilibrium; they need not
// add up to one, as the rates take each fraction as it is.
const DerivativeCase CASES[] = {
        {"chamber", 3350.0, 5.0e6, {0.26, 0.032, 0.0047, 0.0075, 0.056, 0.6, 4e-5, 6e-6}, false},
        {"throat", 3000.0, 2.8e6, {0.28, 0.022, 0.0023, 0.0038, 0.037, 0.63, 1e-5, 2e-6}, false},
        {"cold end", 1300.0, 4.0e4, {0.29, 0.016, 4e-4, 1e-3, 0.012, 0.67, 2e-7, 2e-8}, false},
        {"throat, forward only", 3000.0, 2.8e6, {0.28, 0.022, 0.0023, 0.0038, 0.037, 0.63, 1e-5, 2e-6}, true},
};

class RateDerivatives : public ::testing::TestWithParam<DerivativeCase> {
protected:
    void SetUp() override
    {
        setEngineMessageHandler([](const EngineMessage&) {});
    }
    void TearDown() override { setEngineMessageHandler({}); }
};

TEST_P(RateDerivatives, MatchCentralDifferencesOfTheRates)
{
    const DerivativeCase c = GetParam();
    auto reactions = hydrogenOxygenReactions(NAMES);
    for (auto& r : reactions)
        r->forwardOnly = c.forwardOnly ? 1 : 0;
    auto base = buildMixture(NAMES, {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, ELEMENTS);
    Mixture m(base->nSpecies, base->nReactants, static_cast<uint16_t>(ELEMENTS.size()),
              static_cast<uint16_t>(reactions.size()), base->species, base->reactants, ELEMENTS, &reactions);
    const std::size_t N = m.nSpecies;
    ASSERT_EQ(N, c.x.size());

    auto setState = [&](const std::vector<double>& x, double T, double p) {
        for (std::size_t j = 0; j < N; ++j)
            m.species[j]->moleFraction = x[j];
        m.temperature = T;
        m.pressure = p;
    };
    setState(c.x, c.T, c.p);
    Mixture::RateDerivatives d;
    m.productionRateDerivatives(d);
    ASSERT_EQ(d.moleFraction.size(), N * N);
    ASSERT_EQ(d.temperature.size(), N);
    ASSERT_EQ(d.pressure.size(), N);

    // Columns: the N mole fractions, then T, then p; each with a central difference of
    // step 1e-5 of the variable (near the cube root of the double precision, so that
    // truncation, about 1e-10, and rounding, about 1e-11 of the rates' scale, both stay
    // far below the tolerance).
    const std::size_t columns = N + 2;
    std::vector<double> analytic(N * columns), differences(N * columns), variable(columns);
    for (std::size_t j = 0; j < N; ++j) {
        for (std::size_t k = 0; k < N; ++k)
            analytic[j * columns + k] = d.moleFraction[j * N + k];
        analytic[j * columns + N] = d.temperature[j];
        analytic[j * columns + N + 1] = d.pressure[j];
    }
    for (std::size_t k = 0; k < columns; ++k) {
        std::vector<double> x = c.x;
        double T = c.T, p = c.p;
        double& v = k < N ? x[k] : (k == N ? T : p);
        variable[k] = v;
        const double h = 1e-5 * v;
        const double centre = v;
        v = centre + h;
        setState(x, T, p);
        m.productionRates();
        const std::vector<double> plus = m.productionRateValues;
        v = centre - h;
        setState(x, T, p);
        m.productionRates();
        for (std::size_t j = 0; j < N; ++j)
            differences[j * columns + k] = (plus[j] - m.productionRateValues[j]) / (2.0 * h);
    }

    // Each entry against its size and the row's largest response to a relative change.
    for (std::size_t j = 0; j < N; ++j) {
        double rowScale = 0.0;
        for (std::size_t k = 0; k < columns; ++k)
            rowScale = std::max(rowScale, std::fabs(differences[j * columns + k] * variable[k]));
        EXPECT_GT(rowScale, 0.0) << NAMES[j];
        for (std::size_t k = 0; k < columns; ++k) {
            const double a = analytic[j * columns + k];
            const double f = differences[j * columns + k];
            EXPECT_LE(std::fabs(a - f), 1e-6 * (std::fabs(f) + rowScale / variable[k]))
                    << c.name << ": rate of " << NAMES[j] << ", column " << k << ", analytic " << a << ", differences "
                    << f;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(States, RateDerivatives, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<DerivativeCase>& info) {
                             std::string s = info.param.name;
                             for (char& ch : s)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return s;
                         });

TEST(RateDerivativesWithoutReactions, AreZero)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    auto base = buildMixture(NAMES, {{"H2(L)", 0.15263517}, {"O2(L)", 0.84736483}}, ELEMENTS);
    Mixture m(base->nSpecies, base->nReactants, static_cast<uint16_t>(ELEMENTS.size()), 0, base->species,
              base->reactants, ELEMENTS, nullptr);
    for (std::size_t j = 0; j < m.nSpecies; ++j)
        m.species[j]->moleFraction = 0.125;
    m.temperature = 2000.0;
    m.pressure = 1e5;
    Mixture::RateDerivatives d;
    m.productionRateDerivatives(d);
    ASSERT_EQ(d.moleFraction.size(), static_cast<std::size_t>(m.nSpecies) * m.nSpecies);
    for (double v : d.moleFraction)
        EXPECT_EQ(v, 0.0);
    for (double v : d.temperature)
        EXPECT_EQ(v, 0.0);
    for (double v : d.pressure)
        EXPECT_EQ(v, 0.0);
    setEngineMessageHandler({});
}

} // namespace
