#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/curves.h"
#include "core/preferences.h"

namespace {

using Fn = std::function<double(double)>;

std::vector<double> sample(const Fn& f, const std::vector<double>& x)
{
    std::vector<double> y;
    for (double xi : x)
        y.push_back(f(xi));
    return y;
}

std::vector<double> nodes(int count) // 0, 1, ..., count - 1
{
    std::vector<double> x;
    for (int i = 0; i < count; ++i)
        x.push_back(i);
    return x;
}

double tolerance(double expected, double relative = 1e-12)
{
    return relative * std::max(1.0, std::abs(expected));
}

// Every test starts from the default windows and rule and restores what it found.
class Curves : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = {INTER_PREC, DER_PREC, INT_METHOD};
        INTER_PREC = 2;
        DER_PREC = 2;
        INT_METHOD = 1;
    }
    void TearDown() override
    {
        INTER_PREC = saved_[0];
        DER_PREC = saved_[1];
        INT_METHOD = saved_[2];
    }

private:
    std::vector<uint8_t> saved_;
};

const Fn quintic = [](double x) { return std::pow(x, 5); };
const Fn square = [](double x) { return x * x; };
const Fn cube = [](double x) { return x * x * x; };
const Fn line = [](double x) { return 2 * x + 1; };

const std::vector<double> uneven = {0, 0.4, 1.1, 1.5, 2.75, 3.0, 4.2, 5.0, 6.5, 7.0};

} // namespace

// A window of 2w = 6 nodes reproduces a polynomial of degree 5, inside and outside the range.
TEST_F(Curves, InterpolationAndDerivativeOfQuinticAreExact)
{
    struct Case {
        std::vector<double> x;
        double at;
        double value; // at^5, by hand
        double slope; // 5 at^4
    };
    const Case cases[] = {
            {nodes(7), 2.5, 97.65625, 195.3125},
            {nodes(7), 7.5, 23730.46875, 15820.3125}, // extrapolated from the last six nodes
            {nodes(7), -1.0, -1.0, 5.0}, // extrapolated from the first six
            {nodes(7), 0.0, 0.0, 0.0},
            {nodes(7), 6.0, 7776.0, 6480.0},
            {nodes(6), 3.3, 391.35393, 592.9605},
            {uneven, 2.0, 32.0, 80.0},
            {uneven, 6.8, 14539.33568, 10690.688},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("n=" + std::to_string(c.x.size()) + " at " + std::to_string(c.at));
        const std::vector<double> y = sample(quintic, c.x);
        EXPECT_NEAR(interpolate(y, c.x, c.at), c.value, tolerance(c.value));
        EXPECT_NEAR(differentiate(y, c.x, c.at), c.slope, tolerance(c.slope, 1e-11));
    }
}

// One CurvePolynomials kept across calls, as an integrator's right-hand side keeps it:
// it must follow a change of curve, of window, of a node's value and of the preferences.
TEST_F(Curves, KeptPolynomialsFollowTheCurveTheyAreGiven)
{
    CurvePolynomials kept;
    const std::vector<double> x = nodes(7);
    // Quintic: 6 nodes reproduce it; 2.5 and 3.5 lie in different windows' intervals.
    std::vector<double> y = sample(quintic, x);
    for (double at : {2.5, 2.7, 3.5, 6.0, 7.5, -1.0, 2.5}) {
        SCOPED_TRACE(at);
        const double value = std::pow(at, 5), slope = 5.0 * std::pow(at, 4);
        EXPECT_NEAR(kept.value(y, x, at), value, tolerance(value));
        EXPECT_NEAR(kept.derivative(y, x, at), slope, tolerance(slope, 1e-11));
    }
    // The same vectors edited in place: now the square, 2.5^2 = 6.25 and slope 5.
    y = sample(square, x);
    EXPECT_NEAR(kept.value(y, x, 2.5), 6.25, tolerance(6.25));
    EXPECT_NEAR(kept.derivative(y, x, 2.5), 5.0, tolerance(5.0, 1e-11));
    // One node changed: the window through it follows (a line from (2, 4) to (3, 10)
    // with the narrowest window).
    y[3] = 10.0;
    INTER_PREC = 0;
    DER_PREC = 0;
    EXPECT_DOUBLE_EQ(kept.value(y, x, 2.5), 7.0);
    EXPECT_DOUBLE_EQ(kept.derivative(y, x, 2.5), 6.0);
    // Another curve of other length (uneven nodes): the quintic again.
    INTER_PREC = 2;
    DER_PREC = 2;
    const std::vector<double> yu = sample(quintic, uneven);
    EXPECT_NEAR(kept.value(yu, uneven, 6.8), 14539.33568, tolerance(14539.33568));
    EXPECT_NEAR(kept.derivative(yu, uneven, 6.8), 10690.688, tolerance(10690.688, 1e-11));
    // No nodes at all: 0, as interpolate() and differentiate() give.
    EXPECT_EQ(kept.value({}, {}, 1.0), 0.0);
    EXPECT_EQ(kept.derivative({}, {}, 1.0), 0.0);
}

