#pragma once
// What the database browser shows: the filter items of each of its modes and the rule
// deciding whether a listed entry passes the search text and the chosen filter. Pure,
// so that it is tested without a window.
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// The database the browser lists. The numbers are the browser's own (the propellant tab
// passes them); the species editor numbers its modes differently.
enum class BrowserMode : uint8_t { Reactions = 0, Species = 1, Reactants = 2 };

enum class BrowserFilter {
    All, // also "no item chosen"
    Gaseous, // species: gas without "E"; reactants: gas; reactions: a gaseous participant
    Ions, // species only: gas with "E"
    Liquids, // reactions: "Liquids present"
    Solids, // reactions: "Solids present"
    WithTransport, // species only: "Viscosity" or "Conductivity" not empty
};

// The texts of the filter list in the given mode, in list order.
std::vector<std::string> browserFilterItems(BrowserMode mode);

// The filter of list position `index` in the given mode; -1 (nothing chosen) and any
// position outside the list filter like "All".
BrowserFilter browserFilterAt(BrowserMode mode, int index);

// The search: `text` occurs in `name`, byte for byte (an empty text matches everything).
bool browserNameMatches(const std::string& name, const std::string& text);

// The filter applied to the entry stored under a listed name. In reaction mode the
// phases of the participants are looked up in `speciesDoc`; a participant without an
// entry or without a "Phase" matches no phase filter. Malformed values never match a
// phase filter and never throw.
bool browserEntryPasses(BrowserMode mode, BrowserFilter filter, const nlohmann::json& entry,
                        const nlohmann::json& speciesDoc = nlohmann::json::object());
