#pragma once
// The propellant's compatibility lists, shared by the propellant tab (which keeps them)
// and the database dialogs (which read them and ask for a rebuild after a change):
//   propellantElements   element symbols of the tab's reactants, then "E"
//   compatibleSpecies    Species.json names made only of those elements (key order)
//   compatibleReactions  Kinetics.json names whose reactants and products are all
//                        compatible species (key order)
// They start empty and are used on the GUI thread only.
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "core/view_message.h"

extern std::vector<std::string> propellantElements;
extern std::vector<std::string> compatibleSpecies;
extern std::vector<std::string> compatibleReactions;

// What the database dialogs need of the owner of the lists. The propellant tab
// implements it and hands itself to the dialogs it opens.
class CompatibleListsUpdater {
public:
    virtual ~CompatibleListsUpdater() = default;
    // Rebuilds propellantElements and compatibleSpecies.
    virtual void updateCompatibleSpecies() = 0;
    // check false: rebuilds compatibleReactions from compatibleSpecies. The dialogs
    // only ever pass false and ignore the result.
    virtual bool updateCompatibleReactions(bool check) = 0;
    // The refusals of the updates so far that no view has shown yet, for the dialog that
    // asked for them to show; an owner that is a view shows its own and has none.
    virtual ViewMessages takeRefusals() { return {}; }
};

// The element symbols of the named reactants ("Composition" element 1), each once, in
// order of first appearance, then "E", once and last (also when a reactant holds it).
// A name missing from the document, or a malformed composition item, adds nothing.
std::vector<std::string> collectPropellantElements(const std::vector<std::string>& reactantNames,
                                                   const nlohmann::json& reactantsDoc);

// Keys of the species document (in key order) whose every composition symbol is one of
// `elements`. A species with no composition is compatible; one with a malformed
// composition item is not.
std::vector<std::string> collectCompatibleSpecies(const std::vector<std::string>& elements,
                                                  const nlohmann::json& speciesDoc);

// Keys of the kinetics document (in key order) whose every "Reactants" and "Products"
// name is one of `species`. A reaction with no participants is compatible; one with a
// malformed participant is not.
std::vector<std::string> collectCompatibleReactions(const std::vector<std::string>& species,
                                                    const nlohmann::json& kineticsDoc);

// Rebuilds the lists from the database files for a given set of reactant rows. It stands
// in for the propellant tab wherever a dialog has no tab as parent. A database that
// cannot be opened or parsed ends an update with a refusal (critical, without a parent),
// kept for takeRefusals.
class PlainCompatibleLists : public CompatibleListsUpdater {
public:
    using ReactantNames = std::function<std::vector<std::string>()>;
    // `reactantNames` gives the reactant rows in display order (none when empty).
    explicit PlainCompatibleLists(ReactantNames reactantNames = {});

    void updateCompatibleSpecies() override;
    // check true verifies the user's selection before a propellant is saved, which only
    // the propellant tab does: here it leaves the list alone and succeeds.
    bool updateCompatibleReactions(bool check) override;
    ViewMessages takeRefusals() override;

private:
    ReactantNames reactantNames_;
    ViewMessages refusals_;
};

// The updater a dialog uses: the owner it was given, or, without one, a process-wide
// PlainCompatibleLists without reactant rows.
CompatibleListsUpdater& compatibleListsUpdaterFor(CompatibleListsUpdater* owner);

// updateCompatibleSpecies() then updateCompatibleReactions(false) on that updater; the
// refusals it has not shown itself come back for the calling dialog to show.
ViewMessages rebuildCompatibleLists(CompatibleListsUpdater* owner);
