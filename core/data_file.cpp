#include "core/data_file.h"

#include <utility>

std::vector<std::string> DataFileDocument::names() const
{
    std::vector<std::string> keys;
    for (auto it = document.begin(); it != document.end(); ++it)
        keys.push_back(it.key());
    return keys;
}

DataFileDocument readDataFile(const std::string& path, code::DataFile file)
{
    DataFileDocument doc;
    doc.path = path;
    JsonReadResult read = readJsonFile(path);
    doc.status = read.status;
    doc.duplicates = std::move(read.duplicates);
    switch (read.status) {
    case JsonReadStatus::Missing: raiseFlag(flagsF, code::fileMissing(file)); break;
    case JsonReadStatus::Unparsable: raiseFlag(flagsF, code::fileCorrupt(file)); break;
    case JsonReadStatus::CannotOpen: break;
    case JsonReadStatus::Ok:
        if (read.document.is_object()) {
            doc.document = std::move(read.document);
        } else {
            // Valid JSON, but not an object of named items: as unusable as text that
            // does not parse.
            doc.status = JsonReadStatus::Unparsable;
            raiseFlag(flagsF, code::fileCorrupt(file));
        }
        break;
    }
    return doc;
}

bool writeDataFile(const DataFileDocument& doc, std::string* error)
{
    if (!doc.writable()) {
        if (error)
            *error = "the file holds data that could not be read";
        return false;
    }
    return writeJsonFile(doc.path, doc.document, error);
}
