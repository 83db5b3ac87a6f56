#pragma once
// Grains.json: the grains the user saved, one member per name. Every reader and writer
// of the file goes through here, so all of them treat a missing, unreadable or
// unparsable file alike and none of them overwrites a file it could not read.
//
// An entry (GrainEntry), keys in the file's (byte) order:
//   "Comb_type"  integer  0 radial and base, 1 radial, 2 base (always 2 for a frontal grain)
//   "Geo_type"   integer  0 cylindrical charges, 1 frontal grain, 2 star charges
//   "Parameters" array    0: [Dext, Di, L, N]  1: [L, D]  2: [Dext, Dpoint, Din, L, N, nStar]
//                         lengths as numbers with a fraction (50.0), counts as integers
//   "Points"     integer  samples of the burn-back curve, >= 2
//   "Units"      integer  unit of every length: 0 mm, 1 cm, 2 dm, 3 m (areas in its square)
// Lengths are stored as typed, in the entry's unit.
#include <optional>
#include <string>
#include <vector>

#include <QString>
#include <nlohmann/json.hpp>

#include "core/data_file.h"
#include "core/json_file.h"
#include "core/message_box.h"
#include "core/view_message.h"
#include "grain/grain_entry.h"
#include "grain/grain_model.h"

class QObject;

namespace grain {

nlohmann::json toJson(const GrainEntry& entry);
// The entry, or nothing when a key is missing or holds another JSON type, or the
// "Parameters" of a known geometry are too few or of the wrong kind. Value ranges are
// not judged here.
std::optional<GrainEntry> parseGrainEntry(const nlohmann::json& value);

// The field texts that loading an entry writes: decimals in the display format, counts
// as decimal integers. Only the struct of the entry's geometry is filled.
struct LoadedFields {
    QString samples;
    std::optional<CylindricalInputs> cylindrical;
    std::optional<FrontalInputs> frontal;
    std::optional<StarInputs> star;
};
LoadedFields fieldsOfEntry(const GrainEntry& entry);

// ---- The file ------------------------------------------------------------------------

// The preference GRAIN, or the default below appDirectory while it is unset.
std::string grainFilePath();

// Grains.json read for one operation.
using GrainDocument = DataFileDocument;

// Reads the file at grainFilePath(); raises F10 when it is missing and F26 when it
// cannot be parsed (a top level other than an object included).
GrainDocument readGrainFile();

// Serialised with the one JSON helper and replaced atomically. Refuses a document that
// was not read normally.
bool writeGrainFile(const GrainDocument& doc, std::string* error = nullptr);

// Texts of the messages of the store.
extern const char* const kGrainFileCannotOpen;
extern const char* const kSaveNotCompleted; // a save refused for the grain's values
QString grainFileCorruptMessage(const std::string& path);
QString grainFileWriteFailedMessage(const std::string& path, const std::string& error);

// ---- What the tab's save and delete do with the file ---------------------------------

// Why a name cannot be saved, or nothing when it can.
std::optional<QString> grainNameRefusal(const QString& name);

enum class SaveOutcome { Saved, Cancelled, Refused };

// Refuses a grain that breaks a rule of grainEntryFault (grain_limits.h), with nothing
// written; otherwise reads the file, asks before replacing a stored grain of that name
// (the question a child of `parent`) and writes. The refusals and the closing "Successful save" come
// back for the tab to show. Sets refreshFlag only after the file was written.
Reported<SaveOutcome> saveGrainEntry(QObject* parent, const std::string& name, const GrainEntry& entry);

// Removes `name` from `doc` (read by readGrainFile) and writes it back. False when
// nothing was written; a failed write comes back as a refusal.
Reported<bool> deleteGrainEntry(GrainDocument& doc, const std::string& name);

// The message boxes of the grain tab: modal children of the tab without title or icon.
MessageRequest grainTabMessage(Msg::Icon icon, const QString& text);

} // namespace grain
