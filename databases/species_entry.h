#pragma once
// Entries of Species.json and Reactants.json. Both files are one JSON object mapping
// item names to entries of the same layout:
//   "Composition"  [[count, symbol], ...]            counts are floats
//   "Conductivity" [{"Coef": [A,B,C,D], "T_int": [Tmin, Tmax]}, ...]   optional
//   "Enthalpy"     [value, unit] or [value, unit, T]  T only for a reactant without "Intervals"
//   "Intervals"    [{"T_int": [Tmin,Tmax], "a": [...], "b": [b1,b2], "exp": [...]}, ...]
//                  required for a species, optional for a reactant
//   "MolecWeight"  [value, unit]
//   "Phase"        0 gas, 1 liquid, 2 solid
//   "Viscosity"    like "Conductivity"                  optional
//   "isActive"     bool
// Values are stored as typed, with the index of their unit beside them.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Unit indices of "Enthalpy" (convertToSI kind 0) and "MolecWeight" (kind 1).
enum class EnthalpyUnit : int { JPerKmol = 0, JPerMol = 1, KJPerMol = 2, CalPerMol = 3 };
enum class MolecWeightUnit : int { GPerMol = 0, KgPerMol = 1 };
enum class Phase : int { Gas = 0, Liquid = 1, Solid = 2 };

// Species need heat-capacity data; reactants may be defined at one temperature instead.
enum class SubstanceKind { Species, Reactant };

struct CompositionPair {
    double count = 0.0;
    std::string symbol;
    bool operator==(const CompositionPair& o) const { return count == o.count && symbol == o.symbol; }
};

// Cp/R = sum a[k] * T^exp[k]; b1 enters H/(RT) as b1/T, b2 is added to S/R.
struct CpInterval {
    double tmin = 0.0;
    double tmax = 0.0;
    double b1 = 0.0;
    double b2 = 0.0;
    std::vector<double> a;
    std::vector<double> exp;
    bool operator==(const CpInterval& o) const
    {
        return tmin == o.tmin && tmax == o.tmax && b1 == o.b1 && b2 == o.b2 && a == o.a && exp == o.exp;
    }
};

// ln(property) = A ln T + B/T + C/T^2 + D; micropoise or microwatt/(cm K).
struct TransportInterval {
    double tmin = 0.0;
    double tmax = 0.0;
    std::array<double, 4> coef{};
    bool operator==(const TransportInterval& o) const { return tmin == o.tmin && tmax == o.tmax && coef == o.coef; }
};

struct SpeciesEntry {
    std::vector<CompositionPair> composition;
    int phase = 0;
    double enthalpy = 0.0;
    int enthalpyUnit = 0;
    // Temperature at which a reactant without heat-capacity data is defined.
    std::optional<double> enthalpyTemperature;
    double molecWeight = 0.0;
    int molecWeightUnit = 0;
    std::vector<CpInterval> intervals; // absent key when empty
    std::vector<TransportInterval> viscosity; // absent key when empty
    std::vector<TransportInterval> conductivity; // absent key when empty
    bool isActive = true;

    bool operator==(const SpeciesEntry& o) const
    {
        return composition == o.composition && phase == o.phase && enthalpy == o.enthalpy
                && enthalpyUnit == o.enthalpyUnit && enthalpyTemperature == o.enthalpyTemperature
                && molecWeight == o.molecWeight && molecWeightUnit == o.molecWeightUnit && intervals == o.intervals
                && viscosity == o.viscosity && conductivity == o.conductivity && isActive == o.isActive;
    }
};

// A reactant has the layout of a species; it may leave out "Intervals" and then carries
// the temperature of its heat of formation as the third "Enthalpy" element.
struct ReactantEntry : SpeciesEntry {
    ReactantEntry() = default;
    explicit ReactantEntry(const SpeciesEntry& e) : SpeciesEntry(e) { }
};

// The most pairs, intervals and terms a stored entry may hold (8-bit counts in the engine).
constexpr std::size_t maxEntryItems = 255;

// The JSON object of an entry (keys come out sorted when serialised).
nlohmann::json toJson(const SpeciesEntry& entry);

// Reads an entry. Keys are looked up by name; a missing required key, a value of the
// wrong JSON type or a wrongly sized array gives nullopt with the reason in *error.
// Nothing is read out of bounds, whatever the document holds. The invariants below are
// not checked here (see validateEntry).
std::optional<SpeciesEntry> speciesEntryFromJson(const nlohmann::json& value, SubstanceKind kind,
                                                 std::string* error = nullptr);
