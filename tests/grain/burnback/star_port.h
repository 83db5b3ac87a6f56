#pragma once
// The port of a star grain measured directly from its geometry, to check the burn-back
// formulas by conservation: every burning surface recedes at unit speed, so the burning
// area is minus the derivative of the propellant volume with respect to the burnt
// distance. The port is integrated in polar coordinates over one half sector (from a
// point, at angle 0, to the next inner vertex, at angle beta) and clipped by the case.
#include <algorithm>
#include <cmath>
#include <functional>

namespace starport {

struct Vec {
    double x, y;
};
inline Vec operator-(Vec a, Vec b)
{
    return {a.x - b.x, a.y - b.y};
}
inline double dot(Vec a, Vec b)
{
    return a.x * b.x + a.y * b.y;
}
inline double norm(Vec a)
{
    return std::sqrt(dot(a, a));
}

inline double distanceToSegment(Vec p, Vec a, Vec b)
{
    const Vec ab = b - a;
    const double t = std::clamp(dot(p - a, ab) / dot(ab, ab), 0.0, 1.0);
    return norm(p - Vec{a.x + t * ab.x, a.y + t * ab.y});
}

struct Star {
    double R, rV, tP;
    double beta; // pi / nStar, with the program's pi so that both describe one star
};

// Boundary radius of the burnt port along direction phi (0 <= phi <= beta), before the case
// clips it. Sharp: the flank moved parallel to itself by y, the corners on their radii.
inline double sharpRadius(const Star& s, double y, double phi)
{
    const Vec P{s.tP, 0.0}, V{s.rV * std::cos(s.beta), s.rV * std::sin(s.beta)};
    const Vec d = V - P;
    Vec n{d.y, -d.x}; // a normal of the flank
    if (dot(n, P) < 0.0)
        n = {-n.x, -n.y};
    const double len = norm(n);
    n = {n.x / len, n.y / len};
    const double c = dot(n, P) + y;
    return c / (n.x * std::cos(phi) + n.y * std::sin(phi));
}

// Rounded: every point within y of the original port (the port's outward offset), found
// by bisection along the ray on the distance to the three nearest flanks.
inline double roundedRadius(const Star& s, double y, double phi)
{
    const Vec P{s.tP, 0.0}, V{s.rV * std::cos(s.beta), s.rV * std::sin(s.beta)};
    const Vec Vm{V.x, -V.y}; // neighbour flank across the point
    const Vec P1{s.tP * std::cos(2.0 * s.beta), s.tP * std::sin(2.0 * s.beta)}; // across the vertex
    auto distance = [&](double t) {
        const Vec X{t * std::cos(phi), t * std::sin(phi)};
        return std::min({distanceToSegment(X, P, V), distanceToSegment(X, P, Vm), distanceToSegment(X, V, P1)});
    };
    double inside = sharpRadius(s, 0.0, phi); // on the original flank
    double outside = s.tP + y + 1.0;
    for (int i = 0; i < 200 && outside - inside > 1e-13; ++i) {
        const double mid = 0.5 * (inside + outside);
        (distance(mid) <= y ? inside : outside) = mid;
    }
    return inside;
}

// Area of the port in one half sector, clipped by the case. The boundary radius falls
// from the point towards the vertex, so the case clips one interval [0, phi*) at most.
inline double halfSectorPort(const Star& s, double y, const std::function<double(const Star&, double, double)>& radius)
{
    auto rho = [&](double phi) { return radius(s, y, phi); };
    double split = 0.0;
    if (rho(0.0) > s.R) {
        double lo = 0.0, hi = s.beta;
        if (rho(hi) > s.R)
            return 0.5 * s.R * s.R * s.beta;
        for (int i = 0; i < 200 && hi - lo > 1e-15; ++i) {
            const double mid = 0.5 * (lo + hi);
            (rho(mid) > s.R ? lo : hi) = mid;
        }
        split = 0.5 * (lo + hi);
    }
    // Simpson on the smooth part.
    const int m = 2000;
    const double h = (s.beta - split) / m;
    double sum = 0.0;
    for (int i = 0; i <= m; ++i) {
        const double r = std::min(rho(split + i * h), s.R);
        const double w = (i == 0 || i == m) ? 1.0 : (i % 2 ? 4.0 : 2.0);
        sum += w * 0.5 * r * r;
    }
    return 0.5 * s.R * s.R * split + sum * h / 3.0;
}

} // namespace starport
