#include "propellant/compatibility.h"

#include <algorithm>

#include <QString>

#include "propellant/provider_messages.h"

using nlohmann::json;

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

bool isActive(const json& doc, const std::string& name)
{
    if (!doc.is_object())
        return false;
    auto it = doc.find(name);
    if (it == doc.end() || !it->is_object())
        return false;
    auto active = it->find("isActive");
    return active != it->end() && active->is_boolean() && active->get<bool>();
}

// The species names of one side of a stored reaction (malformed items give none).
std::vector<std::string> participants(const json& entry, const char* side)
{
    std::vector<std::string> names;
    auto it = entry.find(side);
    if (it == entry.end() || !it->is_array())
        return names;
    for (const json& pair : *it)
        if (pair.is_array() && !pair.empty() && pair[0].is_string())
            names.push_back(pair[0].get<std::string>());
    return names;
}

} // namespace

QString databaseLabel(ChemicalDatabase db)
{
    switch (db) {
    case ChemicalDatabase::Species: return QStringLiteral("Species");
    case ChemicalDatabase::Reactants: return QStringLiteral("Reactants");
    case ChemicalDatabase::Kinetics: return QStringLiteral("Kinetics");
    }
    return {};
}

Reported<std::optional<DatabaseDocument>> readDatabaseForTab(ChemicalDatabase db, const char* operation)
{
    DatabaseDocument doc = readDatabase(db);
    switch (doc.status) {
    case JsonReadStatus::Ok:
    case JsonReadStatus::Missing: return {std::move(doc), {}};
    case JsonReadStatus::CannotOpen:
        return {std::nullopt, {tabViewMessage(Msg::Critical, cannotOpenFileMessage(databaseLabel(db)))}};
    case JsonReadStatus::Unparsable:
        return {std::nullopt,
                {tabViewMessage(Msg::Critical,
                                corruptedFileMessage(databaseLabel(db), QString::fromLatin1(operation)))}};
    }
    return {};
}

Reported<std::optional<std::pair<DatabaseDocument, DatabaseDocument>>>
readDatabasesForTab(ChemicalDatabase first, ChemicalDatabase second, const char* operation)
{
    Reported<std::optional<DatabaseDocument>> a = readDatabaseForTab(first, operation);
    if (!a.value)
        return {std::nullopt, a.messages};
    Reported<std::optional<DatabaseDocument>> b = readDatabaseForTab(second, operation);
    if (!b.value)
        return {std::nullopt, b.messages};
    return {std::make_pair(std::move(*a.value), std::move(*b.value)), {}};
}

ViewMessages updateCompatibleSpeciesFor(const std::vector<std::string>& reactantRows)
{
    compatibleSpecies.clear();
    propellantElements.clear();
    Reported<std::optional<DatabaseDocument>> reactants = readDatabaseForTab(ChemicalDatabase::Reactants, "save");
    if (!reactants.value || reactants.value->status == JsonReadStatus::Missing)
        return reactants.messages;
    Reported<std::optional<DatabaseDocument>> species = readDatabaseForTab(ChemicalDatabase::Species, "save");
    if (!species.value || species.value->status == JsonReadStatus::Missing)
        return species.messages;
    propellantElements = collectPropellantElements(reactantRows, reactants.value->document);
    compatibleSpecies = collectCompatibleSpecies(propellantElements, species.value->document);
    return {};
}

Reported<bool> updateCompatibleReactionsFor(bool check)
{
    if (!check)
        compatibleReactions.clear();
    auto docs = readDatabasesForTab(ChemicalDatabase::Species, ChemicalDatabase::Kinetics, "save");
    if (!docs.value)
        return {false, docs.messages};
    const json& species = docs.value->first.document;
    const json& kinetics = docs.value->second.document;
    if (!check) {
        compatibleReactions = collectCompatibleReactions(compatibleSpecies, kinetics);
        return {true, {}};
    }
    std::optional<UnselectedParticipant> unselected
            = findUnselectedParticipant(compatibleReactions, compatibleSpecies, species, kinetics);
    if (!unselected)
        return {true, {}};
    const QString key = QString::fromStdString(unselected->reaction);
    return {false,
            {providerViewMessage(
                    QStringLiteral("Reaction '") + key
                            + (unselected->product ? QStringLiteral("' has a non-selected specie as product")
                                                   : QStringLiteral("' uses a non-selected specie as reactant")),
                    QStringLiteral("Please deselect the reaction or select the appropriate specie in the database"))}};
}

std::optional<UnselectedParticipant> findUnselectedParticipant(const std::vector<std::string>& reactions,
                                                               const std::vector<std::string>& species,
                                                               const json& speciesDoc, const json& kineticsDoc)
{
    if (!kineticsDoc.is_object())
        return std::nullopt;
    for (auto it = kineticsDoc.begin(); it != kineticsDoc.end(); ++it) {
        if (!isActive(kineticsDoc, it.key()) || !contains(reactions, it.key()))
            continue;
        for (bool product : {false, true})
            for (const std::string& name : participants(it.value(), product ? "Products" : "Reactants"))
                if (contains(species, name) && !isActive(speciesDoc, name))
                    return UnselectedParticipant{it.key(), product};
    }
    return std::nullopt;
}

std::vector<std::string> activeNames(const std::vector<std::string>& names, const json& doc)
{
    std::vector<std::string> out;
    for (const std::string& name : names)
        if (isActive(doc, name))
            out.push_back(name);
    return out;
}
