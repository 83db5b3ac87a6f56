// Nozzle contours: worked examples, the geometric properties every contour must have,
// and contours from parameters at the edge of what the routines can place.
#include <algorithm>
#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "nozzle/contour.h"
#include "nozzle/nozzle_model.h"

namespace {

constexpr double kPi = 3.141592; // the program's pi for nozzle geometry
const double deg = std::acos(-1.0) / 180.0; // exact degree, for hand-worked expectations

struct Contour {
    std::vector<double> x, A, R;
    double throatDiameter = -1, throatCurvature = -1;
    std::size_t throat() const { return static_cast<std::size_t>(std::min_element(A.begin(), A.end()) - A.begin()); }
};

Contour conical(uint32_t n, const ConicalParameters& p, const ConicalOptions& o)
{
    Contour c;
    c.R = conicalContour(c.x, c.A, c.throatDiameter, c.throatCurvature, n, p, o);
    return c;
}

Contour bezier(uint32_t n, const BezierParameters& p, bool asLength)
{
    Contour c;
    c.R = bezierContour(c.x, c.A, c.throatDiameter, c.throatCurvature, n, p, asLength);
    return c;
}

// Slope of the secant from station k to k + 1.
double slope(const Contour& c, std::size_t k)
{
    return (c.R[k + 1] - c.R[k]) / (c.x[k + 1] - c.x[k]);
}

// Properties every usable contour has: n stations, x strictly increasing from the
// entrance through the throat (x = 0, the smallest area pi Rt^2) to the exit, positive
// finite areas A = pi R^2, the given radii at both ends.
void expectWellFormed(const Contour& c, uint32_t n, double Re, double Rt, double Rx, const std::string& label)
{
    SCOPED_TRACE(label);
    ASSERT_EQ(c.x.size(), n);
    ASSERT_EQ(c.R.size(), n);
    ASSERT_EQ(c.A.size(), n);
    for (std::size_t k = 0; k < n; ++k) {
        ASSERT_TRUE(std::isfinite(c.R[k]) && c.R[k] > 0) << "station " << k;
        EXPECT_NEAR(c.A[k], kPi * c.R[k] * c.R[k], 1e-12 * c.A[k]) << "station " << k;
        if (k + 1 < n) {
            ASSERT_LT(c.x[k], c.x[k + 1]) << "station " << k;
        }
    }
    const std::size_t t = c.throat();
    EXPECT_GT(t, 0u);
    EXPECT_LT(t, n - 1);
    EXPECT_NEAR(c.x[t], 0.0, 1e-12);
    EXPECT_NEAR(c.R[t], Rt, 1e-12);
    EXPECT_NEAR(c.A[t], kPi * Rt * Rt, 1e-12);
    EXPECT_LT(c.x.front(), 0.0);
    EXPECT_GT(c.x.back(), 0.0);
    EXPECT_DOUBLE_EQ(c.R.front(), Re);
    EXPECT_DOUBLE_EQ(c.R.back(), Rx);
    EXPECT_NEAR(c.A.back(), kPi * Rx * Rx, 1e-9);
}

// A smooth (C1) wall on a fine grid: neighbouring secant slopes differ little, at the
// fillets too. A jump in the radius or a kink shows up as a large change.
double largestSlopeChange(const Contour& c)
{
    double worst = 0.0;
    for (std::size_t k = 0; k + 2 < c.x.size(); ++k)
        worst = std::max(worst, std::abs(slope(c, k + 1) - slope(c, k)));
    return worst;
}

} // namespace

