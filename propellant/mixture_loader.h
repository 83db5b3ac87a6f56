#pragma once
// The mixture of a stored propellant, for the calculation tab and the nozzle
// optimisation: a Propellants.json entry turned into the engine's Mixture with the
// species, reactant and reaction entries of Species.json, Reactants.json and
// Kinetics.json.
#include <memory>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/view_message.h"
#include "engine/mixture.h"

// The three chemical databases a mixture is built from, as read.
struct MixtureDatabases {
    const nlohmann::json& reactants;
    const nlohmann::json& species;
    const nlohmann::json& kinetics;
};

// Builds the mixture of one propellant entry (null or absent: a mixture of empty lists,
// which its own checks refuse) from the databases. When `speciesOut` is given it
// receives the entry's "Species" names. The boxes of the build (the propellant
// providers' parentless box, providerViewMessage) are appended to `refusals`, never null,
// in the order they arise, for the caller's view to show; nothing is shown here.
//
// - Species (Tref -1) and reactants (with their amounts, kmol per kg) are read by the
//   entry reading; the element list is "ELEMENTS" with "E" once and last.
// - A reaction whose "Reactants" or "Products" is empty or absent is left out. A
//   participant that is not among the entry's species gets a box ("Reaction reactant '"
//   + name + "' could not be found in composition", or "Reaction product '" ...), raises
//   L04 and is left out; the load goes on. Third bodies are kept in reverse stored order;
//   one that is not among the species is dropped and raises SP13. A reaction that lists
//   third bodies keeps its third body [M] even when none of them is kept (every species
//   then counts with efficiency 1). Ea stored in J/mol is converted to cal/mol.
// - A species, reactant or reaction that its database lacks, holds as null or cannot
//   read raises L04, L05 or L06 and gives the empty mixture; so do counts that would not
//   fit the records (L04 to L06 by kind, L07 for the mixture's own counts). An entry that
//   cannot be read gives the empty mixture with L07.
// - A species or reactant entry that breaks a rule of the species and reactant editor
//   (validateEntry) gives the empty mixture with L07 and a box naming it ("Invalid specie
//   'H2O' in the species database, propellant load failed", or "Invalid reactant '" ...
//   "' in the reactants database, ...") with the rule as its informative text: an entry
//   is used only as the editor would have saved it.
std::shared_ptr<Mixture> assemblePropellantMixture(const nlohmann::json& entry, const MixtureDatabases& databases,
                                                   ViewMessages* refusals,
                                                   std::vector<std::string>* speciesOut = nullptr);

// Reads Propellants.json, Reactants.json, Species.json and Kinetics.json (in this order)
// and builds the mixture of the propellant `name`. Never empty: on a file problem the
// empty mixture, which carries L07. A missing file raises its F code silently (a missing
// Kinetics.json fails even a propellant without reactions); one that cannot be opened or
// parsed gets a box without parent (parsing failures also raise their F code). The boxes,
// the file's and those of the build, are appended to `refusals` (never null) for the
// caller's view to show; the loader shows nothing.
// The caller clears the propellant's L bits before the call and reads them afterwards.
std::shared_ptr<Mixture> loadPropellantMixture(const std::string& name, ViewMessages* refusals,
                                               std::vector<std::string>* speciesOut = nullptr);
