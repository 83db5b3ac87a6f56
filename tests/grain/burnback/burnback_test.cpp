// Burn-back curves: closed forms of the cylindrical charge, conservation (area = minus the
// derivative of the propellant volume) for the cylinder and both star models, the worked
// star example, the tab's single-precision sampling, and that no phase writes past its
// samples.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "grain/burnback.h"
#include "star_port.h"

using namespace grain;

namespace {

constexpr double pi = 3.141592; // the program's pi, in every expected figure below

double degrees(double rad)
{
    return rad * 180.0 / M_PI;
}

// Propellant volume of N tubes (outer radius R, bore r) after burning y on the bore and,
// for `ends`, on both end faces.
double tubeVolume(double R, double r, double L, double N, bool bore, bool ends, double y)
{
    const double inner = bore ? r + y : r;
    const double length = ends ? L - 2.0 * y : L;
    return N * pi * (R * R - inner * inner) * length;
}

} // namespace

TEST(CylindricalBurnback, InitialGrainOfTheForm)
{
    // Dext 50, Di 20, L 100, one charge, 100 samples, radial and base: the radial web
    // (15) is thinner than the half length (50), so the burn ends at y = 15, when the
    // bore reaches the case and only the lateral surface 2 pi 25 (100 - 30) is left.
    const FloatCurve c = cylindricalCurve(50, 20, 100, 1, 100, RadialAndBase);
    ASSERT_EQ(c.y.size(), 100u);
    ASSERT_EQ(c.area.size(), 100u);
    EXPECT_EQ(c.y.front(), 0.0f);
    EXPECT_EQ(c.y.back(), 15.0f);
    EXPECT_EQ(static_cast<double>(c.y[1]), 0.1515151560306549); // 15/99 in single precision
    EXPECT_EQ(c.area.front(), static_cast<float>(6.283184 * (10 * 100 + 625 - 100)));
    EXPECT_EQ(static_cast<double>(c.area.front()), 9581.85546875);
    EXPECT_EQ(c.area.back(), static_cast<float>(6.283184 * 25 * 70));
    double sum = 0.0;
    for (float a : c.area)
        sum += a;
    EXPECT_EQ(c.areaSum, sum);
}

TEST(CylindricalBurnback, BurnoutAndLastAreaByType)
{
    struct Case {
        const char* what;
        double Dext, Di, L;
        int type;
        double yMax, lastArea;
    };
    // R = 25, r = 10 unless said otherwise; areas of one charge.
    const Case cases[] = {
            // L < web: the ends meet first; the lateral term is zero at y = L/2 and the
            // faces are the ring between r + 10 and R.
            {"short charge", 50, 20, 20, 0, 10, 2 * pi * (625 - 400)},
            // L = web: both webs end together and nothing is left.
            {"equal webs", 50, 20, 30, 0, 15, 0.0},
            {"radial only", 50, 20, 100, 1, 15, 2 * pi * 25 * 100},
            {"base only", 50, 20, 100, 2, 50, 2 * pi * (625 - 100)},
    };
    for (const Case& k : cases) {
        std::vector<double> y, A;
        burnbackCylindrical(k.Dext, k.Di, k.L, 1, 11, k.type, y, A);
        ASSERT_EQ(y.size(), 11u) << k.what;
        EXPECT_NEAR(y.back(), k.yMax, 1e-12) << k.what;
        EXPECT_NEAR(A.back(), k.lastArea, 1e-9) << k.what;
        const FloatCurve c = cylindricalCurve(k.Dext, k.Di, k.L, 1, 11, k.type);
        EXPECT_EQ(c.y.back(), static_cast<float>(k.yMax)) << k.what;
    }
}