TEST(ConicalContour, WorkedExampleWithoutFillets)
{
    // De 100, Dt 20, Dx 60, 45 deg and 15 deg, no fillets: the convergent drops 40 at 45
    // deg, so x0 = -40; the divergent rises 20 at 15 deg, xN = 20/tan 15 deg; the throat
    // station is floor(50 * 40 / (40 + xN)) + 1 = floor(17.4) + 1 = 18.
    const Contour c = conical(50, {100, 20, 60, 45, 15, 7, 3}, {false, false, false, false});
    const double xN = 20 / std::tan(15 * deg);
    expectWellFormed(c, 50, 50, 10, 30, "worked example");
    EXPECT_NEAR(c.x.front(), -40.0, 1e-4);
    EXPECT_NEAR(c.x.back(), xN, 1e-4);
    EXPECT_EQ(c.throat(), 18u);
    EXPECT_EQ(c.throatDiameter, 20);
    EXPECT_EQ(c.throatCurvature, 1.0); // no throat fillet (its parameter 3 is ignored)
    // Two straight lines meeting at the throat, the stations evenly spaced on each.
    for (std::size_t k = 0; k < 50; ++k) {
        const double expected = c.x[k] < 0 ? 10 - c.x[k] * std::tan(45 * deg) : 10 + c.x[k] * std::tan(15 * deg);
        EXPECT_NEAR(c.R[k], expected, 1e-4) << k;
    }
    for (std::size_t k = 0; k < 18; ++k)
        EXPECT_NEAR(c.x[k + 1] - c.x[k], 40.0 / 18, 1e-4) << k;
    for (std::size_t k = 18; k < 49; ++k)
        EXPECT_NEAR(c.x[k + 1] - c.x[k], xN / 31, 1e-4) << k;
}

TEST(ConicalContour, FormDefaultsGiveTheDerivedLengths)
{
    // The conical panel's defaults: De 50, Dt 25, Dx 80, 45 and 15 deg: the convergent
    // is 12.5 long, the divergent 27.5/tan 15 deg = 102.63 long.
    const Contour c = conical(100, {50, 25, 80, 45, 15, 0, 0}, {false, false, false, false});
    expectWellFormed(c, 100, 25, 12.5, 40, "defaults");
    EXPECT_NEAR(c.x.front(), -12.5, 1e-4);
    EXPECT_NEAR(c.x.back(), 27.5 / std::tan(15 * deg), 1e-3);
    EXPECT_EQ(c.throat(), 11u); // floor(100 * 12.5 / 115.13) + 1
}

TEST(BezierContour, FormDefaults)
{
    // The Bezier panel's defaults. The divergent throat fillet (9.55, 60 deg) ends at
    // P0 = (9.55 sin 60, 12.5 + 9.55 (1 - cos 60)); it takes ceil(81 * 8.27 / 125) + 1 = 7
    // stations from the throat (station 19), so the parabola starts at station 25.
    const Contour c = bezier(100, {50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5}, false);
    expectWellFormed(c, 100, 25, 12.5, 50, "defaults");
    EXPECT_EQ(c.throat(), 19u);
    EXPECT_DOUBLE_EQ(c.x.back(), 125);
    EXPECT_NEAR(c.x[25], 9.55 * std::sin(60 * deg), 1e-5);
    EXPECT_NEAR(c.R[25], 12.5 + 9.55 * (1 - std::cos(60 * deg)), 1e-5);
    EXPECT_DOUBLE_EQ(c.throatDiameter, 25);
    EXPECT_DOUBLE_EQ(c.throatCurvature, (37.5 + 9.55) / 2);
    // On a fine grid: tangent to the axis at the throat, leaving the fillet at 60 deg
    // (where the wall reaches P0) and ending at 5 deg.
    const Contour fine = bezier(20000, {50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5}, false);
    const std::size_t t = fine.throat();
    EXPECT_NEAR(slope(fine, t), 0.0, 0.01);
    std::size_t p0 = t;
    while (fine.x[p0] < 9.55 * std::sin(60 * deg) - 1e-9)
        ++p0;
    EXPECT_NEAR(slope(fine, p0), std::tan(60 * deg), 0.01);
    EXPECT_NEAR(slope(fine, 19998), std::tan(5 * deg), 0.001);
}

