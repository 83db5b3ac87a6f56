// The kinetic flow's analytic Jacobian against central differences of its right-hand
// side at states of the hydrogen/oxygen case along the nozzle (near the chamber, through
// the throat region with the pressure given, the cold nearly frozen end, without
// reactions, and with condensed alumina among the species), and whole kinetic runs with it against runs with the integrator's own
// difference-quotient Jacobian.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/curves.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/odk.h"
#include "kinetic_cases.h"
#include "rhs_vectors.h"

namespace {

using namespace odk_test;

struct JacobianCase {
    const char* name;
    bool reactions;
    bool areaGiven;
    double x; // m, throat at 0
    double T; // K
    double p; // Pa
    double u; // m/s
    std::vector<double> moles; // kmol/kg: H2, H, O, O2, OH, H2O, HO2, H2O2
    // kmol/kg of solid and liquid alumina (the aluminised propellant), none: the plain one
    std::vector<double> alumina = {};
};

// The compositions are the published propellant's (O/F 5.55) at roughly the
// temperature of each place, off equilibrium so that every reaction runs.
const JacobianCase CASES[] = {
        {"near the chamber",
         true,
         true,
         -0.09,
         3350.0,
         5.0e6,
         150.0,
         {0.14, 0.017, 0.0025, 0.004, 0.03, 0.32, 2e-5, 3e-6}},
        {"convergent, pressure given",
         true,
         false,
         -0.02,
         3250.0,
         0.0,
         900.0,
         {0.142, 0.015, 0.002, 0.0035, 0.027, 0.325, 1.5e-5, 2e-6}},
        {"past the throat, pressure given",
         true,
         false,
         0.01,
         3000.0,
         0.0,
         1700.0,
         {0.145, 0.012, 0.0012, 0.002, 0.02, 0.335, 5e-6, 1e-6}},
        {"cold frozen end",
         true,
         true,
         0.45,
         1300.0,
         4.0e4,
         3800.0,
         {0.15, 0.008, 2e-4, 5e-4, 0.006, 0.345, 1e-7, 1e-8}},
        {"no reactions", false, true, 0.2, 2200.0, 3.0e5, 3000.0, {0.15, 0.01, 5e-4, 1e-3, 0.01, 0.34, 1e-6, 1e-7}},
        {"alumina, area given",
         true,
         true,
         0.02,
         2900.0,
         1.5e6,
         2000.0,
         {0.14, 0.012, 0.0012, 0.002, 0.02, 0.27, 5e-6, 1e-6},
         {0.001, 0.003}},
        {"alumina, pressure given",
         true,
         false,
         -0.02,
         3250.0,
         0.0,
         900.0,
         {0.142, 0.015, 0.002, 0.0035, 0.027, 0.26, 1.5e-5, 2e-6},
         {0.001, 0.003}},
};

// Names the case in the test listing instead of its bytes.
void PrintTo(const JacobianCase& c, std::ostream* os)
{
    *os << c.name;
}

class OdkJacobianTest : public ::testing::TestWithParam<JacobianCase> {
protected:
    void SetUp() override
    {
        setEngineMessageHandler([](const EngineMessage&) {});
    }
    void TearDown() override { setEngineMessageHandler({}); }
};

TEST_P(OdkJacobianTest, MatchesCentralDifferencesOfTheRightHandSide)
{
    const JacobianCase c = GetParam();
    auto m = c.alumina.empty() ? hydrogenOxygenKinetic(1.0, c.reactions)
                               : hydrogenOxygenAluminium(0.2, 1.0, c.reactions);
    auto rv = std::make_shared<RocketVariables>();
    smoothNozzle(*rv, 15, 35);
    rv->chamberPressure = 53.3172e5;
    // A smooth falling pressure curve for the pressure-given form.
    for (std::size_t k = 0; k < rv->x.size(); ++k)
        rv->p[k] = 5e6 * std::exp(-6.0 * (rv->x[k] + 0.1));
    ODK odk(m, rv, false, false);
    odk.areaGiven = c.areaGiven;
    rv->odkMinArea = 0.0; // no state of the test is recorded as a smallest area

    // The gases, then the condensed species (in reverse order of the product list).
    std::vector<double> moles = c.moles;
    moles.insert(moles.end(), c.alumina.begin(), c.alumina.end());
    const std::size_t N = m->nSpecies;
    ASSERT_EQ(N, moles.size());
    double n = 0.0; // gas moles: the condensed species take no volume
    for (double v : c.moles)
        n += v;
    const double p = c.areaGiven ? c.p : interpolate(rv->p, rv->x, c.x);
    const double rho = p / (R_UNIVERSAL * n * c.T);
    const double last = c.areaGiven ? p : 0.97 * interpolate(rv->area, rv->x, c.x);

    const std::size_t size = N + 4;
    RhsVectors vectors(N);
    vectors.set(moles, c.u, c.T, rho, last);
    std::vector<double> y(vectors.state(), vectors.state() + size);

    SUNContext context = nullptr;
    ASSERT_EQ(SUNContext_Create(nullptr, &context), 0);
    SUNMatrix J = SUNDenseMatrix(static_cast<sunindextype>(size), static_cast<sunindextype>(size), context);
    ASSERT_EQ(odkRightHandSide(c.x, vectors.y, vectors.ydot, &odk.userData), 0);
    ASSERT_EQ(odkJacobian(c.x, vectors.y, vectors.ydot, J, &odk.userData, nullptr, nullptr, nullptr), 0);
    std::vector<double> analytic(size * size);
    for (std::size_t k = 0; k < size; ++k)
        for (std::size_t i = 0; i < size; ++i)
            analytic[i * size + k] = SM_ELEMENT_D(J, i, k);
    SUNMatDestroy(J);
    SUNContext_Free(&context);

    // Central differences with a step of 1e-5 of each component: near the cube root of
    // the double precision (6e-6), where the truncation error (step^2, about 1e-10 of
    // the curvature's scale) and the rounding error (1e-16/step, about 1e-11 of the
    // terms' scale) are both far below the tolerance below.
    std::vector<double> differences(size * size);
    std::vector<double> plus(size), minus(size);
    for (std::size_t k = 0; k < size; ++k) {
        const double h = 1e-5 * std::fabs(y[k]);
        double* state = vectors.state();
        std::copy(y.begin(), y.end(), state);
        state[k] = y[k] + h;
        odkRightHandSide(c.x, vectors.y, vectors.ydot, &odk.userData);
        std::copy(vectors.derivative(), vectors.derivative() + size, plus.begin());
        state[k] = y[k] - h;
        odkRightHandSide(c.x, vectors.y, vectors.ydot, &odk.userData);
        std::copy(vectors.derivative(), vectors.derivative() + size, minus.begin());
        for (std::size_t i = 0; i < size; ++i)
            differences[i * size + k] = (plus[i] - minus[i]) / (2.0 * h);
    }

    // Each entry against its own size and the row's largest response to a relative
    // change of a component (an entry that hardly matters to its row may be off by
    // at most a millionth of what matters).
    double speciesRows = 0.0;
    for (std::size_t i = 0; i < size; ++i) {
        double rowScale = 0.0;
        for (std::size_t k = 0; k < size; ++k)
            rowScale = std::max(rowScale, std::fabs(differences[i * size + k] * y[k]));
        if (i < N)
            speciesRows = std::max(speciesRows, rowScale);
        for (std::size_t k = 0; k < size; ++k) {
            const double a = analytic[i * size + k];
            const double d = differences[i * size + k];
            ASSERT_TRUE(std::isfinite(a)) << "row " << i << ", column " << k;
            EXPECT_LE(std::fabs(a - d), 1e-6 * (std::fabs(d) + rowScale / std::fabs(y[k])))
                    << c.name << ": row " << i << ", column " << k << ", analytic " << a << ", differences " << d;
        }
    }
    if (c.reactions)
        EXPECT_GT(speciesRows, 0.0) << "the reactions should make the species rows depend on the state";
    else
        EXPECT_EQ(speciesRows, 0.0);
}

INSTANTIATE_TEST_SUITE_P(States, OdkJacobianTest, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<JacobianCase>& info) {
                             std::string s = info.param.name;
                             for (char& ch : s)
                                 if (!std::isalnum(static_cast<unsigned char>(ch)))
                                     ch = '_';
                             return s;
                         });