TEST(CylindricalBurnback, AreaIsTheRateOfVolumeBurnt)
{
    // Three charges; for each type the area must equal -dV/dy of the remaining tubes.
    const double R = 30, r = 8, L = 70, N = 3;
    for (int type : {0, 1, 2}) {
        std::vector<double> y, A;
        burnbackCylindrical(2 * R, 2 * r, L, 3, 9, type, y, A);
        const bool bore = type != 2, ends = type != 1;
        for (std::size_t i = 1; i + 1 < y.size(); ++i) {
            const double h = 1e-4;
            const double rate
                    = -(tubeVolume(R, r, L, N, bore, ends, y[i] + h) - tubeVolume(R, r, L, N, bore, ends, y[i] - h))
                    / (2 * h);
            EXPECT_NEAR(A[i], rate, 1e-6 * rate) << "type " << type << " sample " << i;
        }
    }
}

TEST(CylindricalBurnback, TabCurveAgreesWithStoredCurve)
{
    // The tab rounds to single precision; the stored routine keeps double precision.
    for (int type : {0, 1, 2}) {
        for (double L : {20.0, 30.0, 100.0}) {
            const FloatCurve f = cylindricalCurve(50, 20, L, 2, 57, type);
            std::vector<double> y, A;
            burnbackCylindrical(50, 20, L, 2, 57, type, y, A);
            for (std::size_t i = 0; i < y.size(); ++i) {
                EXPECT_NEAR(f.y[i], y[i], 2e-7 * 50);
                EXPECT_NEAR(f.area[i], A[i], 2e-6 * std::max(1.0, std::abs(A[i])));
            }
        }
    }
}

TEST(CylindricalBurnback, UnknownTypeLeavesTheResizedVectors)
{
    std::vector<double> y{7, 7}, A{9, 9};
    burnbackCylindrical(50, 20, 100, 1, 4, 5, y, A);
    EXPECT_EQ(y, (std::vector<double>{7, 7, 0, 0}));
    EXPECT_EQ(A, (std::vector<double>{9, 9, 0, 0}));
    burnbackStar(50, 40, 30, 100, 1, 5, 3, -1, y, A);
    EXPECT_EQ(y, (std::vector<double>{7, 7, 0}));
}

TEST(CylindricalBurnback, SingleSampleIsIgnition)
{
    std::vector<double> y, A;
    burnbackCylindrical(50, 20, 100, 1, 1, 0, y, A);
    ASSERT_EQ(y.size(), 1u);
    EXPECT_EQ(y[0], 0.0);
    EXPECT_NEAR(A[0], 2 * pi * 1525, 1e-9);
    burnbackStar(50, 40, 30, 100, 1, 5, 1, 1, y, A);
    ASSERT_EQ(y.size(), 1u);
    EXPECT_EQ(y[0], 0.0);
    EXPECT_TRUE(std::isfinite(A[0]));
}

TEST(FrontalBurnback, WholeFaceFromEndToEnd)
{
    const FloatCurve c = frontalCurve(50, 100, 5);
    ASSERT_EQ(c.y.size(), 5u);
    EXPECT_EQ(c.y, (std::vector<float>{0, 25, 50, 75, 100}));
    for (float a : c.area)
        EXPECT_EQ(a, static_cast<float>(pi * 625));
}

TEST(StarShape, WorkedExampleOfTheForm)
{
    // Dext 50, Din 30, Dpoint 40, 5 points: beta = 36 degrees, flank
    // s = sqrt(15^2 + 20^2 - 2 15 20 cos 36), law of sines for alpha.
    const StarShape s = starShape(15, 20, 5);
    EXPECT_NEAR(degrees(s.beta), 36.0, 1e-4);
    EXPECT_NEAR(s.flank, 11.8149, 1e-4);
    EXPECT_NEAR(degrees(s.alpha), 48.266, 1e-3);
    EXPECT_NEAR(degrees(s.gamma), 95.734, 1e-3);
    EXPECT_NEAR(s.portArea, 5 * 15 * 20 * std::sin(pi / 5), 1e-9); // ten triangles centre-vertex-point

    const StarPhases rounded = roundedStarPhases(50, 30, 40, 5, 100);
    EXPECT_NEAR(rounded.yMax, 9.94997, 1e-5); // the vertex, moving along its radius, meets the case
    EXPECT_EQ(rounded.k1, 50u);
    EXPECT_EQ(rounded.k2, 63u);
    EXPECT_EQ(sharpStarPhases(50, 40, 30, 100, 5, 100, Radial).k1, 38u);
}