TEST(BezierContour, NoFilletsStraightConvergentAndParabolaFromTheThroat)
{
    const Contour c = bezier(4000, {60, 20, 50, 30, 80, 0, 0, 0, 40, 8}, false);
    expectWellFormed(c, 4000, 30, 10, 25, "no fillets");
    const std::size_t t = c.throat();
    // Convergent: R = 10 - x tan 30 deg all the way from the entrance.
    for (std::size_t k = 0; k <= t; ++k)
        EXPECT_NEAR(c.R[k], 10 - c.x[k] * std::tan(30 * deg), 1e-4) << k;
    EXPECT_NEAR(c.x.front(), -20 / std::tan(30 * deg), 1e-3);
    // The parabola leaves the throat at 40 deg and meets the exit at 8 deg.
    EXPECT_NEAR(slope(c, t), std::tan(40 * deg), 0.01);
    EXPECT_NEAR(slope(c, 3998), std::tan(8 * deg), 0.001);
}

// The table of nozzles: both types, angle and length modes, fillets on and off. Each
// must be well formed and smooth where fillets join the lines and the parabola.
TEST(Contours, TableOfNozzlesAreWellFormedAndSmooth)
{
    struct Case {
        std::string label;
        bool isBezier;
        std::vector<double> p;
        std::vector<bool> o; // Bezier: {asLength}; conical: the four options
        bool smooth; // has fillets wherever lines meet (conical without fillets has kinks)
    };
    const std::vector<Case> cases = {
            {"bezier angle", true, {50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5}, {false}, true},
            {"bezier length", true, {50, 25, 100, 40, 125, 2, 37.5, 9.55, 60, 5}, {true}, true},
            {"bezier small fillets", true, {80, 20, 60, 35, 90, 5, 6, 4, 35, 10}, {false}, true},
            {"conical fillets angle", false, {100, 20, 60, 45, 15, 5, 3}, {false, false, true, true}, true},
            {"conical fillets length", false, {100, 20, 60, 60, 90, 5, 3}, {true, true, true, true}, true},
            {"conical throat fillet only", false, {100, 20, 60, 30, 12, 0, 10}, {false, false, false, true}, false},
            {"conical entrance fillet only", false, {100, 20, 60, 30, 12, 8, 0}, {false, false, true, false}, false},
            {"conical no fillets length", false, {100, 20, 60, 50, 70, 0, 0}, {true, true, false, false}, false},
    };
    for (const Case& k : cases) {
        const uint32_t n = 4000;
        Contour c;
        if (k.isBezier) {
            BezierParameters p{};
            std::copy(k.p.begin(), k.p.end(), p.begin());
            c = bezier(n, p, k.o[0]);
        } else {
            ConicalParameters p{};
            std::copy(k.p.begin(), k.p.end(), p.begin());
            c = conical(n, p, {k.o[0], k.o[1], k.o[2], k.o[3]});
        }
        expectWellFormed(c, n, k.p[0] / 2, k.p[1] / 2, k.p[2] / 2, k.label);
        SCOPED_TRACE(k.label);
        if (k.o[0]) {
            EXPECT_DOUBLE_EQ(c.x.front(), -k.p[3]); // convergent given as length
        }
        if (k.isBezier || k.o[1]) {
            EXPECT_DOUBLE_EQ(c.x.back(), k.p[4]); // divergent given as length
        }
        // Radius and slope continuous at every junction on a fine grid.
        if (k.smooth) {
            EXPECT_LT(largestSlopeChange(c), 0.1);
        }
        // The wall narrows towards the throat and widens after it.
        const std::size_t t = c.throat();
        for (std::size_t j = 0; j < t; ++j)
            EXPECT_GE(c.R[j], c.R[j + 1]) << j;
        for (std::size_t j = t; j + 1 < n; ++j)
            EXPECT_LE(c.R[j], c.R[j + 1]) << j;
    }
}

