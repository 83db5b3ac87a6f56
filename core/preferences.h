#pragma once
// The preference values: one process-wide variable per key of Preferences.json,
// named exactly by its key and initialised with its default (see preference_table.h).
// They are written on the GUI thread only (loading, reset, the Preferences dialog).
#include <cstdint>
#include <string>

#include "core/preference_table.h"

#define KAVRO_DECLARE_PATH(key, suffix) extern std::string key;
#define KAVRO_DECLARE_VALUE(section, key, type, def) extern type key;
KAVRO_PATH_PREFERENCES(KAVRO_DECLARE_PATH)
KAVRO_VALUE_PREFERENCES(KAVRO_DECLARE_VALUE)
#undef KAVRO_DECLARE_PATH
#undef KAVRO_DECLARE_VALUE

// Folder of the executable, forward slashes, no trailing separator; empty until main sets it.
extern std::string appDirectory;

// Mode switches of the main window; not preferences and never stored.
extern bool solidsHidden; // the solid-motor options are hidden
extern bool babyModeActive; // the restricted (baby) interface is active
