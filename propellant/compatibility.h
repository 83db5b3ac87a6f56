#pragma once
// How the propellant tab keeps the process-wide compatibility lists
// (databases/compatible_lists.h) in step with its reactant rows and the database files,
// and how it verifies the user's selection of reactions before a save. Their refusals
// come back for the tab to show: those of the updates as its children (critical icon),
// that of the verification without a parent and with the program's window icon.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <nlohmann/json.hpp>

#include "core/view_message.h"
#include "databases/compatible_lists.h"
#include "databases/database_files.h"

// Rebuilds propellantElements and compatibleSpecies from the reactant rows (display
// order). Both are emptied first; a missing Reactants.json or Species.json (F02, F00)
// ends the update with both empty; one that cannot be opened or parsed (F18, F16) is
// refused ("... file could not be opened, ...", "... file was corrupted, save process
// aborted") and ends it likewise.
ViewMessages updateCompatibleSpeciesFor(const std::vector<std::string>& reactantRows);

// check false: rebuilds compatibleReactions from compatibleSpecies and Kinetics.json.
// check true: leaves the list as it is and verifies that no active compatible reaction
// has a compatible participant that is not selected (refusing the first one found).
// Missing files (F00, F04) read as empty; false when a file cannot be opened or parsed
// or when the verification fails, with the refusal.
Reported<bool> updateCompatibleReactionsFor(bool check);

// The first active reaction of `reactions` (in the key order of the kinetics document)
// with a reactant, then a product, that is one of `species` but not selected ("isActive"
// not true, or no entry at all) in the species document.
struct UnselectedParticipant {
    std::string reaction;
    bool product = false; // the participant is a product (else a reactant)
};
std::optional<UnselectedParticipant> findUnselectedParticipant(const std::vector<std::string>& reactions,
                                                               const std::vector<std::string>& species,
                                                               const nlohmann::json& speciesDoc,
                                                               const nlohmann::json& kineticsDoc);

// The names of `names` whose entry in `doc` is an object with "isActive" true, in order.
std::vector<std::string> activeNames(const std::vector<std::string>& names, const nlohmann::json& doc);

// Reads a database for an operation of the tab: a missing file gives its empty document
// (code raised); one that cannot be opened or parsed gives nullopt and the refusal
// ("<operation> process aborted" for the latter).
Reported<std::optional<DatabaseDocument>> readDatabaseForTab(ChemicalDatabase db, const char* operation);

// Reads `first`, then `second`, for an operation of the tab as readDatabaseForTab reads
// each: nullopt with the refusal of the first that cannot be opened or parsed (the
// second is then not read).
Reported<std::optional<std::pair<DatabaseDocument, DatabaseDocument>>>
readDatabasesForTab(ChemicalDatabase first, ChemicalDatabase second, const char* operation);

// "Species", "Reactants" or "Kinetics": the file's word in the tab's messages.
QString databaseLabel(ChemicalDatabase db);
