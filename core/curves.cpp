#include "core/curves.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/preferences.h"

namespace {

// The node indices of one window. Windows are small (2w or 2w + 1 nodes, 7 with the
// defaults) and built on every call, so they live on the stack unless unusually wide.
class Window {
public:
    void add(std::size_t i)
    {
        if (wide_.empty() && size_ < narrow_.size()) {
            narrow_[size_++] = i;
            return;
        }
        if (wide_.empty())
            wide_.assign(narrow_.begin(), narrow_.begin() + size_);
        wide_.push_back(i);
        ++size_;
    }
    const std::size_t* begin() const { return wide_.empty() ? narrow_.data() : wide_.data(); }
    const std::size_t* end() const { return begin() + size_; }
    bool empty() const { return size_ == 0; }

private:
    std::array<std::size_t, 16> narrow_{};
    std::vector<std::size_t> wide_;
    std::size_t size_ = 0;
};

std::size_t commonSize(const std::vector<double>& y, const std::vector<double>& x)
{
    return std::min(y.size(), x.size());
}

// Half-width of the window: the preference plus one, wrapping in 8 bits as stored.
std::size_t halfWidth(uint8_t precision)
{
    return static_cast<uint8_t>(precision + 1);
}

// Adds node i unless an abscissa already in the window equals it: two nodes at one
// abscissa would divide by zero in the Lagrange basis.
void addDistinct(Window& window, const std::vector<double>& x, std::size_t i)
{
    for (std::size_t j : window)
        if (x[j] == x[i])
            return;
    window.add(i);
}

// The 2w nodes around xi, narrowed to the curve when it is shorter.
Window pointWindow(const std::vector<double>& x, std::size_t n, std::size_t w, double xi)
{
    Window window;
    const std::size_t size = std::min(2 * w, n);
    if (size == 0)
        return window;
    std::size_t a;
    if (xi < x[0])
        a = 0;
    else if (xi > x[n - 1])
        a = n;
    else
        a = static_cast<std::size_t>(std::lower_bound(x.begin() + 1, x.begin() + n, xi) - x.begin());
    std::size_t start;
    if (a < w)
        start = 0;
    else if (a + w > n)
        start = n - size;
    else
        start = a - w;
    for (std::size_t i = start; i < start + size; ++i)
        addDistinct(window, x, i);
    return window;
}

// The 2w + 1 nodes around node k, narrowed to the curve when it is shorter. Other
// nodes at the abscissa of node k are left out; node k itself only when asked.
Window nodeWindow(const std::vector<double>& x, std::size_t n, std::size_t w, std::size_t k, bool withNode)
{
    const std::size_t size = std::min(2 * w + 1, n);
    std::size_t start;
    if (k < w)
        start = 0;
    else if (k + w + 1 <= n)
        start = k - w;
    else
        start = n - size;
    Window window;
    if (withNode)
        window.add(k);
    for (std::size_t i = start; i < start + size; ++i)
        if (i != k && x[i] != x[k])
            addDistinct(window, x, i);
    return window;
}

double lagrangeValue(const std::vector<double>& y, const std::vector<double>& x, const Window& window, double xi)
{
    double sum = 0.0;
    for (std::size_t i : window) {
        double basis = 1.0;
        for (std::size_t j : window)
            if (j != i)
                basis *= (xi - x[j]) / (x[i] - x[j]);
        sum += y[i] * basis;
    }
    return sum;
}

double lagrangeDerivative(const std::vector<double>& y, const std::vector<double>& x, const Window& window, double xi)
{
    double sum = 0.0;
    for (std::size_t i : window) {
        double denominator = 1.0;
        double numerator = 0.0;
        for (std::size_t j : window) {
            if (j == i)
                continue;
            denominator *= x[i] - x[j];
            double product = 1.0;
            for (std::size_t m : window)
                if (m != i && m != j)
                    product *= xi - x[m];
            numerator += product;
        }
        sum += y[i] * numerator / denominator;
    }
    return sum;
}

// One breakpoint of the quadrature: its abscissa and value (a node's y, or interpolated).
struct Breakpoint {
    double position;
    double value;
};

std::vector<Breakpoint> breakpoints(const std::vector<double>& y, const std::vector<double>& x, double a, double b)
{
    const std::size_t n = commonSize(y, x);
    std::vector<Breakpoint> points;
    points.push_back({a, interpolate(y, x, a)});
    for (std::size_t i = 0; i < n; ++i)
        if (x[i] > a && x[i] < b)
            points.push_back({x[i], y[i]});
    points.push_back({b, interpolate(y, x, b)});
    return points;
}

enum class Rule { Midpoint, Trapezoid, Simpson };

double integrateBy(Rule rule, const std::vector<double>& y, const std::vector<double>& x, double a, double b)
{
    if (!(a < b) || commonSize(y, x) == 0)
        return 0.0;
    const std::vector<Breakpoint> points = breakpoints(y, x, a, b);
    double sum = 0.0;
    for (std::size_t s = 0; s + 1 < points.size(); ++s) {
        const Breakpoint& u = points[s];
        const Breakpoint& v = points[s + 1];
        const double length = v.position - u.position;
        if (!(length > 0.0))
            continue; // repeated abscissae: nothing to add
        switch (rule) {
        case Rule::Midpoint: sum += length * interpolate(y, x, (u.position + v.position) / 2); break;
        case Rule::Trapezoid: sum += length * (u.value + v.value) / 2; break;
        case Rule::Simpson:
            sum += length * (u.value + 4 * interpolate(y, x, (u.position + v.position) / 2) + v.value) / 6;
            break;
        }
    }
    return sum;
}

} // namespace