TEST(StarBurnback, IgnitionAreaIsTheFlanks)
{
    // Radial burning starts on 2 nStar flanks of length s along the whole charge.
    const double expected = 2 * 2 * 100 * 5 * starShape(15, 20, 5).flank;
    const FloatCurve tab = starCurve(50, 30, 40, 100, 2, 5, 100, Radial);
    EXPECT_NEAR(tab.area.front(), expected, 1e-6 * expected);
    std::vector<double> y, A;
    burnbackStar(50, 40, 30, 100, 2, 5, 100, Radial, y, A);
    EXPECT_NEAR(A.front(), expected, 1e-9 * expected);
    // The vertex reaches the case: no flank left, but for the angle pi - 3.141592 that the
    // literal pi leaves between the flank and the case (a flank of about R * 6.5e-7).
    EXPECT_NEAR(A.back(), 0.0, 1e-5 * expected);
    EXPECT_NEAR(tab.area.back(), 0.0, 1e-4 * expected);
}

TEST(StarBurnback, BaseBurningKeepsTheEndFaces)
{
    const double faces = 2 * 3 * (pi * 625 - 5 * 15 * 20 * std::sin(pi / 5));
    const FloatCurve tab = starCurve(50, 30, 40, 80, 3, 5, 10, Base);
    std::vector<double> y, A;
    burnbackStar(50, 40, 30, 80, 3, 5, 10, Base, y, A);
    EXPECT_EQ(tab.y.back(), 40.0f);
    EXPECT_EQ(y.back(), 40.0);
    for (std::size_t i = 0; i < 10; ++i) {
        EXPECT_EQ(tab.area[i], static_cast<float>(faces));
        EXPECT_NEAR(A[i], faces, 1e-9);
    }
    EXPECT_TRUE(starCurve(50, 30, 40, 80, 3, 5, 10, RadialAndBase).y.empty());
}

// Area of the port's half sector, to be differentiated.
double halfPort(const starport::Star& s, double y, bool rounded)
{
    return starport::halfSectorPort(s, y, rounded ? starport::roundedRadius : starport::sharpRadius);
}

TEST(StarBurnback, SharpCornersConserveVolume)
{
    // Propellant volume of N charges: (L - 2y) [pi R^2 - 2 nStar half-port] with burning
    // ends, L [...] without. Both phases (the point before and after it meets the case),
    // radial and radial-and-base, long and short grains.
    struct Case {
        double Dext, Dpoint, Din, L;
        uint32_t N, nStar;
        int type;
    };
    const Case cases[] = {
            {50, 40, 30, 100, 1, 5, Radial},
            {50, 40, 30, 100, 2, 5, RadialAndBase}, // burns out radially
            {50, 40, 30, 12, 1, 5, RadialAndBase}, // burns out at half its length
            {60, 46, 20, 90, 1, 7, Radial},
    };
    for (const Case& k : cases) {
        const starport::Star s{k.Dext / 2, k.Din / 2, k.Dpoint / 2, pi / k.nStar};
        std::vector<double> y, A;
        const uint32_t n = 41;
        burnbackStar(k.Dext, k.Dpoint, k.Din, k.L, k.N, k.nStar, n, k.type, y, A);
        const bool ends = k.type == RadialAndBase;
        auto volume = [&](double yy) {
            const double section = pi * s.R * s.R - 2.0 * k.nStar * halfPort(s, yy, false);
            return k.N * section * (ends ? k.L - 2 * yy : k.L);
        };
        const uint32_t k1 = sharpStarPhases(k.Dext, k.Dpoint, k.Din, k.L, k.nStar, n, k.type).k1;
        ASSERT_LT(k1, n) << "both phases are sampled";
        for (uint32_t i = 1; i + 1 < n; i += 3) {
            const double h = 1e-5 * y.back();
            const double rate = -(volume(y[i] + h) - volume(y[i] - h)) / (2 * h);
            EXPECT_NEAR(A[i], rate, 1e-5 * std::abs(A[0])) << "Dext " << k.Dext << " L " << k.L << " sample " << i;
        }
    }
}

