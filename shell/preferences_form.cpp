#include "shell/preferences_form.h"

#include <cmath>
#include <string>

#include "core/calculation_activity.h"
#include "core/flags.h"
#include "core/json_file.h"
#include "core/number_text.h"
#include "core/preference_file.h"
#include "core/preference_limits.h"
#include "core/preferences.h"
#include "core/units.h"
#include "shell/preferences_fields.h"

using nlohmann::json;

const char* const exportFolderCaption = "Select default directory for exports";
const char* const solverSettingsLockedText
        = "Solver settings cannot be changed while a calculation or a nozzle optimisation is running";
const char* const solverSettingsLockedReason = "The solvers read these settings while they run.";

namespace {

using Kind = PreferenceFieldKind;

// The pair of the c* graph's pressures has a message of its own; the mixture ratios are
// refused with the message of their upper field.
const char* const csGraphRangeMessage = "Maximum pressure for C* graph must be greater than minimum";

const char* const preferencesCannotBeOpened = "Preferences file could not be opened, it may be because it is "
                                              "opened by a different software or it has access restrictions";

// The injector-plane velocity is shown with six significant digits whatever NUM_DIS_PREC says.
constexpr int injectorVelocityDigits = 6;

QString realText(double value, int digits)
{
    return QString::number(value, 'g', digits);
}

double asDouble(const PreferenceValue& value)
{
    if (const double* d = std::get_if<double>(&value))
        return *d;
    if (const int64_t* i = std::get_if<int64_t>(&value))
        return static_cast<double>(*i);
    if (const bool* b = std::get_if<bool>(&value))
        return *b ? 1.0 : 0.0;
    return 0.0;
}

// A number in the type the preference `key` holds: a double for a double, else an integer.
PreferenceValue numberFor(std::string_view key, double value)
{
    if (std::holds_alternative<double>(preferenceValue(key)))
        return value;
    return static_cast<int64_t>(value);
}

bool withinShownLimits(std::string_view key, double shown)
{
    const PreferenceLimit* limit = preferenceLimit(key);
    return limit == nullptr ? !std::isnan(shown) : limit->admitsShown(shown);
}

bool storedValueAllowed(std::string_view key, const PreferenceValue& value)
{
    if (std::holds_alternative<double>(value) && !std::isfinite(std::get<double>(value)))
        return false;
    if (std::holds_alternative<double>(value) || std::holds_alternative<int64_t>(value))
        return preferenceValueAllowed(key, asDouble(value));
    return true;
}

// Reads one edited field; nullopt when it does not parse or lies outside its limits.
std::optional<PreferenceValue> readEdited(const PreferenceField& field, const PreferenceEntry& entry)
{
    const std::string_view key = field.key;
    switch (field.kind) {
    case Kind::Choice:
        if (!withinShownLimits(key, entry.index))
            return std::nullopt;
        return numberFor(key, entry.index);
    case Kind::Check: return entry.checked;
    case Kind::Folder: return entry.text.toUtf8().toStdString();
    case Kind::Separator: {
        // one UTF-16 unit whose code is within the limits (printable ASCII)
        if (entry.text.size() != 1 || !withinShownLimits(key, entry.text.at(0).unicode()))
            return std::nullopt;
        return int64_t(entry.text.at(0).unicode());
    }
    case Kind::Integer:
    case Kind::WholeNumber: {
        // unsigned decimal: no sign, no point, no exponent, at most 4294967295
        const std::optional<uint32_t> v = readUnsignedNumber(entry.text);
        if (!v || !withinShownLimits(key, *v))
            return std::nullopt;
        return numberFor(key, *v);
    }
    case Kind::Real:
    case Kind::Pressure:
    case Kind::Logarithm: {
        const std::optional<double> read = readNumber(entry.text);
        if (!read || !withinShownLimits(key, *read))
            return std::nullopt;
        const double v = *read;
        if (field.kind == Kind::Pressure)
            return convertToSI(unitKind::Pressure, v, static_cast<int16_t>(entry.unit));
        if (field.kind == Kind::Logarithm)
            return std::log(v);
        return v;
    }
    }
    return std::nullopt;
}

const StagedPreference* findStaged(const std::vector<StagedPreference>& staged, std::string_view key)
{
    for (const StagedPreference& s : staged)
        if (s.key == key)
            return &s;
    return nullptr;
}

// The refusal when `upper` was just staged and its pair is not in order.
std::optional<PreferenceRefusal> checkPair(const std::vector<StagedPreference>& staged, const PreferenceField& field)
{
    for (const OrderedPreferencePair& pair : orderedPreferencePairs()) {
        if (pair.upper != field.key)
            continue;
        const StagedPreference* lower = findStaged(staged, pair.lower);
        const StagedPreference* upper = findStaged(staged, pair.upper);
        if (lower && upper && !(asDouble(lower->value) < asDouble(upper->value))) {
            const char* message = field.key == "MAX_PRES_CS_PLOT" ? csGraphRangeMessage : field.message;
            return PreferenceRefusal{QString::fromUtf8(message), {}};
        }
    }
    return std::nullopt;
}

bool engineReads(std::string_view key)
{
    if (key == "LOG_ION_RESET")
        return true;
    const PreferenceField* field = preferenceField(key);
    return field != nullptr && field->engineReads;
}

PreferenceRefusal runningRefusal(const char* what)
{
    return {QString::fromUtf8(what),
            QString::fromUtf8(solverSettingsLockedReason)
                    + QStringLiteral(" Try again when the calculation has finished, or discard the changes.")};
}

} // namespace

