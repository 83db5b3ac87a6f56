#pragma once
// The current nozzle: the last contour that passed the nozzle tab's checks, in the
// tab's length unit. The calculation tab takes it for runs under the name "Current"
// (through loadNozzle, which converts it to SI); the optimisation panel and the export
// read it. Written only on the GUI thread, by the nozzle tab's computations.
#include <vector>

struct CurrentNozzle {
    std::vector<double> x; // station x coordinates, throat at 0
    std::vector<double> R; // station wall radii
    std::vector<double> A; // station areas, 3.141592 R^2, in the unit squared
    // Length unit of every value here (0 mm, 1 cm, 2 dm, 3 m): recorded with the
    // stations whenever a contour is accepted, so the two always agree.
    int unitIndex = 0;
    double throatDiameter = 0.0;
    double throatCurvatureRadius = 0.0;

    // No contour has been accepted yet.
    bool empty() const { return x.empty() || R.empty() || A.empty(); }
};

// Empty until the nozzle tab accepts its first contour; lives until the program ends.
extern CurrentNozzle currentNozzle;
