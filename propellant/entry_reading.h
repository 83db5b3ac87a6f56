#pragma once
// The entry reading: how a stored species or reactant entry (Species.json,
// Reactants.json) becomes the engine's Species record. Both the loader of stored
// propellants and the propellant tab build their records here, so a propellant gives the
// same mixture whichever of them builds it.
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "databases/species_entry.h"
#include "engine/species.h"

// The record of the entry stored under `name`. Heat of formation and molar mass are
// converted to SI (J/kmol, kg/kmol) by convertToSI: a unit index the lists lack raises U
// and keeps the value as stored. The term count is that of the first Cp interval.
// Reference temperature: -1 for a species (a third "Enthalpy" element is ignored); for a
// reactant the third "Enthalpy" element when there is one, with or without Cp intervals,
// else -1. The amount (moles) is left at 0.
// nullptr when the entry cannot be a record: null, not an object, a missing key or a
// value of the wrong type; or when it breaks a rule of the species and reactant editor
// as a loader applies them (validateEntry with EntryUse::Loading: a species without Cp
// intervals, intervals out of order, a molar mass not above 0 or not fitting its
// formula, a formation temperature not above 0, counts or enthalpies not finite, more
// than 255 pairs, intervals or terms ...), the rule's message then in *brokenRule.
std::shared_ptr<Species> speciesRecord(const std::string& name, const nlohmann::json& entry, SubstanceKind kind,
                                       std::string* brokenRule = nullptr);

// A reactant of a propellant: its name and its relative mass as typed (any scale).
struct CompositionRow {
    std::string reactant;
    double relativeMass = 0.0;
    bool operator==(const CompositionRow& o) const { return reactant == o.reactant && relativeMass == o.relativeMass; }
};

// Amount of one reactant in kmol per kg of propellant: its share of the relative masses
// over its molar mass (kg/kmol).
double reactantAmount(double relativeMass, double relativeMassSum, double molarMass);

// The records of the named species of `speciesDoc`, in order. False, with the first name
// that has no usable entry in *failedName, when one is missing, unreadable or breaks an
// entry rule (its message then in *brokenRule, which stays empty otherwise).
bool buildSpeciesRecords(const std::vector<std::string>& names, const nlohmann::json& speciesDoc,
                         std::vector<std::shared_ptr<Species>>& records, std::string* failedName = nullptr,
                         std::string* brokenRule = nullptr);

// The records of the composition's reactants from `reactantsDoc`, in row order, each
// with its amount set. False as above.
bool buildReactantRecords(const std::vector<CompositionRow>& composition, const nlohmann::json& reactantsDoc,
                          std::vector<std::shared_ptr<Species>>& records, std::string* failedName = nullptr,
                          std::string* brokenRule = nullptr);

// The element list handed to a mixture: the given symbols in order, each once, with the
// electron "E" once and last. The equilibrium solver needs the electron row last, and a
// repeated row would make its element system singular.
std::vector<std::string> mixtureElements(const std::vector<std::string>& symbols);
