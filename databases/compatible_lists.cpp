#include "databases/compatible_lists.h"

#include <algorithm>
#include <utility>

#include <QString>

#include "core/message_box.h"
#include "databases/database_files.h"

std::vector<std::string> propellantElements;
std::vector<std::string> compatibleSpecies;
std::vector<std::string> compatibleReactions;

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Element 1 of a [count, symbol] pair, or nullptr when the item is not such a pair.
const std::string* compositionSymbol(const nlohmann::json& pair)
{
    if (!pair.is_array() || pair.size() < 2 || !pair[1].is_string())
        return nullptr;
    return pair[1].get_ptr<const std::string*>();
}

// Element 0 of a [name, coefficient] pair, or nullptr.
const std::string* participantName(const nlohmann::json& pair)
{
    if (!pair.is_array() || pair.empty() || !pair[0].is_string())
        return nullptr;
    return pair[0].get_ptr<const std::string*>();
}

// The array under `key` of an entry; an absent or empty value reads as no items, any
// other non-array value as malformed (nullptr).
const nlohmann::json* listOf(const nlohmann::json& entry, const char* key)
{
    static const nlohmann::json none = nlohmann::json::array();
    if (!entry.is_object())
        return &none;
    auto it = entry.find(key);
    if (it == entry.end() || isEmptyValue(*it))
        return &none;
    return it->is_array() ? &*it : nullptr;
}

// Reads a file the way the compatibility update does: a missing file gives an empty
// document (its code raised by the reader); a file that cannot be opened or parsed ends
// the update with a refusal.
bool readForUpdate(ChemicalDatabase db, nlohmann::json& document, bool* missing, ViewMessages& refusals)
{
    DatabaseDocument doc = readDatabase(db);
    QString kind = db == ChemicalDatabase::Species ? QStringLiteral("Species")
            : db == ChemicalDatabase::Reactants    ? QStringLiteral("Reactants")
                                                   : QStringLiteral("Kinetics");
    auto refuse = [&refusals](const QString& text) {
        MessageRequest box;
        box.icon = Msg::Critical;
        box.text = text;
        refusals.push_back(ViewMessage{box, true});
        return false;
    };
    switch (doc.status) {
    case JsonReadStatus::CannotOpen:
        return refuse(kind
                      + QStringLiteral(" file could not be opened, it may be opened by another software or have "
                                       "accesibility restrictions"));
    case JsonReadStatus::Unparsable: return refuse(kind + QStringLiteral(" file was corrupted, save process aborted"));
    case JsonReadStatus::Missing:
        if (missing)
            *missing = true;
        break;
    case JsonReadStatus::Ok: break;
    }
    document = std::move(doc.document);
    return true;
}

} // namespace

std::vector<std::string> collectPropellantElements(const std::vector<std::string>& reactantNames,
                                                   const nlohmann::json& reactantsDoc)
{
    std::vector<std::string> elements;
    for (const std::string& name : reactantNames) {
        if (!reactantsDoc.is_object())
            break;
        auto it = reactantsDoc.find(name);
        if (it == reactantsDoc.end())
            continue;
        const nlohmann::json* composition = listOf(*it, "Composition");
        if (!composition)
            continue;
        for (const nlohmann::json& pair : *composition) {
            const std::string* symbol = compositionSymbol(pair);
            if (symbol && *symbol != "E" && !contains(elements, *symbol))
                elements.push_back(*symbol);
        }
    }
    // The electron row comes once and last, also when a reactant holds electrons: the
    // equilibrium solver keeps it last, and a repeated row would make its element
    // system singular.
    elements.push_back("E");
    return elements;
}

std::vector<std::string> collectCompatibleSpecies(const std::vector<std::string>& elements,
                                                  const nlohmann::json& speciesDoc)
{
    std::vector<std::string> names;
    if (!speciesDoc.is_object())
        return names;
    for (auto it = speciesDoc.begin(); it != speciesDoc.end(); ++it) {
        const nlohmann::json* composition = listOf(it.value(), "Composition");
        if (!composition)
            continue;
        bool compatible = true;
        for (const nlohmann::json& pair : *composition) {
            const std::string* symbol = compositionSymbol(pair);
            if (!symbol || !contains(elements, *symbol)) {
                compatible = false;
                break;
            }
        }
        if (compatible)
            names.push_back(it.key());
    }
    return names;
}

std::vector<std::string> collectCompatibleReactions(const std::vector<std::string>& species,
                                                    const nlohmann::json& kineticsDoc)
{
    std::vector<std::string> keys;
    if (!kineticsDoc.is_object())
        return keys;
    for (auto it = kineticsDoc.begin(); it != kineticsDoc.end(); ++it) {
        bool compatible = true;
        for (const char* side : {"Reactants", "Products"}) {
            const nlohmann::json* list = listOf(it.value(), side);
            if (!list) {
                compatible = false;
                break;
            }
            for (const nlohmann::json& pair : *list) {
                const std::string* name = participantName(pair);
                if (!name || !contains(species, *name)) {
                    compatible = false;
                    break;
                }
            }
            if (!compatible)
                break;
        }
        if (compatible)
            keys.push_back(it.key());
    }
    return keys;
}

PlainCompatibleLists::PlainCompatibleLists(ReactantNames reactantNames) : reactantNames_(std::move(reactantNames))
{ }

void PlainCompatibleLists::updateCompatibleSpecies()
{
    compatibleSpecies.clear();
    propellantElements.clear();
    // A missing reactants or species file ends the update with both lists empty.
    bool missing = false;
    nlohmann::json reactants;
    if (!readForUpdate(ChemicalDatabase::Reactants, reactants, &missing, refusals_) || missing)
        return;
    nlohmann::json species;
    if (!readForUpdate(ChemicalDatabase::Species, species, &missing, refusals_) || missing)
        return;
    const std::vector<std::string> rows = reactantNames_ ? reactantNames_() : std::vector<std::string>{};
    propellantElements = collectPropellantElements(rows, reactants);
    compatibleSpecies = collectCompatibleSpecies(propellantElements, species);
}

bool PlainCompatibleLists::updateCompatibleReactions(bool check)
{
    if (check)
        return true;
    compatibleReactions.clear();
    nlohmann::json species;
    if (!readForUpdate(ChemicalDatabase::Species, species, nullptr, refusals_))
        return false;
    nlohmann::json kinetics;
    if (!readForUpdate(ChemicalDatabase::Kinetics, kinetics, nullptr, refusals_))
        return false;
    compatibleReactions = collectCompatibleReactions(compatibleSpecies, kinetics);
    return true;
}

ViewMessages PlainCompatibleLists::takeRefusals()
{
    return std::exchange(refusals_, {});
}

CompatibleListsUpdater& compatibleListsUpdaterFor(CompatibleListsUpdater* owner)
{
    if (owner)
        return *owner;
    static PlainCompatibleLists plain;
    return plain;
}

ViewMessages rebuildCompatibleLists(CompatibleListsUpdater* owner)
{
    CompatibleListsUpdater& updater = compatibleListsUpdaterFor(owner);
    updater.updateCompatibleSpecies();
    updater.updateCompatibleReactions(false);
    return updater.takeRefusals();
}