PreferenceEntries entriesInForce()
{
    PreferenceEntries entries;
    entries.reserve(preferenceFields().size());
    for (const PreferenceField& field : preferenceFields()) {
        const PreferenceValue value = preferenceValue(field.key);
        const int digits = field.key == "INJ_VEL" ? injectorVelocityDigits : NUM_DIS_PREC;
        PreferenceEntry entry;
        switch (field.kind) {
        case Kind::Choice: entry.index = static_cast<int>(asDouble(value)); break;
        case Kind::Check: entry.checked = std::get<bool>(value); break;
        case Kind::Integer: entry.text = QString::number(static_cast<qulonglong>(asDouble(value))); break;
        case Kind::WholeNumber:
        case Kind::Real: entry.text = realText(asDouble(value), digits); break;
        case Kind::Pressure:
            entry.text = realText(convertFromSI(unitKind::Pressure, asDouble(value), 0), digits);
            break;
        case Kind::Logarithm: entry.text = realText(std::exp(asDouble(value)), digits); break;
        case Kind::Folder: entry.text = QString::fromStdString(std::get<std::string>(value)); break;
        case Kind::Separator: {
            const char c = static_cast<char>(std::get<int64_t>(value));
            entry.text = QString::fromLatin1(&c, 1);
            break;
        }
        }
        entries.push_back(entry);
    }
    return entries;
}

PreferencesReadBack readPreferenceEntries(const PreferenceEntries& entries, const PreferenceEntries& filled)
{
    PreferencesReadBack result;
    const std::vector<PreferenceField>& fields = preferenceFields();
    for (size_t i = 0; i < fields.size(); ++i) {
        const PreferenceField& field = fields[i];
        const PreferenceEntry entry = i < entries.size() ? entries[i] : PreferenceEntry{};
        const bool untouched = i < filled.size() && entry == filled[i];
        std::optional<PreferenceValue> value
                = untouched ? std::optional<PreferenceValue>(preferenceValue(field.key)) : readEdited(field, entry);
        if (value && !storedValueAllowed(field.key, *value))
            value.reset();
        if (!value) {
            result.refusal = PreferenceRefusal{QString::fromUtf8(field.message ? field.message : ""), {}};
            return result;
        }
        if (field.key == "BabyMode") {
            const StagedPreference* lock = findStaged(result.values, "LOCK_BABYMODE");
            if (lock && std::get<bool>(lock->value))
                value = true;
        }
        result.values.push_back({field.key, *value});
        if (auto refusal = checkPair(result.values, field)) {
            result.refusal = refusal;
            return result;
        }
        if (field.key == "ION_RESET") {
            // kept with its amount when that was not edited, so nothing changes unasked
            result.values.push_back({"LOG_ION_RESET",
                                     untouched ? preferenceValue("LOG_ION_RESET")
                                               : PreferenceValue(std::log(std::get<double>(*value)))});
        }
    }
    return result;
}

