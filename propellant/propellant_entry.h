#pragma once
// Propellants.json: one JSON object mapping propellant names (never "Current") to entries
//   "Composition"  [[reactant, relative mass], ...]   row order; masses as typed, > 0
//   "ELEMENTS"     [symbol, ...]                       the reactants' symbols, then "E"
//   "Species"      [name, ...]                         species used in calculations
//   "Reactions"    [key, ...]                          reactions used in kinetic runs
//   "Density"      number                              only with solid-propellant data
//   "Units"        [pressure, burn rate, density]      unit indices, with "Density"
//   "Intervals"    [{"Pressure": [lower, upper] or [lower], "a": a, "n": n}, ...]
// Numbers are stored as typed with their unit indices beside them; the readers for
// calculations convert them. Written with keys in byte order, indent 4, one trailing
// newline (core/json_file.h).
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "propellant/entry_reading.h"

// One pressure interval of Vieille's burn law r = a p^n, as typed.
struct VielleInterval {
    double lower = 0.0; // in the pressure unit
    std::optional<double> upper; // none: the last interval, open above
    double a = 0.0; // in the burn-rate unit, for p in the pressure unit
    double n = 0.0;
    bool operator==(const VielleInterval& o) const
    {
        return lower == o.lower && upper == o.upper && a == o.a && n == o.n;
    }
};

// Unit indices of the solid-propellant data (the tab's unit boxes).
enum class PressureUnit : int { MPa = 0, Atm = 1, Bar = 2 };
enum class BurnRateUnit : int { MetrePerSecond = 0, MillimetrePerSecond = 1 };
enum class DensityUnit : int { GramPerCm3 = 0, KgPerM3 = 1 };

struct SolidPropellantData {
    double density = 0.0;
    int pressureUnit = 0; // PressureUnit
    int burnRateUnit = 0; // BurnRateUnit
    int densityUnit = 0; // DensityUnit
    std::vector<VielleInterval> intervals;
    bool operator==(const SolidPropellantData& o) const
    {
        return density == o.density && pressureUnit == o.pressureUnit && burnRateUnit == o.burnRateUnit
                && densityUnit == o.densityUnit && intervals == o.intervals;
    }
};

struct PropellantEntry {
    std::vector<CompositionRow> composition;
    std::vector<std::string> elements; // "ELEMENTS"
    std::vector<std::string> species;
    std::vector<std::string> reactions;
    std::optional<SolidPropellantData> solid; // "Density", "Units", "Intervals"
    bool operator==(const PropellantEntry& o) const
    {
        return composition == o.composition && elements == o.elements && species == o.species
                && reactions == o.reactions && solid == o.solid;
    }
};

// The entry's JSON object. "Reactions" is always written; the solid data only when present.
nlohmann::json toJson(const PropellantEntry& entry);

// The chemistry of an entry ("Composition", "ELEMENTS", "Species", "Reactions"); the
// solid data are left out. An absent or null list reads as empty; a list of another
// type, or an item that is not a string ([string, number] for "Composition"), makes the
// entry unreadable: nullopt, with the reason in *error.
std::optional<PropellantEntry> propellantChemistryFromJson(const nlohmann::json& entry, std::string* error = nullptr);

// The solid-propellant data of an entry. None (an empty optional inside a true result)
// when "Density" is absent, null, [] or {}, as a propellant saved without them is.
// Otherwise "Density" must be a number, "Units" three integers and every interval an
// object with "Pressure" (one or two numbers; a second element that is null, [] or {}
// counts as none), "a" and "n" numbers. An absent, null or empty "Intervals" gives no
// interval. False, with the reason in *error, for anything else.
bool solidDataFromJson(const nlohmann::json& entry, std::optional<SolidPropellantData>& solid,
                       std::string* error = nullptr);

// The whole entry: the chemistry and the solid data.
std::optional<PropellantEntry> propellantEntryFromJson(const nlohmann::json& entry, std::string* error = nullptr);
