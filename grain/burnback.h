#pragma once
// Burn-back of solid grains: the combustion (burning-surface) area A against the burnt
// distance y, from ignition (y = 0) to burnout (y = y_max), n samples equally spaced.
// Every burning surface recedes at the same rate, so the geometry alone gives the curve.
//
// Two families: the grain tab's curves (single-precision samples, rounded exactly as the
// tab stores them, the star's point corners rounded) and the curves of stored grains
// (double precision, the star's corners sharp). Lengths are in the grain's own unit,
// areas in its square; nothing here converts units. pi is the literal 3.141592 of the
// grain and nozzle geometry, so stored and displayed figures agree to the digit.
#include <cstdint>
#include <vector>

namespace grain {

constexpr double kPi = 3.141592;
constexpr double kHalfPi = 1.570796;
constexpr double kTwoPi = 6.283184;

// Indices of the form's geometry and combustion lists: the codes Grains.json stores.
enum Geometry : int { Cylindrical = 0, Frontal = 1, Star = 2, Custom = 3 };
enum Combustion : int { RadialAndBase = 0, Radial = 1, Base = 2 };

// The fixed angles of a star port of nStar points between the circle of its inner
// vertices (radius rV) and the circle of its points (radius tP).
struct StarShape {
    double beta = 0.0; // half the angle between two points, rad
    double flank = 0.0; // s: length of one flank, inner vertex to point
    double alpha = 0.0; // angle at a point between the flank and the point's radius, rad
    double gamma = 0.0; // angle at an inner vertex between the flank and its radius, rad
    double portArea = 0.0; // cross-section of the port: 2 nStar triangles centre-vertex-point
};
StarShape starShape(double rV, double tP, uint32_t nStar);

// Sample indices where the phases of a radial star burn-back end (each end cut to n).
// Rounded points (the tab): the arc around each point burns until k1, the arc cut by the
// case until k2, the flank alone up to n. Sharp corners (stored grains): the flanks burn
// between the moved corners until k1, from the moved inner vertex to the case up to n.
struct StarPhases {
    uint32_t k1 = 0;
    uint32_t k2 = 0; // rounded points only
    double yMax = 0.0; // burnout distance
    // Sharp corners: the burn ends when the inner vertex reaches the case (not when a
    // short grain burning on its ends too has burnt half its length).
    bool radialBurnout = true;
};
StarPhases roundedStarPhases(double Dext, double Din, double Dpoint, uint32_t nStar, uint32_t n);
// `type` 0 (radial and base, where a short grain burns out at half its length) or 1.
StarPhases sharpStarPhases(double Dext, double Dpoint, double Din, double L, uint32_t nStar, uint32_t n, int type);

// A burn-back curve as the grain tab holds it.
struct FloatCurve {
    std::vector<float> y;
    std::vector<float> area;
    double areaSum = 0.0; // sum of the stored (single-precision) areas, added in double
};

// The burnout rule, for every curve that ends where the burning surface is gone (a star's
// inner vertex reaching the case, a loaded curve's last sample): the area formulas there
// subtract terms as large as the case, so they leave a rounding residue of either sign
// instead of 0. An area within `residue` of 0 at burnout is that residue and is 0; a
// larger one is a real surface (a chord left on the case) and stays. Each caller sizes
// `residue` from the rounding its own figures carry.
double settledBurnout(double area, double residue);

// The tab's curves. `n` >= 2 and the inputs are assumed checked (see grain_model.h).
FloatCurve cylindricalCurve(double Dext, double Di, double L, uint32_t N, uint32_t n, int type);
FloatCurve frontalCurve(double D, double L, uint32_t n);
// Types 1 (radial) and 2 (base) only; type 0 gives an empty curve.
FloatCurve starCurve(double Dext, double Din, double Dpoint, double L, uint32_t N, uint32_t nStar, uint32_t n,
                     int type);

} // namespace grain

// Stored grains, in double precision. y and A are resized to n; for a type other than
// 0, 1, 2 they are left as they were after the resize. Nothing is written beyond n
// samples whatever the inputs; n = 1 gives the single sample y = 0.
void burnbackCylindrical(double Dext, double Di, double L, uint32_t N, uint32_t n, int type, std::vector<double>& y,
                         std::vector<double>& A);
// Note the order: the point diameter before the inner diameter, as stored.
void burnbackStar(double Dext, double Dpoint, double Din, double L, uint32_t N, uint32_t nStar, uint32_t n, int type,
                  std::vector<double>& y, std::vector<double>& A);

namespace grain {

// Where a phase of a star burn-back ends: trunc(position) + 1 samples, cut to [0, n]
// (a phase can reach past the last sample, or not start at all).
uint32_t starPhaseEnd(double position, uint32_t n);

} // namespace grain
