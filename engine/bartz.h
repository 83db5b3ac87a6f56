#pragma once
// Convective heat-transfer coefficient of the nozzle wall after Bartz, shared by the
// equilibrium and the kinetic nozzle-flow solvers. The preference values C_BARTZ,
// m_BARTZ, n_BARTZ, wv_BARTZ, wk_BARTZ, wc_BARTZ and curv_BARTZ are read at each call.

// Exponent of the property-temperature correction:
// E = (wv + 1) m - wk - (wv - wk + wc) n (0.68 with the defaults).
double bartzTemperatureExponent();

// Coefficient at a nozzle station, W/(m2 K):
//   (C k/D) (G D/mu)^m Pr^n (At/A)^(0.5 + 0.5 m) (2T/(T + Tw))^E (D/rc)^q
// with D the throat diameter and G the throat mass flux (mass flow over throat area):
// the area factor turns the throat values into the local ones, so the Reynolds number
// takes the throat flux, not the local one.
double bartzStationCoefficient(double conductivity, double viscosity, double prandtl, double throatMassFlux,
                               double throatDiameter, double curvatureRadius, double areaRatioThroatOverLocal, double T,
                               double wallTemperature);

// Chamber coefficient with the chamber density and an assumed gas velocity Vc over the
// chamber diameter Dc; no area or curvature factor:
//   (C k/Dc) (rho Vc Dc/mu)^m Pr^n (2T/(T + Tw))^E
double bartzChamberCoefficient(double conductivity, double viscosity, double prandtl, double density, double velocity,
                               double chamberDiameter, double T, double wallTemperature);