TEST(Contours, AngleAndLengthModesAreInverse)
{
    // Feeding -x0 of the angle mode back as the convergent length gives the same nozzle.
    const ConicalParameters byAngle{100, 20, 60, 40, 12, 6, 4};
    const Contour a = conical(200, byAngle, {false, false, true, true});
    const Contour l = conical(200, {100, 20, 60, -a.x.front(), a.x.back(), 6, 4}, {true, true, true, true});
    for (std::size_t k = 0; k < 200; ++k) {
        EXPECT_NEAR(l.x[k], a.x[k], 1e-9) << k;
        EXPECT_NEAR(l.R[k], a.R[k], 1e-9) << k;
    }
    const Contour b = bezier(200, {50, 25, 100, 45, 125, 2, 37.5, 9.55, 60, 5}, false);
    const Contour bl = bezier(200, {50, 25, 100, -b.x.front(), 125, 2, 37.5, 9.55, 60, 5}, true);
    for (std::size_t k = 0; k < 200; ++k)
        EXPECT_NEAR(bl.R[k], b.R[k], 1e-9) << k;
    // And the two helper relations themselves: sideAngle undoes sideLength.
    for (double theta : {0.1, 0.5, 0.9, 1.3})
        EXPECT_NEAR(sideAngle(30, sideLength(30, theta, 7), 7), theta, 1e-12) << theta;
}

TEST(Contours, FilletOptionsOffIgnoreTheirRadii)
{
    const Contour off = conical(100, {100, 20, 60, 45, 15, 9, 9}, {false, false, false, false});
    const Contour zero = conical(100, {100, 20, 60, 45, 15, 0, 0}, {false, false, false, false});
    EXPECT_EQ(off.x, zero.x);
    EXPECT_EQ(off.R, zero.R);
    // A throat fillet that is on reports its radius as the curvature.
    EXPECT_EQ(conical(100, {100, 20, 60, 45, 15, 0, 4}, {false, false, false, true}).throatCurvature, 4);
}

TEST(Contours, ExtremeSplitsStayInsideTheStations)
{
    // A divergent far shorter than 1/n of the nozzle would put the throat on the last
    // station: it stays at n - 2, the exit keeps its own station.
    {
        const Contour c = conical(50, {100, 20, 20.5, 10, 80, 0, 0}, {false, false, false, false});
        ASSERT_EQ(c.x.size(), 50u);
        EXPECT_EQ(c.throat(), 48u);
        EXPECT_NEAR(c.x[48], 0.0, 1e-12);
        EXPECT_NEAR(c.R.back(), 10.25, 1e-12);
        EXPECT_GT(c.x.back(), 0.0);
    }
    // A divergent throat fillet spanning nearly the whole divergent length would need
    // one station more than the divergent side has: it ends on the exit station.
    {
        const Contour c = bezier(60, {50, 25, 100, 45, 8.7, 2, 3, 10, 60, 5}, false);
        ASSERT_EQ(c.x.size(), 60u);
        for (double r : c.R)
            EXPECT_TRUE(std::isfinite(r));
        EXPECT_DOUBLE_EQ(c.x.back(), 8.7);
        EXPECT_DOUBLE_EQ(c.R.back(), 50);
    }
    // An entrance fillet whose rounded-up share of a short convergent (3 stations) would
    // reach the throat station stops before it: the throat keeps x = 0 and the smallest
    // area, pi Rt^2.
    {
        const Contour c = conical(187, {24.96, 20.3, 84.7, 37, 4.4, 6.7, 0}, {false, false, true, false});
        expectWellFormed(c, 187, 12.48, 10.15, 42.35, "short convergent");
        EXPECT_EQ(c.throat(), 3u);
    }
    // An arc of one station (zero turning angle in a hand-edited file) is drawn with
    // angle step 0, not 0/0.
    {
        const Contour c = bezier(60, {50, 25, 100, 45, 125, 2, 3, 10, 0, -5}, false);
        for (std::size_t k = 0; k < 60; ++k)
            EXPECT_TRUE(std::isfinite(c.x[k]) && std::isfinite(c.R[k])) << k;
    }
    // Fewer than three stations: nothing to place, nothing written out of range.
    for (uint32_t n : {0u, 1u, 2u}) {
        const Contour c = conical(n, {100, 20, 60, 45, 15, 0, 0}, {false, false, false, false});
        EXPECT_EQ(c.x.size(), n);
        EXPECT_EQ(c.R.size(), n);
    }
    // x and A keep their elements below n and lose those above.
    Contour c;
    c.x.assign(120, 7.0);
    c.A.assign(3, 7.0);
    c.R = conicalContour(c.x, c.A, c.throatDiameter, c.throatCurvature, 60, {100, 20, 60, 45, 15, 0, 0},
                         {false, false, false, false});
    EXPECT_EQ(c.x.size(), 60u);
    EXPECT_EQ(c.A.size(), 60u);
}

