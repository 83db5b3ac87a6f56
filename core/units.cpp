#include "core/units.h"

#include "core/flags.h"

const std::array<std::string_view, 120> elementSymbols
        = {"E",  "D",  "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si", "P",  "S",
           "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn", "Ga", "Ge", "As", "Se",
           "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru", "Rh", "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te",
           "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd", "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb",
           "Lu", "Hf", "Ta", "W",  "Re", "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra",
           "Ac", "Th", "Pa", "U",  "Np", "Pu", "Am", "Cm", "Bk", "Cf", "Es", "Fm", "Md", "No", "Lr", "Rf", "Db", "Sg",
           "Bh", "Hs", "Mt", "Ds", "Rg", "Cn", "Nh", "Fl", "Mc", "Lv", "Ts", "Og"};

bool isElementSymbol(std::string_view symbol)
{
    for (std::string_view entry : elementSymbols)
        if (entry == symbol)
            return true;
    return false;
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
