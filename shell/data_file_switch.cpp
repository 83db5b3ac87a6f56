#include "shell/data_file_switch.h"

#include <filesystem>
#include <optional>

#include "core/calculation_activity.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/preference_file.h"
#include "core/preferences.h"
#include "shell/preferences_form.h"

using nlohmann::json;

const char* const dataFileDialogFilter = "DB file (*.json)";
const char* const preferencesFileDialogCaption = "File with Preferences Database";

const char* const switchFileMissingText = "File does not exist";
const char* const switchFileInvalidText = "File is invalid";
const char* const defaultPreferencesUnreadableText
        = "Default preferences file could not be opened, it may be because it is opened by a different software or it "
          "has access restrictions";
const char* const defaultPreferencesUnparsableText
        = "The default preferences file could not be read, so it was left unchanged and the preferences file was not "
          "changed";
const char* const preferencesRedirectWriteFailedText
        = "The default preferences file could not be written, so the preferences file was not changed";
const char* const preferencesChangedText = "Preferences file changed successfully";
const char* const preferencesLoadFailedText
        = "New preferences file cannot be opened, close it and reopen the software, KAVRO will now close";

namespace {

// clang-format off
const std::array<DataFileSwitch, 7> switches = {{
    {"File with Species Database", &SPECIES, &checkSpeciesFile, SwitchRefresh::None,
     "Species file changed successfully"},
    {"File with Reactants Database", &REACTANTS, &checkReactantsFile, SwitchRefresh::Reactants,
     "Reactants file changed successfully"},
    {"File with Kinetics Database", &KINETICS, &checkKineticsFile, SwitchRefresh::None,
     "Kinetics file changed successfully"},
    {"File with Propellant Database", &PROPELLANT, &checkPropellantsFile, SwitchRefresh::NozzleThenData,
     "Propellants file changed successfully"},
    {"File with Grain Database", &GRAIN, &checkGrainsFile, SwitchRefresh::NozzleThenData,
     "Grains file changed successfully"},
    {"File with Nozzle Database", &NOZZLE, &checkNozzlesFile, SwitchRefresh::Data,
     "Nozzles file changed successfully"},
    {"File with Configurations Database", &CONFIGURATIONS, &checkConfigurationsFile, SwitchRefresh::None,
     "Configurations file changed successfully"},
}};
// clang-format on

// The sections of a preferences file; a document with any other top-level member is not one.
constexpr std::array<const char*, 9> preferenceSections{"Files",   "General",     "PropTab", "GrainTab", "Nozzletab",
                                                        "Datatab", "Equilibrium", "ODE",     "ODK"};

bool exists(const std::string& path)
{
    std::error_code ec;
    const bool present = std::filesystem::exists(path, ec);
    return present || ec; // what cannot be looked at is not taken for missing
}

// The chosen file opens and holds an object whose members are all preference sections
// (an empty document included). A data file picked by mistake is refused here, before
// loading it would add the preference sections to it.
bool isPreferencesDocument(const std::string& path)
{
    const JsonReadResult read = readPreferencesFile(path);
    if (read.status != JsonReadStatus::Ok || !read.document.is_object())
        return false;
    for (auto it = read.document.begin(); it != read.document.end(); ++it) {
        bool known = false;
        for (const char* section : preferenceSections)
            known = known || it.key() == section;
        if (!known)
            return false;
    }
    return true;
}

// Puts `redirect` into "Files"."PREFERENCES" of `document` (none: removes it).
void setRedirect(json& document, const json* redirect)
{
    json& files = document["Files"];
    if (!files.is_object())
        files = json::object();
    if (redirect)
        files["PREFERENCES"] = *redirect;
    else
        files.erase("PREFERENCES");
}

} // namespace

const std::array<DataFileSwitch, 7>& dataFileSwitches()
{
    return switches;
}

Reported<SwitchOutcome> switchDataFile(const DataFileSwitch& sw, const std::string& chosen)
{
    if (!exists(chosen))
        return {SwitchOutcome::Missing, {}};
    DataFileCheckOptions options;
    options.refuseUnparsable = true;
    Reported<bool> checked = sw.check(chosen, options);
    if (!checked.value)
        return {SwitchOutcome::Invalid, std::move(checked.messages)};
    const std::string previous = *sw.preference;
    *sw.preference = chosen;
    Reported<bool> saved = saveDataFilePaths();
    ViewMessages messages = std::move(checked.messages);
    messages.insert(messages.end(), saved.messages.begin(), saved.messages.end());
    if (!saved.value) {
        // Not recorded: the file in use stays what the preferences file says it is.
        *sw.preference = previous;
        return {SwitchOutcome::SaveFailed, std::move(messages)};
    }
    return {SwitchOutcome::Changed, std::move(messages)};
}

