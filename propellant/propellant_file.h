#pragma once
// Access to Propellants.json, treated as the chemical databases are: nothing at the path
// raises F06 and gives an empty document; a file that cannot be opened raises nothing
// (the caller shows its message); content that is not a JSON object raises F22, gives an
// empty document and must never be written over; a literal null reads as empty.
#include <string>

#include <nlohmann/json.hpp>

#include "core/data_file.h"
#include "core/json_file.h"

// The path in use: the preference PROPELLANT, or (before the preferences are loaded)
// "/Data/Propellants.json" below appDirectory.
std::string propellantFilePath();

// Propellants.json read for one operation.
using PropellantDocument = DataFileDocument;

PropellantDocument readPropellantFile();

// Atomically replaces the file; false (the file untouched) when it cannot be written or
// when the document was read from a file whose content could not be parsed.
bool writePropellantFile(const PropellantDocument& doc, std::string* error = nullptr);
