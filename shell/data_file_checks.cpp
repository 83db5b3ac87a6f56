#include "shell/data_file_checks.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include <QString>

#include "core/json_file.h"
#include "core/message_box.h"
#include "core/preferences.h"

using nlohmann::json;

bool doNotShowAgain = false;

const char* const deleteFaultyEntryQuestion = "Do you want to delete it? (Not deleting it will close the software)";
const char* const doNotShowAgainText = "Do not show again";

namespace {

// clang-format off
const std::array<DataFileLayout, 7> layouts = {{
    {code::Species, "Species", "/Data/Species.json", &SPECIES,
     "Problems were found for specie ",
     {"Intervals", "Phase", "Enthalpy", "MolecWeight", "Composition", "isActive"}, {}, true},
    {code::Reactants, "Reactants", "/Data/Reactants.json", &REACTANTS,
     "Problems were found for reactant ",
     {"Phase", "Enthalpy", "MolecWeight", "Composition", "isActive"}, {}, false},
    {code::Kinetics, "Kinetics", "/Data/Kinetics.json", &KINETICS,
     "Problems were found for reaction ",
     {"Reactants", "Products", "Forward", "Ea", "A", "b", "isActive"}, {}, false},
    {code::Propellants, "Propellants", "/Data/Propellants.json", &PROPELLANT,
     "Problems were found for propellant ",
     {"Composition", "ELEMENTS", "Species"}, {}, false},
    {code::Grains, "Grains", "/Data/Grains.json", &GRAIN,
     "Problems were found for grain geometry  ",
     {"Geo_type", "Units", "Comb_type", "Points", "Parameters"}, {}, false},
    {code::Nozzles, "Nozzles", "/Data/Nozzles.json", &NOZZLE,
     "Problems were found for nozzle ",
     {"Units", "Type", "Points", "Options", "Parameters"}, {}, false},
    // A run at a given chamber pressure needs "Pressure", a grain run takes its pressure
    // from the grain; a kinetic run needs no freezing station.
    {code::Configurations, "Configurations", "/Data/Configurations.json", &CONFIGURATIONS,
     "Problems were found for configuration ",
     {"Propellant", "Nozzle", "FAC", "Calculate transport", "Ambient Pressure", "Uniform reactant T"},
     {{"Pressure", "Grain"}, {"Frozen", "ODK"}}, false},
}};
// clang-format on

// Missing, null, an empty object or an empty array; a string, number or boolean is
// always present.
bool isEmptyMember(const json& entry, const char* key)
{
    auto it = entry.find(key);
    if (it == entry.end() || it->is_null())
        return true;
    return (it->is_object() || it->is_array()) && it->empty();
}

bool isEmptyDocument(const json& document)
{
    return document.is_null() || ((document.is_object() || document.is_array()) && document.empty());
}

bool exists(const std::string& path)
{
    std::error_code ec;
    const bool present = std::filesystem::exists(path, ec);
    return present || ec; // what cannot be looked at is not taken for missing
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// The document of one check and what became of it.
struct CheckedDocument {
    json document = json::object();
    bool existed = false; // read from a file (not created)
    bool keepFile = false; // the file's text could not be read as a document: never replaced
    bool changed = false; // entries were deleted
};

enum class ReadOutcome { Read, CannotOpen, Refused };

// A box of a check for the caller's view: untitled, with the program's icon, without
// parent (the start-up and the switches show the same boxes).
ViewMessage checkBox(Msg::Icon icon, const QString& text, const QString& informativeText)
{
    MessageRequest request;
    request.icon = icon;
    request.title = QString();
    request.windowIcon = true;
    request.text = text;
    request.informativeText = informativeText;
    return ViewMessage{request, true};
}

// The code alone ("... was corrupted") does not say what to repair in a file that gives
// one name twice: the user is told which name, and that the file was kept as it is.
ViewMessage duplicateNamesBox(const DataFileLayout& layout, const std::string& path,
                              const std::vector<DuplicateName>& duplicates)
{
    return checkBox(Msg::Warning,
                    QString::fromUtf8(layout.word) + QStringLiteral(" file gives the same name more than once: ")
                            + QString::fromStdString(describeDuplicateNames(duplicates)),
                    QStringLiteral("The file was left unchanged and none of its items can be used until every name in "
                                   "it is given once. Rename or remove the extra entries by hand in ")
                            + QString::fromStdString(path));
}

// Reads an existing file into `doc`; a text that is not a document of items raises
// `corruptCode` and leaves the file alone (or refuses it).
ReadOutcome readExisting(const DataFileLayout& layout, const std::string& path, uint32_t corruptCode,
                         const DataFileCheckOptions& options, CheckedDocument& doc, ViewMessages& messages)
{
    JsonReadResult read = readJsonFile(path);
    if (!read.duplicates.empty())
        messages.push_back(duplicateNamesBox(layout, path, read.duplicates));
    if (read.status == JsonReadStatus::CannotOpen)
        return ReadOutcome::CannotOpen; // also a folder standing where the file should be
    if (read.status == JsonReadStatus::Missing) {
        // vanished between the look and the read: nothing to keep
        doc.existed = false;
        return ReadOutcome::Read;
    }
    // Valid JSON that is not an object of items (a number, a non-empty list) is as
    // unusable as text that does not parse.
    const bool usable
            = read.status == JsonReadStatus::Ok && (read.document.is_object() || isEmptyDocument(read.document));
    if (!usable) {
        if (options.refuseUnparsable)
            return ReadOutcome::Refused;
        raiseFlag(flagsF, corruptCode);
        doc.keepFile = true;
        doc.existed = true;
        return ReadOutcome::Read;
    }
    doc.existed = true;
    doc.document = read.document.is_object() ? std::move(read.document) : json::object();
    return ReadOutcome::Read;
}

// Writes the checked document back where it belongs. An empty document that was read
// is left as the user wrote it ("null", "[]"); a text already in the program's layout
// is not rewritten. A missing folder means nothing is written; any other failed write
// that loses a change (a deletion, a new file) is reported in `messages`.
void writeBack(const DataFileLayout& layout, const std::string& path, const CheckedDocument& doc,
               ViewMessages& messages)
{
    if (doc.keepFile)
        return;
    if (doc.existed && !doc.changed && doc.document.empty())
        return;
    if (doc.existed && !doc.changed && fileText(path) == serializeJson(doc.document))
        return;
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
        return;
    std::string error;
    if (writeJsonFile(path, doc.document, &error))
        return;
    if (doc.changed || !doc.existed) {
        MessageRequest request; // titled "KAVRO", with the program's icon
        request.icon = Msg::Critical;
        request.text = QString::fromUtf8(layout.word) + QStringLiteral(" file could not be written: ")
                + QString::fromStdString(path);
        request.informativeText = QString::fromStdString(error);
        messages.push_back(ViewMessage{request, true});
    }
}

// Asks whether the faulty entry `name` may be deleted; true for Yes. The answer decides
// how the check goes on, so it is asked here, in the middle of the check, through the
// message seam.
bool consentToDelete(const DataFileLayout& layout, const std::string& name)
{
    MessageRequest request;
    request.icon = Msg::Critical;
    request.title = QString();
    request.windowIcon = true;
    request.text = QString::fromUtf8(layout.prefix) + QString::fromStdString(name);
    request.informativeText = QString::fromUtf8(deleteFaultyEntryQuestion);
    request.buttons = Msg::Yes | Msg::No;
    request.defaultButton = Msg::Yes;
    request.checkBoxText = QString::fromUtf8(doNotShowAgainText);
    const MessageReply reply = showMessage(nullptr, request);
    doNotShowAgain = reply.checked;
    return reply.button == Msg::Yes;
}

} // namespace

const std::array<DataFileLayout, 7>& dataFileLayouts()
{
    return layouts;
}

const DataFileLayout& dataFileLayout(code::DataFile file)
{
    for (const DataFileLayout& layout : layouts)
        if (layout.file == file)
            return layout;
    return layouts.front();
}

bool entryIsFaulty(const DataFileLayout& layout, const json& entry)
{
    if (!entry.is_object() || entry.empty())
        return true;
    for (const char* key : layout.required)
        if (isEmptyMember(entry, key))
            return true;
    for (const auto& [key, unless] : layout.requiredUnless)
        if (isEmptyMember(entry, unless) && isEmptyMember(entry, key))
            return true;
    return false;
}

Reported<bool> checkDataFile(const DataFileLayout& layout, std::string path, DataFileCheckOptions options)
{
    Reported<bool> result;
    doNotShowAgain = false;
    const std::string defaultPath = appDirectory + layout.defaultName;
    const code::DataFile k = layout.file;
    CheckedDocument doc;

    // Find and read the file.
    if (exists(path)) {
        switch (readExisting(layout, path, code::fileCorrupt(k), options, doc, result.messages)) {
        case ReadOutcome::CannotOpen:
        case ReadOutcome::Refused: return result;
        case ReadOutcome::Read: break;
        }
    } else if (path != defaultPath) {
        raiseFlag(flagsF, code::fileMissing(k));
        path = defaultPath;
        *layout.preference = defaultPath;
        if (exists(defaultPath)) {
            switch (readExisting(layout, defaultPath, code::fileCorruptDefault(k), options, doc, result.messages)) {
            case ReadOutcome::CannotOpen:
            case ReadOutcome::Refused: return result;
            case ReadOutcome::Read: break;
            }
        } else {
            raiseFlag(flagsF, code::fileMissingDefault(k));
        }
    } else {
        raiseFlag(flagsF, code::fileMissingDefault(k));
    }

    // Every faulty entry goes only with the user's consent; one refusal keeps the whole
    // file as it was.
    json& entries = doc.document;
    for (auto it = entries.begin(); it != entries.end();) {
        if (!entryIsFaulty(layout, *it)) {
            ++it;
            continue;
        }
        if (layout.codeForFaultyEntry)
            raiseFlag(flagsF, path == defaultPath ? code::fileCorruptDefault(k) : code::fileCorrupt(k));
        if (!doNotShowAgain && !consentToDelete(layout, it.key()))
            return result;
        it = entries.erase(it);
        doc.changed = true;
    }

    writeBack(layout, path, doc, result.messages);
    result.value = true;
    return result;
}

Reported<bool> checkSpeciesFile(std::string path, DataFileCheckOptions options)
{
    return checkDataFile(dataFileLayout(code::Species), std::move(path), options);
}
Reported<bool> checkReactantsFile(std::string path, DataFileCheckOptions options)
{
    return checkDataFile(dataFileLayout(code::Reactants), std::move(path), options);
}
Reported<bool> checkKineticsFile(std::string path, DataFileCheckOptions options)
{
    return checkDataFile(dataFileLayout(code::Kinetics), std::move(path), options);
}
Reported<bool> checkPropellantsFile(std::string path, DataFileCheckOptions options)
{
    return checkDataFile(dataFileLayout(code::Propellants), std::move(path), options);
}
Reported<bool> checkGrainsFile(std::string path, DataFileCheckOptions options)
{
    return checkDataFile(dataFileLayout(code::Grains), std::move(path), options);
}
Reported<bool> checkNozzlesFile(std::string path, DataFileCheckOptions options)
{
    return checkDataFile(dataFileLayout(code::Nozzles), std::move(path), options);
}
Reported<bool> checkConfigurationsFile(std::string path, DataFileCheckOptions options)
{
    return checkDataFile(dataFileLayout(code::Configurations), std::move(path), options);
}

std::string dataFileOpenFailedAtStart(const DataFileLayout& layout)
{
    return std::string(layout.word)
            + " file could not be opened, it could be because it is opened by a different software or it has "
              "restricted acccess";
}
