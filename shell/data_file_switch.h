#pragma once
// Putting another file in place of one of the seven data files or of the preferences
// file, after the user picked it in the file dialog. The window runs the dialog, shows
// the message of the outcome and refreshes its lists; the file handling is here.
//
// A switch never destroys the chosen file: a file that cannot be read as a document of
// items is refused, and a preferences file is checked before the default preferences
// file is redirected to it, so a bad pick never keeps the program from starting.
#include <array>
#include <string>

#include <QString>

#include "core/message_box.h"
#include "core/view_message.h"
#include "shell/data_file_checks.h"

// Lists the window refreshes after a successful switch.
enum class SwitchRefresh {
    None,
    Reactants, // PropTab::updateReactantList, then PropTab::removeAllReactants
    NozzleThenData, // NozzleTab::refreshLists, then DataTab::refreshLists
    Data, // DataTab::refreshLists
};

struct DataFileSwitch {
    const char* caption; // "File with Species Database" ...
    std::string* preference; // &SPECIES ...
    Reported<bool> (*check)(std::string, DataFileCheckOptions);
    SwitchRefresh refresh;
    const char* successText; // "Species file changed successfully" ...
};

// The seven switches in the order SP, RC, KIN, PROP, GRAIN, NOZZ, CONFIG.
const std::array<DataFileSwitch, 7>& dataFileSwitches();

// The file dialog's filter and the caption of the preferences switch.
extern const char* const dataFileDialogFilter; // "DB file (*.json)"
extern const char* const preferencesFileDialogCaption; // "File with Preferences Database"

// Texts of the boxes.
extern const char* const switchFileMissingText; // "File does not exist"
extern const char* const switchFileInvalidText; // "File is invalid"
extern const char* const defaultPreferencesUnreadableText;
extern const char* const defaultPreferencesUnparsableText;
extern const char* const preferencesRedirectWriteFailedText;
extern const char* const preferencesChangedText; // "Preferences file changed successfully"
extern const char* const preferencesLoadFailedText; // "... KAVRO will now close"

enum class SwitchOutcome {
    Changed,
    Missing, // "File does not exist"
    Invalid, // "File is invalid"
    SaveFailed, // the path could not be recorded (its boxes say why): the previous file stays in use
};

// Steps after the file dialog: existence, check (refuseUnparsable), preference set,
// saveDataFilePaths. Only Changed leaves the chosen file in use. The boxes of the check
// and of the preferences file come with the outcome, for the window to show before the
// box of the outcome.
Reported<SwitchOutcome> switchDataFile(const DataFileSwitch& sw, const std::string& chosen);

enum class PreferencesSwitchOutcome {
    Changed,
    DefaultUnreadable, // the default preferences file exists but cannot be opened
    Invalid, // the chosen file is not a preferences document
    RedirectWriteFailed, // the default preferences file could not be written
    LoadFailed, // the chosen file could not be loaded: the previous redirect is back; the program closes
    Missing, // nothing at the chosen path
    DefaultUnparsable, // the default preferences file cannot be parsed (F31): it is left as it is
    CalculationRunning, // a run reads the solver settings: nothing is read, written or loaded
};

// ChangePREFFile after the file dialog: refused while a calculation or a nozzle
// optimisation runs (loading sets the values its solvers read); checks the chosen file
// (it opens and parses as an object whose top-level members are all preference sections,
// or is empty) before writing the redirect into the default preferences file; raises F15
// when the default file is missing (it is then created holding only the redirect) and F31
// when it cannot be parsed (then nothing is written); on a load failure puts the previous
// redirect back.
// `load` loads the preferences through the redirect (none: loadPreferences); its boxes
// come with the outcome, for the window to show before the box of the outcome.
Reported<PreferencesSwitchOutcome> switchPreferencesFile(const std::string& chosen, Reported<bool> (*load)() = nullptr);

// The box the window shows after a switch; no box when `text` is empty. `childOfWindow`:
// the box's parent is the main window (else none, with the program's icon). No box
// carries a title.
struct SwitchMessage {
    Msg::Icon icon = Msg::NoIcon;
    QString text;
    bool childOfWindow = false;
    QString informativeText;
};
SwitchMessage switchMessage(const DataFileSwitch& sw, SwitchOutcome outcome);
SwitchMessage switchMessage(PreferencesSwitchOutcome outcome);
