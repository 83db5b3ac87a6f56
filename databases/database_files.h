#pragma once
// Access to the three chemical databases (Species.json, Reactants.json, Kinetics.json).
// Every reader and writer of these files goes through here, so that they all treat a
// missing, unreadable or unparsable file alike:
//   - nothing at the path: the "missing" code of the file is raised, the document is empty;
//   - something at the path that cannot be opened: no code, the caller shows its message;
//   - content that is not JSON (or whose top level is not an object): the "corrupt" code
//     is raised and the document is empty, but the file must not be overwritten;
//   - a literal null reads as an empty object.
#include <string>

#include <nlohmann/json.hpp>

#include "core/data_file.h"
#include "core/flags.h"
#include "core/json_file.h"

// The databases of this subsystem, numbered as the file codes number them.
enum class ChemicalDatabase : int {
    Species = code::Species,
    Reactants = code::Reactants,
    Kinetics = code::Kinetics,
};

constexpr code::DataFile dataFileOf(ChemicalDatabase db)
{
    return static_cast<code::DataFile>(static_cast<int>(db));
}

// The path in use: the preference SPECIES, REACTANTS or KINETICS (or, while the
// preferences have not been loaded yet, the default below appDirectory).
std::string databasePath(ChemicalDatabase db);

// "species", "reactants" or "kinetics": the word the messages use for the file.
std::string databaseWord(ChemicalDatabase db);

// A database file read for one operation.
using DatabaseDocument = DataFileDocument;

// Reads the database at its preference path and raises F(2k) when missing and
// F(16+2k) when unparsable. A top level other than an object counts as unparsable.
DatabaseDocument readDatabase(ChemicalDatabase db);
DatabaseDocument readDatabaseAt(ChemicalDatabase db, const std::string& path);

// Serialises and atomically replaces the file. False (with the reason in *error)
// when nothing could be written; the previous file is then intact.
bool writeDatabase(const DatabaseDocument& doc, std::string* error = nullptr);

// The message shown when an operation that must modify the file refuses because the
// file exists but cannot be parsed, e.g. "Save aborted because the species file ...".
std::string corruptDatabaseMessage(ChemicalDatabase db, const std::string& operation, const std::string& path);
// The message shown when the final write failed.
std::string writeFailedMessage(ChemicalDatabase db, const std::string& path, const std::string& error);

// null, {} and [] are empty; numbers, strings and booleans never are.
bool isEmptyValue(const nlohmann::json& value);
// The document holds `name` with a value that is not empty.
bool holdsEntry(const nlohmann::json& document, const std::string& name);
