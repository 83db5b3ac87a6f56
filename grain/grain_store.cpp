#include "grain/grain_store.h"

#include <cmath>

#include "core/flags.h"
#include "core/number_text.h"
#include "core/preferences.h"
#include "grain/grain_limits.h"

namespace grain {

const char* const kGrainFileCannotOpen
        = "Grain file could not be opened, it may be opened by another software or have accesibility restrictions";
const char* const kSaveNotCompleted = "Save not completed, invalid parameters";

nlohmann::json toJson(const GrainEntry& entry)
{
    nlohmann::json parameters = nlohmann::json::array();
    for (std::size_t i = 0; i < entry.parameters.size(); ++i) {
        if (isCountParameter(entry.geometry, i))
            parameters.push_back(static_cast<uint64_t>(entry.parameters[i]));
        else
            parameters.push_back(entry.parameters[i]);
    }
    nlohmann::json value = nlohmann::json::object();
    value["Geo_type"] = entry.geometry;
    value["Units"] = entry.units;
    value["Comb_type"] = entry.combustion;
    value["Points"] = entry.points;
    value["Parameters"] = std::move(parameters);
    return value;
}

namespace {

bool readInteger(const nlohmann::json& object, const char* key, int64_t& out)
{
    const auto it = object.find(key);
    if (it == object.end() || !it->is_number_integer())
        return false;
    if (it->is_number_unsigned()) {
        const uint64_t u = it->get<uint64_t>();
        if (u > static_cast<uint64_t>(INT64_MAX))
            return false;
        out = static_cast<int64_t>(u);
    } else {
        out = it->get<int64_t>();
    }
    return true;
}

bool fitsInt(int64_t v)
{
    return v >= INT32_MIN && v <= INT32_MAX;
}

} // namespace

std::optional<GrainEntry> parseGrainEntry(const nlohmann::json& value)
{
    if (!value.is_object())
        return std::nullopt;
    int64_t geometry, units, combustion, points;
    if (!readInteger(value, "Geo_type", geometry) || !readInteger(value, "Units", units)
        || !readInteger(value, "Comb_type", combustion) || !readInteger(value, "Points", points))
        return std::nullopt;
    if (!fitsInt(geometry) || !fitsInt(units) || !fitsInt(combustion))
        return std::nullopt;
    const auto params = value.find("Parameters");
    if (params == value.end() || !params->is_array())
        return std::nullopt;

    GrainEntry entry;
    entry.geometry = static_cast<int>(geometry);
    entry.units = static_cast<int>(units);
    entry.combustion = static_cast<int>(combustion);
    entry.points = points;
    const std::size_t needed = parameterCount(entry.geometry);
    if (params->size() < needed)
        return std::nullopt;
    for (std::size_t i = 0; i < needed; ++i) {
        const nlohmann::json& p = (*params)[i];
        if (isCountParameter(entry.geometry, i)) {
            // Counts are whole numbers; a negative one is no count.
            if (!p.is_number_unsigned() && !(p.is_number_integer() && p.get<int64_t>() >= 0))
                return std::nullopt;
            if (p.get<uint64_t>() > UINT32_MAX)
                return std::nullopt;
            entry.parameters.push_back(static_cast<double>(p.get<uint64_t>()));
        } else {
            if (!p.is_number())
                return std::nullopt;
            entry.parameters.push_back(p.get<double>());
        }
    }
    return entry;
}

LoadedFields fieldsOfEntry(const GrainEntry& entry)
{
    LoadedFields fields;
    fields.samples = QString::number(entry.points);
    const std::vector<double>& p = entry.parameters;
    if (p.size() < parameterCount(entry.geometry))
        return fields;
    auto count = [](double v) { return QString::number(static_cast<uint64_t>(v)); };
    switch (entry.geometry) {
    case Cylindrical:
        fields.cylindrical
                = CylindricalInputs{displayNumber(p[0]), displayNumber(p[1]), displayNumber(p[2]), count(p[3])};
        break;
    case Frontal: fields.frontal = FrontalInputs{displayNumber(p[1]), displayNumber(p[0])}; break;
    case Star:
        fields.star = StarInputs{displayNumber(p[0]), displayNumber(p[2]), displayNumber(p[1]),
                                 count(p[5]),         displayNumber(p[3]), count(p[4])};
        break;
    default: break;
    }
    return fields;
}

// ---- The file ------------------------------------------------------------------------

std::string grainFilePath()
{
    return GRAIN.empty() ? appDirectory + "/Data/Grains.json" : GRAIN;
}

GrainDocument readGrainFile()
{
    return readDataFile(grainFilePath(), code::Grains);
}

bool writeGrainFile(const GrainDocument& doc, std::string* error)
{
    return writeDataFile(doc, error);
}

QString grainFileCorruptMessage(const std::string& path)
{
    return QString::fromStdString("Save aborted because the grain file " + path
                                  + " could not be read (it is not a valid grain file); it was left unchanged");
}

QString grainFileWriteFailedMessage(const std::string& path, const std::string& error)
{
    std::string text = "The grain file " + path + " could not be written";
    if (!error.empty())
        text += ": " + error;
    return QString::fromStdString(text);
}

// ---- Save and delete -----------------------------------------------------------------

MessageRequest grainTabMessage(Msg::Icon icon, const QString& text)
{
    return untitledRequest(icon, text);
}

std::optional<QString> grainNameRefusal(const QString& name)
{
    if (name.isEmpty())
        return QStringLiteral("Cannot have empty name");
    if (name.toStdString() == "Current")
        return QStringLiteral("Cannot me named ") + QStringLiteral("Current");
    return std::nullopt;
}

namespace {

bool isEmptyValue(const nlohmann::json& value)
{
    return value.is_null() || ((value.is_object() || value.is_array()) && value.empty());
}

} // namespace

Reported<SaveOutcome> saveGrainEntry(QObject* parent, const std::string& name, const GrainEntry& entry)
{
    auto refused = [](const QString& text) {
        return Reported<SaveOutcome>{SaveOutcome::Refused, {tabViewMessage(Msg::Critical, text)}};
    };
    // A grain every run would refuse is not saved: the field's refusal with its limit, then
    // the tab's closing refusal, as for a field the calculation refused.
    if (const std::optional<GrainFault> fault = grainEntryFault(entry)) {
        return {SaveOutcome::Refused,
                {tabViewMessage(Msg::Critical, fault->message, fault->rule),
                 tabViewMessage(Msg::Critical, QString::fromUtf8(kSaveNotCompleted))}};
    }
    GrainDocument doc = readGrainFile();
    if (!doc.opened())
        return refused(QString::fromUtf8(kGrainFileCannotOpen));
    // Writing now would replace every grain stored in the unreadable file.
    if (!doc.writable())
        return refused(grainFileCorruptMessage(doc.path));
    const auto existing = doc.document.find(name);
    if (existing != doc.document.end() && !isEmptyValue(*existing)) {
        MessageRequest ask = grainTabMessage(
                Msg::Warning, QStringLiteral("You are about to overwrite a save with the same name. Continue?"));
        ask.buttons = Msg::Yes | Msg::Cancel;
        ask.defaultButton = Msg::Yes;
        if (showMessage(parent, ask).button != Msg::Yes)
            return {SaveOutcome::Cancelled, {}};
    }
    doc.document.erase(name);
    doc.document[name] = toJson(entry);
    std::string error;
    if (!writeGrainFile(doc, &error))
        return refused(grainFileWriteFailedMessage(doc.path, error));
    refreshFlag = 1;
    return {SaveOutcome::Saved, {tabViewMessage(Msg::Information, QStringLiteral("Successful save"))}};
}

Reported<bool> deleteGrainEntry(GrainDocument& doc, const std::string& name)
{
    if (!doc.writable() || doc.document.erase(name) == 0)
        return {false, {}};
    std::string error;
    if (!writeGrainFile(doc, &error))
        return {false, {tabViewMessage(Msg::Critical, grainFileWriteFailedMessage(doc.path, error))}};
    return {true, {}};
}

} // namespace grain
