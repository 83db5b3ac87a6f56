#pragma once
// The rules a nozzle must meet for a run to compute its stations, in one place: the
// nozzle tab's checks of its fields (so that the tab never draws or saves a nozzle that
// every run refuses), its computation of a contour, and the run's loader of a stored or
// "Current" nozzle all ask here. The ranges themselves are core/physical_limits.h.
#include <cstdint>
#include <optional>
#include <vector>

#include <QString>

namespace nozzle {

// Lengths typed in the form's unit (a comb_units index: 0 mm, 1 cm, 2 dm, 3 m), judged
// in metres; a unit the conversion does not know judges the numbers as metres. The rules
// are worded in the form's unit.
class FormLengths {
public:
    explicit FormLengths(int unitIndex);

    // Entrance, throat and exit diameters: each is the diameter of a station, from
    // 1 micrometre to 1 km (false for NaN).
    bool diameterFits(double value) const;
    // Axial length of a side, typed or derived from its angle: above 0, and its far end,
    // a station, at most 1 km from the throat.
    bool sideFits(double value) const;
    // Fillet radii: 0 (no fillet) or from 1 micrometre to 1 km.
    bool filletFits(double value) const;

    QString diameterRule() const;
    QString sideRule() const;
    QString filletRule() const;

private:
    double metres(double value) const;
    QString shown(double metresValue) const;
    int16_t unit_;
};

// The stations of a contour in SI, as a run takes them.
struct StationsSI {
    std::vector<double> x, A;
    double throatDiameter = 0.0, throatCurvatureRadius = 0.0;
};

// Stations and throat data in `unitIndex`, converted to SI, when a run can use them: at
// least two stations; every x finite, none nearer the entrance than the one before, within
// 1 km of the throat; every area with an equivalent diameter of 1 micrometre to 1 km; the
// throat diameter in that range and the throat curvature radius finite and not negative.
// Nothing otherwise.
std::optional<StationsSI> usableStations(const std::vector<double>& x, const std::vector<double>& A,
                                         double throatDiameter, double throatCurvatureRadius, int unitIndex);
// That rule as the user reads it, in metres.
QString stationsRule();

} // namespace nozzle