TEST_F(Curves, WindowWidthComesFromThePreferences)
{
    const std::vector<double> x = nodes(10);
    const std::vector<double> y = sample(quintic, x);
    // half-width 1: two nodes, a straight line between 2 and 3
    INTER_PREC = 0;
    DER_PREC = 0;
    EXPECT_DOUBLE_EQ(interpolate(y, x, 2.5), (32.0 + 243.0) / 2);
    EXPECT_DOUBLE_EQ(differentiate(y, x, 2.5), 243.0 - 32.0);
    // 255 + 1 wraps to a half-width of 0: an empty window gives 0
    INTER_PREC = 255;
    EXPECT_EQ(interpolate(y, x, 2.5), 0.0);
}

TEST_F(Curves, NodeWindows)
{
    const std::vector<double> x = nodes(10);
    const std::vector<double> y = sample(quintic, x);
    // the six neighbours of a node fit the quintic: prediction is exact
    for (std::size_t k : {0u, 1u, 5u, 8u, 9u})
        EXPECT_NEAR(interpolateExcludingNode(y, x, k), quintic(x[k]), tolerance(quintic(x[k]))) << k;
    EXPECT_EQ(interpolateExcludingNode(y, x, 10), 0.0); // past the end: nothing read

    // seven nodes per window fit the quintic: exact slopes, added to what out holds
    std::vector<double> out = {1.0, 1.0};
    derivativesAtNodes(y, x, out);
    ASSERT_EQ(out.size(), x.size());
    EXPECT_NEAR(out[0], 1.0, 1e-9);
    EXPECT_NEAR(out[1], 1.0 + 5.0, 1e-9);
    for (std::size_t k = 2; k < x.size(); ++k)
        EXPECT_NEAR(out[k], 5 * std::pow(x[k], 4), tolerance(5 * std::pow(x[k], 4), 1e-11)) << k;

    const std::vector<double> yu = sample(quintic, uneven);
    std::vector<double> outUneven;
    derivativesAtNodes(yu, uneven, outUneven);
    for (std::size_t k = 0; k < uneven.size(); ++k)
        EXPECT_NEAR(outUneven[k], 5 * std::pow(uneven[k], 4), tolerance(5 * std::pow(uneven[k], 4), 1e-10)) << k;
}

