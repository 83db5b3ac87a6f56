#pragma once
// The preferences file: loading every preference value from it at start-up (and when
// the user switches files), recording the data-file paths, and the reset to defaults.
//
// The default file is appDirectory + "/Data/Preferences.json"; its "Files"."PREFERENCES"
// entry may redirect to another file, which is then the file in use (PREFERENCES).
// Every operation reads the whole document, changes its own members and writes the
// document back atomically; unknown members are kept. A file in use that exists but is
// not a JSON object is never replaced: its code is raised and it stays as the user left
// it. What must be reported (a failed write, a file left alone) is handed back to the
// caller's view: critical boxes titled "KAVRO", with the program's icon, without parent.
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "core/json_file.h"
#include "core/view_message.h"

// Every read of a preferences file (the default one, a redirect, the file in use, a file
// chosen to become one). A key written twice keeps its last value, as JSON readers
// commonly take it: the keys name settings, not items, so a repeat hides nothing and
// the rest of the file stays in force.
JsonReadResult readPreferencesFile(const std::string& path);

// Creates the Data folder beside the executable when it is missing (only a failure to
// create it is reported), fills all preference values and rewrites the file in use
// (unless it is unparsable: then the values are the defaults and the file is left
// alone). The value is false only when an existing preferences file cannot be opened
// for reading (then nothing else changes except PREFERENCES, which names that file).
// Raises F15/F31 for the default file and F14/F30 for a redirect; a member that is
// missing, of the wrong JSON type, out of range of its type or outside its limits
// (preference_limits.h) takes its default, as do both values of a pair out of order.
Reported<bool> loadPreferences();

// Writes the seven data-file paths into "Files" of the file in use. The value is true
// when the file was written. An existing file that cannot be opened is reported and left
// alone; a missing one raises F14; an unparsable one raises F30, is reported and left alone.
Reported<bool> saveDataFilePaths();

// The Preferences dialog's reset: every value back to its default except the "Files"
// paths and LOCK_BABYMODE (BabyMode keeps its value while LOCK_BABYMODE is set),
// PATH_EXPORT = appDirectory + "/Exports", then the reset values are written into the
// file in use (not when it is unparsable: F30, reported, left alone). The value is true
// when the file was written. The dialog then ends with restoreDefaultDialogResult.
Reported<bool> restoreDefaultPreferences();
constexpr int restoreDefaultDialogResult = 6;

// Puts the current value of the preference `key` into its section of `document`, in
// the file's value form. Returns false for an unknown key or a "Files" key.
bool storePreference(nlohmann::json& document, std::string_view key);

// The preferences file the starting data set holds: every value at its default, in the
// file's value forms, except the nine whose defaults depend on where the program is (the
// "Files" paths and PATH_EXPORT). A load forms those from appDirectory without counting
// it as a repair, so the file works wherever the set is placed and a first start raises
// no code.
nlohmann::json startingPreferencesDocument();

// The critical message shown when the preferences file cannot be opened at start-up.
extern const char* const preferencesOpenFailedAtStart;
