#pragma once
// Import of thermodynamic data files in the NASA Glenn ".inp" layout into Species.json
// or Reactants.json.
//
// Per record: a name line; a line with the interval count, the reference code, five
// element slots, the phase, the molar mass (g/mol) and the heat of formation (J/mol);
// then three lines per temperature interval (Tmin, Tmax and seven exponents; seven
// coefficients and the two integration constants over two lines). The published file
// is read in its fixed columns where the columns matter: the interval count written
// straight after Tmax ("1000.0007") is not part of Tmax, the phase digit touching the
// molar mass of the electron record is told apart, element slots such as
// "N 1.5617O .41959AR.00937" are read slot by slot, and b1, b2 are the last two numbers
// of an interval's last line (a genuine zero b1 stays b1). Numbers may use the Fortran
// "D" exponent. A record with no interval is a reactant defined at one temperature, the
// temperature on the line that follows it.
//
// The file's products section ends with "END PRODUCTS"; importing species stops there.
// Importing reactants reads on through the reactants section, to "END REACTANTS".
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "databases/database_files.h"
#include "databases/import_common.h"
#include "databases/species_entry.h"

// One record as the file writes it, before any check of its content.
struct ThermoRecord {
    std::string name;
    std::size_t line = 0; // line of the name, from 1
    unsigned intervalCount = 0;
    std::vector<CompositionPair> composition; // symbols as written ("CL", "AR", "E")
    unsigned phaseField = 0; // 0 gas, anything else condensed
    double molecWeight = 0.0; // g/mol
    double enthalpy = 0.0; // J/mol
    std::optional<double> referenceTemperature; // records without intervals
    std::vector<CpInterval> intervals;
};

// When !ok: the message of the record that could not be read ("Invalid Tmin for specie:
// Ar", ...; an unreadable phase is followed by "Invalid molecular weight for specie: "),
// or the detail of a failure without a message of its own.
struct ThermoParseResult : RecordReadResult {
    std::vector<ThermoRecord> records;
};

// Reads the whole text. `target` decides where reading ends: Species stops at the first
// END (or end) line, Reactants passes over "END PRODUCTS" and stops at the next END.
ThermoParseResult parseThermoText(std::string_view text, ChemicalDatabase target);

// The entry a record becomes: "Phase" 0 for a gas and 1 for any condensed phase,
// "MolecWeight" [M, 0] (g/mol), "Enthalpy" [h, 1] (J/mol), or [h, 1, T] for a reactant
// without intervals, the intervals with seven terms each, "isActive" true. Element
// symbols of two letters get their second letter in lower case ("CL" -> "Cl").
// A record the databases cannot hold is refused with the message to show:
//   "Invalid atom: " + symbol, "Error reading composition for: " + name,
//   "Invalid molecular weight for specie: " + name,
//   "Invalid number of intervals for specie: " + name (no interval in the species
//   database, or none left once the intervals with Tmin >= Tmax, which cover no
//   temperature, are left out),
//   "Invalid data for specie: " + name (details: the rule it breaks).
struct ThermoEntryResult {
    std::optional<SpeciesEntry> entry;
    std::string refusal;
    std::string details;
};
ThermoEntryResult thermoRecordToEntry(const ThermoRecord& record, ChemicalDatabase target);

// Imports the file at `filePath` into the species (target Species) or reactants
// (target Reactants) database at `databaseFile` (empty: the path in use,
// databasePath(target)).
//
// - The database is read first: missing raises F00/F02 and the import starts from an
//   empty document; a file that cannot be opened is reported ("Read aborted because
//   species file could not be opened, close it or change its accesibility
//   restrictions", or the reactants variant); one that cannot be parsed is reported and
//   never overwritten. Both end the import with nothing written.
// - A record that cannot be read ends the import with its message and nothing written.
// - A file from which no record is read (empty, blank, comments only, a folder) fails
//   with the detail kNoRecordRead (or why it could not be opened); nothing is written.
// - Names are decoded once (Latin-1 where a line is not UTF-8, see decodeToUtf8).
// - A record whose content is invalid is refused (its message is shown, after the
//   reading, one box for all refusals) and the others are imported; when every record
//   was refused the import fails.
// - An existing entry is replaced only after the question "You are about to overwrite
//   saved data for specie '<name>'. Continue?" (with "Do not show again"); a replaced
//   entry loses its viscosity and conductivity data.
// - The database is written once, at the end; a failed write is reported and fails the
//   import.
ImportOutcome importThermoFile(const std::string& filePath, ChemicalDatabase target, const ImportCallbacks& callbacks,
                               const std::string& databaseFile = {});
