#pragma once
// What the Preferences dialog does apart from its widgets: the text each field shows for
// the values in force, the reading back of the fields (parse, check, convert) in their
// fixed order, the save, the reset and the result bits.
//
// A save takes effect whole or not at all: every field is read and checked first, then
// the preferences file is read, and only then are the values put into force and the
// file rewritten. A field the user left as the dialog filled it keeps the value in force
// exactly, so saving without editing changes nothing (the fields show NUM_DIS_PREC
// digits, fewer than a value may hold).
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include <QString>

#include "core/message_box.h"
#include "core/view_message.h"
#include "shell/preference_values.h"

// The dialog's result: bits telling the main window what to re-apply at once.
namespace preferences_result {
constexpr int ResultsView = 0x2; // TYPE_RESULTS may have changed
constexpr int Style = 0x4; // WINSTYLE or COMB_EV may have changed
constexpr int BabyModeLocked = 0x40000000; // the restricted mode was locked
constexpr int Reset = ResultsView | Style; // after "Reset to default"
} // namespace preferences_result

// One field as the dialog shows it: a combo's index, a check box's state, a line edit's
// text and, for a pressure, the index of its unit combo (0 "MPa", 1 "atm", 2 "bar").
struct PreferenceEntry {
    int index = 0;
    bool checked = false;
    QString text;
    int unit = 0;

    bool operator==(const PreferenceEntry& o) const
    {
        return index == o.index && checked == o.checked && text == o.text && unit == o.unit;
    }
    bool operator!=(const PreferenceEntry& o) const { return !(*this == o); }
};
// One entry per row of preferenceFields(), in the same order.
using PreferenceEntries = std::vector<PreferenceEntry>;

// What every field shows for the values in force: reals in the general format with
// NUM_DIS_PREC significant digits (INJ_VEL with 6), pressures in MPa, logarithms as the
// plain number, the separator as its character.
PreferenceEntries entriesInForce();

struct PreferenceRefusal {
    QString text;
    QString informativeText;
};

struct StagedPreference {
    std::string_view key;
    PreferenceValue value; // in the key's stored unit and type
};

// The fields read back in order: every value converted for storage (LOG_ION_RESET right
// after ION_RESET), or the refusal of the first field that does not parse or lies
// outside its limits. `filled` is what the dialog showed first: a field still showing
// it keeps the value in force. Changes nothing.
struct PreferencesReadBack {
    std::vector<StagedPreference> values;
    std::optional<PreferenceRefusal> refusal;
};
PreferencesReadBack readPreferenceEntries(const PreferenceEntries& entries, const PreferenceEntries& filled);

// Puts one value into force (setPreferenceValue; tests record the calls).
using PreferenceAssignment = std::function<bool(std::string_view key, const PreferenceValue& value)>;

// The dialog's save: reads the fields back; refuses to change a value the solvers read
// while a calculation runs; reads the preferences file in use (a missing one raises F14
// and is created; one that cannot be opened or parsed, F30, is left alone and refuses
// the save); puts into force, through `assign`, only the values that changed (a running
// solver reads the others without a lock: even an equal value written meanwhile is a
// race), stores every value in the document and rewrites the file. A failed write puts
// the earlier values back. Returns the refusal, or nothing when the preferences were saved.
std::optional<PreferenceRefusal> savePreferences(const PreferenceEntries& entries, const PreferenceEntries& filled,
                                                 const PreferenceAssignment& assign = setPreferenceValue);

// "Reset to default" (restoreDefaultPreferences), refused while a calculation runs and
// the reset would change a value the solvers read. Without a refusal the values are
// reset; the boxes of a preferences file that could not be read or written come with it.
Reported<std::optional<PreferenceRefusal>> resetPreferences();

// The result bits a change of the combo `widget` marks (0 for other widgets).
int resultBitsOfChange(std::string_view widget);

// The confirmation asked before the restricted mode is locked for good.
MessageRequest babyModeLockQuestion();

// The refusal of a change to a value the solvers read while a calculation or a nozzle
// optimisation runs (the dialog's save and reset, the switch of the preferences file).
extern const char* const solverSettingsLockedText;
extern const char* const solverSettingsLockedReason; // "The solvers read these settings while they run."

// The caption of the export-folder chooser.
extern const char* const exportFolderCaption;
