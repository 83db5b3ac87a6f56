#include "nozzle/contour.h"

#include <algorithm>
#include <cmath>

namespace {

using nozzle::pi;

// The stations of one contour being built, with the rule A = pi R^2 at every write.
class Stations {
public:
    Stations(std::vector<double>& x, std::vector<double>& A, uint32_t n) : x_(x), A_(A), R_(n, 0.0)
    {
        x_.resize(n);
        A_.resize(n);
    }

    void set(uint32_t k, double xk, double rk)
    {
        x_[k] = xk;
        R_[k] = rk;
        A_[k] = pi * rk * rk;
    }
    double x(uint32_t k) const { return x_[k]; }
    double r(uint32_t k) const { return R_[k]; }
    std::vector<double> takeRadii() { return std::move(R_); }

    // A fillet arc of `radius` turning through theta over m stations, from station
    // `start` in direction `step` (+1 towards the exit, -1 towards the entrance). The
    // arc leaves its start station along the axis direction `step` and bends the wall
    // by `bend` (+1 away from the axis, -1 towards it). Station k of the arc sits at
    // phi = k theta / (m - 1); an arc of one station has phi = 0 (no 0/0).
    void arc(uint32_t start, int step, int bend, double radius, double theta, uint32_t m)
    {
        if (radius == 0.0)
            return;
        const double xs = x(start), rs = r(start);
        for (uint32_t k = 0; k < m; ++k) {
            const double phi = m > 1 ? k * theta / (m - 1) : 0.0;
            const uint32_t j = step > 0 ? start + k : start - k;
            set(j, xs + step * radius * std::sin(phi), rs + bend * radius * (1.0 - std::cos(phi)));
        }
    }

    // Straight line strictly between stations s and e (s + 1 < e), evenly spaced in x;
    // the radius follows the slope from the anchor station.
    void line(uint32_t s, uint32_t e, uint32_t anchor, double slope)
    {
        if (s + 1 >= e)
            return;
        const double xs = x(s), xe = x(e), xa = x(anchor), ra = r(anchor);
        for (uint32_t u = 1; u < e - s; ++u) {
            const double xk = xs + static_cast<double>(u) / (e - s) * (xe - xs);
            set(s + u, xk, ra + (xk - xa) * slope);
        }
    }

private:
    std::vector<double>& x_;
    std::vector<double>& A_;
    std::vector<double> R_;
};

// Throat station: the stations are shared between the sides in proportion to their
// axial lengths, floor(n (-x0) / (xN - x0)) + 1. Kept between 1 and n - 2 so that the
// entrance and the exit keep stations of their own even for a very short side.
uint32_t throatStation(uint32_t n, double x0, double xN)
{
    const double share = n * (-x0) / (xN - x0);
    if (!std::isfinite(share) || share < 0.0)
        return 1;
    const double it = std::floor(share) + 1.0;
    return static_cast<uint32_t>(std::min(it, static_cast<double>(n - 2)));
}

// Stations of a fillet arc: its share of `sideStations` in proportion to its axial
// extent r sin(theta) on a side of axial length `sideLength`, rounded up, plus one.
// A radius-0 arc has 1. At most `maxCount`, so that the arc stays on its side and
// stops one station short of the fixed stations: the rounding up would otherwise let an
// entrance or exit fillet overwrite the throat station (the run would lose its throat
// area) or a throat fillet the entrance or exit station.
uint32_t arcCount(uint32_t sideStations, double r, double sinTheta, double sideLength, uint32_t maxCount)
{
    const double share = sideStations * r * sinTheta / sideLength;
    double m = std::isfinite(share) && share > 0.0 ? std::ceil(share) + 1.0 : 1.0;
    m = std::min(m, static_cast<double>(maxCount));
    return std::max<uint32_t>(1, static_cast<uint32_t>(m));
}

struct Side {
    double extent; // |x| of the far end (x0 for the convergent, xN for the divergent)
    double theta; // half-angle, radians
};

// A side given by its half-angle in degrees or by its axial length.
Side sideFrom(double value, bool asLength, double rise, double filletSum)
{
    if (asLength)
        return {value, sideAngle(rise, value, filletSum)};
    const double theta = value * nozzle::degree;
    return {sideLength(rise, theta, filletSum), theta};
}

} // namespace

double sideLength(double rise, double theta, double filletSum)
{
    return (rise - (1.0 - std::cos(theta)) * filletSum) / std::tan(theta) + filletSum * std::sin(theta);
}

double sideAngle(double rise, double length, double filletSum)
{
    const double v = rise - filletSum;
    const double l = filletSum;
    const double L = length;
    return std::acos((L * std::sqrt(v * v - l * l + L * L) - v * l) / (L * L + v * v));
}

