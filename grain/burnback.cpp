#include "grain/burnback.h"

#include <algorithm>
#include <cmath>

namespace grain {

namespace {

// Burnout distance of a cylindrical charge: type 0 stops at the thinner of the radial
// web and the half length (both ends recede), type 1 at the radial web, type 2 at the
// half length. Other types: 0.
double cylindricalBurnout(double Dext, double Di, double L, int type)
{
    switch (type) {
    case RadialAndBase: return L < Dext - Di ? L / 2.0 : (Dext - Di) / 2.0;
    case Radial: return (Dext - Di) / 2.0;
    case Base: return L / 2.0;
    default: return 0.0;
    }
}

// Area of a cylindrical charge at burnt distance y: the bore of radius r + y along the
// remaining length L - 2y, and the two end faces of the remaining ring.
double cylindricalArea(double R, double r, double L, double N, int type, double y)
{
    switch (type) {
    case RadialAndBase: return N * (kTwoPi * (r + y) * (L - 2.0 * y) + kTwoPi * (R * R - (r + y) * (r + y)));
    case Radial: return kTwoPi * N * (r + y) * L;
    case Base: return kTwoPi * N * (R * R - r * r);
    default: return 0.0;
    }
}

// Samples of the tab's curves: y_max rounded to single precision first, every y_i
// derived from it and rounded, and the area evaluated at the rounded y_i.
template <typename AreaAt>
FloatCurve sampleFloat(double yMax, uint32_t n, AreaAt areaAt)
{
    FloatCurve curve;
    curve.y.resize(n);
    curve.area.resize(n);
    const double last = static_cast<float>(yMax);
    const double intervals = n > 1 ? n - 1.0 : 1.0;
    for (uint32_t i = 0; i < n; ++i) {
        curve.y[i] = static_cast<float>(last * i / intervals);
        curve.area[i] = static_cast<float>(areaAt(i, static_cast<double>(curve.y[i])));
        curve.areaSum += curve.area[i];
    }
    return curve;
}

double clampUnit(double v)
{
    return std::clamp(v, -1.0, 1.0);
}

double sqrtPositive(double v)
{
    return v > 0.0 ? std::sqrt(v) : 0.0;
}

// Burnout residues of the star's flank from the moved inner vertex to the case, whose
// length is 0 at burnout for a vertex angle gamma of 90 degrees or more (settledBurnout).
// Sharp corners: the angles of the star carry the literal pi 3.141592 while std::asin
// works with the exact one, so the angle theta between the vertex's radius and the
// flank's end on the case, exactly 0 at burnout, comes out as their difference, 6.5e-7
// rad. The flank is then about R theta long. Twice that difference also covers the
// rounding of asin near a right angle (below 3e-8 rad) and of the law of cosines.
constexpr double kSharpFlankResidue = 2.0 * (3.14159265358979323846 - kPi); // per unit of R

// Rounded points: the burnt distance is rounded to single precision (relative error at
// most 2^-24), which moves the inner vertex off the case by up to 2^-24 R. Near burnout
// the flank to the case grows like R sqrt(2 e) for a relative offset e (the square root
// of the law of cosines' difference, for gamma near 90 degrees; for larger gamma it grows
// more slowly, like R e / |cos gamma|): at most R sqrt(2^-23) = 3.5e-4 R, doubled for
// margin. A real chord left at burnout is this short only for gamma within 0.02 degrees
// of a right angle.
const double kRoundedFlankResidue = 2.0 * std::sqrt(std::ldexp(1.0, -23)); // per unit of R

} // namespace

double settledBurnout(double area, double residue)
{
    return std::abs(area) <= residue ? 0.0 : area;
}

StarShape starShape(double rV, double tP, uint32_t nStar)
{
    StarShape s;
    s.beta = kPi / nStar;
    s.flank = std::sqrt(rV * rV + tP * tP - 2.0 * rV * tP * std::cos(s.beta));
    s.alpha = std::asin(clampUnit(rV * std::sin(s.beta) / s.flank));
    s.gamma = kPi - s.beta - s.alpha;
    s.portArea = nStar * rV * tP * std::sin(s.beta);
    return s;
}

uint32_t starPhaseEnd(double position, uint32_t n)
{
    if (std::isnan(position))
        return 0;
    const double end = std::trunc(position) + 1.0;
    if (end <= 0.0)
        return 0;
    if (end >= n)
        return n;
    return static_cast<uint32_t>(end);
}

StarPhases roundedStarPhases(double Dext, double Din, double Dpoint, uint32_t nStar, uint32_t n)
{
    const double R = Dext / 2.0, rV = Din / 2.0, tP = Dpoint / 2.0;
    const StarShape st = starShape(rV, tP, nStar);
    StarPhases p;
    p.yMax = (R - rV) * std::sin(st.gamma);
    // Samples per unit of burnt distance, from the burnout distance as the tab stores it.
    const double perDistance = (n - 1.0) / static_cast<float>(p.yMax);
    const double cosA = std::cos(st.alpha), sinA = std::sin(st.alpha);
    p.k1 = starPhaseEnd((R - tP) * perDistance, n);
    p.k2 = std::max(p.k1, starPhaseEnd((std::sqrt(R * R - tP * tP * cosA * cosA) - tP * sinA) * perDistance, n));
    return p;
}

StarPhases sharpStarPhases(double Dext, double Dpoint, double Din, double L, uint32_t nStar, uint32_t n, int type)
{
    const StarShape st = starShape(Din / 2.0, Dpoint / 2.0, nStar);
    const double sinA = std::sin(st.alpha), sinG = std::sin(st.gamma);
    StarPhases p;
    // The point reaches the case at y = (R - tP) sin(alpha), the inner vertex at
    // y = (R - rV) sin(gamma).
    p.yMax = (Dext - Din) / 2.0 * sinG;
    p.k1 = starPhaseEnd((Dext - Dpoint) * (n - 1.0) / (Dext - Din) * sinA / sinG, n);
    if (type == RadialAndBase) {
        const double S = (Dext - Din) * sinG;
        if (S > L) {
            p.yMax = L / 2.0;
            p.k1 = starPhaseEnd((Dext - Dpoint) * sinA * (n - 1.0) / L, n);
            p.radialBurnout = false;
        } else {
            p.yMax = S / 2.0;
        }
    }
    p.k2 = n;
    return p;
}

FloatCurve cylindricalCurve(double Dext, double Di, double L, uint32_t N, uint32_t n, int type)
{
    const double R = Dext / 2.0, r = Di / 2.0;
    return sampleFloat(cylindricalBurnout(Dext, Di, L, type), n,
                       [&](uint32_t, double y) { return cylindricalArea(R, r, L, N, type, y); });
}

FloatCurve frontalCurve(double D, double L, uint32_t n)
{
    // The burning face is the whole cross-section, from one end through the length.
    FloatCurve curve;
    curve.y.resize(n);
    curve.area.resize(n);
    const float face = static_cast<float>(kPi * (D / 2.0) * (D / 2.0));
    const double intervals = n > 1 ? n - 1.0 : 1.0;
    for (uint32_t i = 0; i < n; ++i) {
        curve.y[i] = static_cast<float>(L * i / intervals);
        curve.area[i] = face;
        curve.areaSum += face;
    }
    return curve;
}

FloatCurve starCurve(double Dext, double Din, double Dpoint, double L, uint32_t N, uint32_t nStar, uint32_t n, int type)
{
    const double R = Dext / 2.0, rV = Din / 2.0, tP = Dpoint / 2.0;
    const StarShape st = starShape(rV, tP, nStar);
    if (type == Base) {
        const double face = 2.0 * N * (kPi * R * R - st.portArea);
        return sampleFloat(L / 2.0, n, [&](uint32_t, double) { return face; });
    }
    if (type != Radial)
        return {};

    // Radial burning with rounded points: an arc of radius y around each point until the
    // arc touches the case, then the arc cut by the case, then only the flank from the
    // moved inner vertex to the case; burnout when the inner vertex reaches the case.
    const double M = 2.0 * N * L * nStar;
    const StarPhases phases = roundedStarPhases(Dext, Din, Dpoint, nStar, n);
    const uint32_t k1 = phases.k1, k2 = phases.k2;
    const double shortening = std::tan(st.gamma - kHalfPi);
    const double sinG = std::sin(st.gamma), cosG = std::cos(st.gamma);
    const double yMax = phases.yMax;
    const double residue = M * R * kRoundedFlankResidue;
    return sampleFloat(yMax, n, [&](uint32_t i, double y) {
        if (i < k1)
            return M * (y * (kHalfPi - st.alpha) + st.flank - y * shortening);
        if (i < k2) {
            const double theta = std::acos(clampUnit((y * y + tP * tP - R * R) / (2.0 * tP * y)));
            return M * (y * (theta - kHalfPi - st.alpha) + st.flank - y * shortening);
        }
        const double rho = y / sinG + rV;
        const double area = M * (rho * cosG + sqrtPositive(R * R - rho * rho * sinG * sinG));
        return i + 1 == n ? settledBurnout(area, residue) : area;
    });
}

} // namespace grain