TEST(StarBurnback, RoundedPointsConserveVolume)
{
    // The tab's radial model: the port grows by its outward offset (arcs around the
    // points), clipped by the case; all three phases are sampled.
    const starport::Star s{25, 15, 20, pi / 5};
    const uint32_t n = 100;
    const FloatCurve c = starCurve(50, 30, 40, 100, 1, 5, n, Radial);
    auto section = [&](double yy) { return pi * s.R * s.R - 2.0 * 5 * halfPort(s, yy, true); };
    for (uint32_t i : {5u, 30u, 48u, 52u, 58u, 61u, 66u, 80u, 95u}) {
        const double y = c.y[i];
        const double h = 1e-5;
        const double rate = -100.0 * (section(y + h) - section(y - h)) / (2 * h);
        EXPECT_NEAR(c.area[i], rate, 1e-5 * c.area[0]) << "sample " << i;
    }
}

// A radial burn that ends when the inner vertex reaches the case leaves no flank and no
// propellant (the port, integrated directly, covers the whole case there): the curve
// ends on an area of exactly 0, not on the rounding residue of the flank's formula.
// Stored shapes as Dext/Dpoint/Din/L, star points, both ways of burning on the bore.
TEST(StarBurnback, BurnoutOnTheCaseEndsOnZero)
{
    struct Case {
        double Dext, Dpoint, Din, L;
        uint32_t nStar;
        int type;
    };
    const Case cases[] = {
            {50, 40, 10, 100, 4, Radial},         {76, 50, 20, 150, 6, Radial},
            {76, 50, 20, 150, 6, RadialAndBase},  {100, 70, 30, 200, 6, Radial},
            {100, 70, 30, 200, 6, RadialAndBase}, {76, 45, 15, 150, 5, Radial},
            {76, 45, 15, 150, 5, RadialAndBase},  {50, 40, 30, 100, 5, RadialAndBase}, // the form's star
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << k.Dext << "/" << k.Dpoint << "/" << k.Din << "/" << k.L << " x" << k.nStar
                                        << " type " << k.type);
        const starport::Star s{k.Dext / 2, k.Din / 2, k.Dpoint / 2, pi / k.nStar};
        const double caseArea = pi * s.R * s.R;
        for (uint32_t n : {2u, 50u, 101u}) {
            std::vector<double> y, A;
            burnbackStar(k.Dext, k.Dpoint, k.Din, k.L, 1, k.nStar, n, k.type, y, A);
            ASSERT_EQ(A.size(), n);
            const double propellantLeft = caseArea - 2.0 * k.nStar * halfPort(s, y.back(), false);
            EXPECT_NEAR(propellantLeft, 0.0, 1e-6 * caseArea) << n;
            EXPECT_EQ(A.back(), 0.0) << n;
            for (uint32_t i = 0; i + 1 < n; ++i)
                EXPECT_GT(A[i], 1e-3 * A[0]) << "sample " << i << " of " << n;
        }
    }

    // The tab's rounded points (its order: Dext, Din, Dpoint), shapes whose last sample is
    // the flank from the vertex to the case.
    struct TabCase {
        double Dext, Din, Dpoint;
        uint32_t nStar;
    };
    for (const TabCase& k : {TabCase{50, 10, 40, 4}, TabCase{100, 30, 70, 6}, TabCase{50, 30, 40, 5}}) {
        SCOPED_TRACE(testing::Message() << "tab " << k.Dext << "/" << k.Din << "/" << k.Dpoint << " x" << k.nStar);
        const starport::Star s{k.Dext / 2, k.Din / 2, k.Dpoint / 2, pi / k.nStar};
        const double caseArea = pi * s.R * s.R;
        for (uint32_t n : {50u, 100u}) {
            const FloatCurve c = starCurve(k.Dext, k.Din, k.Dpoint, 100, 1, k.nStar, n, Radial);
            ASSERT_EQ(c.area.size(), n);
            EXPECT_NEAR(caseArea - 2.0 * k.nStar * halfPort(s, c.y.back(), true), 0.0, 1e-6 * caseArea) << n;
            EXPECT_EQ(c.area.back(), 0.0f) << n;
            EXPECT_GT(c.area[n - 2], 1e-3f * c.area[0]) << n;
        }
    }

    // A vertex angle below 90 degrees (two points) leaves a real chord of the case where the
    // vertex reaches it, 2 R cos(gamma) per flank, which stays.
    const StarShape two = starShape(15, 20, 2);
    std::vector<double> y, A;
    burnbackStar(50, 40, 30, 100, 1, 2, 50, Radial, y, A);
    const double chord = 2.0 * 25.0 * std::cos(two.gamma);
    EXPECT_NEAR(A.back(), 2 * 100 * 2 * chord, 1e-6 * A.back());
}