inline std::optional<ReactantEntry> reactantEntryFromJson(const nlohmann::json& value, std::string* error = nullptr)
{
    auto e = speciesEntryFromJson(value, SubstanceKind::Reactant, error);
    if (!e)
        return std::nullopt;
    return ReactantEntry(*e);
}

// The rules of single values of an entry: one place for the editor's field checks and
// for validateEntry, and so for every reader of stored entries. NaN and infinity fail
// every rule.
// A composition count: above 0, except for the electron "E" (any finite count).
bool validCompositionCount(const std::string& symbol, double count);
// A heat of formation in its unit (index 0 to 3) in J/kmol, and a molar mass in its unit
// (index 0 or 1) in kg/kmol; NaN for another index. The rules below and the engine's
// records take an entry's values to SI through these.
double enthalpyInSI(double value, int unit);
double molarMassInSI(double value, int unit);
// A heat of formation in its unit: finite once converted to J/kmol.
bool validEnthalpy(double value, int unit);
// A molar mass in its unit: above 0 and finite once converted to kg/kmol.
bool validMolarMass(double value, int unit);
// The weight of a formula unit in g/mol: the sum of count x elementWeight over its pairs,
// electrons with their sign (a cation's E -1 takes one electron off). NaN for a symbol
// the element table lacks.
double formulaWeight(const std::vector<CompositionPair>& composition);
// How far a molar mass may lie from the weight of its formula, relative to that weight.
// The NASA Glenn tables' molar masses lie within 5e-4 of the weights of elementWeights
// (their older atomic weights and rounding: HAN, 96.0 for 96.04 g/mol), all but ADN's,
// 630 g/mol for the 124.06 g/mol of H4N4O4, which is refused. 1 % also takes a light
// molecule typed to whole grams (H2 as 2 for 2.016 g/mol) and refuses a unit or a digit
// gone wrong (H2 at 20.16 g/mol, O2 at 2 g/mol).
constexpr double molarMassTolerance = 0.01;
// A molar mass (in its unit) fits its formula: it lies within molarMassTolerance of the
// formula's weight, which must be above 0.
bool compositionFitsMolarMass(const std::vector<CompositionPair>& composition, double molarMass, int unit);
// The heat of formation per kilogram of the substance: at most 1e12 J/kg in magnitude,
// more than the energy that strips every electron from the heaviest atom (uranium, about
// 3e11 J/kg); the most energetic species of the NASA Glenn tables, H+, holds 1.5e9 J/kg.
bool enthalpyFitsMolarMass(double enthalpy, int enthalpyUnit, double molarMass, int molarMassUnit);
// The temperature at which a reactant without Cp data is defined [K]: above 0.
bool validFormationTemperature(double kelvin);
// A Cp interval's Tmin [K]: 0 or more, and at least the Tmax of the interval before it
// (touching intervals are allowed, overlapping ones are not).
bool validCpTmin(double tmin, std::optional<double> previousTmax);
// A Cp interval's Tmax [K]: above its Tmin.
bool validCpTmax(double tmin, double tmax);
// A transport interval's temperatures [K]: 0 or more (their order is free).
bool validTransportTemperature(double kelvin);

// What an entry is checked for: to be written (the editor and the importers) or to be
// read for a calculation (the loaders of stored entries). A loader takes a stored entry
// as the program reads it: a third "Enthalpy" element beside Cp intervals is accepted
// (a species ignores it, a reactant keeps it as its reference temperature), and a unit
// index the unit lists lack is left to the unit conversion, which raises U and keeps the
// value as stored (the rules that need that value in SI are then not applied; it must
// still be finite, and a molar mass above 0).
enum class EntryUse { Writing, Loading };

// The first invariant the entry breaks, as a message that names the value and the rule
// (the editor's field text first: "Invalid molecular weight: -18 (...)"), or an empty string:
// at least one composition pair, counts > 0 except for "E", known element symbols,
// phase and unit indices in range, molar mass > 0, the molar mass fitting the weight of
// the formula and the heat of formation within 1e12 J/kg (the rules above, values in
// SI), intervals ascending without overlap (0 <= Tmin < Tmax, Tmin >= previous Tmax),
// equal term counts of at least one, transport temperatures >= 0, "Intervals" absent
// only for a reactant and then with a defining temperature > 0 (and only then, when
// written), at most 255 of everything, finite numbers. The editor checks it before a
// save, the importers before they write and the loaders of stored entries before they
// use one.
std::string validateEntry(const SpeciesEntry& entry, SubstanceKind kind, EntryUse use = EntryUse::Writing);
