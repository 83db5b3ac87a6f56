#pragma once
// Stands in for the propellant tab as the browser's parent: records the rebuild requests
// the browser makes of it, in order.
#include <string>
#include <vector>

#include <QWidget>

#include "databases/compatible_lists.h"

struct CountingTab : QWidget, CompatibleListsUpdater {
    std::vector<std::string> calls;
    void updateCompatibleSpecies() override { calls.push_back("species"); }
    bool updateCompatibleReactions(bool check) override
    {
        calls.push_back(check ? "reactions(true)" : "reactions(false)");
        return true;
    }
};