// The Jacobian only steers the integrator's Newton iteration, so the run must come out
// the same with either Jacobian to within what the integration and the global iteration
// resolve. Each Newton solution is accepted at a tenth of the error weights
// (REL_TOL |y| + ABS_TOL), so the two integrations part at that level and their
// difference grows over the hundreds of steps of a pass; next to the throat the
// near-sonic flow amplifies it, and the global iteration ends wherever its corrections
// fall below their tolerances (1e-4). Up to the divergent switch station the test
// allows 2e-6 relative (measured: 9e-7, in the velocity before the throat with the fast
// rates), and for the mole fractions a tenth of the integrator's absolute tolerance
// besides. From the switch station on, the flow starts from the state moved onto the
// nozzle's area there, by the step in ln p that the near-throat corrections leave:
// below 0.2 POINT_TOL_ODK, since a larger one is corrected before the final pass
// (measured: 1.5e-6 between the two runs); that is what is allowed there.
TEST(OdkJacobianRun, SameResultsAsWithTheDifferenceQuotients)
{
    setEngineMessageHandler([](const EngineMessage&) {});
    struct Run {
        std::shared_ptr<RocketVariables> rv;
        uint32_t codes;
        bool failed;
        uint32_t passes;
        uint64_t evaluations;
    };
    auto run = [](OdkJacobian jacobian, double rateFactor) {
        auto rv = std::make_shared<RocketVariables>();
        smoothNozzle(*rv, 15, 35);
        rv->chamberPressure = 53.3172e5;
        flagsODK = 0;
        ODK odk(hydrogenOxygenKinetic(rateFactor, true), rv, false, false);
        odk.settings.jacobian = jacobian;
        odk.calculateIAC();
        return Run{rv, flagsODK.load() & ALL_ODK, odk.failed, odk.passesDone.load(), odk.rhsEvaluations};
    };
    // Nominal rates, and rates a thousand times faster (stiffer, nearer equilibrium).
    for (double rateFactor : {1.0, 1e3}) {
        const Run analytic = run(OdkJacobian::Analytic, rateFactor);
        const Run quotients = run(OdkJacobian::DifferenceQuotient, rateFactor);
        ASSERT_FALSE(analytic.failed);
        ASSERT_FALSE(quotients.failed);
        EXPECT_EQ(analytic.codes, quotients.codes);
        EXPECT_EQ(analytic.passes, quotients.passes);
        // The difference quotients cost one evaluation per component at each Jacobian.
        EXPECT_LT(analytic.evaluations, quotients.evaluations) << "rate factor " << rateFactor;
        const RocketVariables& a = *analytic.rv;
        const RocketVariables& b = *quotients.rv;
        double worst[2] = {0.0, 0.0}; // up to the switch station, from it on
        double relative = 1e-6;
        auto expectClose = [&](double va, double vb, const char* what, unsigned k) {
            const double scale = std::max(std::fabs(va), std::fabs(vb));
            double& w = worst[k < a.divergentSwitchIndex ? 0 : 1];
            w = std::max(w, std::fabs(va - vb) / scale);
            EXPECT_LE(std::fabs(va - vb), relative * scale)
                    << what << " at station " << k << ", rate factor " << rateFactor;
        };
        ASSERT_EQ(a.divergentSwitchIndex, b.divergentSwitchIndex);
        for (unsigned k = 0; k < a.stationCount; ++k) {
            relative = k < a.divergentSwitchIndex ? 2e-6 : 0.2 * POINT_TOL_ODK;
            expectClose(a.T[k], b.T[k], "T", k);
            expectClose(a.p[k], b.p[k], "p", k);
            expectClose(a.u[k], b.u[k], "u", k);
            expectClose(a.rho[k], b.rho[k], "rho", k);
            expectClose(a.mach[k], b.mach[k], "Mach number", k);
            for (std::size_t j = 0; j < a.moleFractions.size(); ++j) {
                const double xa = a.moleFractions[j][k], xb = b.moleFractions[j][k];
                EXPECT_LE(std::fabs(xa - xb), relative * std::max(std::fabs(xa), std::fabs(xb)) + 0.1 * ABS_TOL)
                        << "mole fraction of species " << j << " at station " << k << ", rate factor " << rateFactor;
            }
        }
        std::printf("rate factor %g: largest relative difference of T, p, u, rho, Mach %.2g up to the switch "
                    "station, %.2g from it on; %llu against %llu right-hand sides\n",
                    rateFactor, worst[0], worst[1], static_cast<unsigned long long>(analytic.evaluations),
                    static_cast<unsigned long long>(quotients.evaluations));
    }
    setEngineMessageHandler({});
}

} // namespace
