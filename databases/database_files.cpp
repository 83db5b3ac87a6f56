#include "databases/database_files.h"

#include "core/preferences.h"

std::string databasePath(ChemicalDatabase db)
{
    switch (db) {
    case ChemicalDatabase::Species: return SPECIES.empty() ? appDirectory + "/Data/Species.json" : SPECIES;
    case ChemicalDatabase::Reactants: return REACTANTS.empty() ? appDirectory + "/Data/Reactants.json" : REACTANTS;
    case ChemicalDatabase::Kinetics: return KINETICS.empty() ? appDirectory + "/Data/Kinetics.json" : KINETICS;
    }
    return {};
}

std::string databaseWord(ChemicalDatabase db)
{
    switch (db) {
    case ChemicalDatabase::Species: return "species";
    case ChemicalDatabase::Reactants: return "reactants";
    case ChemicalDatabase::Kinetics: return "kinetics";
    }
    return {};
}

DatabaseDocument readDatabase(ChemicalDatabase db)
{
    return readDatabaseAt(db, databasePath(db));
}

DatabaseDocument readDatabaseAt(ChemicalDatabase db, const std::string& path)
{
    return readDataFile(path, dataFileOf(db));
}

bool writeDatabase(const DatabaseDocument& doc, std::string* error)
{
    return writeDataFile(doc, error);
}

std::string corruptDatabaseMessage(ChemicalDatabase db, const std::string& operation, const std::string& path)
{
    return operation + " aborted because the " + databaseWord(db) + " file " + path
            + " could not be read (it is not a valid database); it was left unchanged";
}

std::string writeFailedMessage(ChemicalDatabase db, const std::string& path, const std::string& error)
{
    std::string text = "The " + databaseWord(db) + " file " + path + " could not be written";
    if (!error.empty())
        text += ": " + error;
    return text;
}

bool isEmptyValue(const nlohmann::json& value)
{
    if (value.is_null())
        return true;
    if (value.is_object() || value.is_array())
        return value.empty();
    return false;
}

bool holdsEntry(const nlohmann::json& document, const std::string& name)
{
    if (!document.is_object())
        return false;
    auto it = document.find(name);
    return it != document.end() && !isEmptyValue(*it);
}