std::optional<PreferenceRefusal> savePreferences(const PreferenceEntries& entries, const PreferenceEntries& filled,
                                                 const PreferenceAssignment& assign)
{
    PreferencesReadBack read = readPreferenceEntries(entries, filled);
    if (read.refusal)
        return read.refusal;

    if (calculationsRunning() > 0) {
        for (const StagedPreference& s : read.values)
            if (engineReads(s.key) && s.value != preferenceValue(s.key))
                return runningRefusal(solverSettingsLockedText);
    }

    const QString path = QString::fromStdString(PREFERENCES);
    JsonReadResult file = readPreferencesFile(PREFERENCES);
    json document = json::object();
    switch (file.status) {
    case JsonReadStatus::CannotOpen: return PreferenceRefusal{QString::fromUtf8(preferencesCannotBeOpened), path};
    case JsonReadStatus::Missing: raiseFlag(flagsF, code::fileMissing(code::PreferencesFile)); break;
    case JsonReadStatus::Unparsable: break;
    case JsonReadStatus::Ok: document = std::move(file.document); break;
    }
    if (!document.is_object() || file.status == JsonReadStatus::Unparsable) {
        // A damaged file may still be repaired by hand: it is never replaced.
        raiseFlag(flagsF, code::fileCorrupt(code::PreferencesFile));
        return PreferenceRefusal{QStringLiteral("The preferences file could not be read, so nothing was saved: ")
                                         + path,
                                 QStringLiteral("Repair or remove the file, or discard the changes.")};
    }

    std::vector<StagedPreference> previous;
    previous.reserve(read.values.size());
    for (const StagedPreference& s : read.values) {
        const PreferenceValue inForce = preferenceValue(s.key);
        if (s.value != inForce) {
            previous.push_back({s.key, inForce});
            assign(s.key, s.value);
        }
        storePreference(document, s.key);
    }
    std::string error;
    if (!writeJsonFile(PREFERENCES, document, &error)) {
        for (const StagedPreference& s : previous)
            assign(s.key, s.value);
        return PreferenceRefusal{QStringLiteral("The preferences file could not be written: ") + path,
                                 QString::fromStdString(error)};
    }
    return std::nullopt;
}

Reported<std::optional<PreferenceRefusal>> resetPreferences()
{
    if (calculationsRunning() > 0) {
        for (const PreferenceField& field : preferenceFields())
            if (field.engineReads && preferenceValue(field.key) != preferenceDefault(field.key))
                return {runningRefusal("The preferences cannot be reset while a calculation or a nozzle "
                                       "optimisation is running"),
                        {}};
    }
    return {std::nullopt, restoreDefaultPreferences().messages};
}

int resultBitsOfChange(std::string_view widget)
{
    if (widget == "combo_TYPE_RESULTS")
        return preferences_result::ResultsView;
    if (widget == "combo_WINSTYLE" || widget == "combo_COMB_EV")
        return preferences_result::Style;
    return 0;
}

MessageRequest babyModeLockQuestion()
{
    MessageRequest request;
    request.icon = Msg::Critical;
    request.text = QStringLiteral("This program will be permanently locked in Babymode, which restricts many of its "
                                  "capabilities. Are you sure?");
    request.informativeText = QStringLiteral("This process cannot be reverted in the application. It can only be "
                                             "reverted manually editing the preferences file");
    request.buttons = Msg::Yes | Msg::Cancel;
    request.defaultButton = Msg::Cancel;
    return request;
}
