#pragma once
// The ranges inside which a number can describe a real engine, one table for the checks
// of a run's inputs (typed or stored), of the stored grains and nozzles, and of a run's
// figures. SI units.
namespace physical {

// Chamber pressure, also at every burn point of a grain run [Pa]: above 1 Pa (below it
// there is no combustion chamber to speak of, and the equilibrium has no meaning), below
// 1e10 Pa (10 GPa, some fifty times the chamber pressure of any rocket engine built).
constexpr double minChamberPressure = 1.0;
constexpr double maxChamberPressure = 1e10;
constexpr bool chamberPressureInRange(double pascals)
{
    return pascals > minChamberPressure && pascals < maxChamberPressure; // false for NaN
}
// Ambient pressure [Pa]: 0 (vacuum) or more, below the highest chamber pressure.
constexpr double maxAmbientPressure = maxChamberPressure;
constexpr bool ambientPressureInRange(double pascals)
{
    return pascals >= 0.0 && pascals < maxAmbientPressure; // false for NaN
}
// Combustion temperature [K]: a chamber colder than 200 K burns nothing (the species
// data of the program start at 200 K).
constexpr double minChamberTemperature = 200.0;
// Temperature of an equilibrium against the species data [K]: the Cp fits end at a top
// temperature (the NASA Glenn fits at 6000 K or 20000 K). Above it a species keeps the Cp
// of its top (constant-Cp extrapolation), which leaves out the dissociation and
// ionisation the missing data would show, an error growing with the distance from the
// top. Up to half again the highest top of the species that can form (9000 K for data
// ending at 6000 K, 30000 K for 20000 K) the figures stay estimates of the right size,
// flagged as extrapolated; beyond, nothing in the data supports them and the calculation
// is no result. A mixture with no fitted species has no top to hold it to.
constexpr double maxSpeciesDataExtrapolation = 1.5;
constexpr bool withinSpeciesData(double kelvin, double highestDataTop)
{
    return !(highestDataTop > 0.0) || kelvin <= maxSpeciesDataExtrapolation * highestDataTop; // false for NaN T
}
// Temperatures given to a run, the nozzle wall and the uniform reactant temperature [K]:
// at most 10000 K, above the combustion temperature of any chemical propellant (about
// 5000 K) and the melting point of any wall material (tungsten 3695 K).
constexpr double maxGivenTemperature = 1e4;
// Lengths of a grain or a nozzle [m]: at least 1 micrometre (a web, port, length or throat
// thinner than that burns or passes nothing the program can compute), at most 1 km.
constexpr double minLength = 1e-6;
constexpr double maxLength = 1e3;
constexpr bool lengthInRange(double metres)
{
    return metres >= minLength && metres <= maxLength; // false for NaN
}
// Charges of a grain: at most 1000 identical grains in one chamber.
constexpr unsigned maxCharges = 1000;
// Points of a star grain: at most 100 (real stars have 4 to 12).
constexpr unsigned maxStarPoints = 100;
// Contraction ratio of a finite-area combustor (chamber area over throat area): at most
// 10000; a wider chamber is an infinite-area combustor.
constexpr double maxContractionRatio = 1e4;
// A finite-area combustor must be wider than the throat: subsonic flow only speeds up in a
// converging duct, so a chamber as narrow as the throat or narrower chokes before it.
constexpr bool chamberWiderThanThroat(double chamberArea, double throatArea)
{
    return chamberArea > throatArea; // false for NaN
}
// No gas leaves a chamber that is not above the ambient pressure [Pa].
constexpr bool chamberAboveAmbient(double chamberPressure, double ambientPressure)
{
    return chamberPressure > ambientPressure; // false for NaN
}
// Combustion time of a grain asked of a run [s]: above 0, at most 1e4 s (nearly three
// hours), far beyond the burn of any solid motor (the Space Shuttle booster burned
// 124 s; end-burning sustainers and gas generators burn minutes).
constexpr double maxBurnTime = 1e4;
constexpr bool burnTimeInRange(double seconds)
{
    return seconds > 0.0 && seconds <= maxBurnTime; // false for NaN
}

} // namespace physical
