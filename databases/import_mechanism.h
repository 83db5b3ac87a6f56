#pragma once
// Import of reaction mechanisms in the CHEMKIN layout into Kinetics.json.
//
//   ELEMENTS  H O  END
//   SPECIES   H2 H O O2 OH H2O HO2 H2O2  END
//   (anything, e.g. a THERMO section)
//   REACTIONS
//   2O+M<=>O2+M                              1.200E+17   -1.000        .00
//   H2/ 2.40/ H2O/15.40/
//   2OH(+M)<=>H2O2(+M)                       7.400E+13    -.370        .00
//        LOW  /  2.300E+18    -.900  -1700.00/
//   ...
//   END
//
// The keywords are written in full, in capitals. A reaction line holds the equation and,
// after at least three blanks (or two tabs), A (mol, cm3, s, K), b and Ea (cal/mol); the
// numbers may also stand alone on the next line. "<=>" and "=" are reversible, "=>" is
// forward only. A leading number of a term is its coefficient ("2OH" is OH twice).
// Third bodies:
//   - "+M" makes a third-body reaction; its efficiency line ("H2/2.0/ H2O/6.0/") gives the
//     efficiencies of the species it names (others count 1). Without such a line it is
//     stored with the single efficiency [first reactant, 1.0], so that the third-body
//     concentration is the sum of all concentrations.
//   - "(+M)" (or a named collider "(+AR)") marks a fall-off reaction: it is stored with its
//     high-pressure rate and no third body; its LOW and TROE lines and its efficiencies
//     are passed over.
// LOW, TROE, PLOG, DUP and DUPLICATE lines are passed over; the members of a duplicate
// pair are both kept, the second under its key followed by " (2)". Lines this reader
// does not support (REV, SRI, HIGH, FORD, ...) fail the import rather than being
// silently misread. A reaction naming a species that is not in the SPECIES list is
// dropped as a whole, and the user is told how many were.
#include <string>
#include <string_view>
#include <vector>

#include "databases/import_common.h"
#include "databases/reaction_entry.h"

struct MechanismReaction {
    std::size_t line = 0; // line of the equation, from 1
    std::string equation; // as written
    std::vector<ReactionTerm> reactants;
    std::vector<ReactionTerm> products;
    bool forward = false; // "=>"
    bool thirdBody = false; // "+M"
    bool falloff = false; // "(+M)"
    std::vector<ReactionTerm> efficiencies; // of species of the file, in the order read
    double A = 0.0;
    double b = 0.0;
    double Ea = 0.0;
    bool duplicate = false; // followed by DUP or DUPLICATE
    std::vector<std::string> unknownTerms; // terms naming no species of the file
};

struct MechanismParseResult {
    bool ok = false;
    std::string detail; // why the file could not be read, with the line number
    std::vector<std::string> elements;
    std::vector<std::string> species;
    std::vector<MechanismReaction> reactions; // including those with unknown terms
};

MechanismParseResult parseMechanismText(std::string_view text);

// "1H + 1O2 = 1O + 1OH": each term its coefficient (general format, 6 digits) followed by
// the name, terms joined by " + ", sides by " = ".
std::string mechanismReactionKey(const std::vector<ReactionTerm>& reactants, const std::vector<ReactionTerm>& products);

// The entry a reaction becomes ("A" [A, 0], "Ea" [Ea, 0], third body as described above).
ReactionEntry mechanismReactionEntry(const MechanismReaction& reaction);

// Imports the file into the kinetics database at `databaseFile` (empty: the path in use).
// - The database is read first, as for the other imports (missing: F04 and an empty
//   document; cannot be opened: "Read aborted because kinetics file could not be opened,
//   close it or change its accesibility restrictions"; cannot be parsed: reported, never
//   overwritten).
// - A file that cannot be read fails with nothing stored; `detail` says why.
// - Each reaction is stored under its key. An existing key is replaced only after "You
//   are about to overwrite saved data for reaction '<key>'. Continue?". For a new key,
//   every stored entry (other than those of this import) with the same reactants and
//   products is removed only after "A save with the same described reaction as '<key>'
//   already exists. Continue?"; the new reaction is stored in either case. Both
//   questions carry "Do not show again".
// - Dropped reactions are reported in one box: "<n> reactions were not imported: they
//   name species that are not in the SPECIES list" ("1 reaction was not imported: it
//   names a species that is not in the SPECIES list"), with the equations as details.
// - The database is written once, at the end; a failed write is reported.
ImportOutcome importMechanismFile(const std::string& filePath, const ImportCallbacks& callbacks,
                                  const std::string& databaseFile = {});

// Cantera files are offered by the file dialog's filter but cannot be read; the browser
// shows this instead of trying.
inline constexpr const char* kCanteraNotSupported = "Cantera files are not supported";
