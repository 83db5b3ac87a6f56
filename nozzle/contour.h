#pragma once
// Nozzle wall contours: the stations (axial coordinate x, wall radius R, area A) of a
// Bezier (parabolic) or conical nozzle with fillets, built from the parameters the
// nozzle tab stores. Shared by the tab and by loadNozzle, so that a stored nozzle and
// the same nozzle on screen give the same stations.
//
// Conventions: the throat is at x = 0, the entrance at x < 0, the exit at x > 0. Every
// length stays in the unit the parameters were typed in (no conversion here); angles
// are in degrees. pi is the literal 3.141592 throughout nozzle geometry, so that areas
// and angles agree with the stored data and the grain tab.
#include <array>
#include <cstdint>
#include <vector>

namespace nozzle {
constexpr double pi = 3.141592;
constexpr double halfPi = 1.570796;
// Degrees to radians, 3.141592 / 180.
constexpr double degree = 0.01745328888888889;
// Station counts the tab and the stored entries accept: at least 50 stations; at most
// 100000, which keeps a mistyped count from allocating gigabytes.
constexpr uint32_t minStations = 50;
constexpr uint32_t maxStations = 100000;
} // namespace nozzle

// [De, Dt, Dx, convergent half-angle (deg) or length Lc, divergent length Ld,
//  entrance fillet Rfe, convergent throat fillet Rfc, divergent throat fillet Rfd,
//  parabola initial angle (deg), parabola final angle (deg)]
using BezierParameters = std::array<double, 10>;
// [De, Dt, Dx, convergent half-angle (deg) or Lc, divergent half-angle (deg) or Ld,
//  entrance/exit fillet Rf, throat fillet Rtf]
using ConicalParameters = std::array<double, 7>;
// [convergent given as length, divergent given as length, entrance/exit fillets
//  present, throat fillet present]
using ConicalOptions = std::array<bool, 4>;

// Both routines resize x and A to n (existing elements kept, new ones 0), overwrite
// them station by station and return the n radii. The throat diameter is parameter 1;
// the throat curvature radius is (Rfc + Rfd)/2 for the Bezier nozzle, Rtf for a conical
// nozzle with throat fillet and 1.0 without. They never write outside the n stations:
// the throat station stays between 1 and n - 2 and every fillet keeps to its side of
// the throat. With n < 3 (no room for entrance, throat and exit) every station is 0.
// Parameters are expected to pass the nozzle tab's checks; others give non-finite values.
std::vector<double> bezierContour(std::vector<double>& x, std::vector<double>& A, double& throatDiameter,
                                  double& throatCurvatureRadius, uint32_t n, const BezierParameters& params,
                                  bool convergentAsLength);
std::vector<double> conicalContour(std::vector<double>& x, std::vector<double>& A, double& throatDiameter,
                                   double& throatCurvatureRadius, uint32_t n, const ConicalParameters& params,
                                   const ConicalOptions& options);

// The side geometry shared by the contours and the tab's checks. `rise` is the radial
// drop (convergent, (De - Dt)/2) or rise (divergent, (Dx - Dt)/2) between the throat
// and the far end, `filletSum` the sum of the two fillet radii on that side.
// Axial length of a side of half-angle theta (radians): its two arcs turn through theta
// and a straight line covers the remaining radial difference.
double sideLength(double rise, double theta, double filletSum);
// The half-angle (radians) for which the two arcs and the straight line fit exactly in
// the axial length L (the inverse of sideLength): L sin(theta) - (rise - l) cos(theta) = l.
double sideAngle(double rise, double length, double filletSum);