Reported<PreferencesSwitchOutcome> switchPreferencesFile(const std::string& chosen, Reported<bool> (*load)())
{
    if (calculationsRunning() > 0)
        return {PreferencesSwitchOutcome::CalculationRunning, {}};
    if (!exists(chosen))
        return {PreferencesSwitchOutcome::Missing, {}};
    if (!isPreferencesDocument(chosen))
        return {PreferencesSwitchOutcome::Invalid, {}};

    const std::string defaultPath = appDirectory + "/Data/Preferences.json";
    JsonReadResult read = readPreferencesFile(defaultPath);
    json document = json::object();
    switch (read.status) {
    case JsonReadStatus::CannotOpen: return {PreferencesSwitchOutcome::DefaultUnreadable, {}};
    case JsonReadStatus::Missing: raiseFlag(flagsF, code::fileMissingDefault(code::PreferencesFile)); break;
    case JsonReadStatus::Unparsable:
        // Its text may still be repaired by hand; writing the redirect would replace it.
        raiseFlag(flagsF, code::fileCorruptDefault(code::PreferencesFile));
        return {PreferencesSwitchOutcome::DefaultUnparsable, {}};
    case JsonReadStatus::Ok:
        if (!read.document.is_object()) {
            raiseFlag(flagsF, code::fileCorruptDefault(code::PreferencesFile));
            return {PreferencesSwitchOutcome::DefaultUnparsable, {}};
        }
        document = std::move(read.document);
        break;
    }

    // What the default file said before, to put back if the chosen file will not load.
    std::optional<json> previousRedirect;
    if (auto files = document.find("Files"); files != document.end() && files->is_object())
        if (auto member = files->find("PREFERENCES"); member != files->end())
            previousRedirect = *member;
    const std::string previousInUse = PREFERENCES;

    const json redirect = chosen;
    setRedirect(document, &redirect);
    if (!writeJsonFile(defaultPath, document))
        return {PreferencesSwitchOutcome::RedirectWriteFailed, {}};
    PREFERENCES = chosen;
    Reported<bool> loaded = load ? load() : loadPreferences();
    if (loaded.value)
        return {PreferencesSwitchOutcome::Changed, std::move(loaded.messages)};

    setRedirect(document, previousRedirect ? &*previousRedirect : nullptr);
    writeJsonFile(defaultPath, document);
    PREFERENCES = previousInUse;
    return {PreferencesSwitchOutcome::LoadFailed, std::move(loaded.messages)};
}

SwitchMessage switchMessage(const DataFileSwitch& sw, SwitchOutcome outcome)
{
    switch (outcome) {
    case SwitchOutcome::Changed: return {Msg::Information, QString::fromUtf8(sw.successText), true, {}};
    case SwitchOutcome::Missing: return {Msg::Critical, QString::fromUtf8(switchFileMissingText), false, {}};
    case SwitchOutcome::Invalid: return {Msg::Critical, QString::fromUtf8(switchFileInvalidText), false, {}};
    case SwitchOutcome::SaveFailed: break; // the preferences service has said why
    }
    return {};
}

SwitchMessage switchMessage(PreferencesSwitchOutcome outcome)
{
    auto critical = [](const char* text) { return SwitchMessage{Msg::Critical, QString::fromUtf8(text), true, {}}; };
    switch (outcome) {
    case PreferencesSwitchOutcome::Changed:
        return {Msg::Information, QString::fromUtf8(preferencesChangedText), true, {}};
    case PreferencesSwitchOutcome::Missing: return critical(switchFileMissingText);
    case PreferencesSwitchOutcome::Invalid: return critical(switchFileInvalidText);
    case PreferencesSwitchOutcome::DefaultUnreadable: return critical(defaultPreferencesUnreadableText);
    case PreferencesSwitchOutcome::DefaultUnparsable: return critical(defaultPreferencesUnparsableText);
    case PreferencesSwitchOutcome::RedirectWriteFailed: return critical(preferencesRedirectWriteFailedText);
    case PreferencesSwitchOutcome::LoadFailed: return critical(preferencesLoadFailedText);
    case PreferencesSwitchOutcome::CalculationRunning: {
        SwitchMessage message = critical(solverSettingsLockedText);
        message.informativeText = QString::fromUtf8(solverSettingsLockedReason)
                + QStringLiteral(" Try again when the calculation has finished.");
        return message;
    }
    }
    return {};
}