TEST(StarBurnback, PhasesNeverRunPastTheSamples)
{
    // Many thin points close to the case: the tab's first phase would end beyond the last
    // sample ((R - tP) > y_max).
    const StarPhases far = roundedStarPhases(50, 20, 22, 20, 100);
    EXPECT_EQ(far.k1, 100u);
    EXPECT_EQ(far.k2, 100u);
    const FloatCurve c = starCurve(50, 20, 22, 100, 1, 20, 100, Radial);
    ASSERT_EQ(c.area.size(), 100u);
    for (float a : c.area)
        EXPECT_TRUE(std::isfinite(a) && a > 0.0f);

    // A very short grain burning on its ends too: the point never reaches the case.
    const StarPhases shortGrain = sharpStarPhases(50, 40, 30, 1, 5, 100, RadialAndBase);
    EXPECT_EQ(shortGrain.k1, 100u);
    EXPECT_DOUBLE_EQ(shortGrain.yMax, 0.5);
    std::vector<double> y, A;
    burnbackStar(50, 40, 30, 1, 1, 5, 100, RadialAndBase, y, A);
    ASSERT_EQ(A.size(), 100u);
    EXPECT_DOUBLE_EQ(y.back(), 0.5);
    for (double a : A)
        EXPECT_TRUE(std::isfinite(a));

    EXPECT_EQ(starPhaseEnd(std::nan(""), 10), 0u);
    EXPECT_EQ(starPhaseEnd(HUGE_VAL, 10), 10u);
    EXPECT_EQ(starPhaseEnd(-3.5, 10), 0u);
    EXPECT_EQ(starPhaseEnd(4.9, 10), 5u);
}

// The one burnout rule: within the residue of 0, of either sign, an area at burnout is 0
// (the residue itself included); beyond it a real surface stays as it is.
TEST(BurnoutRule, AResidueAtBurnoutIsZeroARealSurfaceStays)
{
    struct Case {
        double area, residue, settled;
    };
    const Case cases[] = {
            {3.9e-4, 1e-2, 0.0}, {-3.9e-4, 1e-2, 0.0}, {1e-2, 1e-2, 0.0}, {-1e-2, 1e-2, 0.0},
            {0.5, 1e-2, 0.5},    {-0.5, 1e-2, -0.5},   {0.0, 0.0, 0.0},   {2e-300, 0.0, 2e-300},
    };
    for (const Case& c : cases)
        EXPECT_EQ(settledBurnout(c.area, c.residue), c.settled) << c.area << " within " << c.residue;
}
