#pragma once
// Numerics on curves sampled at discrete points: local Lagrange interpolation and
// differentiation over a sliding window of nodes, and quadrature. Every function takes
// the values y first, then the abscissae x (ascending). The window half-width is
// INTER_PREC + 1 (or DER_PREC + 1) in 8-bit arithmetic, and the quadrature rule of
// integrate() is INT_METHOD; both are read at every call.
//
// Short curves use a narrower window (lower degree) instead of reading past the data,
// nodes that repeat an abscissa already in the window are left out of it, and no
// function reads outside the vectors: n = 0 gives 0, n = 1 a constant. When x and y
// differ in length only the common part is used.
#include <cstddef>
#include <cstdint>
#include <vector>

// Value at xi of the polynomial through the 2w nodes around xi (w from INTER_PREC);
// points outside the range are extrapolated from the end windows.
double interpolate(const std::vector<double>& y, const std::vector<double>& x, double xi);
// Derivative at xi of the polynomial through the 2w nodes around xi (w from DER_PREC).
double differentiate(const std::vector<double>& y, const std::vector<double>& x, double xi);
// interpolate() and differentiate() for a caller that evaluates one curve many times at
// nearby abscissae (an integrator's right-hand side): the polynomials of the window that
// holds xi get their Lagrange weights once, and each evaluation only forms products of
// (xi - x_j), until xi enters another window or a node of the window changes (the nodes are
// compared at every call, so the curve may be edited between calls). Equal to
// interpolate() and differentiate() up to rounding.
class CurvePolynomials {
public:
    double value(const std::vector<double>& y, const std::vector<double>& x, double xi);
    double derivative(const std::vector<double>& y, const std::vector<double>& x, double xi);

    // The polynomial through one window in Lagrange form.
    struct Piece {
        std::vector<std::size_t> nodes;
        std::vector<double> xs, ys; // the nodes' abscissae and values it was built from
        std::vector<double> coefficients; // y_i / prod_{j != i} (x_i - x_j)
        uint8_t precision = 0; // the preference the window was sized with
        bool built = false;
    };

private:
    Piece value_, derivative_;
};

// Value at x[k] predicted by the 2w neighbours of node k, node k left out (w from
// INTER_PREC). With no distinct neighbour it gives y[k]; a k past the end gives 0.
double interpolateExcludingNode(const std::vector<double>& y, const std::vector<double>& x, std::size_t k);
// Resizes `out` to n (new entries 0) and adds to out[k] the derivative at x[k] of the
// polynomial through the 2w + 1 nodes around node k (w from DER_PREC).
void derivativesAtNodes(const std::vector<double>& y, const std::vector<double>& x, std::vector<double>& out);

// Integral of the curve from a to b, over the segments between a, every node strictly
// between a and b, and b. The values at nodes are their y; elsewhere interpolate().
// a >= b gives 0.
double integrateMidpoint(const std::vector<double>& y, const std::vector<double>& x, double a, double b);
double integrateTrapezoid(const std::vector<double>& y, const std::vector<double>& x, double a, double b);
double integrateSimpson(const std::vector<double>& y, const std::vector<double>& x, double a, double b);
// INT_METHOD 0 midpoint, 1 trapezoid, 2 Simpson; any other value gives 0.
double integrate(const std::vector<double>& y, const std::vector<double>& x, double a, double b);
