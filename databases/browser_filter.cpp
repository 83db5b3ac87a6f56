#include "databases/browser_filter.h"

#include <cmath>
#include <optional>

#include "databases/database_files.h"

std::vector<std::string> browserFilterItems(BrowserMode mode)
{
    switch (mode) {
    case BrowserMode::Reactions: return {"All", "Gaseous", "Liquids present", "Solids present"};
    case BrowserMode::Species: return {"All", "Gaseous", "Ions", "Liquids", "Solids", "With transport properties"};
    case BrowserMode::Reactants: return {"All", "Gaseous", "Liquids", "Solids"};
    }
    return {};
}

BrowserFilter browserFilterAt(BrowserMode mode, int index)
{
    static const BrowserFilter phaseOnly[]
            = {BrowserFilter::All, BrowserFilter::Gaseous, BrowserFilter::Liquids, BrowserFilter::Solids};
    static const BrowserFilter species[]
            = {BrowserFilter::All,     BrowserFilter::Gaseous, BrowserFilter::Ions,
               BrowserFilter::Liquids, BrowserFilter::Solids,  BrowserFilter::WithTransport};
    if (index < 0)
        return BrowserFilter::All;
    const auto i = static_cast<std::size_t>(index);
    if (mode == BrowserMode::Species)
        return i < std::size(species) ? species[i] : BrowserFilter::All;
    return i < std::size(phaseOnly) ? phaseOnly[i] : BrowserFilter::All;
}

bool browserNameMatches(const std::string& name, const std::string& text)
{
    return name.find(text) != std::string::npos;
}

namespace {

// "Phase" of an entry when it is an integral number.
std::optional<int> phaseOf(const nlohmann::json& entry)
{
    if (!entry.is_object())
        return std::nullopt;
    auto it = entry.find("Phase");
    if (it == entry.end() || !it->is_number())
        return std::nullopt;
    const double value = it->get<double>();
    if (!std::isfinite(value) || value != std::floor(value) || std::fabs(value) > 1e6)
        return std::nullopt;
    return static_cast<int>(value);
}

bool hasElectron(const nlohmann::json& entry)
{
    if (!entry.is_object())
        return false;
    auto it = entry.find("Composition");
    if (it == entry.end() || !it->is_array())
        return false;
    for (const nlohmann::json& pair : *it) {
        if (pair.is_array() && pair.size() >= 2 && pair[1].is_string() && pair[1].get_ref<const std::string&>() == "E")
            return true;
    }
    return false;
}

bool hasNonEmpty(const nlohmann::json& entry, const char* key)
{
    if (!entry.is_object())
        return false;
    auto it = entry.find(key);
    return it != entry.end() && !isEmptyValue(*it);
}

std::optional<int> wantedPhase(BrowserFilter filter)
{
    switch (filter) {
    case BrowserFilter::Gaseous: return 0;
    case BrowserFilter::Liquids: return 1;
    case BrowserFilter::Solids: return 2;
    default: return std::nullopt;
    }
}

// Calls `visit(name)` for every participant name of both sides; false when the entry has
// no participant at all.
template <typename Visit>
bool forEachParticipant(const nlohmann::json& entry, Visit visit)
{
    bool any = false;
    if (!entry.is_object())
        return false;
    for (const char* side : {"Reactants", "Products"}) {
        auto it = entry.find(side);
        if (it == entry.end() || !it->is_array())
            continue;
        for (const nlohmann::json& pair : *it) {
            any = true;
            if (pair.is_array() && !pair.empty() && pair[0].is_string())
                visit(pair[0].get_ref<const std::string&>());
        }
    }
    return any;
}

} // namespace

bool browserEntryPasses(BrowserMode mode, BrowserFilter filter, const nlohmann::json& entry,
                        const nlohmann::json& speciesDoc)
{
    switch (mode) {
    case BrowserMode::Species:
        switch (filter) {
        case BrowserFilter::All: return true;
        case BrowserFilter::Gaseous: return phaseOf(entry) == 0 && !hasElectron(entry);
        case BrowserFilter::Ions: return phaseOf(entry) == 0 && hasElectron(entry);
        case BrowserFilter::Liquids: return phaseOf(entry) == 1;
        case BrowserFilter::Solids: return phaseOf(entry) == 2;
        case BrowserFilter::WithTransport: return hasNonEmpty(entry, "Viscosity") || hasNonEmpty(entry, "Conductivity");
        }
        return true;
    case BrowserMode::Reactants: {
        const std::optional<int> phase = wantedPhase(filter);
        return !phase || phaseOf(entry) == phase;
    }
    case BrowserMode::Reactions: {
        const std::optional<int> phase = wantedPhase(filter);
        bool matched = false;
        const bool any = forEachParticipant(entry, [&](const std::string& name) {
            if (!phase || matched || !speciesDoc.is_object())
                return;
            auto it = speciesDoc.find(name);
            if (it != speciesDoc.end() && phaseOf(*it) == phase)
                matched = true;
        });
        return phase ? matched : any;
    }
    }
    return true;
}
