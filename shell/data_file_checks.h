#pragma once
// The checks of the seven data files: find the file (falling back to its default place
// beside the executable), read it, ask the user to delete every stored item that lacks
// a member the rest of the program needs, and write the file back. The program runs
// all seven at start-up and one of them on a file the user switches to.
//
// A check never destroys what the user has: a file whose text cannot be read as a
// document of items is left exactly as it is, a refused deletion writes nothing, and
// every write replaces the file atomically.
//
// A check's value is false when a file that exists cannot be opened, a switch refuses
// an unparsable file, or the user keeps a faulty entry. The question about a faulty
// entry is asked during the check (its answer decides how the check goes on); what the
// check reports afterwards (a name given twice, a failed write) is handed back for the
// caller's view to show, in order, as boxes without parent.
#include <array>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/flags.h"
#include "core/view_message.h"

// Set by the "Do not show again" box of a check's question; every check resets it when
// it starts, so an answer reaches no further than the rest of the same check.
extern bool doNotShowAgain;

struct DataFileCheckOptions {
    // Start-up keeps an unparsable file as it is and goes on with an empty document (true result,
    // nothing written over it). A switch refuses it instead (false result, nothing written).
    bool refuseUnparsable = false;
};

Reported<bool> checkSpeciesFile(std::string path, DataFileCheckOptions options = {});
Reported<bool> checkReactantsFile(std::string path, DataFileCheckOptions options = {});
Reported<bool> checkKineticsFile(std::string path, DataFileCheckOptions options = {});
Reported<bool> checkPropellantsFile(std::string path, DataFileCheckOptions options = {});
Reported<bool> checkGrainsFile(std::string path, DataFileCheckOptions options = {});
Reported<bool> checkNozzlesFile(std::string path, DataFileCheckOptions options = {});
Reported<bool> checkConfigurationsFile(std::string path, DataFileCheckOptions options = {});

// What a check needs to know about one data file.
struct DataFileLayout {
    code::DataFile file; // places its codes in flagsF
    const char* word; // "Species": names the file in messages
    const char* defaultName; // "/Data/Species.json", below appDirectory
    std::string* preference; // &SPECIES: the path in use
    const char* prefix; // question text before the item's name
    std::vector<const char*> required; // members every entry must hold
    // Members required only while another member is absent: {needed, unless present}.
    std::vector<std::pair<const char*, const char*>> requiredUnless;
    bool codeForFaultyEntry; // a faulty entry raises the file's corrupted code
};

// The seven layouts in start-up order: Species, Reactants, Kinetics, Propellants,
// Grains, Nozzles, Configurations.
const std::array<DataFileLayout, 7>& dataFileLayouts();
const DataFileLayout& dataFileLayout(code::DataFile file);

// The one algorithm behind the seven checkers.
Reported<bool> checkDataFile(const DataFileLayout& layout, std::string path, DataFileCheckOptions options = {});

// An entry lacks a required member: it is not an object, or a required member is
// missing, null, an empty object or an empty array ("", 0 and false are present).
bool entryIsFaulty(const DataFileLayout& layout, const nlohmann::json& entry);

// The informative text of the question about a faulty entry.
extern const char* const deleteFaultyEntryQuestion;
extern const char* const doNotShowAgainText;

// The start-up message when a check fails: "<Word> file could not be opened, ...".
std::string dataFileOpenFailedAtStart(const DataFileLayout& layout);
