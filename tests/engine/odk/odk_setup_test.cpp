// Set-up of the kinetic solver: the switch stations, nozzles the iteration cannot
// handle (refused with a critical code before any work), the run members the kinetic
// model does not offer, and the integrator owners.
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../support/quiet_engine.h"
#include "core/flags.h"
#include "core/preferences.h"
#include "engine/engine_messages.h"
#include "engine/odk.h"
#include "kinetic_cases.h"

namespace {

using namespace odk_test;

class OdkSetup : public ::testing::Test {
protected:
    void SetUp() override { startQuietEngine(); }
    void TearDown() override { endQuietEngine(); }

    // A record whose stations have the given area ratios (throat area 1 m2), one
    // centimetre apart with the throat at x = 0.
    static std::shared_ptr<RocketVariables> nozzle(const std::vector<double>& ratios, unsigned throat)
    {
        auto rv = std::make_shared<RocketVariables>();
        for (std::size_t k = 0; k < ratios.size(); ++k) {
            rv->x.push_back((static_cast<double>(k) - throat) * 0.01);
            rv->area.push_back(ratios[k]);
        }
        rv->throatIndex = throat;
        rv->stationCount = static_cast<uint32_t>(ratios.size());
        rv->resizeStations();
        return rv;
    }
};

struct SwitchCase {
    const char* name;
    std::vector<double> ratios;
    unsigned throat;
    uint32_t convergent, divergent;
    bool odk03, odk04;
};

TEST_F(OdkSetup, SwitchStations)
{
    const SwitchCase cases[] = {
            {"both found", {4, 2, 1.5, 1.05, 1.0, 1.1, 1.3, 2, 3}, 4, 3, 6, false, false},
            {"first at the bounds", {4, 1.08, 1.0, 1.12, 2}, 2, 1, 3, false, false},
            {"station 0 never qualifies", {1.05, 1.5, 1.2, 1.0, 1.5, 2}, 3, 2, 4, true, false},
            {"none convergent", {4, 3, 2, 1.5, 1.0, 1.5, 2}, 4, 3, 5, true, false},
            {"none divergent", {4, 2, 1.05, 1.0, 1.05, 1.1, 1.11}, 3, 2, 4, false, true},
            {"throat at the first station", {1.0, 1.5, 2, 3}, 0, 0, 1, true, false},
            {"no stations", {}, 0, 0, 1, true, true},
    };
    for (const SwitchCase& c : cases) {
        flagsODK = 0;
        auto rv = nozzle(c.ratios, c.throat);
        ODK odk(hydrogenOxygenKinetic(1.0, false), rv, false, false);
        EXPECT_EQ(rv->convergentSwitchIndex, c.convergent) << c.name;
        EXPECT_EQ(rv->divergentSwitchIndex, c.divergent) << c.name;
        EXPECT_EQ(flagRaised(flagsODK, code::ODK03), c.odk03) << c.name;
        EXPECT_EQ(flagRaised(flagsODK, code::ODK04), c.odk04) << c.name;
    }
}

TEST_F(OdkSetup, ConstructionClearsTheKineticCodesAndPreparesTheRecord)
{
    flagsODK = code::ODK00 | code::ODK05 | code::ODK08;
    auto rv = nozzle({4, 2, 1.05, 1.0, 1.2, 2, 3, 4, 5}, 3);
    auto m = hydrogenOxygenKinetic(1.0, false);
    ODK odk(m, rv, true, false);
    EXPECT_EQ(flagsODK.load(), 0u);
    EXPECT_EQ(rv->speciesNames, m->speciesNames);
    ASSERT_EQ(rv->moleFractions.size(), m->nSpecies);
    for (const auto& row : rv->moleFractions)
        EXPECT_EQ(row.size(), 9u);
    EXPECT_EQ(rv->odkSpeciesSource.size(), m->nSpecies);
    EXPECT_EQ(rv->odkMinArea, rv->area[0]);
    ASSERT_EQ(rv->stationScaleSlope.size(), 9u);
    for (double s : rv->stationScaleSlope)
        EXPECT_NEAR(s, 0.0, 1e-9);
    EXPECT_EQ(odk.computedArea.size(), 9u);
    EXPECT_EQ(odk.lnPressureRatio, 1.0);
    EXPECT_TRUE(odk.areaGiven);
}

struct RefusedCase {
    const char* name;
    std::vector<double> ratios;
    unsigned throat;
};

TEST_F(OdkSetup, NozzlesTheIterationCannotHandleAreRefusedBeforeAnyWork)
{
    // With DER_PREC 2 segment 3 needs three stations past the divergent switch station.
    const RefusedCase cases[] = {
            {"throat at the first station", {1.0, 1.02, 1.05, 1.1, 1.2, 1.5, 2, 3, 4, 5}, 0},
            {"throat at the last station", {5, 4, 3, 2, 1.5, 1.2, 1.1, 1.05, 1.0}, 8},
            {"too few stations after the switch", {4, 3, 2, 1.5, 1.05, 1.0, 1.2, 1.5, 2}, 5},
            {"fewer stations than the derivative window", {2, 1.05, 1.0, 1.2, 1.5, 2}, 2},
            // Contours whose area does not fall to the declared throat and rise after it.
            {"area still falling after the declared throat", {1.5, 1.0, 0.5, 0.25, 0.5, 1.0, 1.5, 2, 3, 4, 5}, 1},
            {"divergent part dipping below the throat", {4, 3, 2, 1.5, 1.05, 1.0, 1.2, 0.9, 1.5, 2, 3, 4}, 5},
    };
    for (const RefusedCase& c : cases) {
        flagsODK = 0;
        auto rv = nozzle(c.ratios, c.throat);
        const double chamberT = rv->chamberT;
        ODK odk(hydrogenOxygenKinetic(1.0, true), rv, false, false);
        flagsSP = 0; // the single-temperature reactants raise SP09 when the mixture is built
        EXPECT_FALSE(odk.nozzleSupported()) << c.name;
        odk.calculateIAC();
        EXPECT_TRUE(flagRaised(flagsODK, code::ODK00)) << c.name;
        EXPECT_TRUE(odk.failed) << c.name;
        EXPECT_FALSE(odk.integrator.active()) << c.name;
        // Nothing ran: the chamber and the stations are as they were.
        EXPECT_EQ(rv->chamberT, chamberT) << c.name;
        for (double T : rv->T)
            EXPECT_EQ(T, 0.0) << c.name;
        EXPECT_EQ(flagsSP.load(), 0u) << c.name;
    }

    // A coordinate that does not ascend is refused too.
    auto rv = nozzle({4, 3, 2, 1.5, 1.05, 1.0, 1.2, 1.5, 2, 3, 4}, 5);
    rv->x[2] = rv->x[1];
    ODK odk(hydrogenOxygenKinetic(1.0, true), rv, false, false);
    EXPECT_FALSE(odk.nozzleSupported());

    // The same nozzle with ascending coordinates is accepted, and so are a flat throat
    // region and a divergent part that waves above the throat area.
    auto good = nozzle({4, 3, 2, 1.5, 1.05, 1.0, 1.2, 1.5, 2, 3, 4}, 5);
    ODK accepted(hydrogenOxygenKinetic(1.0, true), good, false, false);
    EXPECT_TRUE(accepted.nozzleSupported());
    ODK flat(hydrogenOxygenKinetic(1.0, true), nozzle({4, 3, 2, 1.5, 1.0, 1.0, 1.2, 1.5, 2, 3, 4}, 5), false, false);
    EXPECT_TRUE(flat.nozzleSupported());
    ODK waving(hydrogenOxygenKinetic(1.0, true), nozzle({4, 3, 2, 1.5, 1.05, 1.0, 1.2, 1.1, 1.5, 2, 3, 4}, 5), false,
               false);
    EXPECT_TRUE(waving.nozzleSupported());

    // Stations added to the record after the solver was built: its station vectors
    // and switch stations belong to the old contour, and the run would write past them.
    for (double ratio : {5.0, 6.0, 7.0}) {
        good->x.push_back(good->x.back() + 0.01);
        good->area.push_back(ratio);
    }
    good->stationCount = static_cast<uint32_t>(good->x.size());
    good->resizeStations();
    EXPECT_FALSE(accepted.nozzleSupported());
    flagsODK = 0;
    accepted.calculateIAC();
    EXPECT_TRUE(flagRaised(flagsODK, code::ODK00));
    for (double T : good->T)
        EXPECT_EQ(T, 0.0) << "refused before any work";
}

TEST_F(OdkSetup, CombinationsTheKineticModelDoesNotOfferSetTheAbortByteAndLeaveTheRecord)
{
    using Member = void (ODK::*)();
    const std::pair<const char*, Member> members[] = {
            {"finite-area combustor", &ODK::calculateFAC},
            {"grain", &ODK::calculateIACGrain},
            {"finite-area combustor with grain", &ODK::calculateFACGrain},
    };
    for (const auto& [name, member] : members) {
        abortFlag = 0;
        auto rv = nozzle({4, 3, 2, 1.5, 1.05, 1.0, 1.2, 1.5, 2, 3, 4}, 5);
        const double chamberT = rv->chamberT;
        ODK odk(hydrogenOxygenKinetic(1.0, true), rv, false, false);
        (odk.*member)();
        EXPECT_EQ(abortFlag.load(), 1) << name;
        EXPECT_EQ(rv->chamberT, chamberT) << name;
        for (double p : rv->p)
            EXPECT_EQ(p, 0.0) << name;
        EXPECT_EQ(flagsODK.load() & (code::ODK00 | code::ODK01 | code::ODK02), 0u) << name;
    }
}

TEST_F(OdkSetup, ThroatPressureCorrections)
{
    // Stations 1 cm apart, throat at station 5, a straight pressure line with the
    // throat pressure 2 % above it: the neighbours predict the line exactly.
    auto make = [this](double throatFactor) {
        auto rv = nozzle({4, 3, 2, 1.5, 1.05, 1.0, 1.2, 1.5, 2, 3, 4}, 5);
        for (unsigned k = 0; k < 11; ++k)
            rv->p[k] = 5e6 - 2e5 * k;
        rv->p[5] *= throatFactor;
        return rv;
    };
    const double line = 5e6 - 2e5 * 5;
    struct Case {
        const char* name;
        double minX; // position of the smallest area, m
        double exponent; // expected share of ln(q/p) applied
    };
    const Case cases[] = {
            {"half a station downstream", 0.005, 0.1 * 0.5},
            {"two stations downstream, weight capped at 1", 0.02, 0.1},
            {"0.4 station upstream", -0.004, 0.1 * 0.4},
            {"within the tolerance", 0.000005, 0.0},
    };
    for (const Case& c : cases) {
        auto rv = make(1.02);
        ODK odk(hydrogenOxygenKinetic(1.0, false), rv, false, false);
        rv->odkMinAreaX = c.minX;
        const double p0 = rv->p[5];
        odk.throatPressureCorrection();
        EXPECT_NEAR(rv->p[5], p0 * std::exp(c.exponent * std::log(line / p0)), 1e-6 * p0) << c.name;
    }
    // Never above the pressure upstream.
    {
        const double saved = THROAT_P_POS_RELEVANCE;
        THROAT_P_POS_RELEVANCE = 30.0;
        auto rv = make(0.9);
        ODK odk(hydrogenOxygenKinetic(1.0, false), rv, false, false);
        rv->odkMinAreaX = 0.01;
        odk.throatPressureCorrection();
        THROAT_P_POS_RELEVANCE = saved;
        EXPECT_EQ(rv->p[5], rv->p[4]);
    }
    // Sonic correction: half the way, in ln p, to the pressure at the smallest area
    // (on the straight line, half a station downstream).
    {
        auto rv = make(1.0);
        ODK odk(hydrogenOxygenKinetic(1.0, false), rv, false, false);
        rv->odkMinAreaX = 0.005;
        const double p0 = rv->p[5];
        odk.sonicPressureCorrection();
        const double atMinimum = 5e6 - 2e5 * 5.5;
        EXPECT_NEAR(rv->p[5], std::sqrt(p0 * atMinimum), 1e-6 * p0);
        rv->odkMinAreaX = 0.000005;
        const double p1 = rv->p[5];
        odk.sonicPressureCorrection();
        EXPECT_EQ(rv->p[5], p1) << "a minimum at the throat leaves it";
    }
}

TEST_F(OdkSetup, ThroatPositionWithinTheToleranceOfAStationSpacing)
{
    // THROATPOS_TOL_ODK (0.001) of the spacing on the side of the smallest area: 10 um
    // downstream, 20 um upstream. Half a station is far outside.
    ASSERT_EQ(THROATPOS_TOL_ODK, 0.001);
    auto rv = nozzle({4, 3, 2, 1.5, 1.05, 1.0, 1.2, 1.5, 2, 3, 4}, 5);
    rv->x[4] = -0.02; // a wider spacing upstream of the throat
    ODK odk(hydrogenOxygenKinetic(1.0, false), rv, false, false);
    const std::pair<double, bool> cases[] = {{0.0, true},       {9.9e-6, true},  {10.1e-6, false}, {-19.9e-6, true},
                                             {-20.1e-6, false}, {0.0049, false}, {-0.0099, false}, {0.03, false}};
    for (const auto& [offset, accepted] : cases) {
        rv->odkMinAreaX = offset;
        EXPECT_EQ(odk.throatPositionAccepted(), accepted) << offset;
    }
}

TEST_F(OdkSetup, SmallestAreaLiesWhereTheComputedSlopeTurns)
{
    // Computed areas on a parabola A = Am (1 + c (x - xm)^2) with its exact slopes,
    // on uneven stations: the cubic through two stations is the parabola itself, so
    // its minimum is the parabola's, wherever it falls between the stations.
    auto rv = nozzle({4, 2, 1.5, 1.05, 1.0, 1.2, 1.5, 2, 3, 4}, 4);
    rv->x = {-0.04, -0.03, -0.015, -0.007, 0.0, 0.004, 0.011, 0.02, 0.03, 0.04};
    ODK odk(hydrogenOxygenKinetic(1.0, false), rv, false, false);
    ASSERT_EQ(rv->convergentSwitchIndex, 3u);
    ASSERT_EQ(rv->divergentSwitchIndex, 5u);
    rv->convergentSwitchIndex = 1; // a wider pressure-given segment for the test
    rv->divergentSwitchIndex = 7;
    const double Am = 0.98, c = 400.0;
    for (const double xm : {0.0013, -0.0052, 0.0}) {
        for (unsigned k = 0; k < 10; ++k) {
            const double dx = rv->x[k] - xm;
            odk.computedArea[k] = Am * (1.0 + c * dx * dx);
            odk.computedAreaSlope[k] = 2.0 * c * dx / (1.0 + c * dx * dx); // d ln A/dx
            odk.stationU[k] = 1000.0 + 100.0 * k;
            odk.stationRho[k] = 5.0 - 0.1 * k;
        }
        rv->odkMinArea = 2.0;
        odk.locateSmallestArea();
        EXPECT_NEAR(rv->odkMinAreaX, xm, 1e-12) << xm;
        EXPECT_NEAR(rv->odkMinArea, Am, 1e-14) << xm;
        // u and rho in proportion between the two stations around the minimum.
        const unsigned k = xm > 0.0 ? 4 : (xm < -0.007 ? 2 : 3);
        const double share = (xm - rv->x[k]) / (rv->x[k + 1] - rv->x[k]);
        EXPECT_NEAR(rv->odkMinAreaU, odk.stationU[k] + share * 100.0, 1e-9) << xm;
        EXPECT_NEAR(rv->odkMinAreaRho, odk.stationRho[k] - share * 0.1, 1e-12) << xm;
    }
    // No turn of the slope (the area still falling through the segment): the recorded
    // smallest area stays.
    for (unsigned k = 0; k < 10; ++k)
        odk.computedAreaSlope[k] = -1.0;
    rv->odkMinArea = 0.5;
    rv->odkMinAreaX = 0.123;
    odk.locateSmallestArea();
    EXPECT_EQ(rv->odkMinArea, 0.5);
    EXPECT_EQ(rv->odkMinAreaX, 0.123);
}

TEST_F(OdkSetup, IntegratorOwnersFreeWhatWasCreatedOnce)
{
    OdkIntegrator integrator;
    EXPECT_FALSE(integrator.active());
    EXPECT_EQ(integrator.release(), 0);
    ASSERT_TRUE(integrator.create(12));
    EXPECT_TRUE(integrator.active());
    EXPECT_NE(integrator.memory(), nullptr);
    EXPECT_EQ(N_VGetLength(integrator.initialState()), 12);
    // Created again: the earlier objects are freed first (the sanitiser sees any leak).
    ASSERT_TRUE(integrator.create(6));
    EXPECT_EQ(integrator.release(), 0);
    EXPECT_FALSE(integrator.active());
    EXPECT_EQ(integrator.release(), 0);
    // Left to the destructor.
    OdkIntegrator other;
    ASSERT_TRUE(other.create(4));
}

} // namespace
