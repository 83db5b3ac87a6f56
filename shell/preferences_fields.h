#pragma once
// The fields of the Preferences dialog, one row per field in the order in which the
// dialog fills, checks and stores them. Each row names the preference key, the widget
// that edits it, how the value is shown and read, and the message that refuses it. The
// values a field accepts are the preference's limits (core/preference_limits.h), which the
// loader applies as well.
#include <string_view>
#include <vector>

enum class PreferenceFieldKind {
    Choice, // combo box; the preference holds the item index
    Check, // check box
    Integer, // decimal unsigned integer, shown as such
    WholeNumber, // decimal unsigned integer, shown in the real format
    Real, // real number, stored as typed
    Pressure, // real number in the unit of its unit combo, stored in Pa
    Logarithm, // real number, stored as its natural logarithm
    Folder, // the export folder, stored as UTF-8
    Separator, // one character, stored as its code
};

struct PreferenceField {
    std::string_view key;
    const char* widget; // object name of the editing widget
    PreferenceFieldKind kind;
    int page; // tab page of the dialog
    const char* unitWidget; // a pressure's unit combo ("MPa", "atm", "bar"); null otherwise
    const char* message; // the refusal; null when the field cannot be refused
    bool engineReads; // the solvers read the value on their worker thread
};

// Every field, in order (104 rows).
const std::vector<PreferenceField>& preferenceFields();

// The row of `key`, or null.
const PreferenceField* preferenceField(std::string_view key);
