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

// The first invariant the entry breaks, as a message, or an empty string:
// at least one composition pair, counts > 0 except for "E", known element symbols,
// phase and unit indices in range, molar mass > 0, intervals ascending without overlap
// (0 <= Tmin < Tmax, Tmin >= previous Tmax), equal term counts of at least one,
// transport temperatures >= 0, "Intervals" absent only for a reactant and then with a
// defining temperature > 0 (and only then), at most 255 of everything, finite numbers.
std::string validateEntry(const SpeciesEntry& entry, SubstanceKind kind);