using namespace grain;

void burnbackCylindrical(double Dext, double Di, double L, uint32_t N, uint32_t n, int type, std::vector<double>& y,
                         std::vector<double>& A)
{
    y.resize(n);
    A.resize(n);
    if (type != RadialAndBase && type != Radial && type != Base)
        return;
    const double R = Dext / 2.0, r = Di / 2.0;
    const double yMax = cylindricalBurnout(Dext, Di, L, type);
    const double intervals = n > 1 ? n - 1.0 : 1.0;
    for (uint32_t i = 0; i < n; ++i) {
        y[i] = yMax * i / intervals;
        A[i] = cylindricalArea(R, r, L, N, type, y[i]);
    }
}

void burnbackStar(double Dext, double Dpoint, double Din, double L, uint32_t N, uint32_t nStar, uint32_t n, int type,
                  std::vector<double>& y, std::vector<double>& A)
{
    y.resize(n);
    A.resize(n);
    if (type != RadialAndBase && type != Radial && type != Base)
        return;
    const double R = Dext / 2.0, rV = Din / 2.0, tP = Dpoint / 2.0;
    const StarShape st = starShape(rV, tP, nStar);
    const double sinA = std::sin(st.alpha), sinB = std::sin(st.beta);
    const double sinG = std::sin(st.gamma), cosB = std::cos(st.beta);
    const double intervals = n > 1 ? n - 1.0 : 1.0;

    if (type == Base) {
        const double face = 2.0 * N * (kPi * R * R - nStar * tP * rV * sinB);
        for (uint32_t i = 0; i < n; ++i) {
            y[i] = (L / 2.0) * i / intervals;
            A[i] = face;
        }
        return;
    }

    // Sharp corners: the point moves out along its radius until it reaches the case (the
    // first phase ends there), the inner vertex until burnout. With the ends burning too
    // (type 0) the grain may burn out at half its length first.
    const StarPhases phases = sharpStarPhases(Dext, Dpoint, Din, L, nStar, n, type);
    const double yMax = phases.yMax;
    const uint32_t k1 = phases.k1;
    const double lateral = 2.0 * N * nStar; // flanks per unit of length and per unit of flank
    for (uint32_t i = 0; i < n; ++i) {
        const double yi = yMax * i / intervals;
        y[i] = yi;
        const double rhoV = yi / sinG + rV;
        const double length = type == Radial ? L : L - 2.0 * yi;
        if (i < k1) {
            const double rhoP = yi / sinA + tP;
            const double F1 = sqrtPositive(rhoP * rhoP + rhoV * rhoV - 2.0 * rhoP * rhoV * cosB);
            A[i] = length * lateral * F1;
            if (type == RadialAndBase)
                A[i] += 2.0 * N * (kPi * R * R - nStar * rhoP * rhoV * sinB);
        } else {
            const double delta = std::asin(clampUnit(rhoV * sinG / R));
            const double theta = kPi - delta - st.gamma;
            const double F2 = sqrtPositive(R * R + rhoV * rhoV - 2.0 * R * rhoV * std::cos(theta));
            A[i] = length * lateral * F2;
            if (type == RadialAndBase)
                A[i] += lateral * (theta * R * R - R * rhoV * std::sin(theta));
        }
    }
    // The flanks end at the case: at most L of each, about R theta long; the end faces'
    // sliver beside them (theta R^2 - R rho sin theta) is of the order of R^2 theta^3.
    if (n >= 2 && phases.radialBurnout && n - 1 >= k1)
        A[n - 1] = settledBurnout(A[n - 1], lateral * L * R * kSharpFlankResidue);
}
