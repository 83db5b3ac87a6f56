#include "propellant/propellant_file.h"

#include "core/flags.h"
#include "core/preferences.h"

std::string propellantFilePath()
{
    return PROPELLANT.empty() ? appDirectory + "/Data/Propellants.json" : PROPELLANT;
}

PropellantDocument readPropellantFile()
{
    PropellantDocument doc;
    doc.path = propellantFilePath();
    JsonReadResult read = readJsonFile(doc.path);
    doc.status = read.status;
    switch (read.status) {
    case JsonReadStatus::Missing: raiseFlag(flagsF, code::fileMissing(code::Propellants)); break;
    case JsonReadStatus::Unparsable: raiseFlag(flagsF, code::fileCorrupt(code::Propellants)); break;
    case JsonReadStatus::CannotOpen: break;
    case JsonReadStatus::Ok:
        if (read.document.is_object()) {
            doc.document = std::move(read.document);
        } else {
            // Valid JSON that is no propellant file: as unusable as text that does not parse.
            doc.status = JsonReadStatus::Unparsable;
            raiseFlag(flagsF, code::fileCorrupt(code::Propellants));
        }
        break;
    }
    return doc;
}

bool writePropellantFile(const PropellantDocument& doc, std::string* error)
{
    if (!doc.writable()) {
        if (error)
            *error = "the file holds data that could not be read";
        return false;
    }
    return writeJsonFile(doc.path, doc.document, error);
}
