#pragma once
// The Bezier panel of the nozzle tab as the form starts (lengths in mm): De 50, Dt 25,
// Dx 100, 45 deg convergent, 125 divergent length, fillets 2, 37.5 and 9.55, parabola
// from 60 to 5 deg, 100 points. The nozzle the model tests and the optimisation panel's
// tests start from.
#include "nozzle/nozzle_model.h"

inline BezierForm bezierDefaults()
{
    BezierForm f;
    f.points = "100";
    f.entrance = "50";
    f.throat = "25";
    f.exit = "100";
    f.convergentAngle = "45";
    f.divergentLength = "125";
    f.entranceFillet = "2";
    f.convergentFillet = "37.5";
    f.divergentFillet = "9.55";
    f.initialAngle = "60";
    f.finalAngle = "5";
    return f;
}
