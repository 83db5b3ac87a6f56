#include "core/preference_file.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <string>
#include <type_traits>

#include <QString>

#include "core/flags.h"
#include "core/preference_limits.h"
#include "core/preferences.h"

using nlohmann::json;

const char* const preferencesOpenFailedAtStart
        = "Preferences file could not be opened, it could be because it is opened by a different software or it has "
          "restricted acccess";

namespace {

const char* const preferencesOpenFailed = "Preferences file could not be opened, it may be because it is opened by a "
                                          "different software or it has access "
                                          "restrictions";

std::string defaultPreferencesPath()
{
    return appDirectory + "/Data/Preferences.json";
}

std::string defaultExportPath()
{
    return appDirectory + "/Exports";
}

enum class ValueState { Ok, Missing, Mistyped };

// A member is missing when absent, null, an empty object or an empty array.
bool isMissing(const json* member)
{
    return member == nullptr || member->is_null() || ((member->is_object() || member->is_array()) && member->empty());
}

const json* findMember(const json& section, const char* key)
{
    if (!section.is_object())
        return nullptr;
    auto it = section.find(key);
    return it == section.end() ? nullptr : &*it;
}

// Integer keys take any number or boolean; a fraction is cut toward zero. A value the
// type cannot hold (or a non-finite one) is refused rather than wrapped.
template <typename T>
ValueState convert(const json& value, T& out)
{
    if constexpr (std::is_same_v<T, bool>) {
        if (!value.is_boolean())
            return ValueState::Mistyped;
        out = value.get<bool>();
        return ValueState::Ok;
    } else if constexpr (std::is_same_v<T, std::string>) {
        if (!value.is_string())
            return ValueState::Mistyped;
        out = value.get<std::string>();
        return ValueState::Ok;
    } else if constexpr (std::is_same_v<T, double>) {
        double d;
        if (value.is_boolean())
            d = value.get<bool>() ? 1.0 : 0.0;
        else if (value.is_number())
            d = value.get<double>();
        else
            return ValueState::Mistyped;
        if (!std::isfinite(d))
            return ValueState::Mistyped;
        out = d;
        return ValueState::Ok;
    } else {
        static_assert(std::is_integral_v<T>);
        // The separator is kept as its signed code whatever the signedness of char here,
        // so that what the writer stores always reads back.
        using Limits = std::numeric_limits<std::conditional_t<std::is_same_v<T, char>, signed char, T>>;
        if (value.is_boolean()) {
            out = value.get<bool>() ? T(1) : T(0);
        } else if (value.is_number_unsigned()) {
            const uint64_t u = value.get<uint64_t>();
            if (u > static_cast<uint64_t>(Limits::max()))
                return ValueState::Mistyped;
            out = static_cast<T>(u);
        } else if (value.is_number_integer()) {
            const int64_t i = value.get<int64_t>();
            if (i < static_cast<int64_t>(Limits::min()) || i > static_cast<int64_t>(Limits::max()))
                return ValueState::Mistyped;
            out = static_cast<T>(i);
        } else if (value.is_number_float()) {
            const double d = std::trunc(value.get<double>());
            if (!std::isfinite(d) || d < static_cast<double>(Limits::min()) || d > static_cast<double>(Limits::max()))
                return ValueState::Mistyped;
            out = static_cast<T>(d);
        } else {
            return ValueState::Mistyped;
        }
        return ValueState::Ok;
    }
}

// The value form of the file: unsigned numbers, the separator as its signed code.
template <typename T>
json toJson(const T& value)
{
    if constexpr (std::is_same_v<T, char>)
        return static_cast<int>(static_cast<signed char>(value));
    else
        return value;
}

// The section object of `document`, created (or replacing a non-object) as needed.
json& sectionOf(json& document, const char* section)
{
    json& s = document[section];
    if (!s.is_object())
        s = json::object();
    return s;
}

template <typename T>
void store(json& document, const char* section, const char* key, const T& value)
{
    sectionOf(document, section)[key] = toJson(value);
}

// Reading a document into the preference values.
struct Loader {
    json& document;
    bool defaultFileInUse; // mistyped members raise F31 in the default file, F30 in a redirect
    bool changed = false;