std::vector<double> bezierContour(std::vector<double>& x, std::vector<double>& A, double& throatDiameter,
                                  double& throatCurvatureRadius, uint32_t n, const BezierParameters& p,
                                  bool convergentAsLength)
{
    const double De = p[0], Dt = p[1], Dx = p[2];
    const double Re = De / 2, Rt = Dt / 2, Rx = Dx / 2;
    const double Rfe = p[5], Rfc = p[6], Rfd = p[7];
    throatDiameter = Dt;
    throatCurvatureRadius = (Rfc + Rfd) / 2;

    Stations st(x, A, n);
    if (n < 3)
        return st.takeRadii();

    const Side conv = sideFrom(p[3], convergentAsLength, (De - Dt) / 2, Rfe + Rfc);
    const double x0 = -conv.extent;
    const double xN = p[4];
    const double thetaI = p[8] * pi / 180;
    const double thetaF = p[9] * pi / 180;

    st.set(0, x0, Re);
    st.set(n - 1, xN, Rx);
    const uint32_t it = throatStation(n, x0, xN);
    st.set(it, 0.0, Rt);

    const uint32_t mfe = arcCount(it, Rfe, std::sin(conv.theta), -x0, it);
    const uint32_t mfc = arcCount(it, Rfc, std::sin(conv.theta), -x0, it);
    const uint32_t mfd = arcCount(n - it, Rfd, std::sin(thetaI), xN, n - 1 - it);

    st.arc(0, +1, -1, Rfe, conv.theta, mfe);
    st.arc(it, -1, +1, Rfc, conv.theta, mfc);
    st.arc(it, +1, +1, Rfd, thetaI, mfd);

    // Straight convergent between the entrance fillet and the throat fillet; the radius
    // is measured from the throat side.
    const uint32_t convEnd = it + 1 - mfc;
    st.line(mfe - 1, convEnd, convEnd, -std::tan(conv.theta));

    // Parabola (a quadratic Bezier curve) from the end of the divergent throat fillet to
    // the exit; its control point is where the tangents of slope tan(thetaI) at the start
    // and tan(thetaF) at the exit meet.
    const uint32_t a = it + mfd - 1;
    if (it + mfd < n) {
        const double xa = st.x(a), Ra = st.r(a);
        const double ti = std::tan(thetaI), tf = std::tan(thetaF);
        const double Cx = (Rx - Ra + xa * ti - xN * tf) / (ti - tf);
        const double CR = ((Rx - xN * tf) * ti - (Ra - xa * ti) * tf) / (ti - tf);
        const uint32_t q = n - it - mfd;
        for (uint32_t u = 1; u <= q; ++u) {
            const double t = static_cast<double>(u) / q;
            const double b0 = (1 - t) * (1 - t), b1 = 2 * (1 - t) * t, b2 = t * t;
            st.set(a + u, b0 * xa + b1 * Cx + b2 * xN, b0 * Ra + b1 * CR + b2 * Rx);
        }
    }
    return st.takeRadii();
}

std::vector<double> conicalContour(std::vector<double>& x, std::vector<double>& A, double& throatDiameter,
                                   double& throatCurvatureRadius, uint32_t n, const ConicalParameters& p,
                                   const ConicalOptions& options)
{
    const double De = p[0], Dt = p[1], Dx = p[2];
    const double Re = De / 2, Rt = Dt / 2, Rx = Dx / 2;
    // A fillet whose option is off does not exist, whatever its parameter holds.
    const double Rf = options[2] ? p[5] : 0.0;
    const double Rtf = options[3] ? p[6] : 0.0;
    throatDiameter = Dt;
    throatCurvatureRadius = options[3] ? Rtf : 1.0;

    Stations st(x, A, n);
    if (n < 3)
        return st.takeRadii();

    const double l = Rf + Rtf;
    const Side conv = sideFrom(p[3], options[0], (De - Dt) / 2, l);
    const Side div = sideFrom(p[4], options[1], (Dx - Dt) / 2, l);
    const double x0 = -conv.extent;
    const double xN = div.extent;

    st.set(0, x0, Re);
    st.set(n - 1, xN, Rx);
    const uint32_t it = throatStation(n, x0, xN);
    st.set(it, 0.0, Rt);

    const double sinC = std::sin(conv.theta), sinD = std::sin(div.theta);
    const uint32_t mfe = arcCount(it, Rf, sinC, -x0, it);
    const uint32_t mfx = arcCount(n - it, Rf, sinD, xN, n - 1 - it);
    const uint32_t mtc = arcCount(it, Rtf, sinC, -x0, it);
    const uint32_t mtd = arcCount(n - it, Rtf, sinD, xN, n - 1 - it);

    st.arc(0, +1, -1, Rf, conv.theta, mfe);
    st.arc(n - 1, -1, -1, Rf, div.theta, mfx);
    st.arc(it, -1, +1, Rtf, conv.theta, mtc);
    st.arc(it, +1, +1, Rtf, div.theta, mtd);

    const uint32_t convEnd = it + 1 - mtc;
    st.line(mfe - 1, convEnd, convEnd, -std::tan(conv.theta));
    // Straight divergent; the radius is measured from the throat-fillet side.
    const uint32_t divStart = it + mtd - 1;
    st.line(divStart, n - mfx, divStart, std::tan(div.theta));
    return st.takeRadii();
}
