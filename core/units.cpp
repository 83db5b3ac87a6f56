#include "core/units.h"

#include <limits>

#include "core/flags.h"

const std::array<std::string_view, 120> elementSymbols
        = {"E",  "D",  "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si", "P",  "S",
           "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "Ga", "Ge", "As", "Se",
           "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru", "Rh", "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te",
           "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd", "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb",
           "Lu", "Hf", "Ta", "W",  "Re", "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra",
           "Ac", "Th", "Pa", "U",  "Np", "Pu", "Am", "Cm", "Bk", "Cf", "Es", "Fm", "Md", "No", "Lr", "Rf", "Db", "Sg",
           "Bh", "Hs", "Mt", "Ds", "Rg", "Cn", "Nh", "Fl", "Mc", "Lv", "Ts", "Og"};

// clang-format off
const std::array<double, 120> elementWeights = {
    0.000548579909065, 2.01410177812, 1.008, 4.002602, 6.94, 9.0121831, 10.81, 12.011, 14.007, 15.999, // E to O
    18.998403163, 20.1797, 22.98976928, 24.305, 26.9815385, 28.085, 30.973761998, 32.06, 35.45, 39.948, // F to Ar
    39.0983, 40.078, 44.955908, 47.867, 50.9415, 51.9961, 54.938044, 55.845, 58.933194, 58.6934, // K to Ni
    63.546, 65.38, 69.723, 72.63, 74.921595, 78.971, 79.904, 83.798, 85.4678, 87.62, // Cu to Sr
    88.90584, 91.224, 92.90637, 95.95, 98.0, 101.07, 102.9055, 106.42, 107.8682, 112.414, // Y to Cd
    114.818, 118.71, 121.76, 127.6, 126.90447, 131.293, 132.90545196, 137.327, 138.90547, 140.116, // In to Ce
    140.90766, 144.242, 145.0, 150.36, 151.964, 157.25, 158.92535, 162.5, 164.93033, 167.259, // Pr to Er
    168.93422, 173.045, 174.9668, 178.49, 180.94788, 183.84, 186.207, 190.23, 192.217, 195.084, // Tm to Pt
    196.966569, 200.592, 204.38, 207.2, 208.9804, 209.0, 210.0, 222.0, 223.0, 226.0, // Au to Ra
    227.0, 232.0377, 231.03588, 238.02891, 237.0, 244.0, 243.0, 247.0, 247.0, 251.0, // Ac to Cf
    252.0, 257.0, 258.0, 259.0, 262.0, 267.0, 268.0, 269.0, 270.0, 269.0, // Es to Hs
    278.0, 281.0, 282.0, 285.0, 286.0, 289.0, 290.0, 293.0, 294.0, 294.0, // Mt to Og
};
// clang-format on

bool isElementSymbol(std::string_view symbol)
{
    for (std::string_view entry : elementSymbols)
        if (entry == symbol)
            return true;
    return false;
}

double elementWeight(std::string_view symbol)
{
    for (std::size_t i = 0; i < elementSymbols.size(); ++i)
        if (elementSymbols[i] == symbol)
            return elementWeights[i];
    return std::numeric_limits<double>::quiet_NaN();
}

namespace {

// One cell of the unit table: what convertToSI does to the value.
enum class Op : uint8_t { Undefined, Unchanged, Multiply, Divide, CalPerMol };

struct Cell {
    Op op = Op::Undefined;
    double factor = 1.0;
};

constexpr Cell none{};
constexpr Cell same{Op::Unchanged, 1.0};
constexpr Cell mul(double f)
{
    return Cell{Op::Multiply, f};
}
constexpr Cell div(double f)
{
    return Cell{Op::Divide, f};
}

constexpr double standardGravity = 9.81; // m/s^2
constexpr double standardAtmosphere = 101325; // Pa
constexpr double caloriesPerJoule = 0.239006;

constexpr Cell unitTable[12][4] = {
        {same, mul(1000), mul(1000000), Cell{Op::CalPerMol, caloriesPerJoule}}, // molar enthalpy
        {same, mul(1000), none, none}, // molar mass
        {div(1000), div(100), div(10), same}, // length
        {div(1000000), div(10000), div(100), same}, // area
        {div(1000000000), div(1000000), div(1000), same}, // volume
        {mul(1000000), mul(standardAtmosphere), mul(100000), none}, // pressure
        {same, mul(1000), mul(standardGravity), none}, // force
        {same, mul(0.001), none, none}, // time
        {same, mul(1000), mul(standardGravity), none}, // impulse
        {same, mul(1000), mul(standardGravity), none}, // velocity, Isp
        {same, none, none, none}, // single unit
        {mul(1000), same, none, none}, // density
};

const Cell* findCell(UnitKind kind, int16_t unitIndex)
{
    if (kind > 11 || unitIndex < 0 || unitIndex > 3)
        return nullptr;
    const Cell& cell = unitTable[kind][unitIndex];
    return cell.op == Op::Undefined ? nullptr : &cell;
}

double failed(double value)
{
    unitFlag.store(1, std::memory_order_relaxed);
    return value;
}

} // namespace

double convertToSI(UnitKind kind, double value, int16_t unitIndex)
{
    const Cell* cell = findCell(kind, unitIndex);
    if (!cell)
        return failed(value);
    switch (cell->op) {
    case Op::Multiply: return value * cell->factor;
    case Op::Divide: return value / cell->factor;
    case Op::CalPerMol:
        // calories per mole -> joules per kilomole, in this order of operations
        return value / cell->factor * 1000;
    default: return value;
    }
}

double convertFromSI(UnitKind kind, double value, int16_t unitIndex)
{
    const Cell* cell = findCell(kind, unitIndex);
    if (!cell)
        return failed(value);
    switch (cell->op) {
    case Op::Multiply: return value / cell->factor;
    case Op::Divide: return value * cell->factor;
    case Op::CalPerMol: return value * cell->factor / 1000;
    default: return value;
    }
}
