#pragma once
// Import of transport data files in the NASA Glenn layout: viscosity and conductivity
// fits added to entries that already exist in Species.json or Reactants.json.
//
//   transport property coefficients          header (optional, lower case)
//   Ar                                V3C3  free text
//    V  200.0   1000.0   0.61205763E 00-0.67714354E 02 0.19040660E 03 0.21588272E 01
//    ...                                     nV "V" lines, then nC "C" lines
//   end                                      (optional)
//
// Each interval line holds Tmin, Tmax and A, B, C, D of
// ln(property) = A ln T + B/T + C/T^2 + D. The exponents of the published file are often
// written with a blank sign ("E 00") and are read as such. A record naming two species
// before the counts ("C  O  V1C0") holds binary interaction data; it is passed over, since
// the databases keep pure-species fits only.
#include <string>
#include <string_view>
#include <vector>

#include "databases/database_files.h"
#include "databases/import_common.h"
#include "databases/species_entry.h"

struct TransportRecord {
    std::string name;
    std::size_t line = 0; // line of the name, from 1
    bool binary = false; // interaction record of two species: not imported
    std::vector<TransportInterval> viscosity;
    std::vector<TransportInterval> conductivity;
};

// When !ok: the record message ("Invalid number of viscosity intervals: x", "Bad format,
// start of viscosity interval could not be found", "Error reading viscosity data for:
// Ar", ... and the conductivity equivalents), or the detail of a failure without one.
struct TransportParseResult : RecordReadResult {
    std::vector<TransportRecord> records;
};

TransportParseResult parseTransportText(std::string_view text);

// Imports the file into the species (db Species) or reactants (db Reactants) database at
// `databaseFile` (empty: the path in use).
// - Database access, record failures and the single write at the end as for the
//   thermodynamic import (nothing is written when a record cannot be read, or when the
//   file holds no record at all).
// - A name the database does not hold: "No specie named '<name>' could be found in
//   specie database. Data will NOT be read"; the record is passed over and the import
//   goes on (several such names are reported in one box).
// - An entry that already has viscosity or conductivity data: "You are about to
//   overwrite viscosity and/or conductivity data for specie '<name>'. Continue?"; Yes
//   removes both before the record's data are added, Cancel keeps the entry as it is.
// - A count of 0 adds nothing of that kind. The entry's other keys are left as they were.
ImportOutcome importTransportFile(const std::string& filePath, ChemicalDatabase db, const ImportCallbacks& callbacks,
                                  const std::string& databaseFile = {});