// Every contour the nozzle tab accepts is one a run can use: random geometries that
// pass the tab's checks give well-formed contours (ASan watches every write).
TEST(Contours, EveryAcceptedGeometryGivesAUsableContour)
{
    std::mt19937 rng(20240611);
    auto uniform = [&rng](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
    auto text = [](double v) { return QString::number(v, 'g', 17); };
    int accepted = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const double Dt = uniform(1, 50), De = Dt * uniform(1.05, 5), Dx = Dt * uniform(1.05, 6);
        const uint32_t n = static_cast<uint32_t>(uniform(50, 400));
        Contour c;
        std::string label = "trial " + std::to_string(trial);
        if (trial % 2 == 0) {
            BezierForm f;
            f.points = QString::number(n);
            f.entrance = text(De);
            f.throat = text(Dt);
            f.exit = text(Dx);
            f.convergentAsLength = trial % 4 == 0;
            (f.convergentAsLength ? f.convergentLength : f.convergentAngle)
                    = text(f.convergentAsLength ? uniform(0.1, 3) * De : uniform(5, 80));
            f.divergentLength = text(uniform(0.2, 5) * Dx);
            f.entranceFillet = text(uniform(0, 1) * Dt);
            f.convergentFillet = text(uniform(0, 2) * Dt);
            f.divergentFillet = text(uniform(0, 1) * Dt);
            f.initialAngle = text(uniform(10, 70));
            f.finalAngle = text(uniform(0, 15));
            const ContourCheck check = checkBezier(f, 10);
            if (!check.accepted())
                continue;
            BezierParameters p{};
            std::copy(check.parameters.begin(), check.parameters.end(), p.begin());
            c = bezier(n, p, f.convergentAsLength);
        } else {
            ConicalForm f;
            f.points = QString::number(n);
            f.entrance = text(De);
            f.throat = text(Dt);
            f.exit = text(Dx);
            f.convergentAsLength = trial % 4 == 1;
            f.divergentAsLength = trial % 3 == 0;
            (f.convergentAsLength ? f.convergentLength : f.convergentAngle)
                    = text(f.convergentAsLength ? uniform(0.1, 3) * De : uniform(5, 80));
            (f.divergentAsLength ? f.divergentLength : f.divergentAngle)
                    = text(f.divergentAsLength ? uniform(0.1, 5) * Dx : uniform(3, 40));
            f.filletOn = trial % 5 != 0;
            f.throatFilletOn = trial % 7 != 0;
            f.fillet = text(uniform(0, 1) * Dt);
            f.throatFillet = text(uniform(0, 2) * Dt);
            const ContourCheck check = checkConical(f, 10);
            if (!check.accepted())
                continue;

            ConicalParameters p{};
            std::copy(check.parameters.begin(), check.parameters.end(), p.begin());
            c = conical(n, p, {check.options[0], check.options[1], check.options[2], check.options[3]});
        }
        ++accepted;
        // Fillets may overlap on coarse grids (the later arc wins), so x only has to be
        // non-decreasing here; the rest as for every contour.
        SCOPED_TRACE(label);
        ASSERT_EQ(c.R.size(), n);
        const std::size_t t = c.throat();
        EXPECT_NEAR(c.x[t], 0.0, 1e-9);
        EXPECT_NEAR(c.R[t], Dt / 2, 1e-9);
        EXPECT_DOUBLE_EQ(c.R.front(), De / 2);
        EXPECT_DOUBLE_EQ(c.R.back(), Dx / 2);
        for (std::size_t k = 0; k < n; ++k) {
            ASSERT_TRUE(std::isfinite(c.A[k]) && c.A[k] > 0) << k;
            if (k + 1 < n) {
                ASSERT_LE(c.x[k], c.x[k + 1]) << k;
            }
        }
    }
    EXPECT_GT(accepted, 500); // the sample must exercise the routines, not only the checks
}
