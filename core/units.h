#pragma once
// Element symbols and unit conversion between the units the forms offer and SI.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// "E" (electron), "D" (deuterium), then the elements by atomic number: index i >= 2
// holds atomic number i - 1, from "H" to "Og". Read-only.
extern const std::array<std::string_view, 120> elementSymbols;

// True when `symbol` equals an entry exactly, case included ("Cl" yes, "CL" no).
bool isElementSymbol(std::string_view symbol);

// The weight of one particle of each symbol, in g/mol, in the order of elementSymbols:
// the electron (CODATA 2018), the deuterium atom, then the IUPAC 2013 standard atomic
// weights (conventional values where IUPAC gives a range), and for an element without
// a stable isotope the mass number of its longest-lived one.
extern const std::array<double, 120> elementWeights;

// The weight of `symbol` in g/mol, or NaN when it is no entry of elementSymbols.
double elementWeight(std::string_view symbol);

// Quantity being converted; 0..11 are defined.
using UnitKind = uint16_t;
namespace unitKind {
constexpr UnitKind MolarEnthalpy = 0; // J/kmol; 0 J/kmol, 1 J/mol, 2 kJ/mol, 3 cal/mol
constexpr UnitKind MolarMass = 1; // kg/kmol; 0 g/mol, 1 kg/mol
constexpr UnitKind Length = 2; // m; 0 mm, 1 cm, 2 dm, 3 m
constexpr UnitKind Area = 3; // m^2; 0 mm^2, 1 cm^2, 2 dm^2, 3 m^2
constexpr UnitKind Volume = 4; // m^3; 0 mm^3, 1 cm^3, 2 dm^3, 3 m^3
constexpr UnitKind Pressure = 5; // Pa; 0 MPa, 1 atm, 2 bar
constexpr UnitKind Force = 6; // N; 0 N, 1 kN, 2 kgf
constexpr UnitKind Time = 7; // s; 0 s, 1 ms
constexpr UnitKind Impulse = 8; // N s; 0 N s, 1 kN s, 2 kgf s
constexpr UnitKind Velocity = 9; // m/s; 0 m/s, 1 km/s, 2 s (specific impulse x g0)
constexpr UnitKind Single = 10; // one unit only
constexpr UnitKind Density = 11; // kg/m^3; 0 g/cm^3, 1 kg/m^3
} // namespace unitKind

// Converts `value`, given in unit `unitIndex` of `kind`, to SI. An undefined kind or
// unit sets unitFlag to 1 and returns the value unchanged; neither function clears it.
double convertToSI(UnitKind kind, double value, int16_t unitIndex);
// The inverse: `value` in SI to unit `unitIndex` of `kind`.
double convertFromSI(UnitKind kind, double value, int16_t unitIndex);
