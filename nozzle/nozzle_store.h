#pragma once
// Nozzles.json: one JSON object keyed by nozzle name, each member a NozzleEntry
//   "Options":    Type 0 a boolean (convergent given as length); Type 1 four booleans
//                 (convergent as length, divergent as length, entrance/exit fillets,
//                 throat fillet)
//   "Parameters": 10 numbers (Type 0) or 7 (Type 1), the contour routines' layout, as
//                 typed: lengths in "Units", angles in degrees
//   "Points":     station count
//   "Type":       0 Bezier (parabolic), 1 conical
//   "Units":      0 mm, 1 cm, 2 dm, 3 m
// Every operation reads the whole file and rewrites it whole through the one JSON
// helper. A missing file reads as empty (F08), an unparsable one as empty too (F24) but
// is never overwritten.
#include <cstdint>
#include <string>
#include <vector>

#include <QString>
#include <nlohmann/json.hpp>

#include "core/data_file.h"
#include "core/json_file.h"
#include "core/view_message.h"

class QObject;

struct NozzleEntry {
    int units = 0;
    int type = 0;
    uint32_t points = 0;
    std::vector<bool> options; // 1 (Type 0) or 4 (Type 1)
    std::vector<double> parameters; // 10 (Type 0) or 7 (Type 1)
};

// The path in use: the preference NOZZLE, or its default below appDirectory while the
// preferences have not been loaded.
std::string nozzleFilePath();

// Nozzles.json read for one operation.
using NozzleDocument = DataFileDocument;

// Reads Nozzles.json; raises F08 when it is missing and F24 when it cannot be parsed
// (or is not a JSON object). An existing file that cannot be opened raises nothing: the
// caller reports it.
NozzleDocument readNozzleFile();

extern const char* const nozzleFileCannotOpenMessage;

nlohmann::json nozzleEntryToJson(const NozzleEntry& entry);
// False when a key is missing, a value has another JSON type or the arrays have the
// wrong length for the type; a "Type" other than 0 and 1 is also refused (no contour).
bool parseNozzleEntry(const nlohmann::json& value, NozzleEntry& entry);

enum class StoreResult { Written, Cancelled, Refused };

// Saves `entry` under `name` (the name and the form were checked before): reads the file,
// refuses to touch one that cannot be opened or parsed, asks before replacing a
// non-empty member of the same name (the question a child of `parent`), writes and sets
// refreshFlag. The refusals and the closing "Successful save" come back for the tab to
// show.
Reported<StoreResult> saveNozzleEntry(QObject* parent, const std::string& name, const NozzleEntry& entry);

// Removes `name` from the document that was read and writes it back (no message on
// success; a failed write comes back as a refusal). Deleting never sets refreshFlag.
Reported<StoreResult> deleteNozzleEntry(NozzleDocument& doc, const std::string& name);