    void mistyped() const
    {
        raiseFlag(flagsF,
                  defaultFileInUse ? code::fileCorruptDefault(code::PreferencesFile)
                                   : code::fileCorrupt(code::PreferencesFile));
    }

    // A section present but not an object counts as a mistyped member.
    void checkSection(const char* section) const
    {
        auto it = document.find(section);
        if (it != document.end() && !isMissing(&*it) && !it->is_object())
            mistyped();
    }

    // Takes the member into `variable` when it is present and fits its type.
    template <typename T>
    ValueState read(const char* section, const char* key, T& variable)
    {
        auto it = document.find(section);
        const json* member = it == document.end() ? nullptr : findMember(*it, key);
        if (isMissing(member))
            return ValueState::Missing;
        const ValueState state = convert(*member, variable);
        if (state == ValueState::Mistyped)
            mistyped();
        return state;
    }

    void path(const char* key, std::string& variable, const char* suffix)
    {
        if (read("Files", key, variable) == ValueState::Ok)
            return;
        variable = appDirectory + suffix;
        store(document, "Files", key, variable);
    }

    template <typename T, typename D>
    void value(const char* section, const char* key, T& variable, const D& fallback)
    {
        ValueState state = read(section, key, variable);
        if (state == ValueState::Ok && !preferenceValueAllowed(key, variable)) {
            mistyped(); // outside the values the Preferences dialog accepts
            state = ValueState::Mistyped;
        }
        if (state == ValueState::Ok)
            return;
        if (&variable == static_cast<void*>(&PATH_EXPORT)) {
            PATH_EXPORT = defaultExportPath(); // formed from appDirectory; not a repair
        } else {
            variable = T(fallback);
            // a missing member is a repair of the file (F31); a mistyped one was
            // already reported as the corruption of the file in use
            changed = changed || state == ValueState::Missing;
        }
        store(document, section, key, variable);
    }
};

bool documentUsable(const JsonReadResult& result)
{
    return result.status == JsonReadStatus::Ok && result.document.is_object();
}

// A box of the preferences file for the caller's view: critical, titled "KAVRO", with
// the program's icon and no parent window.
ViewMessage preferencesFileBox(const QString& text, const QString& informativeText = QString())
{
    MessageRequest box;
    box.icon = Msg::Critical;
    box.text = text;
    box.informativeText = informativeText;
    return ViewMessage{box, true};
}

// Replaces the file at `path` with `document`; a failed write is reported in `messages`
// (with `cause`, when known, as the reason).
bool writePreferences(const std::string& path, const json& document, ViewMessages& messages,
                      const std::string& cause = {})
{
    std::string error;
    if (writeJsonFile(path, document, &error))
        return true;
    messages.push_back(preferencesFileBox(QStringLiteral("The preferences file could not be written: ")
                                                  + QString::fromStdString(path),
                                          QString::fromStdString(cause.empty() ? error : cause)));
    return false;
}

// The Data folder beside the executable holds every default file: a first start (or
// one after the folder was removed) creates it. False, with the reason, when it is
// missing and cannot be created.
bool ensureDefaultDataFolder(std::string& error)
{
    const std::filesystem::path folder = std::filesystem::path(defaultPreferencesPath()).parent_path();
    std::error_code ec;
    if (std::filesystem::is_directory(folder, ec))
        return true;
    std::filesystem::create_directories(folder, ec);
    if (!ec && std::filesystem::is_directory(folder, ec))
        return true;
    error = "The folder " + folder.string() + " could not be created"
            + (ec ? ": " + ec.message() : std::string(": a file of that name is in the way"));
    return false;
}

// A preferences file that exists but cannot be read as a document is never replaced:
// the user may still repair it, so the operation tells them and writes nothing.
ViewMessage unparsableLeftUnchanged(const std::string& path)
{
    return preferencesFileBox(QStringLiteral("The preferences file could not be read, so it was left unchanged: ")
                              + QString::fromStdString(path));
}

} // namespace