TEST_F(Curves, QuadratureRules)
{
    struct Case {
        const char* name;
        Fn f;
        std::vector<double> x;
        double a, b;
        double midpoint, trapezoid, simpson; // worked by hand
    };
    const Case cases[] = {
            // all rules agree on a straight line
            {"line", line, nodes(7), 0, 6, 42, 42, 42},
            {"square", square, nodes(7), 0, 6, 71.5, 73, 72},
            // Simpson with exact midpoints integrates a cubic exactly
            {"cube", cube, nodes(7), 0, 6, 319.5, 333, 324},
            // upper limit past the last node: the end window extrapolates x^2 exactly
            {"square beyond", square, nodes(7), 0, 7, 71.5 + 42.25, 73 + 42.5, 343.0 / 3},
            // limits between nodes: segments are clipped at both ends
            {"line inside", line, nodes(7), 1.5, 4.5, 21, 21, 21},
            {"square inside", square, nodes(7), 1.5, 4.5, 29.0625, 29.625, 29.25},
            {"line in first segment", line, nodes(7), 0, 0.5, 0.75, 0.75, 0.75},
            {"reversed limits", line, nodes(7), 4, 2, 0, 0, 0},
            {"empty range", line, nodes(7), 3, 3, 0, 0, 0},
            {"uneven line", line, uneven, 0, 7, 56, 56, 56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> y = sample(c.f, c.x);
        EXPECT_NEAR(integrateMidpoint(y, c.x, c.a, c.b), c.midpoint, tolerance(c.midpoint));
        EXPECT_NEAR(integrateTrapezoid(y, c.x, c.a, c.b), c.trapezoid, tolerance(c.trapezoid));
        EXPECT_NEAR(integrateSimpson(y, c.x, c.a, c.b), c.simpson, tolerance(c.simpson));
        const double byRule[] = {c.midpoint, c.trapezoid, c.simpson};
        for (uint8_t method = 0; method < 3; ++method) {
            INT_METHOD = method;
            EXPECT_NEAR(integrate(y, c.x, c.a, c.b), byRule[method], tolerance(byRule[method]));
        }
        INT_METHOD = 3;
        EXPECT_EQ(integrate(y, c.x, c.a, c.b), 0.0);
        INT_METHOD = 1;
    }
}

TEST_F(Curves, RulesConvergeOnAFineCurve)
{
    std::vector<double> x;
    for (int i = 0; i <= 200; ++i)
        x.push_back(i * M_PI / 200);
    const std::vector<double> y = sample([](double v) { return std::sin(v); }, x);
    EXPECT_NEAR(integrateMidpoint(y, x, 0, M_PI), 2.0, 1e-4);
    EXPECT_NEAR(integrateTrapezoid(y, x, 0, M_PI), 2.0, 1e-4);
    EXPECT_NEAR(integrateSimpson(y, x, 0, M_PI), 2.0, 1e-10);
}

// Curves shorter than the window: a lower degree, never a read past the data.
TEST_F(Curves, ShortCurves)
{
    const std::vector<double> none;
    EXPECT_EQ(interpolate(none, none, 1.0), 0.0);
    EXPECT_EQ(differentiate(none, none, 1.0), 0.0);
    EXPECT_EQ(interpolateExcludingNode(none, none, 0), 0.0);
    EXPECT_EQ(integrate(none, none, 0, 1), 0.0);
    std::vector<double> out;
    derivativesAtNodes(none, none, out);
    EXPECT_TRUE(out.empty());

    const std::vector<double> one = {2.0}, atOne = {7.0};
    EXPECT_EQ(interpolate(atOne, one, -3.0), 7.0);
    EXPECT_EQ(differentiate(atOne, one, 5.0), 0.0);
    EXPECT_EQ(interpolateExcludingNode(atOne, one, 0), 7.0);
    EXPECT_DOUBLE_EQ(integrateSimpson(atOne, one, 0, 3), 21.0);
    derivativesAtNodes(atOne, one, out);
    EXPECT_EQ(out, std::vector<double>{0.0});

    // n nodes reproduce a polynomial of degree n - 1
    struct Case {
        int n;
        Fn f;
        double at, value, slope;
    };
    const Case cases[] = {
            {2, line, 0.25, 1.5, 2},       {2, line, 3, 7, 2}, {3, square, 1.5, 2.25, 3}, {4, cube, 2.5, 15.625, 18.75},
            {5, cube, -0.5, -0.125, 0.75},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("n=" + std::to_string(c.n));
        const std::vector<double> x = nodes(c.n);
        const std::vector<double> y = sample(c.f, x);
        EXPECT_NEAR(interpolate(y, x, c.at), c.value, 1e-12);
        EXPECT_NEAR(differentiate(y, x, c.at), c.slope, 1e-12);
        for (std::size_t k = 0; k < x.size(); ++k)
            EXPECT_TRUE(std::isfinite(interpolateExcludingNode(y, x, k)));
        std::vector<double> slopes;
        derivativesAtNodes(y, x, slopes);
        ASSERT_EQ(slopes.size(), x.size());
        for (std::size_t k = 0; k < x.size(); ++k) {
            const double h = 1e-6;
            EXPECT_NEAR(slopes[k], (c.f(x[k] + h) - c.f(x[k] - h)) / (2 * h), 1e-5) << k;
        }
    }
    // three burn points: Simpson with exact quadratic midpoints
    const std::vector<double> x3 = {0, 1, 2};
    EXPECT_NEAR(integrateSimpson(sample(square, x3), x3, 0, 2), 8.0 / 3, 1e-12);
    EXPECT_NEAR(integrateMidpoint(sample(square, x3), x3, 0, 2), 0.25 + 2.25, 1e-12);
}

// Two nodes at one abscissa (a step, or a repeated sample) never divide by zero.
TEST_F(Curves, RepeatedAbscissae)
{
    // the same point sampled twice: the curve is still the line
    const std::vector<double> x = {0, 1, 2, 2, 3, 4, 5, 6};
    const std::vector<double> y = sample(line, x);
    for (double at : {-1.0, 0.5, 2.0, 2.5, 5.5, 7.0}) {
        EXPECT_NEAR(interpolate(y, x, at), line(at), 1e-12) << at;
        EXPECT_NEAR(differentiate(y, x, at), 2.0, 1e-12) << at;
    }
    for (std::size_t k = 0; k < x.size(); ++k)
        EXPECT_NEAR(interpolateExcludingNode(y, x, k), line(x[k]), 1e-12) << k;
    std::vector<double> slopes;
    derivativesAtNodes(y, x, slopes);
    for (double s : slopes)
        EXPECT_NEAR(s, 2.0, 1e-12);
    for (uint8_t method = 0; method < 3; ++method) {
        INT_METHOD = method;
        EXPECT_NEAR(integrate(y, x, 0, 6), 42.0, 1e-12);
    }

    // a step from 0 to 1 at x = 2: every answer is finite, the trapezoid exact
    const std::vector<double> xs = {0, 1, 2, 2, 3, 4};
    const std::vector<double> ys = {0, 0, 0, 1, 1, 1};
    EXPECT_DOUBLE_EQ(integrateTrapezoid(ys, xs, 0, 4), 2.0);
    EXPECT_TRUE(std::isfinite(integrateMidpoint(ys, xs, 0, 4)));
    EXPECT_TRUE(std::isfinite(integrateSimpson(ys, xs, 0, 4)));
    for (double at = -1; at <= 5; at += 0.25) {
        EXPECT_TRUE(std::isfinite(interpolate(ys, xs, at))) << at;
        EXPECT_TRUE(std::isfinite(differentiate(ys, xs, at))) << at;
    }
    derivativesAtNodes(ys, xs, slopes);
    for (std::size_t k = 0; k < xs.size(); ++k)
        EXPECT_TRUE(std::isfinite(interpolateExcludingNode(ys, xs, k)) && std::isfinite(slopes[k])) << k;

    // every abscissa equal
    const std::vector<double> flat = {1, 1, 1, 1};
    const std::vector<double> yf = {3, 4, 5, 6};
    EXPECT_TRUE(std::isfinite(interpolate(yf, flat, 2.0)));
    EXPECT_TRUE(std::isfinite(differentiate(yf, flat, 2.0)));
    EXPECT_TRUE(std::isfinite(integrateSimpson(yf, flat, 0.0, 2.0)));
}

TEST_F(Curves, MismatchedLengthsUseTheCommonPart)
{
    const std::vector<double> x = nodes(8);
    std::vector<double> y = sample(line, x);
    y.resize(5);
    EXPECT_NEAR(interpolate(y, x, 6.0), line(6.0), 1e-12);
    std::vector<double> out;
    derivativesAtNodes(y, x, out);
    EXPECT_EQ(out.size(), 5u);
    EXPECT_NEAR(integrate(y, x, 0, 4), 20.0, 1e-12);
}
