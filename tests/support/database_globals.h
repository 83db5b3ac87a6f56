#pragma once
// Puts the globals the database dialogs and lists use back to their start values.
#include "core/flags.h"
#include "core/preferences.h"
#include "databases/compatible_lists.h"

// The database paths, the file codes, the compatibility lists and the two preferences of
// the list back to their start values.
inline void restoreBrowserGlobals()
{
    SPECIES.clear();
    REACTANTS.clear();
    KINETICS.clear();
    flagsF.store(0);
    compatibleSpecies.clear();
    compatibleReactions.clear();
    propellantElements.clear();
    ONLY_COMPATIBLE = true;
    DISABLE_INCOMPATIBLE = true;
}
