#pragma once
// A data file of the program read for one operation: one JSON object keyed by item name
// (species, reactants, reactions, propellants, grains, nozzles, configurations). Every
// store reads and writes its file through these two functions, so the file codes and
// the rule that a file whose content could not be read is never replaced hold alike.
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/flags.h"
#include "core/json_file.h"

struct DataFileDocument {
    JsonReadStatus status = JsonReadStatus::Missing;
    std::string path;
    nlohmann::json document = nlohmann::json::object(); // always an object
    std::vector<DuplicateName> duplicates; // names given twice: why the file is Unparsable

    // The file could be opened (it may still have been missing or unparsable).
    bool opened() const { return status != JsonReadStatus::CannotOpen; }
    // Writing the document back would not destroy data the user has: the file was
    // read normally or did not exist.
    bool writable() const { return status == JsonReadStatus::Ok || status == JsonReadStatus::Missing; }
    // The item names, in the document's (byte) order.
    std::vector<std::string> names() const;
};

// Reads the file at `path`, raising the not-found code of `file` when it is missing and
// its corrupted code when it cannot be parsed; a top level other than an object (null
// aside, which reads as empty) counts as unparsable. A file that exists but cannot be
// opened raises nothing: the caller says so in its own words.
DataFileDocument readDataFile(const std::string& path, code::DataFile file);

// Atomically replaces the file with the document; false (the file untouched, `error`
// saying why) when it cannot be written or when the document was read from a file
// whose content could not be parsed or opened.
bool writeDataFile(const DataFileDocument& doc, std::string* error = nullptr);