double interpolate(const std::vector<double>& y, const std::vector<double>& x, double xi)
{
    const std::size_t n = commonSize(y, x);
    return lagrangeValue(y, x, pointWindow(x, n, halfWidth(INTER_PREC), xi), xi);
}

double differentiate(const std::vector<double>& y, const std::vector<double>& x, double xi)
{
    const std::size_t n = commonSize(y, x);
    return lagrangeDerivative(y, x, pointWindow(x, n, halfWidth(DER_PREC), xi), xi);
}

double interpolateExcludingNode(const std::vector<double>& y, const std::vector<double>& x, std::size_t k)
{
    const std::size_t n = commonSize(y, x);
    if (k >= n)
        return 0.0;
    const std::size_t w = halfWidth(INTER_PREC);
    const Window window = nodeWindow(x, n, w, k, false);
    if (window.empty())
        return w == 0 ? 0.0 : y[k]; // no neighbour to predict from: the node stands
    return lagrangeValue(y, x, window, x[k]);
}

void derivativesAtNodes(const std::vector<double>& y, const std::vector<double>& x, std::vector<double>& out)
{
    const std::size_t n = commonSize(y, x);
    out.resize(n, 0.0);
    const std::size_t w = halfWidth(DER_PREC);
    for (std::size_t k = 0; k < n; ++k)
        out[k] += lagrangeDerivative(y, x, nodeWindow(x, n, w, k, true), x[k]);
}

namespace {

// Makes the piece the polynomial through the window's nodes unless it already is.
void buildPiece(CurvePolynomials::Piece& piece, const std::vector<double>& y, const std::vector<double>& x,
                const Window& window, uint8_t precision)
{
    bool same = piece.built && piece.precision == precision
            && static_cast<std::size_t>(window.end() - window.begin()) == piece.nodes.size();
    if (same) {
        std::size_t k = 0;
        for (std::size_t i : window) {
            if (piece.nodes[k] != i || piece.xs[k] != x[i] || piece.ys[k] != y[i]) {
                same = false;
                break;
            }
            ++k;
        }
    }
    if (same)
        return;
    piece.nodes.assign(window.begin(), window.end());
    const std::size_t m = piece.nodes.size();
    piece.xs.resize(m);
    piece.ys.resize(m);
    for (std::size_t k = 0; k < m; ++k) {
        piece.xs[k] = x[piece.nodes[k]];
        piece.ys[k] = y[piece.nodes[k]];
    }
    // Lagrange form with its weights: coefficient i is y_i over the product of
    // (x_i - x_j), so that an evaluation only forms the products of (xi - x_j).
    piece.coefficients.assign(m, 0.0);
    for (std::size_t i = 0; i < m; ++i) {
        double denominator = 1.0;
        for (std::size_t j = 0; j < m; ++j)
            if (j != i)
                denominator *= piece.xs[i] - piece.xs[j];
        piece.coefficients[i] = piece.ys[i] / denominator;
    }
    piece.precision = precision;
    piece.built = true;
}

} // namespace

double CurvePolynomials::value(const std::vector<double>& y, const std::vector<double>& x, double xi)
{
    const std::size_t n = commonSize(y, x);
    buildPiece(value_, y, x, pointWindow(x, n, halfWidth(INTER_PREC), xi), INTER_PREC);
    const std::size_t m = value_.xs.size();
    double sum = 0.0;
    for (std::size_t i = 0; i < m; ++i) {
        double product = value_.coefficients[i];
        for (std::size_t j = 0; j < m; ++j)
            if (j != i)
                product *= xi - value_.xs[j];
        sum += product;
    }
    return sum;
}

double CurvePolynomials::derivative(const std::vector<double>& y, const std::vector<double>& x, double xi)
{
    const std::size_t n = commonSize(y, x);
    buildPiece(derivative_, y, x, pointWindow(x, n, halfWidth(DER_PREC), xi), DER_PREC);
    // d/dxi of prod_{j != i} (xi - x_j), built factor by factor: (P f)' = P' f + P.
    const std::size_t m = derivative_.xs.size();
    double sum = 0.0;
    for (std::size_t i = 0; i < m; ++i) {
        double product = 1.0, slope = 0.0;
        for (std::size_t j = 0; j < m; ++j) {
            if (j == i)
                continue;
            const double factor = xi - derivative_.xs[j];
            slope = slope * factor + product;
            product *= factor;
        }
        sum += derivative_.coefficients[i] * slope;
    }
    return sum;
}

double integrateMidpoint(const std::vector<double>& y, const std::vector<double>& x, double a, double b)
{
    return integrateBy(Rule::Midpoint, y, x, a, b);
}

double integrateTrapezoid(const std::vector<double>& y, const std::vector<double>& x, double a, double b)
{
    return integrateBy(Rule::Trapezoid, y, x, a, b);
}

double integrateSimpson(const std::vector<double>& y, const std::vector<double>& x, double a, double b)
{
    return integrateBy(Rule::Simpson, y, x, a, b);
}

double integrate(const std::vector<double>& y, const std::vector<double>& x, double a, double b)
{
    switch (INT_METHOD) {
    case 0: return integrateMidpoint(y, x, a, b);
    case 1: return integrateTrapezoid(y, x, a, b);
    case 2: return integrateSimpson(y, x, a, b);
    default: return 0.0;
    }
}