JsonReadResult readPreferencesFile(const std::string& path)
{
    JsonReadOptions options;
    options.repeatedNames = RepeatedNames::LastValueStands;
    return readJsonFile(path, options);
}

Reported<bool> loadPreferences()
{
    Reported<bool> result;
    const std::string defaultPath = defaultPreferencesPath();
    std::string folderError;
    const bool folderReady = ensureDefaultDataFolder(folderError);
    JsonReadResult read = readPreferencesFile(defaultPath);
    if (read.status == JsonReadStatus::CannotOpen)
        return result;
    bool unparsable = false; // the file in use exists but is no document: never rewritten
    if (read.status == JsonReadStatus::Missing) {
        raiseFlag(flagsF, code::fileMissingDefault(code::PreferencesFile));
    } else if (!documentUsable(read)) {
        raiseFlag(flagsF, code::fileCorruptDefault(code::PreferencesFile));
        unparsable = true;
    }
    json document = documentUsable(read) ? std::move(read.document) : json::object();

    // The default file may name the file in use; that file's own entry is not followed.
    bool changed = false;
    {
        Loader fromDefault{document, true};
        fromDefault.checkSection("Files");
        std::string target;
        if (fromDefault.read("Files", "PREFERENCES", target) == ValueState::Ok) {
            PREFERENCES = target;
        } else {
            PREFERENCES = defaultPath;
            store(document, "Files", "PREFERENCES", PREFERENCES);
        }
    }
    bool defaultFileInUse = true;
    if (PREFERENCES != defaultPath) {
        JsonReadResult redirected = readPreferencesFile(PREFERENCES);
        if (redirected.status == JsonReadStatus::Missing) {
            raiseFlag(flagsF, code::fileMissing(code::PreferencesFile));
            changed = true;
            PREFERENCES = defaultPath;
            store(document, "Files", "PREFERENCES", PREFERENCES);
        } else if (redirected.status == JsonReadStatus::CannotOpen) {
            return result;
        } else {
            defaultFileInUse = false;
            unparsable = !documentUsable(redirected);
            if (unparsable)
                raiseFlag(flagsF, code::fileCorrupt(code::PreferencesFile));
            document = unparsable ? json::object() : std::move(redirected.document);
        }
    }

    Loader loader{document, defaultFileInUse, changed};
    loader.checkSection("Files");
#define KAVRO_LOAD_PATH(key, suffix)                                                                                   \
    if (std::string_view(#key) != "PREFERENCES")                                                                       \
        loader.path(#key, key, suffix);
    KAVRO_PATH_PREFERENCES(KAVRO_LOAD_PATH)
#undef KAVRO_LOAD_PATH
    for (const char* section : {"General", "PropTab", "GrainTab", "Nozzletab", "Datatab", "Equilibrium", "ODE", "ODK"})
        loader.checkSection(section);
#define KAVRO_LOAD_VALUE(section, key, type, def)                                                                      \
    loader.value(#section, #key, key, def);                                                                            \
    if (static_cast<const void*>(&key) == &LOCK_BABYMODE && LOCK_BABYMODE)                                             \
        BabyMode = true;
    KAVRO_VALUE_PREFERENCES(KAVRO_LOAD_VALUE)
#undef KAVRO_LOAD_VALUE
    for (std::string_view key : restoreDisorderedPreferencePairs()) {
        loader.mistyped();
        storePreference(document, key);
    }

    if (loader.changed)
        raiseFlag(flagsF, code::fileCorruptDefault(code::PreferencesFile));
    // The values are in place either way; an unparsable file stays as the user left it
    // (its code is raised), anything else is written back complete.
    // A Data folder that could not be created is reported once: as the reason why the
    // default file could not be written, or on its own when another file is in use.
    const bool written = unparsable || writePreferences(PREFERENCES, document, result.messages, folderError);
    if (!folderReady && written)
        result.messages.push_back(preferencesFileBox(QStringLiteral("The data folder could not be created"),
                                                     QString::fromStdString(folderError)));
    result.value = true;
    return result;
}

namespace {

// Reads the file in use for an operation that rewrites it. Returns false (with the
// message) when it exists but cannot be opened, or (F30, with the message) when it is
// not a JSON object: such a file is never replaced. A missing file raises F14 and the
// operation starts from an empty document.
bool readFileInUse(json& document, ViewMessages& messages)
{
    JsonReadResult read = readPreferencesFile(PREFERENCES);
    switch (read.status) {
    case JsonReadStatus::CannotOpen:
        messages.push_back(preferencesFileBox(QString::fromUtf8(preferencesOpenFailed)));
        return false;
    case JsonReadStatus::Missing:
        raiseFlag(flagsF, code::fileMissing(code::PreferencesFile));
        document = json::object();
        return true;
    default: break;
    }
    if (!documentUsable(read)) {
        raiseFlag(flagsF, code::fileCorrupt(code::PreferencesFile));
        messages.push_back(unparsableLeftUnchanged(PREFERENCES));
        return false;
    }
    document = std::move(read.document);
    return true;
}

} // namespace

Reported<bool> saveDataFilePaths()
{
    Reported<bool> result;
    json document;
    if (!readFileInUse(document, result.messages))
        return result;
#define KAVRO_STORE_PATH(key, suffix)                                                                                  \
    if (std::string_view(#key) != "PREFERENCES")                                                                       \
        store(document, "Files", #key, key);
    KAVRO_PATH_PREFERENCES(KAVRO_STORE_PATH)
#undef KAVRO_STORE_PATH
    result.value = writePreferences(PREFERENCES, document, result.messages);
    return result;
}

Reported<bool> restoreDefaultPreferences()
{
    Reported<bool> result;
    json document;
    const bool readable = readFileInUse(document, result.messages);

    // Everything but the file locations and the lock of the restricted interface. Only
    // values that differ are written: a running solver reads the others without a lock.
#define KAVRO_RESET_VALUE(section, key, type, def)                                                                     \
    if (static_cast<const void*>(&key) != &LOCK_BABYMODE && static_cast<const void*>(&key) != &BabyMode                \
        && !(key == type(def)))                                                                                        \
        key = type(def);
    KAVRO_VALUE_PREFERENCES(KAVRO_RESET_VALUE)
#undef KAVRO_RESET_VALUE
    if (!LOCK_BABYMODE)
        BabyMode = false;
    PATH_EXPORT = defaultExportPath();

    if (!readable)
        return result; // the file could not be read; it is not replaced
#define KAVRO_WRITE_VALUE(section, key, type, def)                                                                     \
    if (static_cast<const void*>(&key) != &LOCK_BABYMODE)                                                              \
        store(document, #section, #key, key);
    KAVRO_VALUE_PREFERENCES(KAVRO_WRITE_VALUE)
#undef KAVRO_WRITE_VALUE
    result.value = writePreferences(PREFERENCES, document, result.messages);
    return result;
}

bool storePreference(json& document, std::string_view key)
{
#define KAVRO_STORE_ONE(section, name, type, def)                                                                      \
    if (key == #name) {                                                                                                \
        store(document, #section, #name, name);                                                                        \
        return true;                                                                                                   \
    }
    KAVRO_VALUE_PREFERENCES(KAVRO_STORE_ONE)
#undef KAVRO_STORE_ONE
    return false;
}

json startingPreferencesDocument()
{
    json document = json::object();
#define KAVRO_STORE_DEFAULT(section, key, type, def)                                                                   \
    if (static_cast<const void*>(&key) != &PATH_EXPORT)                                                                \
        store(document, #section, #key, type(def));
    KAVRO_VALUE_PREFERENCES(KAVRO_STORE_DEFAULT)
#undef KAVRO_STORE_DEFAULT
    return document;
}
